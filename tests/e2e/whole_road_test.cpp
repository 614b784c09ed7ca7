// The whole road from the agreement to the finish page, and its ends: the
// close button with and without the desktop-shortcut box, "立即体验", the
// system close command, and an installation that fails.
#include <gtest/gtest.h>

#include "tests/e2e/installer_view.h"

using namespace e2e;

namespace {

// Installs with the defaults and waits for the finish page; true when the
// progress page was seen on the way.
bool InstallToFinish(Installer& setup, bool& sawProgress)
{
    sawProgress = false;
    setup.AgreeAndInstall();
    return WaitFor(
        [&] {
            Page p = setup.ShownPage();
            sawProgress = sawProgress || p == Page::Installing;
            return p == Page::Finished;
        },
        60000);
}

// A link of the user's own, which making the desktop shortcut replaces.
void PlantUsersOwnLink()
{
    UniqueFileHandle f(CreateFileW(UsersOwnLink().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   0, nullptr));
}

}  // namespace

TEST(WholeRoad, CloseWithTheBoxCheckedMakesTheAllUsersLinkOnly)
{
    PlantUsersOwnLink();
    Installer setup;
    ASSERT_TRUE(setup.Start());
    EXPECT_EQ(Size(setup.main).cy, 400);
    ASSERT_EQ(setup.ShownPage(), Page::Start);
    bool sawProgress = false;
    ASSERT_TRUE(InstallToFinish(setup, sawProgress));
    // The progress page shows for a fraction of a second here: that it shows
    // is checked by the failing installation, which stops on it.
    (void)sawProgress;
    EXPECT_TRUE(setup.ButtonEnabled()) << "立即体验 is enabled on the finish page";
    for (LPCWSTR f : {L"launcher.exe", L"kxVistral.exe", L"updater.exe", L"Uninstall.exe", L"Uninstall.xml"})
        EXPECT_TRUE(Exists(DefaultProgramDir() + f)) << testing::PrintToString(f);
    EXPECT_FALSE(Exists(AllUsersLink())) << "the link is made when the window closes";

    setup.ClickAt(kCloseButton);
    EXPECT_EQ(setup.WaitExitCode(), 0u);
    EXPECT_TRUE(Exists(AllUsersLink()));
    EXPECT_FALSE(Exists(UsersOwnLink())) << "the user's duplicate is deleted";
}

TEST(WholeRoad, CloseWithTheBoxClearedMakesNoLink)
{
    PlantUsersOwnLink();
    Installer setup;
    ASSERT_TRUE(setup.Start());
    bool sawProgress = false;
    ASSERT_TRUE(InstallToFinish(setup, sawProgress));
    setup.ClickAt(kShortcutBox);
    setup.ClickAt(kCloseButton);
    EXPECT_EQ(setup.WaitExitCode(), 0u);
    EXPECT_FALSE(Exists(AllUsersLink()));
    EXPECT_TRUE(Exists(UsersOwnLink())) << "nothing is deleted without the box";
}

TEST(WholeRoad, StartTheProductRunsTheLauncherAndEnds)
{
    Installer setup;
    ASSERT_TRUE(setup.Start());
    bool sawProgress = false;
    ASSERT_TRUE(InstallToFinish(setup, sawProgress));
    setup.ClickAt(kOpenProduct);
    EXPECT_EQ(setup.WaitExitCode(), 0u);
    // launcher.exe starts kxVistral.exe from the program directory.
    EXPECT_TRUE(WaitFor([] { return FindProcess(L"kxVistral.exe") != 0; }, 15000));
    EXPECT_TRUE(Exists(AllUsersLink()));
    Process product;
    if (product.Attach(FindProcess(L"kxVistral.exe")))
        TerminateProcess(product.Handle(), 0);
}

TEST(CloseCommand, DuringTheInstallationEndsTheInstallerAtOnce)
{
    // The stand-in product installs faster than a close command can follow
    // the progress page: this payload of thousands of files takes seconds.
    Installer setup;
    ASSERT_TRUE(setup.Start(Env(L"KX_E2E_LARGE_SETUP")));
    setup.AgreeAndInstall();
    ASSERT_TRUE(setup.WaitPage(Page::Installing, 10000));
    Keys({VK_MENU, VK_F4});
    EXPECT_EQ(setup.WaitExitCode(5000), 0u);
    EXPECT_EQ(FindWindowOf(setup.proc.Id(), kBoxClass), nullptr);
    EXPECT_FALSE(Exists(AllUsersLink())) << "no finish page, so no link";
    EXPECT_TRUE(Exists(DefaultProgramDir() + L"filler00")) << "the installation had begun";
    EXPECT_FALSE(Exists(DefaultProgramDir() + L"Uninstall.xml")) << "and was ended with the window";
    EXPECT_EQ(PayloadFilesLeft(), 0) << "the payload left with the process";
}

TEST(CloseCommand, OnTheInvalidDirectoryBoxKeepsTheStartPage)
{
    Installer setup;
    ASSERT_TRUE(setup.Start());
    setup.TypeInstallPath(L"kxVistral3");
    setup.AgreeAndInstall();
    HWND box = setup.WaitBox();
    ASSERT_TRUE(BoxShows(box, L"MESSAGEBOX_INVALID_DIR_TEXT", 0x10, L"OK"));
    Keys({VK_MENU, VK_F4});
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }, 5000));
    EXPECT_TRUE(setup.proc.Running());
    EXPECT_EQ(setup.ShownPage(), Page::Start);
    setup.ClickAt(kCloseButton);
    EXPECT_EQ(setup.WaitExitCode(), 0u);
}

TEST(FailingInstallation, ShowsTheErrorOverTheProgressPageThenEnds)
{
    Installer setup;
    ASSERT_TRUE(setup.Start(Env(L"KX_E2E_DAMAGED_SETUP")));
    setup.AgreeAndInstall();
    HWND box = setup.WaitBox(60000);
    ASSERT_TRUE(BoxShows(box, L"MESSAGEBOX_INSTERROR_2_TEXT", 0x30, L"OK"));
    EXPECT_EQ(setup.ShownPage(), Page::Installing);
    ClickBoxButton(box, 1);
    EXPECT_EQ(setup.WaitExitCode(), 0u);
    EXPECT_FALSE(Exists(AllUsersLink()));
}
