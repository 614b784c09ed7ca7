// The main window while and after the install job runs: progress, the finish
// page or the error exit, the desktop shortcut, starting the product, closing.
#include <shlobj.h>
#include <shlwapi.h>

#include <memory>

#include "app/desktop_shell_launch.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/string_bundle.h"
#include "install/shortcuts.h"
#include "system/checked_dir.h"
#include "system/com_owners.h"
#include "system/file_system.h"
#include "system/installer_constants.h"
#include "system/special_folders.h"

using namespace DuiLib;

namespace {

constexpr UINT kWarningOneButton = 0x30;

}  // namespace

void CWnd_Main::OnInstallProgress(int percent)
{
    m_pProgress->SetValue(percent);
    m_pInstallPercent->SetText((std::to_wstring(percent) + L"%").c_str());
}

void CWnd_Main::OnInstallFinished(InstallJobInfo* job)
{
    std::unique_ptr<InstallJobInfo> record(job);  // ours again from the post on
    m_pCloseBtn->SetVisible(true);
    if (record && record->result == 0) {
        m_pBackground->SetBkImage(L"file = 'install_img_03.png'");
        m_pTab->SelectItem(kPageFinished);
        m_pInstallTip->SetVisible(false);
        m_pInstallCompleted->SetVisible(true);
        m_pOpenKx->SetEnabled(true);
        m_pShortcut->SetVisible(true);
        // Enter starts the product at once.
        m_pOpenKx->SetFocus();
        m_pm.SetDefaultButton(m_pOpenKx);
        return;
    }
    ShowMessageBox(nullptr, m_hWnd, GetString(L"MESSAGEBOX_CAPITON").c_str(),
                   GetString(L"MESSAGEBOX_INSTERROR_2_TEXT").c_str(), kWarningOneButton,
                   GetString(L"OK").c_str());
    record.reset();
    Close(1);
}

void CWnd_Main::MakeDesktopShortcut()
{
    if (!m_pTab || m_pTab->GetCurSel() != kPageFinished || !m_pShortcut->IsSelected())
        return;
    const std::wstring linkName = ClientName + L".lnk";
    if (linkName.size() >= MAX_PATH)
        return;  // the name's buffer holds 260 characters
    ComInitScope com;
    const std::wstring target = m_installDir + LauncherExeName;
    const std::wstring commonDesktop = SpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY);
    std::wstring userDesktop = SpecialFolderPath(CSIDL_DESKTOP);
    if (!userDesktop.empty() && userDesktop.back() != L'\\')
        userDesktop += L'\\';
    // Only the all-users link stays: a user's own copy would show twice. The
    // user's desktop is the user's: the copy goes through its checked handle,
    // as itself, never what a link there points to.
    CheckedDir desktop;
    if (!userDesktop.empty() && CheckedDir::Open(userDesktop, desktop) == S_OK)
        desktop.RemoveChild(linkName);
    if (commonDesktop.empty())
        return;  // never a link in the drive's root instead
    const std::wstring description = GetString(L"DESKTOP_SHORTCUT_COMMENT");
    CreateShortcut(linkName.c_str(), target.c_str(), description.c_str(), commonDesktop.c_str());
}

void CWnd_Main::LaunchProductAndExit()
{
    MakeDesktopShortcut();
    // As the signed-in user, not with the installer's administrator rights.
    LaunchAsDesktopUser(m_installDir + LauncherExeName);
    Close(1);
    PostMessage(WM_QUIT, 0, 0);
}

void CWnd_Main::CloseInstaller()
{
    Close(1);
    PostMessage(WM_QUIT, 0, 0);
}

LRESULT CWnd_Main::OnClose(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    MakeDesktopShortcut();
    g_bClosing = 1;
    PostQuitMessage(0);
    bHandled = FALSE;  // the default processing destroys the window
    return 0;
}
