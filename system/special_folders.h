#pragma once
// The shell's special folders, as the shell names them.
#include <windows.h>
#include <shlobj.h>

#include <string>

// A special folder (CSIDL_...) through its item list, without a trailing
// backslash; empty when the shell does not know it. owner is the window the
// shell may ask on.
std::wstring SpecialFolderPath(int csidl, HWND owner = nullptr);

// A known folder (FOLDERID_...), whether or not it exists yet; empty when
// the shell does not know it.
std::wstring KnownFolderPath(REFKNOWNFOLDERID id);
