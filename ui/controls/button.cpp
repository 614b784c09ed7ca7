#include "ui/controls/button.h"

#include "ui/attr_parse.h"
#include "ui/paint_manager.h"
#include "ui/render.h"

namespace DuiLib {

CButtonUI::CButtonUI() { m_uTextStyle = DT_SINGLELINE | DT_VCENTER | DT_CENTER; }

LPCWSTR CButtonUI::GetClass() const { return L"ButtonUI"; }

LPVOID CButtonUI::GetInterface(LPCWSTR pstrName)
{
    if (pstrName && wcscmp(pstrName, L"Button") == 0)
        return this;
    return CLabelUI::GetInterface(pstrName);
}

UINT CButtonUI::GetControlFlags() const
{
    // A push button takes Enter itself; elsewhere Enter presses the window's
    // default button.
    return (IsKeyboardEnabled() ? UIFLAG_TABSTOP | UIFLAG_WANTRETURN : 0) |
           (IsEnabled() ? UIFLAG_SETCURSOR : 0);
}

bool CButtonUI::Activate()
{
    if (!CControlUI::Activate())
        return false;
    if (m_pManager)
        m_pManager->SendNotify(this, DUI_MSGTYPE_CLICK);
    return true;
}

bool CButtonUI::LooksLikeLink() const
{
    return !m_sText.empty() && !m_dwBackColor && m_nBorderSize <= 0 && m_sBkImage.empty() &&
           m_sNormalImage.empty() && m_sForeImage.empty();
}

void CButtonUI::SetEnabled(bool bEnable)
{
    CControlUI::SetEnabled(bEnable);
    if (!IsEnabled())
        m_uButtonState = 0;
}

void CButtonUI::DoEvent(TEventUI& event)
{
    switch (event.Type) {
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
        CLabelUI::DoEvent(event);
        return;
    case UIEVENT_KEYDOWN:
        if (IsKeyboardEnabled() && IsEnabled() && (event.chKey == VK_SPACE || event.chKey == VK_RETURN)) {
            Activate();
            return;
        }
        break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (PtInRect(&m_rcItem, event.ptMouse) && IsEnabled()) {
            m_uButtonState |= UISTATE_PUSHED | UISTATE_CAPTURED;
            Invalidate();
        }
        return;
    case UIEVENT_MOUSEMOVE:
        if (m_uButtonState & UISTATE_CAPTURED) {
            // Dragging out of the button releases its pushed look.
            UINT old = m_uButtonState;
            if (PtInRect(&m_rcItem, event.ptMouse))
                m_uButtonState |= UISTATE_PUSHED;
            else
                m_uButtonState &= ~UISTATE_PUSHED;
            if (old != m_uButtonState)
                Invalidate();
        }
        return;
    case UIEVENT_BUTTONUP:
        if (m_uButtonState & UISTATE_CAPTURED) {
            bool inside = PtInRect(&m_rcItem, event.ptMouse) != FALSE;
            m_uButtonState &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
            Invalidate();
            if (inside)
                Activate();
        }
        return;
    case UIEVENT_MOUSEENTER:
        if (IsEnabled()) {
            m_uButtonState |= UISTATE_HOT;
            Invalidate();
        }
        return;
    case UIEVENT_MOUSELEAVE:
        if (m_uButtonState & UISTATE_HOT) {
            m_uButtonState &= ~UISTATE_HOT;
            Invalidate();
        }
        return;
    case UIEVENT_SETCURSOR:
        ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

void CButtonUI::SetImage(std::wstring& slot, LPCWSTR value)
{
    std::wstring image = value ? value : L"";
    if (slot == image)
        return;
    slot = std::move(image);
    Invalidate();
}

void CButtonUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    std::wstring_view name(pstrName);
    if (name == L"normalimage")
        SetNormalImage(pstrValue);
    else if (name == L"hotimage")
        SetHotImage(pstrValue);
    else if (name == L"pushedimage")
        SetPushedImage(pstrValue);
    else if (name == L"focusedimage")
        SetFocusedImage(pstrValue);
    else if (name == L"disabledimage")
        SetDisabledImage(pstrValue);
    else if (name == L"foreimage")
        SetForeImage(pstrValue);
    else if (name == L"hotforeimage")
        SetImage(m_sHotForeImage, pstrValue);
    else if (name == L"pushedforeimage")
        SetImage(m_sPushedForeImage, pstrValue);
    else if (name == L"hotbkcolor")
        SetHotBkColor(ParseColor(pstrValue));
    else if (name == L"pushedbkcolor")
        SetPushedBkColor(ParseColor(pstrValue));
    else if (name == L"disabledbkcolor")
        SetDisabledBkColor(ParseColor(pstrValue));
    else if (name == L"focusedbkcolor")
        m_dwFocusedBkColor = ParseColor(pstrValue);
    else if (name == L"hottextcolor")
        SetHotTextColor(ParseColor(pstrValue));
    else if (name == L"pushedtextcolor")
        SetPushedTextColor(ParseColor(pstrValue));
    else if (name == L"focusedtextcolor")
        SetFocusedTextColor(ParseColor(pstrValue));
    else
        CLabelUI::SetAttribute(pstrName, pstrValue);
}

DWORD CButtonUI::CurrentTextColor() const
{
    if (!IsEnabled())
        return m_dwDisabledTextColor;
    if ((m_uButtonState & UISTATE_PUSHED) && m_dwPushedTextColor)
        return m_dwPushedTextColor;
    if ((m_uButtonState & UISTATE_HOT) && m_dwHotTextColor)
        return m_dwHotTextColor;
    if (IsFocused() && m_dwFocusedTextColor)
        return m_dwFocusedTextColor;
    return m_dwTextColor;
}

void CButtonUI::PaintBkColor(HDC hDC)
{
    if (DWORD color = CurrentBkColor())
        CRenderEngine::DrawColor(hDC, m_rcItem, color);
}

DWORD CButtonUI::CurrentBkColor() const
{
    DWORD color = m_dwBackColor;
    if (!IsEnabled()) {
        if (m_dwDisabledBkColor)
            color = m_dwDisabledBkColor;
    } else if ((m_uButtonState & UISTATE_PUSHED) && m_dwPushedBkColor) {
        color = m_dwPushedBkColor;
    } else if ((m_uButtonState & UISTATE_HOT) && m_dwHotBkColor) {
        color = m_dwHotBkColor;
    } else if (IsFocused() && m_dwFocusedBkColor) {
        color = m_dwFocusedBkColor;
    }
    return color;
}

void CButtonUI::DrawStateImage(HDC hDC, const std::wstring& preferred)
{
    if (!preferred.empty() && DrawImage(hDC, preferred))
        return;
    DrawImage(hDC, m_sNormalImage);
}

void CButtonUI::PaintStatusImage(HDC hDC)
{
    if (!IsEnabled())
        DrawStateImage(hDC, m_sDisabledImage);
    else if (m_uButtonState & UISTATE_PUSHED)
        DrawStateImage(hDC, m_sPushedImage.empty() ? m_sHotImage : m_sPushedImage);
    else if (m_uButtonState & UISTATE_HOT)
        DrawStateImage(hDC, m_sHotImage);
    else if (IsFocused())
        DrawStateImage(hDC, m_sFocusedImage);
    else
        DrawImage(hDC, m_sNormalImage);

    const std::wstring* fore = &m_sForeImage;
    if ((m_uButtonState & UISTATE_PUSHED) && !m_sPushedForeImage.empty())
        fore = &m_sPushedForeImage;
    else if ((m_uButtonState & UISTATE_HOT) && !m_sHotForeImage.empty())
        fore = &m_sHotForeImage;
    DrawImage(hDC, *fore);
}

}  // namespace DuiLib
