#pragma once
// Test helpers: scratch directories in the Windows temporary directory,
// file reading and the location of the test archives.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// A fresh directory under the temporary directory, removed with all its
// contents (read-only files included) when the object goes.
class ScratchDir {
public:
    ScratchDir();
    // The same in base (ending with a backslash), for folders that must
    // not lie where users create folders (earlier installations).
    explicit ScratchDir(const std::wstring& base);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // Ends with a backslash.
    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& relative) const { return path_ + relative; }

private:
    std::wstring path_;
};

// Where an earlier installation of a test may lie: the drive root, which
// holds no user's or temporary folders.
inline const wchar_t kInstallBase[] = L"C:\\";

void RemoveTree(const std::wstring& path);

// A test archive or source file made at build time by 7zz (see
// make_test_archives.py), as a Windows path.
std::wstring TestData(const std::wstring& relative);

bool ReadBytes(const std::wstring& path, std::vector<uint8_t>& bytes);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
bool Exists(const std::wstring& path);
bool IsDirectory(const std::wstring& path);
DWORD Attributes(const std::wstring& path);
// Makes link a junction (mount point) to target; false where the file
// system has none.
bool MakeJunction(const std::wstring& link, const std::wstring& target);

struct FileTimes {
    FILETIME creation{};
    FILETIME access{};
    FILETIME write{};
};
bool GetTimes(const std::wstring& path, FileTimes& times);
uint64_t Ticks(const FILETIME& t);
uint64_t NowTicks();

// Whether the file system keeps a creation time set by SetFileTime (Wine's
// Unix file systems do not).
bool CreationTimesAreKept();
