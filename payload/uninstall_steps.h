#pragma once
// The uninstaller's work, in the order it is done, without any window: the
// silent mode and the progress page both run it.
#include <windows.h>

#include <functional>
#include <string>

#include "install/uninstall_removal.h"

// The product as the installer's string bundle names it; the uninstaller
// carries no bundle of its own.
inline constexpr wchar_t kRegName[] = L"kxVistral3";
inline constexpr wchar_t kClientName[] = L"Vistral3.0";
inline constexpr wchar_t kUninstallerName[] = L"Uninstall.exe";

// Exit codes of the uninstaller (also with /S), documented in the README.
enum UninstallExit : int {
    kExitDone = 0,          // everything the installer made is gone
    kExitCancelled = 1,     // the user chose not to uninstall
    kExitIncomplete = 2,    // some installed items stay (in use, refused)
    kExitCannotStart = 3,   // no administrator rights, or its copy could not run
};

struct UninstallOutcome {
    RemovalReport items;
    std::wstring userDataDir;  // where the user's data stays (empty: unknown)
    bool folderKept = false;   // the program folder holds files the user added
    int shortcuts = 0;
    int registryKeys = 0;
};

// Everything but the uninstaller's own program and the folder itself:
// ends the product's processes (spared: the uninstaller's own program),
// removes the manifest's items, the side files, the shortcuts and the
// registry entries. progress gets 0 to 100.
void RemoveInstallation(const CheckedDir& folder, DWORD spared, UninstallOutcome& outcome,
                        const std::function<void(int)>& progress = {});

// The last step, once the uninstaller's own program no longer runs from the
// folder: removes it, then the folder when nothing else is in it (folder is
// closed then).
void RemoveProgramAndFolder(CheckedDir& folder, UninstallOutcome& outcome);

int ExitCodeOf(const UninstallOutcome& outcome);
