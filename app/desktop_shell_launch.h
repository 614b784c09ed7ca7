#pragma once
// Starting the installed product as the signed-in user. The installer runs
// with administrator rights; a product started from it directly would too
// (its files administrator-owned, drag and drop from other programs
// refused), unlike every later start from its shortcuts.
#include <string>

enum class LaunchRoute {
    DesktopShell,  // the desktop shell's own process started it
    Direct,        // ShellExecuteW from the installer, where the shell path is missing
    Failed,
};

// Opens path through the desktop shell's dispatch interface, falling back to
// ShellExecuteW where the shell does not offer it.
LaunchRoute LaunchAsDesktopUser(const std::wstring& path);

// The shell path alone; false when any step of it is not available.
bool ShellExecuteThroughDesktop(const std::wstring& path);
