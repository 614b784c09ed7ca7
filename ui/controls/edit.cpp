#include "ui/controls/edit.h"

#include <algorithm>

#include "ui/attr_parse.h"
#include "ui/edit_caret.h"
#include "ui/paint_manager.h"
#include "ui/render.h"

namespace DuiLib {

namespace {

// Posted by the native window to itself: it leaves once its focus is gone.
constexpr UINT kMsgCloseEdit = WM_APP + 0x301;

}  // namespace

CEditUI::CEditUI() { m_uTextStyle = DT_SINGLELINE | DT_VCENTER | DT_LEFT; }

CEditUI::~CEditUI()
{
    DestroyNativeWindow();
}

LPCWSTR CEditUI::GetClass() const { return L"EditUI"; }

LPVOID CEditUI::GetInterface(LPCWSTR pstrName)
{
    if (pstrName && wcscmp(pstrName, L"Edit") == 0)
        return this;
    return CLabelUI::GetInterface(pstrName);
}

UINT CEditUI::GetControlFlags() const
{
    return IsEnabled() ? (UIFLAG_TABSTOP | UIFLAG_SETCURSOR) : 0;
}

std::wstring CEditUI::GetText() const
{
    if (m_hWndEdit && IsWindow(m_hWndEdit)) {
        int len = GetWindowTextLengthW(m_hWndEdit);
        std::wstring text(static_cast<size_t>(len) + 1, L'\0');
        int got = GetWindowTextW(m_hWndEdit, text.data(), len + 1);
        text.resize(static_cast<size_t>(got > 0 ? got : 0));
        return text;
    }
    return m_sText;
}

void CEditUI::SetText(LPCWSTR pstrText)
{
    std::wstring text = pstrText ? pstrText : L"";
    if (m_uMaxChar > 0 && text.size() > m_uMaxChar)
        text.resize(m_uMaxChar);
    m_sText = text;
    if (m_hWndEdit) {
        SetWindowTextW(m_hWndEdit, m_sText.c_str());
        int len = static_cast<int>(m_sText.size());
        SendMessageW(m_hWndEdit, EM_SETSEL, len, len);
    }
    Invalidate();
}

void CEditUI::SetEnabled(bool bEnable)
{
    CLabelUI::SetEnabled(bEnable);
    if (!IsEnabled()) {
        m_uButtonState = 0;
        DestroyNativeWindow();
    }
}

void CEditUI::SetReadOnly(bool bReadOnly)
{
    m_bReadOnly = bReadOnly;
    if (m_hWndEdit)
        SendMessageW(m_hWndEdit, EM_SETREADONLY, bReadOnly, 0);
    Invalidate();
}

void CEditUI::SetPasswordMode(bool bPasswordMode)
{
    m_bPasswordMode = bPasswordMode;
    Invalidate();
}

void CEditUI::SetMaxChar(UINT uMax)
{
    m_uMaxChar = uMax;
    if (m_hWndEdit)
        SendMessageW(m_hWndEdit, EM_LIMITTEXT, m_uMaxChar, 0);
}

void CEditUI::SetSel(int start, int end)
{
    if (m_hWndEdit)
        SendMessageW(m_hWndEdit, EM_SETSEL, start, end);
}

RECT CEditUI::NativeRect() const
{
    RECT rc = TextRect();
    // Never over the border, which the field may share with a neighbour.
    int b = m_nBorderSize > 0 ? ScaledLine(m_nBorderSize) : 0;
    rc.left = std::max<LONG>(rc.left, m_rcItem.left + b);
    rc.top = std::max<LONG>(rc.top, m_rcItem.top + b);
    rc.right = std::min<LONG>(rc.right, m_rcItem.right - b);
    rc.bottom = std::min<LONG>(rc.bottom, m_rcItem.bottom - b);
    // A single-line EDIT draws at its top: centre a box of one text line.
    if (m_pManager) {
        if (const TFontInfo* font = m_pManager->GetFontInfo(m_iFont)) {
            int lineHeight = font->tm.tmHeight;
            int avail = rc.bottom - rc.top;
            if (lineHeight > 0 && lineHeight < avail) {
                rc.top += (avail - lineHeight) / 2;
                rc.bottom = rc.top + lineHeight;
            }
        }
    }
    return rc;
}

void CEditUI::CreateNativeWindow()
{
    if (m_hWndEdit || !m_pManager || !m_pManager->GetPaintWindow() || !IsEnabled() || !IsVisible())
        return;
    RECT rc = NativeRect();
    DWORD style = WS_CHILD | ES_AUTOHSCROLL | WS_VISIBLE;
    if (m_bPasswordMode)
        style |= ES_PASSWORD;
    if (m_bReadOnly)
        style |= ES_READONLY;
    m_hWndEdit = CreateWindowExW(0, L"EDIT", nullptr, style, rc.left, rc.top, rc.right - rc.left,
                                 rc.bottom - rc.top, m_pManager->GetPaintWindow(), nullptr,
                                 CPaintManagerUI::GetInstance(), nullptr);
    if (!m_hWndEdit)
        return;
    SetWindowLongPtrW(m_hWndEdit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_oldEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(m_hWndEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditWndProc)));
    SendMessageW(m_hWndEdit, WM_SETFONT, reinterpret_cast<WPARAM>(m_pManager->GetFont(m_iFont)), TRUE);
    SendMessageW(m_hWndEdit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    if (m_bPasswordMode)
        SendMessageW(m_hWndEdit, EM_SETPASSWORDCHAR, m_cPasswordChar, 0);
    SendMessageW(m_hWndEdit, EM_LIMITTEXT, m_uMaxChar, 0);
    SetWindowTextW(m_hWndEdit, m_sText.c_str());
    int len = static_cast<int>(m_sText.size());
    SendMessageW(m_hWndEdit, EM_SETSEL, len, len);
    m_bFreshNative = true;
    ::SetFocus(m_hWndEdit);
    Invalidate();
}

int CEditUI::CharFromPoint(POINT pt) const
{
    RECT native = NativeRect();
    int x = std::clamp<int>(pt.x - native.left, 0, std::max<int>(0, native.right - native.left - 1));
    int y = (native.bottom - native.top) / 2;
    LRESULT pos = SendMessageW(m_hWndEdit, EM_CHARFROMPOS, 0, MAKELPARAM(x, y));
    int index = LOWORD(pos);
    int len = GetWindowTextLengthW(m_hWndEdit);
    if (pt.x >= native.right)
        index = len;  // past the right edge: to the end, scrolling
    return std::clamp(index, 0, len);
}

void CEditUI::DestroyNativeWindow()
{
    HWND hWnd = m_hWndEdit;
    if (!hWnd)
        return;
    m_sText = GetText();
    m_hWndEdit = nullptr;
    if (IsWindow(hWnd)) {
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldEditProc));
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        DestroyWindow(hWnd);
    }
    Invalidate();
}

LRESULT CALLBACK CEditUI::EditWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CEditUI*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hWnd, uMsg, wParam, lParam);
    return self->EditProc(hWnd, uMsg, wParam, lParam);
}

LRESULT CEditUI::EditProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    WNDPROC old = m_oldEditProc;
    switch (uMsg) {
    case WM_KILLFOCUS: {
        LRESULT r = CallWindowProcW(old, hWnd, uMsg, wParam, lParam);
        PostMessageW(hWnd, kMsgCloseEdit, 0, 0);
        return r;
    }
    case WM_SETFOCUS:
    case WM_SETFONT: {  // the EDIT makes its caret anew: as wide as the scale's line
        LRESULT r = CallWindowProcW(old, hWnd, uMsg, wParam, lParam);
        WidenCaret(hWnd, ScaledLine(1));
        return r;
    }
    case kMsgCloseEdit:
        if (GetFocus() != hWnd)
            DestroyNativeWindow();
        return 0;
    case WM_KEYDOWN:
        m_bFreshNative = false;
        if (wParam == 'A' && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0) {
            SendMessageW(hWnd, EM_SETSEL, 0, -1);
            return 0;
        }
        if (wParam == VK_TAB && m_pManager) {
            m_pManager->ShowFocusCues();
            m_pManager->SetNextTabControl(GetKeyState(VK_SHIFT) >= 0);
            return 0;
        }
        if (wParam == VK_RETURN && m_pManager) {
            m_pManager->SendNotify(this, DUI_MSGTYPE_RETURN);
            // As in a dialog, Enter in the field presses the default button;
            // posted, as the press may take this field away.
            m_pManager->PressDefaultButtonLater();
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == VK_TAB || wParam == VK_RETURN || wParam == 1 /* Ctrl+A */)
            return 0;  // handled at key-down; no beep
        break;
    case OCM__BASE + WM_COMMAND:
        if (HIWORD(wParam) == EN_CHANGE) {
            m_sText = GetText();
            if (m_pManager)
                m_pManager->SendNotify(this, DUI_MSGTYPE_TEXTCHANGED);
        }
        return 0;
    case OCM__BASE + WM_CTLCOLOREDIT:
    case OCM__BASE + WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        DWORD text = m_dwTextColor ? m_dwTextColor
                                   : (m_pManager ? m_pManager->GetDefaultFontColor() : 0xFF000000);
        ::SetTextColor(dc, CRenderEngine::ToColorRef(text));
        ::SetBkColor(dc, CRenderEngine::ToColorRef(m_dwEditBkColor));
        if (!m_hEditBrush)
            m_hEditBrush.Reset(CreateSolidBrush(CRenderEngine::ToColorRef(m_dwEditBkColor)));
        return reinterpret_cast<LRESULT>(m_hEditBrush.Get());
    }
    default:
        break;
    }
    return CallWindowProcW(old, hWnd, uMsg, wParam, lParam);
}

void CEditUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    CLabelUI::SetPos(rc, bNeedInvalidate);
    if (m_hWndEdit && m_pManager) {
        // After a change of scale the field takes the font of the new DPI.
        HFONT font = m_pManager->GetFont(m_iFont);
        if (reinterpret_cast<HFONT>(SendMessageW(m_hWndEdit, WM_GETFONT, 0, 0)) != font)
            SendMessageW(m_hWndEdit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    if (m_hWndEdit) {
        RECT native = NativeRect();
        SetWindowPos(m_hWndEdit, nullptr, native.left, native.top, native.right - native.left,
                     native.bottom - native.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CEditUI::SetVisible(bool bVisible)
{
    CLabelUI::SetVisible(bVisible);
    if (!IsVisible())
        DestroyNativeWindow();
}

void CEditUI::SetInternVisible(bool bVisible)
{
    CLabelUI::SetInternVisible(bVisible);
    if (!IsVisible())
        DestroyNativeWindow();
}

void CEditUI::DoEvent(TEventUI& event)
{
    switch (event.Type) {
    case UIEVENT_SETCURSOR:
        if (IsEnabled()) {
            ::SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
            return;
        }
        break;
    case UIEVENT_SETFOCUS:
        CLabelUI::DoEvent(event);
        CreateNativeWindow();
        return;
    case UIEVENT_KILLFOCUS:
        CLabelUI::DoEvent(event);
        return;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (IsEnabled()) {
            if (!m_hWndEdit)
                CreateNativeWindow();
            if (m_hWndEdit) {
                if (m_bFreshNative) {  // show the text as it was drawn, from its start
                    SendMessageW(m_hWndEdit, EM_SETSEL, 0, 0);
                    SendMessageW(m_hWndEdit, EM_SCROLLCARET, 0, 0);
                }
                m_bFreshNative = false;
                m_bSelecting = event.Type == UIEVENT_BUTTONDOWN;
                if (m_bSelecting) {
                    m_iSelAnchor = CharFromPoint(event.ptMouse);
                    SendMessageW(m_hWndEdit, EM_SETSEL, m_iSelAnchor, m_iSelAnchor);
                } else {
                    SendMessageW(m_hWndEdit, EM_SETSEL, 0, -1);
                }
            }
        }
        return;
    case UIEVENT_MOUSEMOVE:
        if (m_bSelecting && m_hWndEdit)  // the caret end follows the pointer
            SendMessageW(m_hWndEdit, EM_SETSEL, m_iSelAnchor, CharFromPoint(event.ptMouse));
        return;
    case UIEVENT_BUTTONUP:
        m_bSelecting = false;
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
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

void CEditUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    std::wstring_view name(pstrName);
    if (name == L"readonly")
        SetReadOnly(ParseBool(pstrValue));
    else if (name == L"password")
        SetPasswordMode(ParseBool(pstrValue));
    else if (name == L"maxchar")
        SetMaxChar(static_cast<UINT>(ParseInt(pstrValue)));
    else if (name == L"nativebkcolor")
        SetNativeEditBkColor(ParseColor(pstrValue));
    else if (name == L"normalimage")
        m_sNormalImage = pstrValue;
    else if (name == L"hotimage")
        m_sHotImage = pstrValue;
    else if (name == L"focusedimage")
        m_sFocusedImage = pstrValue;
    else if (name == L"disabledimage")
        m_sDisabledImage = pstrValue;
    else
        CLabelUI::SetAttribute(pstrName, pstrValue);
}

void CEditUI::PaintStatusImage(HDC hDC)
{
    const std::wstring* image = &m_sNormalImage;
    if (!IsEnabled() && !m_sDisabledImage.empty())
        image = &m_sDisabledImage;
    else if (IsFocused() && !m_sFocusedImage.empty())
        image = &m_sFocusedImage;
    else if ((m_uButtonState & UISTATE_HOT) && !m_sHotImage.empty())
        image = &m_sHotImage;
    if (!DrawImage(hDC, *image))
        DrawImage(hDC, m_sNormalImage);
}

void CEditUI::PaintText(HDC hDC)
{
    if (m_hWndEdit)
        return;  // the native window shows the text while editing
    if (m_bPasswordMode) {
        std::wstring shown(m_sText.size(), m_cPasswordChar);
        std::swap(shown, m_sText);
        CLabelUI::PaintText(hDC);
        std::swap(shown, m_sText);
        return;
    }
    CLabelUI::PaintText(hDC);
}

}  // namespace DuiLib
