#include "ui/tooltip.h"

#include <commctrl.h>

#include "system/system_library.h"

namespace DuiLib {

namespace {

// Loads Common Controls once from the system directory and registers the
// tooltip class; false when it is not available.
bool LoadCommonControls()
{
    static int state = 0;  // 0 untried, 1 ready, -1 unavailable
    if (state != 0)
        return state > 0;
    state = -1;
    using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto init = ProcAddress<InitFn>(LoadSystemLibrary(L"comctl32.dll"), "InitCommonControlsEx");
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    if (init && init(&icc))
        state = 1;
    return state > 0;
}

}  // namespace

CTooltipWindow::~CTooltipWindow()
{
    if (m_hWndTip && IsWindow(m_hWndTip))
        DestroyWindow(m_hWndTip);
}

bool CTooltipWindow::EnsureWindow()
{
    if (m_hWndTip && IsWindow(m_hWndTip))
        return true;
    if (!LoadCommonControls())
        return false;
    m_hWndTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                m_hWndOwner, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!m_hWndTip)
        return false;
    TTTOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    ti.hwnd = m_hWndOwner;
    ti.uId = 1;
    ti.lpszText = const_cast<LPWSTR>(L"");
    SendMessageW(m_hWndTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageW(m_hWndTip, TTM_SETMAXTIPWIDTH, 0, 400);
    return true;
}

void CTooltipWindow::Show(const std::wstring& text, const RECT& rcTool, POINT ptScreen, HFONT font)
{
    if (text.empty() || !EnsureWindow())
        return;
    if (font && reinterpret_cast<HFONT>(SendMessageW(m_hWndTip, WM_GETFONT, 0, 0)) != font)
        SendMessageW(m_hWndTip, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    m_sText = text;
    TTTOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    ti.hwnd = m_hWndOwner;
    ti.uId = 1;
    ti.rect = rcTool;
    ti.lpszText = m_sText.data();
    SendMessageW(m_hWndTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageW(m_hWndTip, TTM_TRACKPOSITION, 0, MAKELPARAM(ptScreen.x, ptScreen.y + 20));
    SendMessageW(m_hWndTip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
    m_bShown = true;
}

void CTooltipWindow::Hide()
{
    if (!m_bShown || !m_hWndTip)
        return;
    TTTOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = m_hWndOwner;
    ti.uId = 1;
    SendMessageW(m_hWndTip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
    m_bShown = false;
}

}  // namespace DuiLib
