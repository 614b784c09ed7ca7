#pragma once
// The installer's one main window: page 0 before the installation (agreement,
// custom area, install button), page 1 while the install job runs, page 2
// after it (desktop shortcut, start the product).
#include <windows.h>

#include <string>

#include "app/installer_messages.h"
#include "ui/ui_lib.h"

class CWnd_Main : public DuiLib::WindowImplBase {
public:
    CWnd_Main();

    // The framework's hooks, in the base's slot order.
    LPCWSTR GetWindowClassName() const override;
    UINT GetClassStyle() const override { return CS_DBLCLKS; }
    void OnFinalMessage(HWND hWnd) override;
    ~CWnd_Main() override = default;
    void InitWindow() override;
    std::wstring GetSkinFile() override;
    LRESULT ResponseDefaultKeyEvent(WPARAM) override { return FALSE; }
    LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;

    void Notify(DuiLib::TNotifyUI& msg) override;
    DuiLib::CControlUI* CreateControl(LPCWSTR pstrClass) override;

    // User actions and the install start.
    void StartInstall();
    void ToggleCustomArea();
    // The chosen folder with a trailing backslash, or empty.
    static std::wstring BrowseForFolder(HWND owner, const std::wstring& initialPath);

    // Progress, finish and closing.
    void OnInstallProgress(int percent);
    void OnInstallFinished(InstallJobInfo* job);
    void MakeDesktopShortcut();
    void LaunchProductAndExit();

    const std::wstring& InstallDir() const { return m_installDir; }

private:
    void FindControls();
    // Names and states a screen reader needs that the layout does not give.
    void DescribeForScreenReaders();
    // False when the system is refused (the window is closing then).
    bool CheckSystem();
    void OfferToEndRunningProduct();
    void ShowAgreement(UINT msg);
    void CloseInstaller();
    // Resizes to 600 x height, the top-left corner staying where it is.
    void ResizeKeepingCorner(int height);
    // Shows an error box owned by the window: text, one "OK" button.
    void ShowError(const std::wstring& text);
    // The same for a program directory the installer refuses; then the
    // directory field has the focus (the custom area unfolded to show it).
    void ShowPathError(const std::wstring& text);
    void SwitchToInstalling();

    template <class T = DuiLib::CControlUI>
    T* Find(LPCWSTR name)
    {
        return static_cast<T*>(m_pm.FindControl(name));
    }

    DuiLib::CControlUI* m_pCaptionTitle = nullptr;
    DuiLib::CControlUI* m_pInstallPercent = nullptr;
    DuiLib::CProgressUI* m_pProgress = nullptr;
    DuiLib::CControlUI* m_pInstallPath = nullptr;
    DuiLib::CControlUI* m_pUserData = nullptr;
    DuiLib::CCheckBoxUI* m_pUserProt = nullptr;
    DuiLib::COptionUI* m_pShortcut = nullptr;
    DuiLib::CTabLayoutUI* m_pTab = nullptr;
    DuiLib::CControlUI* m_pSeparator = nullptr;
    DuiLib::CControlUI* m_pUserDefine = nullptr;
    DuiLib::CControlUI* m_pUserDataRow = nullptr;
    DuiLib::CControlUI* m_pCloseBtn = nullptr;
    DuiLib::COptionUI* m_pUserCustomOpt = nullptr;
    DuiLib::CControlUI* m_pUserCustomBtn = nullptr;
    DuiLib::CControlUI* m_pUserProtBtn = nullptr;
    DuiLib::CControlUI* m_pInstallStart = nullptr;
    DuiLib::CControlUI* m_pOpenKx = nullptr;
    DuiLib::CControlUI* m_pBackground = nullptr;
    DuiLib::CControlUI* m_pInstallTip = nullptr;
    DuiLib::CControlUI* m_pInstallCompleted = nullptr;
    DuiLib::CControlUI* m_pPictureArea = nullptr;

    std::wstring m_installDir;
};

// "%sInstaller" filled with ExeName, at most 99 characters: the instance
// mutex's name and the main window's class name.
std::wstring InstallerInstanceName();

// Page indexes of "tab_install_view".
constexpr int kPageBefore = 0;
constexpr int kPageInstalling = 1;
constexpr int kPageFinished = 2;
