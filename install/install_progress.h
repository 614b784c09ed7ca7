#pragma once
// The install job's progress as the main window sees it, and the paths it
// unpacked, which the uninstall manifest is written from.
#include <string>
#include <vector>

// Progress percentage of the running install job; only the install thread
// writes it.
extern float g_installProgress;

// Every extracted file and directory, in the order the archive presents them.
extern std::vector<std::wstring> g_installedFiles;
extern std::vector<std::wstring> g_installedDirs;

// Hands a copy of the text to the main window (dropped while it closes).
void PostStatusText(const std::wstring& text);

// Posts g_installProgress, truncated toward zero, to the main window.
void PostProgress();
