// The main window's page 0: the agreement check box, the agreement links, the
// custom area, the folder browser and the start of an installation.
#include <process.h>
#include <shlobj.h>

#include <array>

#include "app/agreement_windows.h"
#include "app/install_paths.h"
#include "app/install_thread.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/process_end.h"
#include "app/string_bundle.h"
#include "install/install_job.h"
#include "install/product_location.h"
#include "system/checked_dir.h"
#include "system/com_owners.h"
#include "system/file_system.h"
#include "system/installer_constants.h"
#include "system/last_error.h"
#include "system/paths.h"
#include "system/processes.h"
#include "system/settings_files.h"

using namespace DuiLib;

namespace {

constexpr int kWidth = 600;
constexpr int kFoldedHeight = 400;
constexpr int kUnfoldedHeight = 450;
constexpr UINT kErrorOneButton = 0x10;
constexpr UINT kQuestionTwoButtons = 0x44;
constexpr UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
static_assert(kBrowseFlags == 0x51);

// The folder browser's initial selection, read by its callback.
std::array<wchar_t, MAX_PATH> g_browseInitialPath = {};

int CALLBACK BrowseCallback(HWND dialog, UINT msg, LPARAM, LPARAM)
{
    if (msg == BFFM_INITIALIZED)
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE,
                     reinterpret_cast<LPARAM>(g_browseInitialPath.data()));
    return 0;
}

bool Is(const TNotifyUI& msg, const wchar_t* type) { return _wcsicmp(msg.sType.c_str(), type) == 0; }

bool Named(const TNotifyUI& msg, const wchar_t* name)
{
    return msg.pSender && _wcsicmp(msg.pSender->GetName().c_str(), name) == 0;
}

}  // namespace

void CWnd_Main::Notify(TNotifyUI& msg)
{
    if (Is(msg, L"click")) {
        if (Named(msg, L"closebtn")) {
            CloseInstaller();
            return;
        }
        if (Named(msg, L"btn_userprot")) {
            PostInstallerMessage(WM_SHOW_USER_AGREEMENT, 0, 0);
            return;
        }
        if (Named(msg, L"btn_privacy")) {
            PostInstallerMessage(WM_SHOW_PRIVACY_AGREEMENT, 0, 0);
            return;
        }
        if (Named(msg, L"btn_install_start")) {
            StartInstall();
        } else if (Named(msg, L"btn_browsepath")) {
            std::wstring dir = BrowseForFolder(m_hWnd, L"");
            if (!dir.empty())
                m_pInstallPath->SetText(dir.c_str());
        } else if (Named(msg, L"btn_browse_userdata")) {
            std::wstring dir = BrowseForFolder(m_hWnd, L"");
            if (!dir.empty())
                m_pUserData->SetText(dir.c_str());
        } else if (Named(msg, L"btn_userdefine")) {
            ToggleCustomArea();
        } else if (msg.pSender == m_pOpenKx) {
            LaunchProductAndExit();
        } else if (msg.pSender == m_pUserCustomBtn) {
            m_pUserCustomOpt->Selected(!m_pUserCustomOpt->IsSelected());
        }
    } else if (Is(msg, L"selectchanged")) {
        if (msg.pSender == m_pUserProt)
            m_pInstallStart->SetEnabled(m_pUserProt->IsSelected());
        else if (msg.pSender == m_pUserCustomOpt)
            ToggleCustomArea();
    }
    WindowImplBase::Notify(msg);
}

void CWnd_Main::ResizeKeepingCorner(int height)
{
    POINT origin = {0, 0};
    ClientToScreen(m_hWnd, &origin);
    // The sizes are the layout's, at 96 DPI; the window is drawn at its own.
    MoveWindow(m_hWnd, origin.x, origin.y, m_pm.Scale(kWidth), m_pm.Scale(height), TRUE);
}

void CWnd_Main::ToggleCustomArea()
{
    const bool unfold = !m_pUserDefine->IsVisible();
    m_pUserDefine->SetVisible(unfold);
    m_pSeparator->SetVisible(unfold);
    ResizeKeepingCorner(unfold ? kUnfoldedHeight : kFoldedHeight);
    m_pm.NotifyAccessibleEvent(EVENT_OBJECT_STATECHANGE, m_pUserCustomBtn);  // expanded or collapsed
}

std::wstring CWnd_Main::BrowseForFolder(HWND owner, const std::wstring& initialPath)
{
    g_browseInitialPath.fill(L'\0');
    if (initialPath.size() < g_browseInitialPath.size())
        initialPath.copy(g_browseInitialPath.data(), initialPath.size());

    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.lpszTitle = L"";
    info.ulFlags = kBrowseFlags;
    info.lpfn = &BrowseCallback;
    UniqueCoTaskMem<ITEMIDLIST> chosen(SHBrowseForFolderW(&info));
    if (!chosen)
        return {};
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(chosen.Get(), path))
        return {};
    std::wstring dir = path;
    if (dir.empty() || dir.back() != L'\\')
        dir += L'\\';
    return dir;
}

void CWnd_Main::ShowAgreement(UINT msg)
{
    if (msg == WM_SHOW_USER_AGREEMENT)
        ShowUserAgreement(m_hWnd);
    else
        ShowPrivacyAgreement(m_hWnd);
}

void CWnd_Main::ShowError(const std::wstring& text)
{
    ShowMessageBox(nullptr, m_hWnd, GetString(L"MESSAGEBOX_CAPITON").c_str(), text.c_str(),
                   kErrorOneButton, GetString(L"OK").c_str());
}

void CWnd_Main::ShowPathError(const std::wstring& text)
{
    ShowError(text);
    if (!m_pUserDefine->IsVisible())
        m_pUserCustomOpt->Selected(true);  // unfolds the custom area
    m_pInstallPath->SetFocus();
}

void CWnd_Main::StartInstall()
{
    // Asked again now: only an earlier installation no unelevated program can
    // change has its updater ended and may be kept.
    const std::wstring earlierDir = TrustedEarlierInstallation();
    const std::wstring invalidDir = GetString(L"MESSAGEBOX_INVALID_DIR_TEXT");

    std::wstring installPath = NormaliseInstallPath(m_pInstallPath->GetText());
    if (!HasDriveForm(installPath)) {
        ShowPathError(invalidDir);
        return;
    }
    installPath = WithProductFolder(installPath);
    if (installPath.empty()) {
        ShowPathError(invalidDir);
        return;
    }

    m_pShortcut->Selected(true);

    SetLastError(ERROR_SUCCESS);
    if (CreateDirectories(installPath) != 0) {
        DWORD error = GetLastError();
        if (error != ERROR_SUCCESS && error != ERROR_ALREADY_EXISTS) {
            ShowPathError(invalidDir + L"(" + std::to_wstring(error) + L")");
            return;
        }
    }

    if (!earlierDir.empty()) {
        const std::wstring updater = FileIn(earlierDir, UpdaterExeName);
        DWORD processId = 0;
        if (!updater.empty() && FindProcessByNameAndPath(UpdaterExeName, updater, processId) &&
            processId != 0)
            EndProcessAndWait(processId);
    }

    ULARGE_INTEGER available, total, totalFree;
    if (GetDiskFreeSpaceExW(DriveRootOf(installPath).c_str(), &available, &total, &totalFree) &&
        !IsEnoughFreeSpace(totalFree.QuadPart)) {
        ShowPathError(GetString(L"MESSAGEBOX_LOW_SPACE_TEXT"));
        return;
    }

    // Asked whenever the texts differ, letter case aside: the earlier
    // directory comes in the window's own form, with its backslash.
    bool keepEarlier = false;
    if (!earlierDir.empty() && !EqualPathText(earlierDir, installPath)) {
        int answer = ShowMessageBox(GetString(L"N").c_str(), m_hWnd,
                                    GetString(L"MESSAGEBOX_CAPITON").c_str(),
                                    GetString(L"MESSAGEBOX_NEW_LOCATION_TEXT").c_str(),
                                    kQuestionTwoButtons, GetString(L"Y").c_str());
        keepEarlier = answer == kMsgBoxResultNo;
    }

    const std::wstring userDataDir = m_pUserData->GetText();
    if (!IsUsableDriveDir(userDataDir)) {
        ShowError(GetString(L"MESSAGEBOX_USERDATA_PATH_ERROR_TEXT"));
        return;
    }
    if (!keepEarlier)
        WriteUserDataNote(installPath, userDataDir);  // the product moves its data by it

    auto job = std::make_unique<InstallJobInfo>();
    if (keepEarlier) {
        job->installDir = earlierDir;
        m_installDir = earlierDir;
        // Only if it is still empty, and through its checked handle: the
        // folder may be the user's, and a link there is never followed.
        CheckedDir unused;
        if (CheckedDir::Open(installPath, unused, true) == S_OK)
            unused.RemoveSelf();
    } else {
        job->installDir = installPath;
        job->previousDir = earlierDir;
        m_installDir = installPath;
    }

    uintptr_t thread = _beginthreadex(nullptr, 0, &InstallThread, job.get(), 0, nullptr);
    SwitchToInstalling();
    if (thread != 0) {
        job.release();  // the job owns its record until it posts it back
        CloseHandle(reinterpret_cast<HANDLE>(thread));
        return;
    }
    // Without its thread the installation has failed: say so rather than
    // leave the user before a progress bar that never moves.
    job->result = static_cast<int32_t>(LastErrorResult());
    OnInstallFinished(job.release());
}

void CWnd_Main::SwitchToInstalling()
{
    m_pTab->SelectItem(kPageInstalling);
    m_pInstallTip->SetVisible(true);
    m_pInstallCompleted->SetVisible(false);
    m_pBackground->SetBkImage(L"file = 'install_img_02.png'");
    ResizeKeepingCorner(kFoldedHeight);
    m_pCloseBtn->SetVisible(false);
}
