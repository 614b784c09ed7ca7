#include "install/earlier_installation.h"

#include <shlwapi.h>
#include <tlhelp32.h>

#include "system/processes.h"
#include "system/win_handles.h"

namespace {

// What ending a product process needs, and nothing more.
constexpr DWORD kTerminateAccess = SYNCHRONIZE | PROCESS_TERMINATE;
static_assert(kTerminateAccess == 0x100001);
constexpr DWORD kTerminateWaitMs = 4000;

bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

bool EqualNoCase(const std::wstring& a, const wchar_t* b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b, -1, TRUE) == CSTR_EQUAL;
}

void DeleteTree(const std::wstring& path, const std::wstring& keepTopFile, bool top)
{
    if (path.size() > 3) {
        // A directory that became a link since it was listed is not entered.
        DWORD self = GetFileAttributesW(path.c_str());
        if (self != INVALID_FILE_ATTRIBUTES && IsLink(self)) {
            RemoveDirectoryW(path.c_str());
            return;
        }
        WIN32_FIND_DATAW found;
        HANDLE raw = FindFirstFileW((path + L"\\*").c_str(), &found);
        if (raw == INVALID_HANDLE_VALUE)
            return;
        UniqueFindHandle find(raw);
        do {
            std::wstring name = found.cFileName;
            std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (name == L"." || name == L"..")
                    continue;
                // A junction, directory link or mount point goes as the link
                // itself; whatever it points to is not ours.
                if (!IsLink(found.dwFileAttributes))
                    DeleteTree(child, keepTopFile, false);
                RemoveDirectoryW(child.c_str());
            } else if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) {
                if (top && !keepTopFile.empty() && EqualNoCase(name, keepTopFile.c_str()))
                    continue;
                DeleteFileW(child.c_str());  // a file link goes as the link
            }
        } while (FindNextFileW(find.Get(), &found));
    }
    if (PathFileExistsW(path.c_str()))
        RemoveDirectoryW(path.c_str());
}

}  // namespace

bool TerminateProcessesIn(const std::wstring& directory)
{
    UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    static_assert(sizeof(PROCESSENTRY32W) == 556);
    if (!Process32FirstW(snapshot.Get(), &entry))
        return false;
    do {
        std::wstring image;
        if (!ProcessImagePath(entry.th32ProcessID, image))
            continue;
        std::wstring name = image.substr(image.find_last_of(L"\\/") + 1);
        wchar_t candidate[MAX_PATH];
        if (!PathCombineW(candidate, directory.c_str(), name.c_str()) || image != candidate)
            continue;
        UniqueHandle process(OpenProcess(kTerminateAccess, FALSE, entry.th32ProcessID));
        if (!process)
            continue;  // left running
        TerminateProcess(process.Get(), static_cast<UINT>(-1));
        WaitForSingleObject(process.Get(), kTerminateWaitMs);
    } while (Process32NextW(snapshot.Get(), &entry));
    return true;
}

void DeleteDirectoryTree(const std::wstring& path, const std::wstring& keepTopFile)
{
    DeleteTree(path, keepTopFile, true);
}
