#include "app/installer_messages.h"

#include <memory>
#include <mutex>

#include "ui/window_wnd.h"

DuiLib::CWindowWnd* g_pMainWnd = nullptr;
std::atomic<int32_t> g_bClosing = 0;

namespace {

// Held while a poster reads the window's handle and while the window forgets
// itself, so that the window is not deleted between the two reads.
std::mutex& MainWindowLock()
{
    static std::mutex lock;
    return lock;
}

HWND MainWindowHandle()
{
    std::lock_guard<std::mutex> hold(MainWindowLock());
    return g_pMainWnd ? g_pMainWnd->GetHWND() : nullptr;
}

}  // namespace

void SetMainWindow(DuiLib::CWindowWnd* wnd)
{
    std::lock_guard<std::mutex> hold(MainWindowLock());
    g_pMainWnd = wnd;
}

void ForgetMainWindow(DuiLib::CWindowWnd* wnd)
{
    std::lock_guard<std::mutex> hold(MainWindowLock());
    if (g_pMainWnd == wnd)
        g_pMainWnd = nullptr;
}

bool PostInstallerMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Read the flag immediately before posting: once the window is closing no
    // object may be handed to it.
    if (g_bClosing != 0)
        return false;
    // A null handle would post to the calling thread's own queue instead.
    HWND target = MainWindowHandle();
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

void WindowJobReport::Status(const std::wstring& text) { PostInstallerStatus(text); }

void WindowJobReport::Progress(int percent)
{
    PostInstallerMessage(WM_INSTALL_PROGRESS, static_cast<WPARAM>(percent), 0);
}

bool WindowJobReport::Finished(InstallJobInfo* job) { return PostInstallerFinished(job); }
