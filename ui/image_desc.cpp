#include "ui/image_desc.h"

#include <cwctype>

#include "ui/attr_parse.h"

namespace DuiLib {

void TDrawInfo::Parse(const wchar_t* desc)
{
    if (!desc)
        return;
    const wchar_t* p = desc;
    while (*p && std::iswspace(*p))
        ++p;
    if (*p && !wcschr(p, L'=')) {
        sFile = p;
        while (!sFile.empty() && std::iswspace(sFile.back()))
            sFile.pop_back();
        return;
    }
    while (*p) {
        while (*p && std::iswspace(*p))
            ++p;
        std::wstring key;
        while (*p && *p != L'=' && !std::iswspace(*p))
            key += *p++;
        while (*p && std::iswspace(*p))
            ++p;
        if (*p != L'=')
            return;
        ++p;
        while (*p && std::iswspace(*p))
            ++p;
        if (*p != L'\'')
            return;
        ++p;
        std::wstring value;
        while (*p && *p != L'\'')
            value += *p++;
        if (*p != L'\'')
            return;  // unterminated value: ignore the rest
        ++p;

        const wchar_t* v = value.c_str();
        if (key == L"file" || key == L"res")
            sFile = value;
        else if (key == L"restype")
            sResType = value;
        else if (key == L"source") {
            rcSource = ParseRect(v);
            bHasSource = true;
        } else if (key == L"dest") {
            rcDest = ParseRect(v);
            bHasDest = true;
        } else if (key == L"corner")
            rcCorner = ParseRect(v);
        else if (key == L"mask")
            dwMask = ParseColor(v);
        else if (key == L"fade")
            uFade = static_cast<BYTE>(ParseInt(v) < 0 ? 0 : (ParseInt(v) > 255 ? 255 : ParseInt(v)));
        else if (key == L"hole")
            bHole = ParseBool(v);
        else if (key == L"xtiled")
            bTiledX = ParseBool(v);
        else if (key == L"ytiled")
            bTiledY = ParseBool(v);
    }
}

}  // namespace DuiLib
