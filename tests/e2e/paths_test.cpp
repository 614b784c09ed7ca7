// Typed program directories, and an earlier installation elsewhere: moved,
// kept, or the same folder in other letter case.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <string>

#include <shlobj.h>

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

// An earlier installation in dir (its main program and a file the payload
// lacks), as the product key names it.
void PlantEarlierInstallation(const std::wstring& dir = kOldDir)
{
    SHCreateDirectoryExW(nullptr, dir.c_str(), nullptr);
    for (LPCWSTR name : {L"kxVistral.exe", L"launcher.exe"})
        CopyFileW((ProductDir() + name).c_str(), (dir + name).c_str(), FALSE);
    CopyFileW((ProductDir() + L"launcher.exe").c_str(), (dir + L"old-only.exe").c_str(), FALSE);
    WriteRegString(HKEY_CURRENT_USER, L"Software\\kxVistral3", L"AppPath", dir);
}

std::wstring UninstallString()
{
    return ReadRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\kxVistral3",
                         L"UninstallString", KEY_WOW64_32KEY);
}

std::wstring Lower(std::wstring text)
{
    CharLowerW(text.data());
    return text;
}

// Every file and folder below dir, the folders in skip (with a trailing
// backslash) and what lies below them aside.
void ListTree(const std::wstring& dir, const std::set<std::wstring>& skip, std::set<std::wstring>& found)
{
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(FindFirstFileW((dir + L"*").c_str(), &data));
    if (!find)
        return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring path = dir + name;
        if (skip.count(Lower(path + L"\\")))
            continue;
        found.insert(path);
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            ListTree(path + L"\\", skip, found);
    } while (FindNextFileW(find.Get(), &data));
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
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }, 5000));
    EXPECT_TRUE(setup.WaitPage(Page::Start, 3000));
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
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }, 5000));
    EXPECT_TRUE(setup.WaitPage(Page::Start, 3000));
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

TEST(EarlierInstallation, AFolderWithoutTheProductIsNoEarlierInstallation)
{
    // "AppPath" is the user's to change: naming a foreign folder must not
    // end what runs there, ask to keep it, or install into it.
    const std::wstring foreign = L"C:\\Foreign\\";
    CreateDirectoryW(foreign.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW((ProductDir() + L"updater.exe").c_str(), (foreign + L"updater.exe").c_str(), FALSE));
    WriteRegString(HKEY_CURRENT_USER, L"Software\\kxVistral3", L"AppPath", foreign);
    Process updater;
    ASSERT_TRUE(updater.Start(foreign + L"updater.exe"));
    Installer setup;
    ASSERT_TRUE(setup.Start());
    EXPECT_EQ(TryInstallInto(setup, L"C:\\New\\"), nullptr) << "no question about the foreign folder";
    ASSERT_TRUE(setup.WaitPage(Page::Finished, 60000));
    EXPECT_TRUE(Installed(kNewDir));
    EXPECT_TRUE(updater.Running()) << "a program in the foreign folder is not ended";
    EXPECT_TRUE(Exists(foreign + L"updater.exe"));
    EXPECT_FALSE(Exists(foreign + L"Uninstall.xml"));
}

// The first few paths of a set and how many there are; empty for none.
std::wstring Few(const std::set<std::wstring>& paths)
{
    std::wstring text;
    for (auto it = paths.begin(); it != paths.end() && std::distance(paths.begin(), it) < 4; ++it)
        text += *it + L" ";
    return paths.empty() ? text : text + L"(" + std::to_wstring(paths.size()) + L" in all)";
}

// A program of the user names a folder of the user's own (the product's
// files planted there or not): the elevated installer offers Program Files,
// asks nothing, and neither writes nor removes anything under the profile.
void InstallWithAppPathUnderTheProfile(bool plantProduct)
{
    const std::wstring updates = KnownFolder(CSIDL_LOCAL_APPDATA) + L"Updates\\";
    ASSERT_TRUE(CreateDirectoryW(updates.c_str(), nullptr));
    if (plantProduct)
        PlantEarlierInstallation(updates);
    WriteRegString(HKEY_CURRENT_USER, L"Software\\kxVistral3", L"AppPath", updates);
    // Aside: the temporary folder, and WinINet's per-user store, which the
    // system keeps while the usage report is sent.
    wchar_t temp[MAX_PATH + 1] = {};
    ASSERT_NE(GetTempPathW(MAX_PATH + 1, temp), 0u);
    const std::set<std::wstring> skip = {Lower(temp), Lower(KnownFolder(CSIDL_LOCAL_APPDATA) + L"Microsoft\\Windows\\")};
    const std::wstring profile = KnownFolder(CSIDL_PROFILE);
    std::set<std::wstring> before, after;
    ListTree(profile, skip, before);

    Installer setup;
    ASSERT_TRUE(setup.Start());
    setup.AgreeAndInstall();
    EXPECT_EQ(setup.WaitBox(3000), nullptr) << "no question about the user's folder";
    ASSERT_TRUE(setup.WaitPage(Page::Finished, 60000));
    EXPECT_TRUE(Installed(DefaultProgramDir()));
    EXPECT_EQ(UninstallString(), L"\"" + DefaultProgramDir() + L"Uninstall.exe\"");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, L"Software\\kxVistral3", L"AppPath"), DefaultProgramDir());
    ListTree(profile, skip, after);
    std::set<std::wstring> written, removed;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::inserter(written, written.end()));
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::inserter(removed, removed.end()));
    EXPECT_EQ(Few(written), L"") << "written under the profile";
    EXPECT_EQ(Few(removed), L"") << "removed under the profile";
}

TEST(EarlierInstallation, AppPathUnderTheProfileIsNoEarlierInstallation)
{
    InstallWithAppPathUnderTheProfile(false);
}

TEST(EarlierInstallation, ProductFilesUnderTheProfileAreNoEarlierInstallation)
{
    InstallWithAppPathUnderTheProfile(true);
}

TEST(EarlierInstallation, UnderProgramFilesItIsOfferedAsBefore)
{
    // The product's own folder elsewhere under Program Files is the default:
    // installing without a change replaces it there, and nothing is asked.
    const std::wstring earlier = L"C:\\Program Files\\Norvane\\kxVistral3\\";
    PlantEarlierInstallation(earlier);
    Installer setup;
    ASSERT_TRUE(setup.Start());
    setup.AgreeAndInstall();
    EXPECT_EQ(setup.WaitBox(3000), nullptr);
    ASSERT_TRUE(setup.WaitPage(Page::Finished, 60000));
    EXPECT_TRUE(Installed(earlier));
    EXPECT_FALSE(Exists(earlier + L"old-only.exe")) << "the earlier tree was replaced";
    EXPECT_FALSE(Exists(DefaultProgramDir()));
    EXPECT_EQ(UninstallString(), L"\"" + earlier + L"Uninstall.exe\"");
}
