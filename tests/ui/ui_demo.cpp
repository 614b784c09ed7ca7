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
    void OnFinalMessage(HWND hWnd) override
    {
        TestWindow::OnFinalMessage(hWnd);
        PostQuitMessage(0);
    }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring layout = (argv && argc > 1) ? argv[1] : L"test_main.xml";
    LocalFree(argv);
    OleInitialize(nullptr);
    uitest::InstallTestSkin();
    {
        DemoWindow wnd(layout, true);
        if (wnd.Open()) {
            wnd.CenterWindow();
            if (auto* tab = wnd.Find<DuiLib::CTabLayoutUI>(L"tab_pages"))
                tab->SelectItem(0);
            DuiLib::CPaintManagerUI::MessageLoop();
        }
    }
    DuiLib::CPaintManagerUI::Term();
    OleUninitialize();
    return 0;
}
