#include "install/install_job.h"

#include <memory>
#include <string>

#include "app/string_bundle.h"
#include "install/earlier_installation.h"
#include "install/install_progress.h"
#include "install/payload_file.h"
#include "install/pcallback.h"
#include "install/product_location.h"
#include "install/registry_registration.h"
#include "install/seven_zip_extractor.h"
#include "install/shortcuts.h"
#include "install/uninstall_info.h"
#include "install/uninstall_manifest.h"
#include "system/checked_dir.h"
#include "system/com_owners.h"
#include "system/directory_chain.h"
#include "system/installer_constants.h"
#include "system/paths.h"
#include "system/settings_files.h"
#include "system/special_folders.h"
#include "system/usage_report.h"

namespace {

// The window's progress bar moves in these steps; the sum is kept as float
// and each step added in double, so the values posted are 74, 79 after 69.
void AddProgress(InstallProgress& progress, double points)
{
    volatile double sum = static_cast<double>(progress.percent) + points;
    progress.percent = static_cast<float>(sum);
}

std::wstring WithClientName(const wchar_t* format)
{
    std::wstring text = format;
    return text.replace(text.find(L"%s"), 2, ClientName);
}

// Ends what runs from the directory about to be replaced and removes an
// earlier installation. Directories named by the per-user registry are
// touched only when they hold the product and are no system folder.
void MakeRoom(const std::wstring& installDir, const std::wstring& previousDir)
{
    if (previousDir.empty()) {
        if (IsProductInstallation(installDir))
            TerminateProcessesIn(installDir);
        return;
    }
    if (!IsProductInstallation(previousDir))
        return;
    TerminateProcessesIn(previousDir);
    // Reinstalling in place keeps the note the window has just written there
    // for the product: it names the user-data directory.
    DeleteDirectoryTree(previousDir,
                        SameDirectory(previousDir, installDir) ? UserDataNoteFileName : std::wstring());
}

void CreateStartMenuShortcuts(const std::wstring& launcher, const std::wstring& uninstaller)
{
    const std::wstring programsPath = SpecialFolderPath(CSIDL_COMMON_PROGRAMS);
    // Without the programs folder the links would land beside the drive root.
    if (programsPath.empty())
        return;
    // The system's own folder, where only administrators make folders, is
    // made by name when missing; the product's folder in it, and the links,
    // through its checked handle.
    CreateDirectoryChain(programsPath + L"\\");
    CheckedDir programs, folder;
    if (CheckedDir::Open(programsPath, programs) != S_OK || programs.MakeDir(ClientName, folder) != S_OK)
        return;
    CreateShortcutIn(folder, WithClientName(L"%s.lnk"), launcher, L"");
    CreateShortcutIn(folder, WithClientName(L"卸载%s.lnk"), uninstaller, L"");
}

void CreateQuickLaunchShortcut(const std::wstring& launcher)
{
    wchar_t folder[MAX_PATH] = {};
    if (GetQuickLaunchDir(folder))
        CreateShortcut(WithClientName(L"%s.lnk").c_str(), launcher.c_str(), L"", folder);
}

int32_t RunSteps(const InstallJobInfo& job, InstallProgress& progress)
{
    progress.percent = 0.0f;
    progress.installedFiles.clear();
    progress.installedDirs.clear();
    const std::wstring launcher = job.installDir + LauncherExeName;
    const std::wstring uninstaller = job.installDir + UninstallerExeName;
    std::wstring text;

    progress.PostStatusText(text);
    progress.percent = 5.0f;
    progress.PostProgress();

    MakeRoom(job.installDir, job.previousDir);

    // Removed with the archive when the job ends, whichever way.
    PayloadDir payload;
    if (!payload.Create(PayloadTempDir()) || !payload.WriteArchive()) {
        progress.PostStatusText(text);
        return -1;
    }

    text = GetString(L"INSTALL_2_TEXT");
    progress.PostStatusText(text);
    AddProgress(progress, 5.0);
    progress.PostProgress();

    // The program directory, made by its name where missing (the user chose
    // it in front of the window), then opened and checked once: the payload
    // is unpacked below this handle, and the manifest and the channel file
    // are made in it. Where it cannot be opened, the extraction says why.
    auto programDir = std::make_shared<CheckedDir>();
    if (CreateDirectoryChain(job.installDir) == ChainOutcome::Failed ||
        CheckedDir::Open(job.installDir, *programDir) != S_OK)
        programDir = std::make_shared<CheckedDir>();
    int32_t extracted;
    {
        SevenZip::SevenZipExtractor extractor;
        extractor.UseArchiveFile(payload.ArchivePath());
        extractor.UseArchiveHandle(payload.Archive());
        PCallBack callback(progress);
        extracted = extractor.ExtractInto(job.installDir, programDir->Valid() ? programDir : nullptr,
                                          &callback);
    }
    if (extracted != 0)
        return extracted;

    WriteUninstallManifestOf(*programDir, progress.installedFiles, progress.installedDirs);

    {
        ComInitScope com;  // the shell links need COM on this thread
        if (job.startMenuShortcuts) {
            text = GetString(L"INSTALL_CREATE_STARTMENU_SHORTCUT_TEXT");
            progress.PostStatusText(text);
            AddProgress(progress, 5.0);
            progress.PostProgress();
            CreateStartMenuShortcuts(launcher, uninstaller);
        }
        if (job.quickLaunchShortcut) {
            progress.PostStatusText(text);
            AddProgress(progress, 5.0);
            progress.PostProgress();
            CreateQuickLaunchShortcut(launcher);
        }
    }

    progress.PostStatusText(text);
    AddProgress(progress, 5.0);
    progress.PostProgress();

    UninstallInfo info;
    info.SetInstallDir(job.installDir);
    info.version = AppVersion;
    WriteProductKey(info);
    WriteUninstallEntry(info);

    progress.PostStatusText(text);
    progress.percent = 100.0f;
    progress.PostProgress();

    payload.Remove();
    WriteChannelFile(*programDir);
    return 0;
}

}  // namespace

int32_t RunInstallJob(InstallJobInfo* job, InstallProgress& progress)
{
    const int32_t result = RunSteps(*job, progress);
    job->result = result;
    // Once handed over the record is the window's; while the window is
    // closing it is not taken and nobody else would free it.
    if (!progress.report.Finished(job))
        delete job;
    SendUsageReport(result == 0);
    return result;
}
