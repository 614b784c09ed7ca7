#pragma once
// Owner of one native window: registers its class (or superclasses a
// system class), creates the window, routes its messages to the virtual
// HandleMessage, and offers the window operations: modal run, close with a
// result, centring, icons.
#include <windows.h>

#include "system/win_handles.h"

namespace DuiLib {

class CWindowWnd {
public:
    CWindowWnd() = default;
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    // Overridable operations, in this slot order.
    virtual LPCWSTR GetWindowClassName() const = 0;
    virtual LPCWSTR GetSuperClassName() const { return nullptr; }
    virtual UINT GetClassStyle() const { return CS_DBLCLKS; }
    virtual LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
    virtual void OnFinalMessage(HWND hWnd);
    virtual ~CWindowWnd();

    HWND GetHWND() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    HWND Create(HWND hwndParent, LPCWSTR pstrName, DWORD dwStyle, DWORD dwExStyle,
                int x = CW_USEDEFAULT, int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT,
                int cy = CW_USEDEFAULT, HMENU hMenu = nullptr);
    HWND Create(HWND hwndParent, LPCWSTR pstrName, DWORD dwStyle, DWORD dwExStyle, const RECT& rc,
                HMENU hMenu = nullptr);
    void ShowWindow(bool bShow = true, bool bTakeFocus = true);
    // Shows the window and runs its own loop until it is destroyed; the
    // owner is disabled meanwhile. Returns the wParam of the WM_CLOSE that
    // closed it (0 if none). A WM_QUIT ends the run and is posted again.
    UINT ShowModal();
    // Posts WM_CLOSE with the result as wParam, if the window still exists.
    void Close(UINT nRet = IDOK);
    // Centres over the owner (or the monitor's work area) and keeps the
    // window inside that work area.
    void CenterWindow();
    // Big and small icons from the icon group of that resource id.
    void SetIcon(UINT nRes);
    void ResizeClient(int cx = -1, int cy = -1);

    LRESULT SendMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT PostMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);

protected:
    bool RegisterWindowClass();
    bool RegisterSuperclass();
    static LRESULT CALLBACK __WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    WNDPROC m_OldWndProc = ::DefWindowProcW;
    unique_hicon m_hIconBig;
    unique_hicon m_hIconSmall;
};

}  // namespace DuiLib
