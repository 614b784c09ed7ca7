#pragma once
// Making room for an installation: ending product processes that run from
// a directory and removing an earlier installation's tree.
#include <windows.h>

#include <functional>
#include <string>

// Ends every process whose executable lies directly in directory (exact,
// case-sensitive match of directory + its name against its full path) and
// waits up to 4 s for each. False only when the process list can't be read.
// spared, when not 0, is a process left running (the uninstaller's own
// program waiting for its copy).
bool TerminateProcessesIn(const std::wstring& directory, DWORD spared = 0);

// Whether a process other than spared runs an executable that lies directly
// in directory, by the same rule.
bool AnyProcessIn(const std::wstring& directory, DWORD spared = 0);

// Removes path's tree: hidden and system files stay (with the directories
// above them), links are removed as links where the system opens a link as
// itself (where it does not, the link stays) and are never followed; a path of
// at most 3 characters is never emptied. keepTopFile names one file directly
// in path that stays as well (none when empty; letter case aside).
void DeleteDirectoryTree(const std::wstring& path, const std::wstring& keepTopFile = std::wstring());
