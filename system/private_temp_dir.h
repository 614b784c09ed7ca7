#pragma once
// A folder made for one run of a program, with an unpredictable name, under
// a temporary directory that the user's programs cannot write in when the
// program runs elevated. The installer unpacks its payload from one; the
// uninstaller runs its copy from one.
#include <windows.h>

#include <string>

#include "system/checked_dir.h"

// The temporary directory such folders go in, with a trailing backslash:
// elevated, the Windows directory's "Temp" (only administrators write
// there); otherwise the user's temporary directory. Empty when unknown.
std::wstring PayloadTempDir();

// Tests: the folders go in dir (ending with a backslash) instead; empty
// goes back to the rule above.
void SetPayloadTempDirForTesting(const std::wstring& dir);

// Whether this process runs with an elevated (administrator) token.
bool IsProcessElevated();

class PrivateTempDir {
public:
    explicit PrivateTempDir(const wchar_t* prefix) : prefix_(prefix) {}
    PrivateTempDir(const PrivateTempDir&) = delete;
    PrivateTempDir& operator=(const PrivateTempDir&) = delete;
    ~PrivateTempDir() { Remove(); }

    // Opens tempDir (ending with a backslash) as a checked directory,
    // removes what killed runs left there under this prefix (a folder still
    // in use stays), and makes a new folder "<prefix>{GUID}" in it (only
    // Administrators and SYSTEM may use it when this process is elevated).
    // Nothing that already exists is reused.
    bool Create(const std::wstring& tempDir);
    const CheckedDir& Folder() const { return folder_; }
    // The folder's path, with a trailing backslash; empty before Create.
    const std::wstring& Path() const { return folderPath_; }
    // Deletes the folder with what is in it, through its own handles.
    void Remove();
    // Closes the handles and leaves the folder where it is, for another
    // process to use and remove.
    void Leave();

    // What a folder of this prefix is named: the prefix and a GUID.
    static bool IsRunFolderName(const std::wstring& name, const wchar_t* prefix);

private:
    const wchar_t* prefix_;
    CheckedDir temp_;
    CheckedDir folder_;
    std::wstring folderPath_;
};
