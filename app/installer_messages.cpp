#include "app/installer_messages.h"

#include <memory>

#include "ui/window_wnd.h"

DuiLib::CWindowWnd* g_pMainWnd = nullptr;
volatile int32_t g_bClosing = 0;

bool PostInstallerMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Read the flag immediately before posting: once the window is closing no
    // object may be handed to it.
    if (g_bClosing != 0 || g_pMainWnd == nullptr)
        return false;
    // A null handle would post to the calling thread's own queue instead.
    HWND target = g_pMainWnd->GetHWND();
    if (target == nullptr)
        return false;
    return ::PostMessageW(target, msg, wParam, lParam) != FALSE;
}

void PostInstallerStatus(const std::wstring& text)
{
    auto copy = std::make_unique<std::wstring>(text);
    if (PostInstallerMessage(WM_INSTALL_STATUS, 0, reinterpret_cast<LPARAM>(copy.get())))
        copy.release();  // the window owns it now
}

bool PostInstallerFinished(InstallJobInfo* job)
{
    return PostInstallerMessage(WM_INSTALL_FINISHED, 0, reinterpret_cast<LPARAM>(job));
}
