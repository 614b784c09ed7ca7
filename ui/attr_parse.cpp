#include "ui/attr_parse.h"

#include <cwchar>
#include <cwctype>

namespace DuiLib {

DWORD ParseColor(const wchar_t* value)
{
    if (!value)
        return 0;
    while (*value == L' ' || *value == L'\t' || *value == L'#')
        ++value;
    const wchar_t* end = value;
    DWORD color = std::wcstoul(value, const_cast<wchar_t**>(&end), 16);
    if (end - value <= 6)
        color |= 0xFF000000;
    return color;
}

namespace {

// Reads up to n integers, skipping any separators between them.
void ParseInts(const wchar_t* value, long* out, int n)
{
    for (int i = 0; i < n; ++i)
        out[i] = 0;
    if (!value)
        return;
    const wchar_t* p = value;
    for (int i = 0; i < n && *p; ++i) {
        while (*p == L' ' || *p == L'\t')
            ++p;
        wchar_t* end = nullptr;
        out[i] = std::wcstol(p, &end, 10);
        if (end == p)
            break;
        p = end;
        while (*p == L' ' || *p == L'\t')
            ++p;
        if (*p == L',')
            ++p;
    }
}

}  // namespace

RECT ParseRect(const wchar_t* value)
{
    long v[4];
    ParseInts(value, v, 4);
    return RECT{v[0], v[1], v[2], v[3]};
}

SIZE ParseSize(const wchar_t* value)
{
    long v[2];
    ParseInts(value, v, 2);
    return SIZE{v[0], v[1]};
}

bool ParseBool(const wchar_t* value)
{
    return value && EqualsNoCase(value, L"true");
}

int ParseInt(const wchar_t* value)
{
    return value ? static_cast<int>(std::wcstol(value, nullptr, 10)) : 0;
}

bool EqualsNoCase(const wchar_t* a, const wchar_t* b)
{
    if (!a || !b)
        return a == b;
    for (; *a && *b; ++a, ++b)
        if (std::towlower(*a) != std::towlower(*b))
            return false;
    return *a == *b;
}

std::vector<std::pair<std::wstring, std::wstring>> ParseAttributeList(const wchar_t* list)
{
    std::vector<std::pair<std::wstring, std::wstring>> out;
    if (!list)
        return out;
    const wchar_t* p = list;
    for (;;) {
        while (*p && std::iswspace(*p))
            ++p;
        if (!*p)
            break;
        std::wstring name;
        while (*p && *p != L'=' && !std::iswspace(*p))
            name += *p++;
        while (*p && std::iswspace(*p))
            ++p;
        if (*p != L'=')
            break;
        ++p;
        while (*p && std::iswspace(*p))
            ++p;
        wchar_t quote = *p;
        if (quote != L'"' && quote != L'\'')
            break;
        ++p;
        std::wstring value;
        while (*p && *p != quote)
            value += *p++;
        if (*p != quote)
            break;  // unterminated: drop the rest
        ++p;
        out.emplace_back(std::move(name), std::move(value));
    }
    return out;
}

}  // namespace DuiLib
