// Shows one layout of the test skin package until the window is closed,
// for looking at the framework's drawing (see scripts/ui-screenshots.sh).
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "ui_test_support.h"

namespace {

// The demo ends its loop when its window goes.
class DemoWindow : public uitest::TestWindow {
public:
    using TestWindow::TestWindow;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override
    {
        if (uMsg == WM_TIMER && wParam == 1) {
            Close(0);
            bHandled = TRUE;
            return 0;
        }
        return TestWindow::HandleCustomMessage(uMsg, wParam, lParam, bHandled);
    }
    void OnFinalMessage(HWND hWnd) override
    {
        TestWindow::OnFinalMessage(hWnd);
        PostQuitMessage(0);
    }
};

// A plain light screen behind the window, so its drop shadow shows in
// screenshots of a display without a desktop.
HWND CreateBackdrop()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = CreateSolidBrush(RGB(0xE8, 0xE8, 0xE8));
    wc.lpszClassName = L"KxUiDemoBackdrop";
    RegisterClassW(&wc);
    return CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0,
                           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                           nullptr, wc.hInstance, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring layout = (argv && argc > 1) ? argv[1] : L"test_main.xml";
    // An optional second argument closes the window after that many seconds.
    int seconds = (argv && argc > 2) ? _wtoi(argv[2]) : 0;
    LocalFree(argv);
    OleInitialize(nullptr);
    uitest::InstallTestSkin();
    HWND backdrop = seconds > 0 ? CreateBackdrop() : nullptr;
    if (backdrop)
        UpdateWindow(backdrop);  // painted before the shadow is blended over it
    {
        DemoWindow wnd(layout, true);
        if (wnd.Open()) {
            wnd.CenterWindow();
            if (seconds > 0)
                SetTimer(wnd.GetHWND(), 1, static_cast<UINT>(seconds) * 1000, nullptr);
            DuiLib::CPaintManagerUI::MessageLoop();
        }
    }
    if (backdrop)
        DestroyWindow(backdrop);
    DuiLib::CPaintManagerUI::Term();
    OleUninitialize();
    return 0;
}
