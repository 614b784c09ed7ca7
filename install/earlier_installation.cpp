#include "install/earlier_installation.h"

#include <shlwapi.h>
#include <tlhelp32.h>

#include "system/checked_dir.h"
#include "system/paths.h"
#include "system/processes.h"
#include "system/win_handles.h"

namespace {

// What ending a product process needs, and nothing more.
constexpr DWORD kTerminateAccess = SYNCHRONIZE | PROCESS_TERMINATE;
static_assert(kTerminateAccess == 0x100001);
constexpr DWORD kTerminateWaitMs = 4000;

// Visits every process whose executable lies directly in directory; visit
// returns false to stop. False when the process list can't be read.
bool ForProcessesIn(const std::wstring& directory, DWORD spared,
                    const std::function<bool(DWORD)>& visit)
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
        if (entry.th32ProcessID == spared || !ProcessImagePath(entry.th32ProcessID, image))
            continue;
        std::wstring name = image.substr(image.find_last_of(L"\\/") + 1);
        wchar_t candidate[MAX_PATH];
        if (!PathCombineW(candidate, directory.c_str(), name.c_str()) || image != candidate)
            continue;
        if (!visit(entry.th32ProcessID))
            break;
    } while (Process32NextW(snapshot.Get(), &entry));
    return true;
}

}  // namespace

bool TerminateProcessesIn(const std::wstring& directory, DWORD spared)
{
    return ForProcessesIn(directory, spared, [](DWORD processId) {
        UniqueHandle process(OpenProcess(kTerminateAccess, FALSE, processId));
        if (process) {  // otherwise left running
            TerminateProcess(process.Get(), static_cast<UINT>(-1));
            WaitForSingleObject(process.Get(), kTerminateWaitMs);
        }
        return true;
    });
}

bool AnyProcessIn(const std::wstring& directory, DWORD spared)
{
    bool found = false;
    ForProcessesIn(directory, spared, [&](DWORD) {
        found = true;
        return false;
    });
    return found;
}

void DeleteDirectoryTree(const std::wstring& path, const std::wstring& keepTopFile)
{
    // A drive root is never emptied.
    if (path.size() <= 3)
        return;
    // Opened once, checked, and emptied through its handle: each child is
    // opened in it and deleted through its own handle, a directory link as
    // the link; a name swapped for a link meanwhile is never followed.
    CheckedDir dir;
    if (CheckedDir::Open(path, dir, true) != S_OK)
        return;
    RemoveRules rules;
    rules.keepHiddenAndSystem = true;
    dir.RemoveContents(rules, [&](const std::wstring& name) {
        return !keepTopFile.empty() && EqualPathText(name, keepTopFile);
    });
    dir.RemoveSelf();  // only when nothing stayed
}
