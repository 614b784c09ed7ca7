// The installer's entry: one instance per session, COM and OLE, the skin for
// the framework, the main window and its message loop, then the tear-down.
#include <windows.h>

#include <new>

#include "app/dll_search.h"
#include "app/main_window.h"
#include "app/string_bundle.h"
#include "system/installer_constants.h"
#include "system/win_handles.h"
#include "ui/skin_setup.h"

namespace {

// Before every other static initialiser of the program: not even their loads
// may pick up a DLL lying beside the installer.
struct EarlyDllRestriction {
    EarlyDllRestriction() { RestrictDllSearchToSystem(); }
};
__attribute__((init_priority(101))) EarlyDllRestriction g_earlyDllRestriction;

constexpr DWORD kMainStyle =
    WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
static_assert(kMainStyle == 0x10CE0000);
constexpr DWORD kMainExStyle = WS_EX_STATICEDGE | WS_EX_APPWINDOW;
static_assert(kMainExStyle == 0x00060000);
constexpr int kAskedWidth = 500;
constexpr int kAskedHeight = 400;

}  // namespace

void LoadSkinPackage() { SetupSkinPackage(DuiLib::CPaintManagerUI::GetInstance()); }

bool EnableDebugPrivilege()
{
    HANDLE raw = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &raw) != TRUE) {
        OutputDebugStringW(L"OpenProcessToken failed!");
        return false;
    }
    UniqueHandle token(raw);
    TOKEN_PRIVILEGES privileges = {};
    if (LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &privileges.Privileges[0].Luid) !=
        TRUE) {
        OutputDebugStringW(L"LookupPrivilegeValue failed!");
        return false;
    }
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    static_assert(sizeof(privileges) == 16);
    AdjustTokenPrivileges(token.Get(), FALSE, &privileges, sizeof(privileges), nullptr, nullptr);
    // ERROR_NOT_ALL_ASSIGNED counts as failure: the user lacks the privilege.
    if (GetLastError() == ERROR_SUCCESS) {
        OutputDebugStringW(L"AdjustTokenPrivileges succed!");
        return true;
    }
    OutputDebugStringW(L"AdjustTokenPrivileges failed!");
    return false;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    const std::wstring mutexName = InstallerInstanceName();
    UniqueHandle mutex(CreateMutexW(nullptr, FALSE, mutexName.c_str()));
    // Another installer of the product runs in this session: leave it alone.
    if (!mutex || GetLastError() != ERROR_SUCCESS)
        return 0;
    if (FAILED(CoInitialize(nullptr)))
        return 0;
    OleInitialize(nullptr);

    DuiLib::CPaintManagerUI::SetInstance(instance);
    LoadSkinPackage();
    EnableDebugPrivilege();

    // The window deletes itself once its native window is gone.
    if (auto* wnd = new (std::nothrow) CWnd_Main) {
        const std::wstring title = ClientName + L"安装程序";
        // A window destroyed during its creation has deleted itself already.
        if (HWND hwnd = wnd->Create(nullptr, title.c_str(), kMainStyle, kMainExStyle, 0, 0,
                                    kAskedWidth, kAskedHeight)) {
            wnd->CenterWindow();
            ShowWindow(hwnd, SW_SHOW);
            DuiLib::CPaintManagerUI::MessageLoop();
        }
    }

    DuiLib::CPaintManagerUI::Term();
    OleUninitialize();
    CoUninitialize();
    return 0;
}
