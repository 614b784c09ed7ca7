#pragma once
// "Uninstall.xml": what the product's uninstaller removes.
#include <string>
#include <vector>

// The manifest's name in the program directory, where the uninstaller looks.
inline constexpr wchar_t kManifestFileName[] = L"Uninstall.xml";

// Writes every extracted file, then every extracted directory, to filePath.
// False when the file cannot be opened or a write fails.
bool WriteUninstallManifestOf(const std::wstring& filePath, const std::vector<std::wstring>& files,
                              const std::vector<std::wstring>& dirs);
