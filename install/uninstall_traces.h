#pragma once
// The traces an installation leaves outside its program folder: the
// shortcuts and the registry entries. Each is removed only when it leads
// into the program folder being removed, so that an installation elsewhere
// (a newer one, another user's choice) keeps its own.
#include <string>

// Whether a path lies inside programDir (a whole path), letter case aside.
bool LeadsInto(const std::wstring& path, const std::wstring& programDir);

// Removes the all-users start-menu folder clientName with its two links
// (the folder only once empty), the all-users desktop link and the
// quick-launch link, each when it points into programDir. Returns how many
// links went. COM must be initialised on the calling thread.
int RemoveProductShortcuts(const std::wstring& programDir, const std::wstring& clientName);

// Removes HKLM (32-bit view) "...\Uninstall\<regName>" when its
// UninstallString names a program in programDir, and HKCU
// "Software\<regName>" when its "AppPath" is programDir. Returns how many
// keys went.
int RemoveRegistration(const std::wstring& programDir, const std::wstring& regName);
