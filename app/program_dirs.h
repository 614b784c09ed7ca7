#pragma once
// Where the product goes when the user changes nothing.
#include <windows.h>

#include <string>

// The default program directory: the earlier installation (its "AppPath" as
// stored, given only when only administrators may change it); else the 64-bit program-files folder followed by RegName and a
// backslash. owner is the window the shell may ask on.
std::wstring DefaultProgramDir(HWND owner, const std::wstring& earlierDir);

// The 64-bit program-files folder of a 32-bit process: "ProgramFilesDir" of
// the 64-bit registry view, else the shell's folder with "Program Files (x86)"
// turned into an existing "Program Files". Empty when none is known.
std::wstring ProgramFilesDir64(HWND owner);

// Folder + "\" + RegName + "\"; empty when it would not fit 260 characters.
std::wstring ProductDirIn(const std::wstring& folder);
