#pragma once
// Where the install job puts the payload archive between writing and
// unpacking it: a folder made for this run, with an unpredictable name,
// under a temporary directory that the user's programs cannot write in when
// the installer runs elevated. The archive is written and read through one
// handle that stays open, so no name is ever looked up twice.
#include <windows.h>

#include <string>

#include "system/checked_dir.h"
#include "system/private_temp_dir.h"
#include "system/win_handles.h"

// The per-run folder's name: this prefix and a GUID.
inline constexpr wchar_t kRunFolderPrefix[] = L"kxsetup-";

class PayloadDir {
public:
    PayloadDir() = default;
    PayloadDir(const PayloadDir&) = delete;
    PayloadDir& operator=(const PayloadDir&) = delete;
    ~PayloadDir() { Remove(); }

    // Opens tempDir (ending with a backslash) as a checked directory,
    // removes what killed runs of this installer left there, and makes a
    // new per-run folder in it (only Administrators and SYSTEM may use it
    // when this process is elevated). Nothing that already exists is reused.
    bool Create(const std::wstring& tempDir);
    // Writes the payload resource (7Z/101) to a new "resource.7z" in the
    // folder and keeps it open, shared for reading only. The system deletes
    // the file when its last handle closes, however the process ends.
    bool WriteArchive();
    // The open archive (readable, positioned anywhere) and its path, which
    // only names it in reports.
    HANDLE Archive() const { return archive_.Get(); }
    const std::wstring& ArchivePath() const { return archivePath_; }
    const std::wstring& Folder() const { return dir_.Path(); }
    // Closes the archive (which the system then deletes) and deletes the
    // folder through its own handle.
    void Remove();

    // What a per-run folder's name looks like: "kxsetup-" and a GUID.
    static bool IsRunFolderName(const std::wstring& name);

private:
    PrivateTempDir dir_{kRunFolderPrefix};
    std::wstring archivePath_;
    UniqueFileHandle archive_;
};
