#include "tests/e2e/installer_view.h"

#include <shlobj.h>

#include "app/message_box.h"
#include "app/string_bundle.h"
#include "ui/skin_setup.h"

namespace e2e {

namespace {

// Colours of the skin's blue buttons: disabled, normal, hot, pushed.
constexpr uint32_t kDisabledGrey = 0xC3C8D5;
constexpr uint32_t kBlues[] = {0x2D73FF, 0x72A1FF, 0x1E5FE2};
constexpr uint32_t kWhite = 0xFFFFFF;

bool IsBlue(uint32_t c)
{
    for (uint32_t b : kBlues)
        if (Near(c, b))
            return true;
    return false;
}
bool IsButton(uint32_t c) { return IsBlue(c) || Near(c, kDisabledGrey); }

void PumpFor(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        Sleep(10);
    } while (GetTickCount() - start < ms);
}

}  // namespace

bool Installer::Start(const std::wstring& exe, bool expectWindow)
{
    if (!proc.Start(exe))
        return false;
    if (!expectWindow)
        return true;
    main = WaitWindow(proc.Id(), kMainClass);
    return main != nullptr;
}

// Three spots tell the pages apart: the top of page 0's start button, the
// lower half of page 2's start button and page 1's progress bar.
Page Installer::PageOf(const Shot& s) const
{
    if (s.width < 600 || s.height < 400)
        return Page::Unknown;
    auto at = [&](int x, int y) { return s.At(Scaled(x), Scaled(y)); };
    bool top = IsButton(at(228, 306)), middle = IsButton(at(228, 340));
    // The empty bar (#EAEBED) is close to white: compared tightly.
    bool barWhite = Near(at(300, 357), kWhite, 6);
    if (top && middle && barWhite)
        return Page::Start;
    if (!top && middle && IsButton(at(300, 357)))
        return Page::Finished;
    if (!top && !middle && !barWhite)
        return Page::Installing;
    return Page::Unknown;
}

bool Installer::WaitPage(Page page, DWORD ms) const
{
    return WaitFor([&] { return ShownPage() == page; }, ms);
}

bool Installer::ButtonEnabled() const
{
    Shot s = Grab(main);
    Page p = ShownPage();
    return p != Page::Unknown && IsBlue(s.At(Scaled(228), Scaled(p == Page::Start ? 306 : 340)));
}

int Installer::Scaled(int v) const
{
    RECT rc{};
    GetClientRect(main, &rc);
    return rc.right > 600 ? MulDiv(v, rc.right, 600) : v;
}

void Installer::TypeInstallPath(const std::wstring& path) const
{
    if (Size(main).cy < Scaled(450) - 1) {
        ClickAt(kCustomText);
        WaitFor([&] { return Size(main).cy >= Scaled(450) - 1; }, 3000);
    }
    ClickAt(kInstallPath);
    Keys({VK_END});
    Keys({VK_SHIFT, VK_HOME});
    Type(path);
}

void Installer::AgreeAndInstall() const
{
    ClickAt(kAgree);
    WaitFor([&] { return ButtonEnabled(); }, 3000);
    ClickAt(kInstallStart);
}

DWORD Installer::WaitExitCode(DWORD ms) const
{
    proc.WaitExit(ms);
    return proc.ExitCode();
}

// The button row is the box's bottom 50 pixels, 30 high; with two buttons
// the first sits left of the second, alone it takes the second's place. The
// box is 380 pixels wide at 100 % and scales with the display.
void ClickBoxButton(HWND box, int which)
{
    RECT rc;
    GetClientRect(box, &rc);
    auto scaled = [&](int v) { return rc.right > 380 ? MulDiv(v, rc.right, 380) : v; };
    RECT row = {scaled(292), rc.bottom - scaled(50), scaled(360), rc.bottom - scaled(20)};
    bool two = CountNear(Grab(box), row, kWhite, 8) > (row.right - row.left) * (row.bottom - row.top) / 2;
    int x = (which == 2 || !two) ? 326 : 248;
    Click(box, scaled(x), rc.bottom - scaled(35));
}

testing::AssertionResult BoxShows(HWND box, const std::wstring& textId, UINT type,
                                  const std::wstring& firstId, const std::wstring& secondId,
                                  const std::wstring& suffix)
{
    if (!box)
        return testing::AssertionFailure() << "no message box";
    static bool skin = SetupSkinPackage(GetModuleHandleW(nullptr));
    if (!skin)
        return testing::AssertionFailure() << "the driver carries no skin package";
    MoveMouseAway();
    RECT at = ScreenRect(box);

    std::wstring caption = GetString(L"MESSAGEBOX_CAPITON"), text = GetString(textId) + suffix;
    std::wstring first = GetString(firstId), second = secondId.empty() ? L"" : GetString(secondId);
    CMessageBox want;
    if (!want.Open(nullptr))
        return testing::AssertionFailure() << "the reference box did not open";
    want.Prepare(caption.c_str(), text.c_str(), type, first.c_str(),
                 second.empty() ? nullptr : second.c_str());
    SetWindowPos(want.GetHWND(), HWND_TOPMOST, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    PumpFor(300);
    Shot expected = Grab(want.GetHWND());
    DestroyWindow(want.GetHWND());
    PumpFor(100);
    SetForegroundWindow(box);

    // The box may still be painting, or another program's new window may lie
    // over it for a moment: look again for a while before calling it wrong.
    Shot seen;
    int differing = 0;
    const DWORD start = GetTickCount();
    do {
        seen = Grab(box);
        if (seen.width != expected.width || seen.height != expected.height)
            return testing::AssertionFailure() << "box is " << seen.width << "x" << seen.height
                                               << ", the expected one " << expected.width << "x"
                                               << expected.height;
        differing = CountDiffering(seen, expected, {0, 0, seen.width, seen.height});
        // A digit more or less is some 40 pixels; the same box differs in none.
        if (differing <= 8)
            return testing::AssertionSuccess();
        PumpFor(100);
    } while (GetTickCount() - start < 3000);
    return testing::AssertionFailure() << differing << " pixels differ from the box of "
                                       << testing::PrintToString(textId) << " type " << type;
}

std::wstring DefaultProgramDir() { return L"C:\\Program Files\\kxVistral3\\"; }
std::wstring AllUsersLink() { return KnownFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"Vistral3.0.lnk"; }
std::wstring UsersOwnLink() { return KnownFolder(CSIDL_DESKTOPDIRECTORY) + L"Vistral3.0.lnk"; }

int PayloadFilesLeft()
{
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring temp = std::wstring(windows) + L"\\Temp\\";
    int count = 0;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((temp + L"kxsetup-*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        count += Exists(temp + found.cFileName + L"\\resource.7z") ? 1 : 0;
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return count;
}

}  // namespace e2e
