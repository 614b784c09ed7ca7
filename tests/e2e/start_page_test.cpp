// Page 0 as the user works it: the agreement box and the install button,
// the custom area, the folder browser, and both agreement windows.
#include <gtest/gtest.h>

#include "tests/e2e/installer_view.h"

using namespace e2e;

TEST(StartPage, InstallButtonFollowsTheAgreementBox)
{
    Installer setup;
    ASSERT_TRUE(setup.Start());
    EXPECT_FALSE(setup.ButtonEnabled());
    setup.ClickAt(kInstallStart);
    EXPECT_EQ(setup.ShownPage(), Page::Start) << "a disabled button does nothing";
    setup.ClickAt(kAgree);
    EXPECT_TRUE(WaitFor([&] { return setup.ButtonEnabled(); }, 3000));
    setup.ClickAt(kAgree);
    EXPECT_TRUE(WaitFor([&] { return !setup.ButtonEnabled(); }, 3000));
    setup.ClickAt(kInstallStart);
    EXPECT_EQ(setup.ShownPage(), Page::Start);
    EXPECT_FALSE(Exists(DefaultProgramDir()));
}

TEST(StartPage, CustomAreaUnfoldsAndFoldsKeepingTheCorner)
{
    Installer setup;
    ASSERT_TRUE(setup.Start());
    RECT before = ScreenRect(setup.main);
    EXPECT_EQ(before.bottom - before.top, 400);
    EXPECT_EQ(before.right - before.left, 600);
    for (POINT toggle : {kCustomText, kCustomArrow}) {
        setup.ClickAt(toggle);
        EXPECT_TRUE(WaitFor([&] { return Size(setup.main).cy == 450; }, 3000));
        RECT open = ScreenRect(setup.main);
        EXPECT_EQ(open.left, before.left);
        EXPECT_EQ(open.top, before.top);
        setup.ClickAt(toggle);
        EXPECT_TRUE(WaitFor([&] { return Size(setup.main).cy == 400; }, 3000));
        RECT shut = ScreenRect(setup.main);
        EXPECT_EQ(shut.left, before.left);
        EXPECT_EQ(shut.top, before.top);
    }
}

TEST(StartPage, CancelledFolderBrowserChangesNothing)
{
    Installer setup;
    ASSERT_TRUE(setup.Start());
    setup.ClickAt(kCustomText);
    ASSERT_TRUE(WaitFor([&] { return Size(setup.main).cy == 450; }, 3000));
    MoveMouseAway();
    Shot before = Grab(setup.main);
    setup.ClickAt(kBrowse);
    HWND browser = WaitWindow(setup.proc.Id(), kDialogClass, 10000);
    ASSERT_NE(browser, nullptr);
    Keys({VK_ESCAPE});
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(browser); }, 5000));
    MoveMouseAway();
    Sleep(300);
    RECT field{85, 412, 555, 440};
    EXPECT_EQ(CountDiffering(before, Grab(setup.main), field), 0) << "the directory field is unchanged";
}

TEST(Agreements, BothLinksOpenAModalWindowClosedByEitherButton)
{
    Installer setup;
    ASSERT_TRUE(setup.Start());
    struct Road {
        POINT link;
        LPCWSTR title;
        POINT closer;  // × in the title bar, or 确定 at the bottom
    } roads[] = {{kUserAgreementLink, L"服务协议", {540, 20}},
                 {kPrivacyLink, L"隐私协议", {506, 336}},
                 {kUserAgreementLink, L"服务协议", {506, 336}},
                 {kPrivacyLink, L"隐私协议", {540, 20}}};
    for (const Road& r : roads) {
        setup.ClickAt(r.link);
        HWND wnd = WaitWindow(setup.proc.Id(), kAgreementClass, 10000);
        ASSERT_NE(wnd, nullptr) << testing::PrintToString(std::wstring(r.title));
        wchar_t title[64] = {};
        GetWindowTextW(wnd, title, 64);
        EXPECT_STREQ(title, r.title);
        EXPECT_EQ(Size(wnd).cx, 560);
        EXPECT_EQ(Size(wnd).cy, 360);
        EXPECT_FALSE(IsWindowEnabled(setup.main)) << "modal over the main window";
        // A double click on the title bar neither moves nor resizes it.
        RECT at = ScreenRect(wnd);
        DoubleClick(wnd, 200, 20);
        RECT after = ScreenRect(wnd);
        EXPECT_TRUE(EqualRect(&at, &after));
        Click(wnd, r.closer.x, r.closer.y);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(wnd); }, 5000));
        EXPECT_TRUE(IsWindowEnabled(setup.main));
        EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == setup.main; }, 3000));
    }
}
