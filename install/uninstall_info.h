#pragma once
// What the registry records about an installation.
#include <string>

struct UninstallInfo {
    std::wstring installDir;       // ends with a backslash
    std::wstring displayIcon;      // installDir + launcher
    std::wstring uninstallString;  // installDir + uninstaller, unquoted
    std::wstring version;

    UninstallInfo();
    // Sets installDir and derives the two program paths by plain concatenation.
    void SetInstallDir(const std::wstring& dir);
};
