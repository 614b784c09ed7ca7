// The window's fonts and class defaults, and those shared by every window.
#include "ui/paint_manager.h"

#include <algorithm>
#include <utility>

#include "ui/attr_parse.h"
#include "ui/control.h"
#include "ui/image_cache.h"
#include "ui/paint_manager_shared.h"
#include "ui/render.h"
#include "ui/shadow.h"
#include "ui/tooltip.h"

namespace DuiLib {

using detail::kMsgAsyncNotify;
using detail::Shared;
using detail::SharedState;

detail::SharedState& detail::Shared()
{
    static SharedState s;
    return s;
}

namespace {

TFontInfo MakeFont(HDC measure, LPCWSTR face, int size, bool bold, bool underline, bool italic)
{
    LOGFONTW lf = {};
    lf.lfHeight = -size;  // sizes are pixels of character height
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = underline;
    lf.lfItalic = italic;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    wcsncpy_s(lf.lfFaceName, LF_FACESIZE, face ? face : L"", _TRUNCATE);
    TFontInfo info;
    info.hFont.Reset(CreateFontIndirectW(&lf));
    info.sFontName = face ? face : L"";
    info.iSize = size;
    info.bBold = bold;
    info.bUnderline = underline;
    info.bItalic = italic;
    if (info.hFont && measure) {
        HGDIOBJ old = SelectObject(measure, info.hFont.Get());
        GetTextMetricsW(measure, &info.tm);
        SelectObject(measure, old);
    }
    return info;
}

bool SameFont(const TFontInfo& f, LPCWSTR face, int size, bool bold, bool underline, bool italic)
{
    return f.sFontName == (face ? face : L"") && f.iSize == size && f.bBold == bold &&
           f.bUnderline == underline && f.bItalic == italic;
}


}  // namespace

HFONT CPaintManagerUI::AddFont(int id, LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline,
                               bool bItalic, bool bShared)
{
    auto& table = bShared ? Shared().fonts : m_fonts;
    auto it = table.find(id);
    if (it != table.end()) {
        if (SameFont(it->second, pStrFontName, nSize, bBold, bUnderline, bItalic))
            return it->second.hFont.Get();
        // Another window may still use the old shared font; retire it. A
        // window's own font goes with its entry.
        if (bShared)
            Shared().retiredFonts.push_back(std::move(it->second.hFont));
        table.erase(it);
    }
    TFontInfo info = MakeFont(m_hDcMeasure.Get(), pStrFontName, nSize, bBold, bUnderline, bItalic);
    if (!info.hFont)
        return nullptr;
    HFONT font = info.hFont.Get();
    table[id] = std::move(info);
    return font;
}

void CPaintManagerUI::SetDefaultFont(LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline,
                                     bool bItalic, bool bShared)
{
    std::unique_ptr<TFontInfo>& slot = bShared ? Shared().defaultFont : m_pDefaultFont;
    if (slot && SameFont(*slot, pStrFontName, nSize, bBold, bUnderline, bItalic))
        return;
    TFontInfo info = MakeFont(m_hDcMeasure.Get(), pStrFontName, nSize, bBold, bUnderline, bItalic);
    if (!info.hFont)
        return;
    if (slot && slot->hFont && bShared)
        Shared().retiredFonts.push_back(std::move(slot->hFont));
    slot = std::make_unique<TFontInfo>(std::move(info));
}

const TFontInfo* CPaintManagerUI::GetFontInfo(int id)
{
    const TFontInfo* design = DesignFontInfo(id);
    if (m_nDpi == kDesignDpi || !design)
        return design;
    // One key for every id that falls back on the default font.
    int key = design == m_pDefaultFont.get() || design == Shared().defaultFont.get() ? -1 : id;
    const int size = Scale(design->iSize);
    auto it = m_scaledFonts.find(key);
    if (it != m_scaledFonts.end() &&
        SameFont(it->second, design->sFontName.c_str(), size, design->bBold, design->bUnderline,
                 design->bItalic))
        return &it->second;
    TFontInfo scaled = MakeFont(m_hDcMeasure.Get(), design->sFontName.c_str(), size, design->bBold,
                                design->bUnderline, design->bItalic);
    if (!scaled.hFont)
        return design;
    if (it != m_scaledFonts.end())
        m_retiredScaledFonts.push_back(std::move(it->second.hFont));
    TFontInfo& slot = m_scaledFonts[key];
    slot = std::move(scaled);
    return &slot;
}

const TFontInfo* CPaintManagerUI::DesignFontInfo(int id)
{
    if (id >= 0) {
        auto it = m_fonts.find(id);
        if (it != m_fonts.end())
            return &it->second;
        auto shared = Shared().fonts.find(id);
        if (shared != Shared().fonts.end())
            return &shared->second;
    }
    if (m_pDefaultFont)
        return m_pDefaultFont.get();
    if (Shared().defaultFont)
        return Shared().defaultFont.get();
    // No font table: the system's message font.
    NONCLIENTMETRICSW ncm = {};
    ncm.cbSize = sizeof(ncm);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    int size = ncm.lfMessageFont.lfHeight < 0 ? -ncm.lfMessageFont.lfHeight : 12;
    // The system gives it at the system's DPI; fonts here are kept at 96.
    size = UnscaleByDpi(size, DpiOfWindow(nullptr));
    SetDefaultFont(ncm.lfMessageFont.lfFaceName, size, false, false, false, false);
    return m_pDefaultFont.get();
}

HFONT CPaintManagerUI::GetFont(int id)
{
    const TFontInfo* info = GetFontInfo(id);
    return info && info->hFont ? info->hFont.Get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void CPaintManagerUI::RemoveAllSharedFonts()
{
    SharedState& s = Shared();
    s.fonts.clear();
    s.retiredFonts.clear();
    s.defaultFont.reset();
}

const TImageInfo* CPaintManagerUI::GetImage(const std::wstring& file, const std::wstring& resType,
                                            DWORD mask)
{
    return CImageCache::Get(file, resType, mask);
}

void CPaintManagerUI::AddDefaultAttributeList(LPCWSTR pStrControlName, LPCWSTR pStrControlAttrList,
                                              bool bShared)
{
    if (!pStrControlName)
        return;
    (bShared ? Shared().defaultAttrs : m_defaultAttrs)[pStrControlName] =
        pStrControlAttrList ? pStrControlAttrList : L"";
}

LPCWSTR CPaintManagerUI::GetDefaultAttributeList(LPCWSTR pStrControlName) const
{
    if (!pStrControlName)
        return nullptr;
    auto it = m_defaultAttrs.find(pStrControlName);
    if (it != m_defaultAttrs.end())
        return it->second.c_str();
    auto shared = Shared().defaultAttrs.find(pStrControlName);
    return shared != Shared().defaultAttrs.end() ? shared->second.c_str() : nullptr;
}

}  // namespace DuiLib
