#pragma once
// The installer as its user sees it: where its controls are (client
// coordinates from the main window's layout), which page shows, and what a
// message box says, compared with the box the installer's own message box
// code draws for the expected text.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/driver.h"

namespace e2e {

// Main window controls, client coordinates at 100 % (picture area 0..280
// above); the window draws them at its display scale (Installer::Scaled).
constexpr POINT kInstallStart{300, 325};    // "btn_install_start", page 0
constexpr POINT kAgree{24, 380};            // "check_userprot"
constexpr POINT kUserAgreementLink{196, 380};  // "btn_userprot"
constexpr POINT kPrivacyLink{334, 380};     // "btn_privacy"
constexpr POINT kCustomText{534, 380};      // "btn_usercustom"
constexpr POINT kCustomArrow{570, 380};     // "opt_usercustom"
constexpr POINT kInstallPath{320, 426};     // "edit_installpath", custom area
constexpr POINT kBrowse{569, 426};          // "btn_browsepath"
constexpr POINT kCloseButton{574, 26};      // "closebtn"
constexpr POINT kOpenProduct{300, 337};     // "btn_open_kx", page 2
constexpr POINT kShortcutBox{250, 296};     // "check_shortcut", page 2
constexpr POINT kInert{300, 200};           // picture area, nothing to click

enum class Page { Unknown = -1, Start = 0, Installing = 1, Finished = 2 };

class Installer {
public:
    // Starts the installer; with a main window expected, waits for it.
    bool Start(const std::wstring& exe = SetupExe(), bool expectWindow = true);
    Page ShownPage() const { return PageOf(Grab(main)); }
    Page PageOf(const Shot& s) const;  // s: a picture of the main window
    bool WaitPage(Page page, DWORD ms = 30000) const;
    // The big blue button of the page shown is enabled.
    bool ButtonEnabled() const;
    void ClickAt(POINT p) const
    {
        POINT at = Scaled(p);
        Click(main, at.x, at.y);
    }
    // A length or point of the window at 100 % as the window draws it: the
    // main window is 600 pixels wide at 100 % and scales with the display.
    int Scaled(int v) const;
    POINT Scaled(POINT p) const { return {Scaled(p.x), Scaled(p.y)}; }
    // Unfolds the custom area if folded and types a new program directory.
    void TypeInstallPath(const std::wstring& path) const;
    // Ticks the agreement box and presses the install button.
    void AgreeAndInstall() const;
    HWND WaitBox(DWORD ms = 20000) const { return WaitWindow(proc.Id(), kBoxClass, ms); }
    // Ends without a window left: exit code, or STILL_ACTIVE after ms.
    DWORD WaitExitCode(DWORD ms = 15000) const;

    Process proc;
    HWND main = nullptr;
};

// Button of a message box: the first ("btn_ok") or second ("btn_no").
void ClickBoxButton(HWND box, int which);
// The box shows the bundle text textId (followed by suffix), with the
// caption, icon and buttons of the type and the bundle button texts.
testing::AssertionResult BoxShows(HWND box, const std::wstring& textId, UINT type,
                                  const std::wstring& firstId, const std::wstring& secondId = L"",
                                  const std::wstring& suffix = L"");

// Where the product goes by default, and its files.
std::wstring DefaultProgramDir();  // C:\Program Files\kxVistral3\ (64-bit view)
std::wstring AllUsersLink();       // the all-users desktop link
std::wstring UsersOwnLink();       // the same name on the user's own desktop
// Payload files (resource.7z) in per-run folders of the Windows directory's Temp.
int PayloadFilesLeft();

}  // namespace e2e
