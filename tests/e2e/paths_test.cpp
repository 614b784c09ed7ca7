// Typed program directories, and an earlier installation elsewhere: moved,
// kept, or the same folder in other letter case.
#include <gtest/gtest.h>

#include <string>

#include "system/settings_files.h"
#include "tests/e2e/installer_view.h"

using namespace e2e;

namespace {

const wchar_t kOldDir[] = L"C:\\Old\\kxVistral3\\";
const wchar_t kNewDir[] = L"C:\\New\\kxVistral3\\";

// Types the directory, agrees, installs; the box that comes, if any.
HWND TryInstallInto(Installer& setup, const std::wstring& dir)
{
    setup.TypeInstallPath(dir);
    setup.AgreeAndInstall();
    return setup.WaitBox(5000);
}

// An earlier installation in C:\Old\kxVistral3\ (its main program and a
// file the payload lacks), as the product key names it.
void PlantEarlierInstallation()
{
    CreateDirectoryW(L"C:\\Old", nullptr);
    CreateDirectoryW(kOldDir, nullptr);
    for (LPCWSTR name : {L"kxVistral.exe", L"launcher.exe"})
        CopyFileW((ProductDir() + name).c_str(), (std::wstring(kOldDir) + name).c_str(), FALSE);
    CopyFileW((ProductDir() + L"launcher.exe").c_str(), (std::wstring(kOldDir) + L"old-only.exe").c_str(), FALSE);
    WriteRegString(HKEY_CURRENT_USER, L"Software\\kxVistral3", L"AppPath", kOldDir);
}

bool Installed(const std::wstring& dir) { return Exists(dir + L"kxVistral.exe") && Exists(dir + L"Uninstall.xml"); }

}  // namespace

TEST(Paths, NoDriveIsAnInvalidDirectory)
{
    Installer setup;
    ASSERT_TRUE(setup.Start());
    HWND box = TryInstallInto(setup, L"kxVistral3");
    ASSERT_TRUE(BoxShows(box, L"MESSAGEBOX_INVALID_DIR_TEXT", 0x10, L"OK"));
    ClickBoxButton(box, 1);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }, 5000));
    EXPECT_EQ(setup.ShownPage(), Page::Start);
}

TEST(Paths, MissingDriveGivesTheSystemsCode)
{
    // The error Windows gives when the directory chain reaches the drive
    // that is not there (3 on Windows and under Wine).
    SetLastError(0);
    CreateDirectoryW(L"Q:", nullptr);
    DWORD code = GetLastError();
    ASSERT_NE(code, 0u);
    Installer setup;
    ASSERT_TRUE(setup.Start());
    HWND box = TryInstallInto(setup, L"Q:\\Games\\");
    EXPECT_TRUE(BoxShows(box, L"MESSAGEBOX_INVALID_DIR_TEXT", 0x10, L"OK", L"",
                         L"(" + std::to_wstring(code) + L")"));
    ClickBoxButton(box, 1);
    EXPECT_EQ(setup.ShownPage(), Page::Start);
}

TEST(Paths, DriveAloneInstallsIntoTheProductFolder)
{
    Installer setup;
    ASSERT_TRUE(setup.Start());
    EXPECT_EQ(TryInstallInto(setup, L"C:"), nullptr);
    ASSERT_TRUE(setup.WaitPage(Page::Finished, 60000));
    EXPECT_TRUE(Installed(L"C:\\kxVistral3\\"));
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, L"Software\\kxVistral3", L"AppPath"), L"C:\\kxVistral3\\");
}

TEST(Paths, OverLongPathIsAnInvalidDirectory)
{
    // The field takes 255 characters; with the product folder added the
    // path no longer fits a Windows path.
    std::wstring dir = L"C:\\" + std::wstring(252, L'a');
    Installer setup;
    ASSERT_TRUE(setup.Start());
    HWND box = TryInstallInto(setup, dir);
    ASSERT_TRUE(BoxShows(box, L"MESSAGEBOX_INVALID_DIR_TEXT", 0x10, L"OK"));
    ClickBoxButton(box, 1);
    EXPECT_EQ(setup.ShownPage(), Page::Start);
    EXPECT_FALSE(Exists(dir.substr(0, 200))) << "no cut path is made";
}

TEST(EarlierInstallation, YesMovesIt)
{
    PlantEarlierInstallation();
    Installer setup;
    ASSERT_TRUE(setup.Start());
    HWND box = TryInstallInto(setup, L"C:\\New\\");
    ASSERT_TRUE(BoxShows(box, L"MESSAGEBOX_NEW_LOCATION_TEXT", 0x44, L"Y", L"N"));
    ClickBoxButton(box, 1);
    ASSERT_TRUE(setup.WaitPage(Page::Finished, 60000));
    EXPECT_TRUE(Installed(kNewDir));
    EXPECT_FALSE(Exists(kOldDir)) << "the earlier tree is removed";
    EXPECT_EQ(ReadUtf16File(std::wstring(kNewDir) + L"temp_userdata.txt"), GetDefaultUserDataDir());
}

TEST(EarlierInstallation, NoKeepsIt)
{
    PlantEarlierInstallation();
    Installer setup;
    ASSERT_TRUE(setup.Start());
    HWND box = TryInstallInto(setup, L"C:\\New\\");
    ASSERT_NE(box, nullptr);
    ClickBoxButton(box, 2);
    ASSERT_TRUE(setup.WaitPage(Page::Finished, 60000));
    EXPECT_TRUE(Installed(kOldDir));
    EXPECT_FALSE(Exists(std::wstring(kOldDir) + L"temp_userdata.txt"));
    EXPECT_FALSE(Exists(kNewDir)) << "the new empty folder is removed";
}

TEST(EarlierInstallation, CloseCommandOnTheQuestionKeepsIt)
{
    PlantEarlierInstallation();
    Installer setup;
    ASSERT_TRUE(setup.Start());
    HWND box = TryInstallInto(setup, L"C:\\New\\");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(Activate(box, 100, 20));
    Keys({VK_MENU, VK_F4});
    ASSERT_TRUE(setup.WaitPage(Page::Finished, 60000));
    EXPECT_TRUE(Installed(kOldDir));
    EXPECT_FALSE(Exists(kNewDir));
}

TEST(EarlierInstallation, SameFolderInOtherCaseAsksNothing)
{
    PlantEarlierInstallation();
    Installer setup;
    ASSERT_TRUE(setup.Start());
    EXPECT_EQ(TryInstallInto(setup, L"c:\\old\\kxVistral3\\"), nullptr);
    ASSERT_TRUE(setup.WaitPage(Page::Finished, 60000));
    EXPECT_TRUE(Installed(kOldDir));
    EXPECT_FALSE(Exists(std::wstring(kOldDir) + L"old-only.exe")) << "the earlier tree was replaced";
}
