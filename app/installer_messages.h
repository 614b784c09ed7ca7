#pragma once
// The installer's window messages, the main window pointer and the closing
// flag, and the install job's report posted as those messages.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "install/install_job.h"
#include "install/job_report.h"

namespace DuiLib { class CWindowWnd; }

constexpr UINT WM_INSTALL_PROGRESS = WM_USER + 100;        // wParam: percent
constexpr UINT WM_INSTALL_STATUS = WM_USER + 101;          // lParam: std::wstring*, owned by the window
constexpr UINT WM_INSTALL_FINISHED = WM_USER + 102;        // lParam: InstallJobInfo*, owned by the window
constexpr UINT WM_SHOW_USER_AGREEMENT = WM_USER + 103;
constexpr UINT WM_SHOW_PRIVACY_AGREEMENT = WM_USER + 107;

// The main window; posters take its native handle. Null until it exists and
// again once it is gone (ForgetMainWindow).
extern DuiLib::CWindowWnd* g_pMainWnd;
// Set to 1 once when the main window starts closing; then nothing is posted.
// Read by the install thread, set by the window's.
extern std::atomic<int32_t> g_bClosing;

// Called by the main window once it exists.
void SetMainWindow(DuiLib::CWindowWnd* wnd);

// Called by the main window before it deletes itself: a poster on another
// thread either has taken the native handle already or finds no window, and
// never reads the pointer of a deleted window.
void ForgetMainWindow(DuiLib::CWindowWnd* wnd);

// Posts an installer message to the main window unless it is closing.
// Returns whether the message was queued, so that a caller handing over a
// heap object keeps (and frees) it when it was not.
bool PostInstallerMessage(UINT msg, WPARAM wParam, LPARAM lParam);

// Hands a copy of a status text to the window; dropped while closing.
void PostInstallerStatus(const std::wstring& text);

// Hands the finished job back to the window. Returns false when the window
// is closing: the job keeps its record.
bool PostInstallerFinished(InstallJobInfo* job);

// The install job's report as the main window takes it: each status text,
// progress value and the finished record posted to it as above, so nothing
// is handed over once the window is closing.
class WindowJobReport final : public JobReport {
public:
    void Status(const std::wstring& text) override;
    void Progress(int percent) override;
    bool Finished(InstallJobInfo* job) override;
};
