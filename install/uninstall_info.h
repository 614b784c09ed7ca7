#pragma once
// What the registry records about an installation.
#include <string>

struct UninstallInfo {
    std::wstring installDir;       // ends with a backslash
    std::wstring displayIcon;      // installDir + launcher
    // The system runs this as a command line: quoted, so that a path with
    // spaces ("C:\Program Files\...") can't start C:\Program.exe instead.
    std::wstring uninstallString;  // "installDir + uninstaller", in quotes
    std::wstring version;

    UninstallInfo();
    // Sets installDir and derives the two program paths by plain
    // concatenation, the uninstall command in quotes.
    void SetInstallDir(const std::wstring& dir);
};
