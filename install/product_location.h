#pragma once
// Whether a directory named by outside input (the per-user "AppPath") may
// be treated as the product's own: its processes ended, its tree removed.
#include <string>

// True when directory holds "Uninstall.xml" or the main program directly,
// is no link itself, and is none of the system's own folders (see
// IsSystemFolder).
bool IsProductInstallation(const std::wstring& directory);

// A drive root; the Windows directory or anything inside it; either
// program-files folder itself; the program-data folder; the users folder, a
// profile folder, or a profile's own folders (Desktop, Documents, Downloads,
// AppData and its Local, LocalLow and Roaming, ...); a known folder of the
// user or of all users.
bool IsSystemFolder(const std::wstring& directory);

// The same directory, letter case, a trailing backslash and "." or ".."
// steps aside.
bool SameDirectory(const std::wstring& a, const std::wstring& b);
