#pragma once
// A stand-in product program for the tests: the sleeper copied to a path
// and started; ended when the object goes.
#include <windows.h>

#include <string>

#include "system/win_handles.h"

inline std::wstring OwnDirectory()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir = path;
    return dir.substr(0, dir.find_last_of(L'\\') + 1);
}

// The sleeper copied to `exePath` and started; ended when the test ends.
class RunningProgram {
public:
    explicit RunningProgram(const std::wstring& exePath) : path_(exePath)
    {
        if (!CopyFileW((OwnDirectory() + KX_SLEEPER_EXE).c_str(), exePath.c_str(), FALSE))
            return;
        static int count = 0;  // one per test process
        std::wstring eventName =
            L"kx-sleeper-ready-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++count);
        UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
        std::wstring commandLine = L"\"" + exePath + L"\" " + eventName;
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                            CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
            return;
        process_ = UniqueHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        id_ = pi.dwProcessId;
        // Running its own code means its loader is done and its modules are listed.
        started_ = WaitForSingleObject(ready.Get(), 20000) == WAIT_OBJECT_0;
    }
    ~RunningProgram()
    {
        if (process_) {
            TerminateProcess(process_.Get(), 0);
            WaitForSingleObject(process_.Get(), 10000);
        }
    }
    bool Started() const { return started_; }
    DWORD Id() const { return id_; }
    // STILL_ACTIVE while it runs.
    DWORD ExitCode() const
    {
        DWORD code = 0;
        return GetExitCodeProcess(process_.Get(), &code) ? code : 0;
    }
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
    UniqueHandle process_;
    DWORD id_ = 0;
    bool started_ = false;
};
