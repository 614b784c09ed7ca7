#include "app/main_window.h"

#include "app/message_box.h"
#include "app/process_end.h"
#include "app/program_dirs.h"
#include "app/string_bundle.h"
#include "install/product_location.h"
#include "system/installer_constants.h"
#include "system/processes.h"
#include "system/settings_files.h"
#include "system/system_info.h"
#include "system/system_library.h"

using namespace DuiLib;

namespace {

constexpr UINT kIconId = 103;
constexpr size_t kClassNameChars = 100;  // the name's buffer, terminator included
constexpr DWORD kMinimumMajorVersion = 10;
constexpr UINT kWarningOneButton = 0x30;
constexpr UINT kWarningTwoButtons = 0x34;

using RtlGetNtVersionNumbersFn = void(WINAPI*)(DWORD*, DWORD*, DWORD*);

// The major version straight from ntdll, which no compatibility shim bends;
// 0 when the function is not there.
DWORD NtMajorVersion()
{
    auto fn = ProcAddress<RtlGetNtVersionNumbersFn>(GetModuleHandleW(L"ntdll.dll"),
                                                    "RtlGetNtVersionNumbers");
    if (!fn)
        return 0;
    DWORD major = 0, minor = 0;
    fn(&major, &minor, nullptr);
    return major;
}

// A start-up refusal: no owner, as the window is not shown yet.
void ShowRefusal(const wchar_t* textId)
{
    ShowMessageBox(nullptr, nullptr, GetString(L"MESSAGEBOX_CAPITON").c_str(),
                   GetString(textId).c_str(), kWarningOneButton, GetString(L"OK").c_str());
}

}  // namespace

std::wstring InstallerInstanceName()
{
    std::wstring name = GetString(L"ExeName") + L"Installer";
    if (name.size() >= kClassNameChars)
        name.resize(kClassNameChars - 1);
    return name;
}

CWnd_Main::CWnd_Main() { SetMainWindow(this); }

LPCWSTR CWnd_Main::GetWindowClassName() const
{
    static const std::wstring name = InstallerInstanceName();
    return name.c_str();
}

void CWnd_Main::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    ForgetMainWindow(this);  // nothing may be posted to a deleted window
    delete this;
}

std::wstring CWnd_Main::GetSkinFile() { return L"wnd_main_" + GetLanguageCode() + L".xml"; }

void CWnd_Main::FindControls()
{
    m_pCaptionTitle = Find(L"lab_captionTitle");
    m_pInstallPercent = Find(L"lab_install_percent");
    m_pProgress = Find<CProgressUI>(L"pro_install");
    m_pInstallPath = Find(L"edit_installpath");
    m_pUserData = Find(L"edit_userdata");
    m_pUserProt = Find<CCheckBoxUI>(L"check_userprot");
    m_pShortcut = Find<COptionUI>(L"check_shortcut");
    m_pTab = Find<CTabLayoutUI>(L"tab_install_view");
    m_pSeparator = Find(L"hor_separator");
    m_pUserDefine = Find(L"hor_userdefine");
    m_pUserDataRow = Find(L"hor_userdata");
    m_pCloseBtn = Find(L"closebtn");
    m_pUserCustomOpt = Find<COptionUI>(L"opt_usercustom");
    m_pUserCustomBtn = Find(L"btn_usercustom");
    m_pUserProtBtn = Find(L"btn_userprot");
    m_pInstallStart = Find(L"btn_install_start");
    m_pOpenKx = Find(L"btn_open_kx");
    m_pBackground = Find(L"labBk");
    m_pInstallTip = Find(L"lab_install_tip");
    m_pInstallCompleted = Find(L"lab_install_completed");
    m_pPictureArea = Find(L"vLayout_bg");
}

void CWnd_Main::DescribeForScreenReaders()
{
    // The folder button shows only a picture; the label before it names
    // the field.
    if (CControlUI* browse = Find(L"btn_browsepath"))
        browse->SetAccessibleName(L"选择安装位置");
    m_pProgress->SetAccessibleName(L"安装进度");
    // 自定义安装 and the arrow beside it do one thing: one button, expanded
    // or collapsed with the custom area. The arrow is left to the mouse.
    m_pUserCustomBtn->SetAccessibleExpandedBy(m_pUserCustomOpt);
    m_pUserCustomOpt->SetAccessibleHidden();
    m_pUserCustomOpt->SetKeyboardEnabled(false);
}

void CWnd_Main::InitWindow()
{
    SetMainWindow(this);
    SetIcon(kIconId);
    FindControls();
    DescribeForScreenReaders();

    m_pOpenKx->SetEnabled(false);
    m_pShortcut->SetVisible(false);
    m_pShortcut->Selected(true);

    m_pCaptionTitle->SetText((L"安装" + ClientName).c_str());
    m_pInstallTip->SetText((L"正在安装" + ClientName).c_str());
    m_pUserProtBtn->SetText((L"《" + ClientName + L"服务协议》").c_str());

    if (!CheckSystem())
        return;

    // "AppPath" is per-user and any unelevated program can change it: only a
    // folder no such program can change is offered, else the product goes
    // under Program Files; the user may still type any folder.
    const std::wstring earlierDir = TrustedEarlierInstallation();
    m_pInstallPath->SetText(DefaultProgramDir(m_hWnd, earlierDir).c_str());
    m_pUserData->SetText(ReadUserDataDir(earlierDir).c_str());

    m_pTab->SelectItem(kPageBefore);
    m_pUserProt->SetCheck(false);
    // A keyboard user ticks the box with Space and installs with Enter.
    m_pUserProt->SetFocus();
    m_pm.SetDefaultButton(m_pInstallStart);

    OfferToEndRunningProduct();
}

bool CWnd_Main::CheckSystem()
{
    if (!Is64BitSystem()) {
        ShowRefusal(L"MESSAGE_ARCH_NOT_MATCH");
        Close(0);
        return false;
    }
    if (NtMajorVersion() < kMinimumMajorVersion) {
        ShowRefusal(L"MESSAGE_SYSTEM_NOT_MATCH");
        Close(0);
        return false;
    }
    return true;
}

void CWnd_Main::OfferToEndRunningProduct()
{
    DWORD processId = 0;
    if (!FindProcessByName(MainExeName, processId) || processId == 0)
        return;
    int answer = ShowMessageBox(GetString(L"CANCEL").c_str(), nullptr,
                                GetString(L"MESSAGEBOX_CAPITON").c_str(),
                                GetString(L"MESSAGEBOX_WARNING_RUNNING_TEXT").c_str(),
                                kWarningTwoButtons, GetString(L"INSTALL").c_str());
    if (answer == kMsgBoxResultOk)
        EndProcessAndWait(processId);
    else
        Close(0);
}

LRESULT CWnd_Main::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    // The window has one size per state; it is never maximised.
    if ((wParam & 0xFFF0) == SC_MAXIMIZE) {
        bHandled = TRUE;
        return 0;
    }
    return WindowImplBase::OnSysCommand(uMsg, wParam, lParam, bHandled);
}

CControlUI* CWnd_Main::CreateControl(LPCWSTR pstrClass)
{
    if (wcscmp(pstrClass, L"AniLabel") == 0)
        return new CAniLabelUI;
    return nullptr;
}

LRESULT CWnd_Main::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    bHandled = FALSE;
    switch (uMsg) {
    case WM_INSTALL_STATUS:
        bHandled = TRUE;
        delete reinterpret_cast<std::wstring*>(lParam);  // the text is not shown
        break;
    case WM_INSTALL_PROGRESS:
        OnInstallProgress(static_cast<int>(wParam));
        bHandled = TRUE;
        break;
    case WM_INSTALL_FINISHED:
        bHandled = TRUE;
        OnInstallFinished(reinterpret_cast<InstallJobInfo*>(lParam));
        break;
    case WM_SHOW_USER_AGREEMENT:
    case WM_SHOW_PRIVACY_AGREEMENT:
        ShowAgreement(uMsg);
        bHandled = TRUE;
        break;
    default:
        break;
    }
    return 0;
}
