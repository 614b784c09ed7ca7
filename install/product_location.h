#pragma once
// Whether a directory named by outside input (the per-user "AppPath") may
// be treated as the product's own: its processes ended, its tree removed.
#include <string>

#include <windows.h>

// Whether directory is an earlier installation that an unelevated user could
// not have made, read through handles of the folder and its files: it holds
// "Uninstall.xml" or the main program directly, is no link itself, is none
// of the system's own folders (see IsSystemFolder), lies in no place where
// users create folders (the program-data folder, the users folder, the
// temporary folders, each with everything below), and, where the system
// keeps owners, only administrators may change it and that file
// (OnlyAdministratorsMayChange: owner and DACL). The window and the job ask
// this alike; a folder that fails it is left alone and its programs run on.
bool IsProductInstallation(const std::wstring& directory);

// The per-user "AppPath" when it names such an installation, else empty:
// the one earlier installation the window offers as the default program
// directory, asks about moving, and reads the user-data directory from.
// It always ends with a backslash.
std::wstring TrustedEarlierInstallation();

// A drive root; the Windows directory or anything inside it; either
// program-files folder itself; the program-data folder; the users folder, a
// profile folder, or a profile's own folders (Desktop, Documents, Downloads,
// AppData and its Local, LocalLow and Roaming, ...); a known folder of the
// user or of all users.
bool IsSystemFolder(const std::wstring& directory);

