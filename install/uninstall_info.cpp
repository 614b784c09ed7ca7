#include "install/uninstall_info.h"

#include "system/installer_constants.h"

UninstallInfo::UninstallInfo() : version(AppVersion) {}

void UninstallInfo::SetInstallDir(const std::wstring& dir)
{
    installDir = dir;
    displayIcon = dir + LauncherExeName;
    uninstallString = L"\"" + dir + UninstallerExeName + L"\"";
}
