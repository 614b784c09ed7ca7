// Input routing: the window's messages to controls (mouse, keys, focus cues,
// tooltips, painting, reflection to native children).
#include "ui/paint_manager.h"

#include <algorithm>

#include "ui/accessible_tree.h"
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

void CPaintManagerUI::ShowToolTip(POINT pt)
{
    CControlUI* control = FindControl(pt);
    if (!control || !m_pToolTip)
        return;
    std::wstring tip = control->GetToolTip();
    if (tip.empty())
        return;
    POINT screen = pt;
    ClientToScreen(m_hWndPaint, &screen);
    m_pToolTip->Show(tip, control->GetPos(), screen, GetFont(-1));
}

void CPaintManagerUI::HideToolTip()
{
    if (m_pToolTip)
        m_pToolTip->Hide();
}

void CPaintManagerUI::OnMouseMove(POINT pt, WPARAM wParam)
{
    if (!m_bMouseTracking) {
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_HOVER | TME_LEAVE, m_hWndPaint, HOVER_DEFAULT};
        TrackMouseEvent(&tme);
        m_bMouseTracking = true;
    }
    m_ptLastMousePos = pt;
    CControlUI* hover = FindControl(pt);
    if (hover && hover->GetManager() != this)
        return;
    if (hover != m_pEventHover) {
        HideToolTip();
        if (m_pEventHover) {
            CControlUI* old = m_pEventHover;
            m_pEventHover = nullptr;
            SendEvent(old, UIEVENT_MOUSELEAVE, wParam);
        }
        m_pEventHover = hover;
        if (hover) {
            SendEvent(hover, UIEVENT_MOUSEENTER, wParam);
            // Restart hover tracking so the new control's tooltip can show.
            TRACKMOUSEEVENT tme = {sizeof(tme), TME_HOVER | TME_LEAVE, m_hWndPaint, HOVER_DEFAULT};
            TrackMouseEvent(&tme);
        }
    }
    if (m_pEventClick)
        SendEvent(m_pEventClick, UIEVENT_MOUSEMOVE, wParam);
    else if (m_pEventHover)
        SendEvent(m_pEventHover, UIEVENT_MOUSEMOVE, wParam);
}

bool CPaintManagerUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    if (!m_hWndPaint)
        return false;
    if (RunFilters(m_messageFilters, uMsg, wParam, lParam, lRes))
        return true;
    switch (uMsg) {
    case kMsgAsyncNotify:
        ProcessAsyncNotify();
        lRes = 0;
        return true;
    case WM_GETOBJECT:
        return GetAccessibleTree()->OnGetObject(wParam, lParam, lRes);
    case kMsgAccessibleAction:
        GetAccessibleTree()->OnDefaultActionMessage(wParam);
        lRes = 0;
        return true;
    case WM_SETFOCUS:
        // The window takes the focus: its focused control is announced.
        if (m_pFocus)
            NotifyAccessibleEvent(EVENT_OBJECT_FOCUS, m_pFocus);
        return false;
    case WM_WINDOWPOSCHANGED:
    case WM_DESTROY:
    case WM_CLOSE:
    case WM_SIZE:
    case WM_TIMER:
    case WM_INITMENUPOPUP:
    case WM_UPDATEUISTATE:
    case kWmDpiChanged:
        return OnWindowMessage(uMsg, wParam, lParam, lRes);
    case WM_ERASEBKGND:
    case WM_PAINT:
    case WM_PRINTCLIENT:
        return OnPaintMessage(uMsg, wParam, lParam, lRes);
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_MOUSEHOVER:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
    case WM_SETCURSOR:
        return OnMouseMessage(uMsg, wParam, lParam, lRes);
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        return OnKeyMessage(uMsg, wParam, lParam, lRes);
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_NOTIFY:
        return ReflectToChild(uMsg, wParam, lParam, lRes);
    default:
        return false;
    }
}

// The window's life: closing, destruction, size, timers, the system menu, the UI state.
bool CPaintManagerUI::OnWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    switch (uMsg) {
    case WM_WINDOWPOSCHANGED:
    case WM_DESTROY:
        if (m_pShadow)
            m_pShadow->OnParentMessage(uMsg, wParam, lParam);
        if (uMsg == WM_DESTROY) {
            // The handle may be reused by a new window before this manager goes.
            auto& managers = Managers();
            managers.erase(std::remove(managers.begin(), managers.end(), this), managers.end());
            HideToolTip();
            m_pAccessible.reset();  // what clients hold now answers "disconnected"
            for (const TimerInfo& t : m_timers)
                ::KillTimer(m_hWndPaint, t.uWinTimer);
            m_timers.clear();
        }
        return false;
    case WM_CLOSE:
        // Nothing may stay pushed or hot in a window that goes away.
        HideToolTip();
        SetFocus(nullptr);
        if (m_pEventHover) {
            CControlUI* old = m_pEventHover;
            m_pEventHover = nullptr;
            SendEvent(old, UIEVENT_MOUSELEAVE);
        }
        if (m_pEventClick) {
            CControlUI* old = m_pEventClick;
            m_pEventClick = nullptr;
            POINT outside = {-1, -1};
            m_ptLastMousePos = outside;
            SendEvent(old, UIEVENT_BUTTONUP);
        }
        return false;
    case WM_SIZE:
        if (m_pRoot && wParam != SIZE_MINIMIZED) {
            m_pRoot->NeedUpdate();
            NeedUpdate();
        }
        return false;
    case WM_TIMER:
        for (const TimerInfo& t : m_timers) {
            if (t.uWinTimer == wParam) {
                SendEvent(t.pSender, UIEVENT_TIMER, t.nLocalID, lParam);
                lRes = 0;
                return true;
            }
        }
        return false;
    case WM_INITMENUPOPUP:
        if (HIWORD(lParam))  // the system menu
            GreySizeCommand(reinterpret_cast<HMENU>(wParam));
        return false;
    case WM_UPDATEUISTATE:
        if (HIWORD(wParam) & UISF_HIDEFOCUS) {
            bool show = LOWORD(wParam) == UIS_CLEAR;
            if (LOWORD(wParam) == UIS_SET || show) {
                if (show != m_bFocusCues && m_pFocus)
                    m_pFocus->Invalidate();
                m_bFocusCues = show;
            }
        }
        return false;  // the default procedure keeps Windows' copy and tells the children
    case kWmDpiChanged:
        // The window moved to a monitor of another scale: HIWORD is the new
        // vertical DPI, the same as the horizontal one on Windows.
        if (lParam)
            OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        lRes = 0;
        return true;
    default:
        return false;
    }
}

// Painting through the back buffer.
bool CPaintManagerUI::OnPaintMessage(UINT uMsg, WPARAM wParam, LPARAM /*lParam*/, LRESULT& lRes)
{
    switch (uMsg) {
    case WM_ERASEBKGND:
        lRes = 1;
        return true;
    case WM_PAINT: {
        if (!m_pRoot) {
            PAINTSTRUCT ps;
            BeginPaint(m_hWndPaint, &ps);
            EndPaint(m_hWndPaint, &ps);
            lRes = 0;
            return true;
        }
        UpdateLayout();
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hWndPaint, &ps);
        RECT client;
        GetClientRect(m_hWndPaint, &client);
        EnsureOffscreen(client.right - client.left, client.bottom - client.top);
        if (m_hDcOffscreen && !IsRectEmpty(&ps.rcPaint)) {
            Render(m_hDcOffscreen.Get(), ps.rcPaint);
            BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
                   ps.rcPaint.bottom - ps.rcPaint.top, m_hDcOffscreen.Get(), ps.rcPaint.left,
                   ps.rcPaint.top, SRCCOPY);
        }
        EndPaint(m_hWndPaint, &ps);
        if (m_pShadow)
            m_pShadow->OnParentPainted();
        lRes = 0;
        return true;
    }
    case WM_PRINTCLIENT: {
        if (!m_pRoot)
            return false;
        UpdateLayout();
        RECT client;
        GetClientRect(m_hWndPaint, &client);
        EnsureOffscreen(client.right - client.left, client.bottom - client.top);
        if (m_hDcOffscreen) {
            Render(m_hDcOffscreen.Get(), client);
            BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, client.right, client.bottom, m_hDcOffscreen.Get(),
                   0, 0, SRCCOPY);
        }
        lRes = 0;
        return true;
    }
    default:
        return false;
    }
}

// The mouse: hover, tooltips, presses with capture, the wheel, the cursor.
bool CPaintManagerUI::OnMouseMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    switch (uMsg) {
    case WM_MOUSEMOVE: {
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        OnMouseMove(pt, wParam);
        return false;
    }
    case WM_MOUSELEAVE:
        m_bMouseTracking = false;
        HideToolTip();
        if (m_pEventHover && !m_pEventClick) {
            CControlUI* old = m_pEventHover;
            m_pEventHover = nullptr;
            SendEvent(old, UIEVENT_MOUSELEAVE);
        }
        return false;
    case WM_MOUSEHOVER: {
        m_bMouseTracking = false;
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ShowToolTip(pt);
        if (CControlUI* control = FindControl(pt))
            SendEvent(control, UIEVENT_MOUSEHOVER, wParam, lParam);
        return false;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        HideToolTip();
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        m_ptLastMousePos = pt;
        CControlUI* control = FindControl(pt);
        if (!control || control->GetManager() != this)
            return false;
        m_pEventClick = control;
        control->SetFocus();
        if (m_pEventClick != control)
            return false;  // focus handling removed it
        SetCapture(m_hWndPaint);
        SendEvent(control, uMsg == WM_LBUTTONDOWN ? UIEVENT_BUTTONDOWN : UIEVENT_DBLCLICK, wParam, lParam);
        return false;
    }
    case WM_LBUTTONUP: {
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        m_ptLastMousePos = pt;
        CControlUI* control = m_pEventClick;
        m_pEventClick = nullptr;
        if (GetCapture() == m_hWndPaint)
            ReleaseCapture();
        if (control)
            SendEvent(control, UIEVENT_BUTTONUP, wParam, lParam);
        return false;
    }
    case WM_RBUTTONDOWN: {
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        m_ptLastMousePos = pt;
        if (CControlUI* control = FindControl(pt)) {
            control->SetFocus();
            SendEvent(control, UIEVENT_RBUTTONDOWN, wParam, lParam);
        }
        return false;
    }
    case WM_CONTEXTMENU:
        if (m_pEventHover)
            SendEvent(m_pEventHover, UIEVENT_CONTEXTMENU, wParam, lParam);
        return false;
    case WM_MOUSEWHEEL: {
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ScreenToClient(m_hWndPaint, &pt);
        m_ptLastMousePos = pt;
        if (CControlUI* control = FindControl(pt))
            SendEvent(control, UIEVENT_SCROLLWHEEL, wParam, lParam);
        return false;
    }
    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT)
            return false;
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(m_hWndPaint, &pt);
        CControlUI* control = FindControl(pt);
        if (!control || !(control->GetControlFlags() & UIFLAG_SETCURSOR))
            return false;
        SendEvent(control, UIEVENT_SETCURSOR, wParam, lParam);
        lRes = TRUE;
        return true;
    }
    default:
        return false;
    }
}

// Keys to the focused control; Tab and the arrows show the focus cues.
bool CPaintManagerUI::OnKeyMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    switch (uMsg) {
    case WM_KEYDOWN:
        if (wParam == VK_TAB || (wParam >= VK_LEFT && wParam <= VK_DOWN))
            ShowFocusCues();
        if (wParam == VK_TAB) {
            SetNextTabControl(GetKeyState(VK_SHIFT) >= 0);
            lRes = 0;
            return true;
        }
        if (wParam == VK_RETURN && m_pDefaultButton &&
            !(m_pFocus && (m_pFocus->GetControlFlags() & UIFLAG_WANTRETURN))) {
            m_pEventKey = nullptr;
            m_pDefaultButton->Activate();
            lRes = 0;
            return true;
        }
        if (m_pFocus) {
            m_pEventKey = m_pFocus;
            SendEvent(m_pFocus, UIEVENT_KEYDOWN, wParam, lParam, static_cast<WCHAR>(wParam));
        }
        return false;
    case WM_KEYUP:
        if (m_pEventKey) {
            CControlUI* control = m_pEventKey;
            m_pEventKey = nullptr;
            SendEvent(control, UIEVENT_KEYUP, wParam, lParam, static_cast<WCHAR>(wParam));
        }
        return false;
    case WM_CHAR:
        if (m_pFocus)
            SendEvent(m_pFocus, UIEVENT_CHAR, wParam, lParam, static_cast<WCHAR>(wParam));
        return false;
    default:
        return false;
    }
}

// Notifications of native child windows go back to them (OCM__BASE + message).
bool CPaintManagerUI::ReflectToChild(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    switch (uMsg) {
    case WM_COMMAND:
        if (lParam == 0)
            return false;
        lRes = SendMessageW(reinterpret_cast<HWND>(lParam), OCM__BASE + uMsg, wParam, lParam);
        return true;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (lParam == 0)
            return false;
        lRes = SendMessageW(reinterpret_cast<HWND>(lParam), OCM__BASE + uMsg, wParam, lParam);
        return lRes != 0;
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
        if (!hdr || !hdr->hwndFrom)
            return false;
        lRes = SendMessageW(hdr->hwndFrom, OCM__BASE + uMsg, wParam, lParam);
        return true;
    }
    default:
        return false;
    }
}

}  // namespace DuiLib
