// The product's uninstaller: removes what the installer put on the machine
// and nothing else. "Uninstall.exe" in the program folder copies itself to a
// private folder and the copy does the work (payload/uninstall_handoff.h);
// "/S" does it without a window.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "payload/uninstall_handoff.h"
#include "payload/uninstall_steps.h"
#include "payload/uninstall_window.h"
#include "system/private_temp_dir.h"

namespace {

bool IsSilentSwitch(const wchar_t* arg)
{
    return CompareStringOrdinal(arg, -1, L"/S", -1, TRUE) == CSTR_EQUAL;
}

std::wstring OwnFolder()
{
    wchar_t path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH)
        return {};
    std::wstring text(path, n);
    size_t cut = text.find_last_of(L'\\');
    return cut == std::wstring::npos ? std::wstring() : text.substr(0, cut);
}

// The copy's work: everything, then the original's file and the folder.
int RunAsCopy(CopyLink& link, bool silent)
{
    CheckedDir folder;
    if (CheckedDir::Open(link.programDir, folder) != S_OK) {
        link.Report(kExitCannotStart);
        ForgetCopyAtRestart();
        return kExitCannotStart;
    }
    if (!silent) {
        int code = RunUninstallWindow(link, folder);
        link.Report(code);  // when the window did not
        if (code != kExitCancelled)
            ForgetCopyAtRestart();
        return code;
    }
    UninstallOutcome outcome;
    RemoveInstallation(folder, link.ParentId(), outcome);
    link.Report(ExitCodeOf(outcome));
    RemoveProgramAndFolder(folder, outcome);
    ForgetCopyAtRestart();
    return ExitCodeOf(outcome);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv)
        return kExitCannotStart;
    bool silent = false;
    for (int i = 1; i < argc; ++i)
        silent = silent || IsSilentSwitch(argv[i]);
    int code = kExitCannotStart;
    if (argc >= 5 && std::wstring(argv[1]) == kCopyArgument) {
        CopyLink link;
        if (ParseCopyArguments(argv[2], argv[3], argv[4], link))
            code = RunAsCopy(link, silent);
    } else if (IsProcessElevated()) {
        std::wstring folder = OwnFolder();
        if (!folder.empty())
            code = RunCopy(folder, silent);
    }
    LocalFree(argv);
    return code;
}
