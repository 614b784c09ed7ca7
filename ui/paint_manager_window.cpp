// The window attributes of a layout's root element.
#include "ui/paint_manager.h"

#include <algorithm>

#include "ui/attr_parse.h"
#include "ui/control.h"
#include "ui/image_cache.h"
#include "ui/paint_manager_shared.h"
#include "ui/render.h"
#include "ui/shadow.h"
#include "ui/tooltip.h"

namespace DuiLib {

void CPaintManagerUI::SetInitSize(int cx, int cy)
{
    m_szInitWindowSize = {cx, cy};
    if (m_hWndPaint && cx > 0 && cy > 0)
        SetWindowPos(m_hWndPaint, nullptr, 0, 0, Scale(cx), Scale(cy),
                     SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

void CPaintManagerUI::GreySizeCommand(HMENU hSysMenu) const
{
    if (hSysMenu && !HasSizeBox())
        EnableMenuItem(hSysMenu, SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
}

void CPaintManagerUI::SetWindowAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    std::wstring_view name(pstrName);
    auto shadow = [this]() -> CShadowUI& {
        if (!m_pShadow)
            m_pShadow = std::make_unique<CShadowUI>();
        return *m_pShadow;
    };
    if (name == L"size") {
        SIZE sz = ParseSize(pstrValue);
        SetInitSize(sz.cx, sz.cy);
    } else if (name == L"sizebox") {
        SetSizeBox(ParseRect(pstrValue));
    } else if (name == L"caption") {
        SetCaptionRect(ParseRect(pstrValue));
    } else if (name == L"roundcorner") {
        SIZE sz = ParseSize(pstrValue);
        SetRoundCorner(sz.cx, sz.cy);
    } else if (name == L"mininfo") {
        SIZE sz = ParseSize(pstrValue);
        SetMinInfo(sz.cx, sz.cy);
    } else if (name == L"maxinfo") {
        SIZE sz = ParseSize(pstrValue);
        SetMaxInfo(sz.cx, sz.cy);
    } else if (name == L"defaultfontcolor") {
        SetDefaultFontColor(ParseColor(pstrValue));
    } else if (name == L"disabledfontcolor") {
        SetDefaultDisabledColor(ParseColor(pstrValue));
    } else if (name == L"linkfontcolor") {
        SetDefaultLinkFontColor(ParseColor(pstrValue));
    } else if (name == L"linkhoverfontcolor") {
        SetDefaultLinkHoverFontColor(ParseColor(pstrValue));
    } else if (name == L"selectedcolor") {
        SetDefaultSelectedBkColor(ParseColor(pstrValue));
    } else if (name == L"showshadow") {
        shadow().ShowShadow(ParseBool(pstrValue));
    } else if (name == L"shadowimage") {
        shadow().SetImage(pstrValue);
    } else if (name == L"shadowsize") {
        shadow().SetSize(ParseInt(pstrValue));
    } else if (name == L"shadowcorner") {
        shadow().SetShadowCorner(ParseRect(pstrValue));
    } else if (name == L"shadowcolor") {
        shadow().SetColor(ParseColor(pstrValue));
    } else if (name == L"shadowposition") {
        SIZE sz = ParseSize(pstrValue);
        shadow().SetPosition(sz.cx, sz.cy);
    }
}

}  // namespace DuiLib
