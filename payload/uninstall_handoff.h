#pragma once
// A running program's own file cannot be deleted, so Uninstall.exe runs a
// copy of itself from a private folder (system/private_temp_dir.h) and the
// copy does the work. The copy tells the original its exit code through a
// pipe, the original exits with it, and the copy then removes the original
// and its folder. The copy's own file and folder go at the next restart.
#include <windows.h>

#include <string>

#include "system/win_handles.h"

// The hidden argument that starts the copy: "/_copy PARENT PIPE DIR".
inline constexpr wchar_t kCopyArgument[] = L"/_copy";

// The original's side: copies this program into a new private folder,
// starts it for programDir (silent passed on) and returns the exit code the
// copy reports, or kExitCannotStart.
int RunCopy(const std::wstring& programDir, bool silent);

// The copy's side: what the original handed over.
struct CopyLink {
    UniqueHandle parent;          // the original's process (SYNCHRONIZE)
    UniqueFileHandle pipe;        // write end for the exit code
    std::wstring programDir;

    DWORD ParentId() const { return parent ? GetProcessId(parent.Get()) : 0; }
    // Sends the exit code (once) and, unless the user cancelled (the
    // original then waits for this copy, to remove its folder), waits at
    // most 30 s for the original to end.
    void Report(int exitCode);
};

// Reads the copy's arguments (after kCopyArgument); false when they are
// not handles this process holds.
bool ParseCopyArguments(const wchar_t* parent, const wchar_t* pipe, const wchar_t* dir,
                        CopyLink& link);

// Has this copy's file and its private folder deleted at the next restart.
void ForgetCopyAtRestart();
