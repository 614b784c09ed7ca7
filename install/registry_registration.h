#pragma once
// The product's registry footprint: the per-user product key and the
// machine-wide uninstall entry, and the two directories read back.
#include <string>

#include "install/uninstall_info.h"

// HKCU "Software\<RegName>": "AppPath" and "Version". False only when the key
// can be neither opened nor created.
bool WriteProductKey(const UninstallInfo& info);

// HKLM (32-bit view) "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\<RegName>":
// the six values of the installed-programs list. False only when the key can be
// neither opened nor created.
bool WriteUninstallEntry(const UninstallInfo& info);

// "AppPath" of HKCU "Software\<name>"; empty unless a REG_SZ value that fits
// 260 characters is stored.
std::wstring ReadAppPath(const std::wstring& name);

// "ProgramFilesDir" from the 64-bit registry view (C:\Program Files on x64),
// empty on failure.
std::wstring ReadProgramFilesDir();
