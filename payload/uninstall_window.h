#pragma once
// The uninstaller's window, in the installer's style: page 0 asks, page 1
// shows the removal's progress, page 2 says what stays and where.
#include <windows.h>

#include "payload/uninstall_handoff.h"
#include "payload/uninstall_steps.h"
#include "ui/ui_lib.h"

class CWnd_Uninstall : public DuiLib::WindowImplBase {
public:
    CWnd_Uninstall(CopyLink& link, CheckedDir& folder) : m_link(link), m_folder(folder) {}

    LPCWSTR GetWindowClassName() const override { return L"kxVistralUninstaller"; }
    void OnFinalMessage(HWND hWnd) override;
    void InitWindow() override;
    std::wstring GetSkinFile() override { return L"wnd_uninstall_zh_CN.xml"; }
    LRESULT ResponseDefaultKeyEvent(WPARAM) override { return FALSE; }
    LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    void Notify(DuiLib::TNotifyUI& msg) override;

    // The exit code once the window is gone.
    int ExitCode() const { return m_exitCode; }

private:
    enum Page { kAsking = 0, kRemoving = 1, kFinished = 2 };
    void Start();
    void OnProgress(int percent);
    void OnRemoved();
    void Cancel();
    void Quit();
    int CurrentPage() const;
    static DWORD WINAPI Worker(void* self);

    CopyLink& m_link;
    CheckedDir& m_folder;
    std::wstring m_folderPath;
    UninstallOutcome m_outcome;  // the worker's until it posts that it is done
    UniqueHandle m_worker;
    int m_exitCode = kExitCancelled;
    DuiLib::CTabLayoutUI* m_pTab = nullptr;
    DuiLib::CProgressUI* m_pProgress = nullptr;
    DuiLib::CControlUI* m_pPercent = nullptr;
    DuiLib::CControlUI* m_pState = nullptr;
    DuiLib::CControlUI* m_pClose = nullptr;
};

// Runs the window's whole road; the exit code.
int RunUninstallWindow(CopyLink& link, CheckedDir& folder);
