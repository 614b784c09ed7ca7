#include "install/install_progress.h"

#include "app/installer_messages.h"

float g_installProgress = 0.0f;
std::vector<std::wstring> g_installedFiles;
std::vector<std::wstring> g_installedDirs;

void PostStatusText(const std::wstring& text) { PostInstallerStatus(text); }

void PostProgress()
{
    PostInstallerMessage(WM_INSTALL_PROGRESS, static_cast<WPARAM>(static_cast<int>(g_installProgress)),
                         0);
}
