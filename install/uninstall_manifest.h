#pragma once
// "Uninstall.xml": what the product's uninstaller removes.
#include <string>
#include <vector>

#include "system/checked_dir.h"

// The manifest's name in the program directory, where the uninstaller looks.
inline constexpr wchar_t kManifestFileName[] = L"Uninstall.xml";

// Writes every extracted file, then every extracted directory, as
// kManifestFileName, made anew in the program directory. False when the file
// cannot be made or a write fails.
bool WriteUninstallManifestOf(const CheckedDir& programDir, const std::vector<std::wstring>& files,
                              const std::vector<std::wstring>& dirs);
