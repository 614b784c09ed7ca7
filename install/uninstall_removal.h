#pragma once
// Removing an installation from its program folder, as its uninstaller does:
// every step goes through the folder's checked handle (system/checked_dir.h),
// so a link planted anywhere below it is removed as the link and never
// followed, and nothing outside the folder is touched because of what the
// manifest or the folder holds.
#include <string>

#include "install/uninstall_plan.h"
#include "system/checked_dir.h"

// What one removal did, item by item.
struct RemovalReport {
    size_t removed = 0;  // files, directories and links gone
    size_t missing = 0;  // listed, but no longer there (a run killed earlier)
    size_t failed = 0;   // there and not removed: in use, refused, a link on the way
    size_t kept = 0;     // directories that hold something the installer did not make
    size_t outside = 0;  // manifest paths outside the folder, skipped
};

// The installer's records in the program folder, removed after the items.
extern const wchar_t* const kInstallerSideFiles[3];

// Reads "Uninstall.xml" in folder (a plain file of at most 64 MB); false
// when there is none.
bool ReadUninstallManifest(const CheckedDir& folder, std::string& bytes);

// The user-data folder "temp_userdata.txt" in folder names (UTF-16 with a
// byte-order mark, as the installer writes it); empty when there is none.
std::wstring ReadUserDataNote(const CheckedDir& folder);

// Removes the plan's files, then its directories (each only when empty),
// below folder. keepTopFile, a name directly in folder, stays (the
// uninstaller's own program while it runs).
void RemoveListedItems(const CheckedDir& folder, const UninstallPlan& plan,
                       const std::wstring& keepTopFile, RemovalReport& report);

// Removes the installer's side files from folder.
void RemoveSideFiles(const CheckedDir& folder, RemovalReport& report);

// Whether folder holds anything but keepTopFile (letter case aside).
bool HoldsOtherThan(const CheckedDir& folder, const std::wstring& keepTopFile);
