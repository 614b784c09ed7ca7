// Shows one window of the installer's skin package for a few seconds, for
// reviewing its look (scripts/skin-screenshots.sh). Not a test.
//   skin_demo.exe main PAGE SECONDS [FOCUS]  main window on page 0, 1 or 2;
//                                       FOCUS: a control reached with Tab
//   skin_demo.exe userarg|privacy SECONDS
//   skin_demo.exe msgbox TYPE SECONDS   TYPE in hex, e.g. 34
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "app/message_box.h"
#include "app/string_bundle.h"
#include "ui/skin_setup.h"
#include "ui/ui_lib.h"

using namespace DuiLib;

namespace {

constexpr UINT_PTR kCloseTimer = 1;

// A window of one layout that ends the demo when it goes.
class DemoWindow : public WindowImplBase {
public:
    explicit DemoWindow(std::wstring skin) : m_skin(std::move(skin)) {}
    LPCWSTR GetWindowClassName() const override { return L"KxSkinDemo"; }
    std::wstring GetSkinFile() override { return m_skin; }
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM, BOOL& bHandled) override
    {
        bHandled = FALSE;
        if (uMsg == WM_TIMER && wParam == kCloseTimer) {
            Close(0);
            bHandled = TRUE;
        }
        return 0;
    }
    void OnFinalMessage(HWND hWnd) override
    {
        WindowImplBase::OnFinalMessage(hWnd);
        PostQuitMessage(0);
    }
    template <class T = CControlUI>
    T* Find(LPCWSTR name)
    {
        return static_cast<T*>(m_pm.FindControl(name));
    }

private:
    std::wstring m_skin;
};

// The main window as the installer shows it on each page.
void PreparePage(DemoWindow& wnd, int page)
{
    const std::wstring client = L"Vistral3.0";
    if (auto* c = wnd.Find(L"lab_captionTitle"))
        c->SetText((L"安装" + client).c_str());
    if (auto* c = wnd.Find(L"btn_userprot"))
        c->SetText((L"《" + client + L"服务协议》").c_str());
    if (auto* c = wnd.Find(L"lab_install_tip"))
        c->SetText((L"正在安装" + client).c_str());
    if (auto* tab = wnd.Find<CTabLayoutUI>(L"tab_install_view"))
        tab->SelectItem(page);
    if (page == 0) {
        if (auto* c = wnd.Find<COptionUI>(L"check_userprot"))
            c->Selected(true);
        if (auto* c = wnd.Find(L"btn_install_start"))
            c->SetEnabled(true);
    } else if (page == 1) {
        if (auto* c = wnd.Find(L"labBk"))
            c->SetBkImage(L"file = 'install_img_02.png'");
        if (auto* c = wnd.Find(L"lab_install_tip"))
            c->SetVisible(true);
        if (auto* c = wnd.Find(L"lab_install_percent"))
            c->SetText(L"42%");
        if (auto* c = wnd.Find<CProgressUI>(L"pro_install"))
            c->SetValue(42);
    } else {
        if (auto* c = wnd.Find(L"labBk"))
            c->SetBkImage(L"file = 'install_img_03.png'");
        if (auto* c = wnd.Find(L"lab_install_completed"))
            c->SetVisible(true);
        if (auto* c = wnd.Find<COptionUI>(L"check_shortcut"))
            c->Selected(true);
        if (auto* c = wnd.Find(L"btn_open_kx"))
            c->SetEnabled(true);
    }
}

// A plain light screen behind the window, so its drop shadow shows in
// screenshots of a display without a desktop.
HWND CreateBackdrop()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = CreateSolidBrush(RGB(0xE8, 0xE8, 0xE8));
    wc.lpszClassName = L"KxSkinDemoBackdrop";
    RegisterClassW(&wc);
    HWND wnd = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0,
                               0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                               nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(wnd);  // painted before the shadow is blended over it
    return wnd;
}

void CALLBACK CloseMessageBox(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (HWND box = FindWindowW(L"messagebox", nullptr))
        PostMessageW(box, WM_CLOSE, 1, 0);
}

int ShowBox(UINT type, int seconds)
{
    const bool twoButtons = (type & 0x0F) == 4;
    const std::wstring caption = GetString(L"MESSAGEBOX_CAPITON");
    std::wstring text, first, second;
    switch (type) {
    case 0x10: text = GetString(L"MESSAGEBOX_LOW_SPACE_TEXT"); break;
    case 0x34: text = GetString(L"MESSAGEBOX_WARNING_RUNNING_TEXT"); break;
    case 0x44: text = GetString(L"MESSAGEBOX_NEW_LOCATION_TEXT"); break;
    default: text = GetString(L"MESSAGEBOX_INSTERROR_2_TEXT"); break;
    }
    if (type == 0x34) {
        first = GetString(L"INSTALL");
        second = GetString(L"CANCEL");
    } else if (twoButtons) {
        first = GetString(L"Y");
        second = GetString(L"N");
    } else {
        first = GetString(L"OK");
    }
    SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, &CloseMessageBox);
    return ShowMessageBox(twoButtons ? second.c_str() : nullptr, nullptr, caption.c_str(),
                          text.c_str(), type, first.c_str());
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    EnableDpiAwareness();  // as the installer's manifest declares it
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring what = (argv && argc > 1) ? argv[1] : L"main";
    std::wstring arg = (argv && argc > 2) ? argv[2] : L"0";
    int seconds = (argv && argc > 3) ? _wtoi(argv[3]) : 5;
    std::wstring focus = (argv && argc > 4) ? argv[4] : L"";
    if (what != L"main" && what != L"msgbox")
        seconds = _wtoi(arg.c_str());
    if (seconds <= 0)
        seconds = 5;
    LocalFree(argv);

    OleInitialize(nullptr);
    SetupSkinPackage(GetModuleHandleW(nullptr));
    HWND backdrop = CreateBackdrop();
    if (what == L"msgbox") {
        ShowBox(static_cast<UINT>(wcstoul(arg.c_str(), nullptr, 16)), seconds);
    } else {
        std::wstring skin = what == L"main"      ? L"wnd_main_zh_CN.xml"
                            : what == L"privacy" ? L"wnd_privacy_zh_CN.xml"
                                                 : L"wnd_userargment_zh_CN.xml";
        DWORD style = what == L"main" ? 0x10CE0000 : 0x12CE0000;
        DemoWindow wnd(skin);
        if (wnd.Create(nullptr, L"", style, 0, 0, 0, 0, 0)) {
            if (what == L"main")
                PreparePage(wnd, _wtoi(arg.c_str()));
            wnd.CenterWindow();
            if (!focus.empty()) {
                // Tab as a user does until the control has the focus.
                ShowWindow(wnd.GetHWND(), SW_SHOW);
                SetForegroundWindow(wnd.GetHWND());
                CControlUI* target = wnd.Find(focus.c_str());
                for (int i = 0; i < 20 && target && wnd.GetPaintManager().GetFocus() != target; ++i)
                    SendMessageW(wnd.GetHWND(), WM_KEYDOWN, VK_TAB, 0);
            }
            SetTimer(wnd.GetHWND(), kCloseTimer, static_cast<UINT>(seconds) * 1000, nullptr);
            CPaintManagerUI::MessageLoop();
        }
    }
    DestroyWindow(backdrop);
    CPaintManagerUI::Term();
    OleUninitialize();
    return 0;
}
