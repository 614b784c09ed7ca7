#include "ui/window_impl_base.h"

#include <cstdlib>
#include <cwctype>

#include "ui/control.h"
#include "ui/dialog_builder.h"

namespace DuiLib {

namespace {

// Classes that let the caption area drag the window.
constexpr const wchar_t* kStaticClasses[] = {
    L"controlui",          L"textui",       L"labelui",          L"containerui",
    L"horizontallayoutui", L"verticallayoutui", L"tablayoutui",  L"childlayoutui",
    L"dialoglayoutui",     L"progresscontainerui"};

bool IsStaticClass(LPCWSTR cls)
{
    for (const wchar_t* name : kStaticClasses)
        if (cls && _wcsicmp(cls, name) == 0)
            return true;
    return false;
}

}  // namespace

WindowImplBase::WindowImplBase()
{
    AddNotifyHandler(DUI_MSGTYPE_CLICK, L"", [this](TNotifyUI& msg) { OnClick(msg); });
}

void WindowImplBase::OnFinalMessage(HWND /*hWnd*/)
{
    m_pm.RemovePreMessageFilter(this);
    m_pm.RemoveNotifier(this);
    m_pm.ReapObjects(m_pm.GetRoot());
}

void WindowImplBase::OnClick(TNotifyUI& msg)
{
    if (!msg.pSender)
        return;
    const std::wstring& name = msg.pSender->GetName();
    if (_wcsicmp(name.c_str(), L"closebtn") == 0)
        Close(1);
    else if (_wcsicmp(name.c_str(), L"minbtn") == 0)
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    else if (_wcsicmp(name.c_str(), L"maxbtn") == 0)
        SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    else if (_wcsicmp(name.c_str(), L"restorebtn") == 0)
        SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
}

bool WindowImplBase::IsInStaticControl(CControlUI* pControl)
{
    if (!pControl)
        return false;
    for (CControlUI* p = pControl; p; p = p->GetParent())
        if (!IsStaticClass(p->GetClass()))
            return false;
    return true;
}

LRESULT WindowImplBase::ResponseDefaultKeyEvent(WPARAM wParam)
{
    return wParam == VK_ESCAPE ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    if (::IsIconic(m_hWnd))
        bHandled = FALSE;
    // No frame to draw; TRUE lets the activation change proceed.
    return wParam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM, BOOL&)
{
    return 0;  // the whole window is client area
}

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ::ScreenToClient(m_hWnd, &pt);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    if (!::IsZoomed(m_hWnd)) {
        RECT box = m_pm.ScaleRect(m_pm.GetSizeBox());
        if (pt.y < client.top + box.top) {
            if (pt.x < client.left + box.left)
                return HTTOPLEFT;
            if (pt.x > client.right - box.right)
                return HTTOPRIGHT;
            return HTTOP;
        }
        if (pt.y > client.bottom - box.bottom) {
            if (pt.x < client.left + box.left)
                return HTBOTTOMLEFT;
            if (pt.x > client.right - box.right)
                return HTBOTTOMRIGHT;
            return HTBOTTOM;
        }
        if (pt.x < client.left + box.left)
            return HTLEFT;
        if (pt.x > client.right - box.right)
            return HTRIGHT;
    }
    RECT caption = m_pm.ScaleRect(m_pm.GetCaptionRect());
    if (pt.x >= client.left + caption.left && pt.x < client.right - caption.right &&
        pt.y >= caption.top && pt.y < caption.bottom) {
        CControlUI* control = m_pm.FindControl(pt);
        if (control && IsInStaticControl(control))
            return HTCAPTION;
    }
    return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    auto* mmi = reinterpret_cast<MINMAXINFO*>(lParam);
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &mi);
    RECT work = mi.rcWork;
    ::OffsetRect(&work, -mi.rcMonitor.left, -mi.rcMonitor.top);
    mmi->ptMaxPosition = {work.left, work.top};
    mmi->ptMaxSize = {work.right - work.left, work.bottom - work.top};
    mmi->ptMaxTrackSize = mmi->ptMaxSize;
    SIZE minInfo = m_pm.GetMinInfo();
    minInfo = {m_pm.Scale(minInfo.cx), m_pm.Scale(minInfo.cy)};
    if (minInfo.cx > 0 || minInfo.cy > 0)
        mmi->ptMinTrackSize = {minInfo.cx, minInfo.cy};
    SIZE maxInfo = m_pm.GetMaxInfo();
    maxInfo = {m_pm.Scale(maxInfo.cx), m_pm.Scale(maxInfo.cy)};
    if (maxInfo.cx > 0 && maxInfo.cy > 0)
        mmi->ptMaxTrackSize = {maxInfo.cx, maxInfo.cy};
    return 0;
}

LRESULT WindowImplBase::OnMouseWheel(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnMouseHover(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    if (!::IsIconic(m_hWnd)) {
        SIZE round = m_pm.GetRoundCorner();
        round = {m_pm.Scale(round.cx), m_pm.Scale(round.cy)};
        RECT rc;
        ::GetWindowRect(m_hWnd, &rc);
        ::OffsetRect(&rc, -rc.left, -rc.top);
        unique_hrgn rgn(::CreateRoundRectRgn(rc.left, rc.top, rc.right + 1, rc.bottom + 1, round.cx, round.cy));
        // The system owns the region once it is set.
        if (rgn && ::SetWindowRgn(m_hWnd, rgn.Get(), TRUE))
            rgn.Release();
    }
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnChar(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        SendMessage(WM_CLOSE);
        bHandled = TRUE;
        return 0;
    }
    if ((wParam & 0xFFF0) == SC_SIZE && !m_pm.HasSizeBox())
        return 0;  // a layout without a size box keeps its size
    BOOL zoomed = ::IsZoomed(m_hWnd);
    LRESULT r = CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    if (::IsWindow(m_hWnd) && zoomed != ::IsZoomed(m_hWnd)) {
        bool nowZoomed = ::IsZoomed(m_hWnd) != FALSE;
        if (CControlUI* maxBtn = m_pm.FindControl(L"maxbtn"))
            maxBtn->SetVisible(!nowZoomed);
        if (CControlUI* restoreBtn = m_pm.FindControl(L"restorebtn"))
            restoreBtn->SetVisible(nowZoomed);
    }
    return r;
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    LONG style = ::GetWindowLongW(m_hWnd, GWL_STYLE);
    style = (style & static_cast<LONG>(0xFF3FFFFF)) | 0x06000000;  // no caption; clip children/siblings
    ::SetWindowLongW(m_hWnd, GWL_STYLE, style);
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    ::SetWindowPos(m_hWnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                   SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOACTIVATE);

    m_pm.Init(m_hWnd, GetManagerName());
    m_pm.AddPreMessageFilter(this);
    InitResource();

    std::wstring skinFile = GetSkinFile();
    LPCWSTR skinType = GetSkinType();
    CDialogBuilder builder;
    CControlUI* root = nullptr;
    if (!skinType || !*skinType)
        root = builder.Create(skinFile.c_str(), nullptr, this, &m_pm);
    else
        root = builder.Create(MAKEINTRESOURCEW(_wtoi(skinFile.c_str())), skinType, this, &m_pm);
    if (!root) {
        std::wstring text = L"加载资源文件失败：" + skinFile;
        ::MessageBoxW(nullptr, text.c_str(), L"Duilib", MB_ICONERROR);
        ::ExitProcess(1);
    }
    m_pm.AttachDialog(root);
    m_pm.AddNotifier(this);
    m_pm.GreySizeCommand(::GetSystemMenu(m_hWnd, FALSE));
    InitWindow();
    return 0;
}

LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnKillFocus(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnSetFocus(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnMouseMove(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LONG WindowImplBase::GetStyle()
{
    return ::GetWindowLongW(m_hWnd, GWL_STYLE) & static_cast<LONG>(0xFF3FFFFF);
}

LRESULT WindowImplBase::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    LRESULT lRes = 0;
    BOOL bHandled = TRUE;
    switch (uMsg) {
    case WM_CREATE: lRes = OnCreate(uMsg, wParam, lParam, bHandled); break;
    case WM_DESTROY: lRes = OnDestroy(uMsg, wParam, lParam, bHandled); break;
    case WM_SIZE: lRes = OnSize(uMsg, wParam, lParam, bHandled); break;
    case WM_SETFOCUS: lRes = OnSetFocus(uMsg, wParam, lParam, bHandled); break;
    case WM_KILLFOCUS: lRes = OnKillFocus(uMsg, wParam, lParam, bHandled); break;
    case WM_CLOSE: lRes = OnClose(uMsg, wParam, lParam, bHandled); break;
    case WM_GETMINMAXINFO: lRes = OnGetMinMaxInfo(uMsg, wParam, lParam, bHandled); break;
    case WM_NCCALCSIZE: lRes = OnNcCalcSize(uMsg, wParam, lParam, bHandled); break;
    case WM_NCHITTEST: lRes = OnNcHitTest(uMsg, wParam, lParam, bHandled); break;
    case WM_NCPAINT: lRes = OnNcPaint(uMsg, wParam, lParam, bHandled); break;
    case WM_NCACTIVATE: lRes = OnNcActivate(uMsg, wParam, lParam, bHandled); break;
    case WM_KEYDOWN: lRes = OnKeyDown(uMsg, wParam, lParam, bHandled); break;
    case WM_CHAR: lRes = OnChar(uMsg, wParam, lParam, bHandled); break;
    case WM_SYSCOMMAND: lRes = OnSysCommand(uMsg, wParam, lParam, bHandled); break;
    case WM_MOUSEMOVE: lRes = OnMouseMove(uMsg, wParam, lParam, bHandled); break;
    case WM_LBUTTONDOWN: lRes = OnLButtonDown(uMsg, wParam, lParam, bHandled); break;
    case WM_LBUTTONUP: lRes = OnLButtonUp(uMsg, wParam, lParam, bHandled); break;
    case WM_MOUSEWHEEL: lRes = OnMouseWheel(uMsg, wParam, lParam, bHandled); break;
    case WM_MOUSEHOVER: lRes = OnMouseHover(uMsg, wParam, lParam, bHandled); break;
    default: bHandled = FALSE; break;
    }
    if (bHandled)
        return lRes;
    bHandled = FALSE;
    lRes = HandleCustomMessage(uMsg, wParam, lParam, bHandled);
    if (bHandled)
        return lRes;
    if (m_pm.MessageHandler(uMsg, wParam, lParam, lRes))
        return lRes;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

void WindowImplBase::Notify(TNotifyUI& msg) { NotifyPump(msg); }

LRESULT WindowImplBase::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM, bool& bHandled)
{
    if (uMsg != WM_KEYDOWN || (wParam != VK_RETURN && wParam != VK_ESCAPE))
        return FALSE;
    // Esc presses the window's cancel button, wherever in the window the
    // focus is (a native child included), as in a Windows dialog.
    if (wParam == VK_ESCAPE) {
        if (CControlUI* cancel = m_pm.GetCancelButton(); cancel && cancel->Activate()) {
            bHandled = true;
            return 0;
        }
    }
    // Asked, but the answer is not acted on: Enter and Escape reach the controls.
    return ResponseDefaultKeyEvent(wParam);
}

CControlUI* WindowImplBase::CreateControl(LPCWSTR) { return nullptr; }

LPCWSTR WindowImplBase::QueryControlText(LPCWSTR, LPCWSTR) { return nullptr; }

}  // namespace DuiLib
