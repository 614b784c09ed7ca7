#include "payload/uninstall_steps.h"

#include "install/earlier_installation.h"
#include "install/uninstall_plan.h"
#include "install/uninstall_traces.h"
#include "system/com_owners.h"

void RemoveInstallation(const CheckedDir& folder, DWORD spared, UninstallOutcome& outcome,
                        const std::function<void(int)>& progress)
{
    auto report = [&](int percent) {
        if (progress)
            progress(percent);
    };
    const std::wstring dir = folder.FinalPath();
    report(0);
    TerminateProcessesIn(dir + L"\\", spared);
    outcome.userDataDir = ReadUserDataNote(folder);
    report(10);

    UninstallPlan plan;
    std::string manifest;
    if (ReadUninstallManifest(folder, manifest))
        ParseUninstallManifest(manifest, dir, plan);
    RemoveListedItems(folder, plan, kUninstallerName, outcome.items);
    report(80);
    RemoveSideFiles(folder, outcome.items);
    {
        ComInitScope com;
        outcome.shortcuts = RemoveProductShortcuts(dir, kClientName);
    }
    outcome.registryKeys = RemoveRegistration(dir, kRegName);
    report(95);
}

namespace {

constexpr int kFolderAttempts = 50;
constexpr DWORD kFolderRetryMs = 100;

}  // namespace

void RemoveProgramAndFolder(CheckedDir& folder, UninstallOutcome& outcome)
{
    HRESULT hr = folder.RemoveFile(kUninstallerName);
    if (hr != S_OK && hr != HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND))
        ++outcome.items.failed;
    outcome.folderKept = HoldsOtherThan(folder, L"");
    // Opened for deleting only now: until the original program ended, the
    // folder was its working directory, which no one may delete; a handle
    // on it closed a moment after that end is waited for, a little.
    // A folder marked for deleting goes once its last handle is closed: this
    // one is closed first.
    const std::wstring path = folder.FinalPath();
    if (!outcome.folderKept)
        folder = CheckedDir();
    for (int attempt = 0; !outcome.folderKept && attempt < kFolderAttempts; ++attempt) {
        CheckedDir removable;
        if (CheckedDir::Open(path, removable, true) == S_OK) {
            if (HoldsOtherThan(removable, L""))
                break;  // something new came in meanwhile: it stays
            if (removable.RemoveSelf() == S_OK)
                return;
        }
        Sleep(kFolderRetryMs);
    }
    outcome.folderKept = true;
}

int ExitCodeOf(const UninstallOutcome& outcome)
{
    return outcome.items.failed == 0 ? kExitDone : kExitIncomplete;
}
