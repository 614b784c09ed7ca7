// The product's uninstaller as a user meets it: installed by the real
// installer, started from the uninstall entry's command, and the prefix
// afterwards as it was before the installation, the user's data aside.
#include <gtest/gtest.h>

#include <fstream>

#include "install/uninstall_plan.h"
#include "tests/e2e/installer_view.h"
#include "tests/e2e/prefix_snapshot.h"

using namespace e2e;

namespace {

const std::wstring kUninstallKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\kxVistral3";

// Installs with the defaults through the installer's window and closes it
// on the finish page with the desktop-shortcut box ticked.
void InstallThroughTheWindow(const std::wstring& exe = SetupExe())
{
    Installer setup;
    ASSERT_TRUE(setup.Start(exe));
    setup.AgreeAndInstall();
    ASSERT_TRUE(setup.WaitPage(Page::Finished, 60000));
    setup.ClickAt(kCloseButton);
    ASSERT_EQ(setup.WaitExitCode(), 0u);
}

std::wstring UninstallProgram()
{
    return UninstallCommandProgram(
        ReadRegString(HKEY_LOCAL_MACHINE, kUninstallKey, L"UninstallString", KEY_WOW64_32KEY));
}

// Runs the uninstaller with args and waits until it and its copy are gone;
// its exit code.
DWORD RunUninstaller(const std::wstring& program, const std::wstring& args)
{
    Process uninstall;
    if (!uninstall.Start(program, args) || !uninstall.WaitExit(90000))
        return STILL_ACTIVE;
    EXPECT_TRUE(WaitFor([] { return FindProcess(L"Uninstall.exe") == 0; }, 30000))
        << "the copy ends";
    return uninstall.ExitCode();
}

// What differs in a prefix for reasons of Wine's own or of the user's data.
std::vector<std::wstring> Ignored(const std::wstring& userData)
{
    std::vector<std::wstring> ignored = {
        userData,
        // The uninstaller's copy, deleted at the next restart, and the
        // system's list of what to delete then.
        L"C:\\windows\\Temp\\kxuninst-",
        // Wine's own: the cookie index its internet library keeps.
        L"C:\\users\\root\\AppData\\Local\\Microsoft\\Windows\\INetCookies\\",
    };
    const wchar_t* keys[] = {
        L"Control\\Session Manager]\n\"PendingFileRenameOperations\"",
        // Wine's display driver registers its adapter and monitor anew
        // whenever a desktop starts.
        L"Control\\Class\\{4D36E968-E325-11CE-BFC1-08002BE10318}",
        L"Control\\Class\\{4D36E96E-E325-11CE-BFC1-08002BE10318}",
        L"Control\\DeviceClasses\\",
        L"Control\\ServiceCurrent]",
        L"Control\\Video",
        L"Enum\\DISPLAY\\",
        L"Hardware Profiles\\Current\\System",
    };
    for (const wchar_t* view : {L"/reg:32", L"/reg:64"}) {
        for (const wchar_t* key : keys)
            ignored.push_back(std::wstring(view) + L" [HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\" + key);
        ignored.push_back(std::wstring(view) + L" [HKEY_LOCAL_MACHINE\\Hardware\\DEVICEMAP\\VIDEO]");
    }
    // Wine's desktop keeps its parameters here while it runs; its internet
    // library notes the proxy setting on its first use (the installer's
    // usage report).
    ignored.push_back(L" [HKEY_CURRENT_USER\\Software\\Wine\\Temporary System Parameters\\");
    ignored.push_back(
        L" [HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings]\n\"ProxyEnable\"");
    return ignored;
}

void ExpectSameAsBefore(const PrefixSnapshot& before, const std::wstring& userData)
{
    std::vector<std::wstring> diff = Differences(before, TakeSnapshot(), Ignored(userData));
    std::wstring text;
    for (const std::wstring& line : diff)
        text += line + L"\n";
    EXPECT_TRUE(diff.empty()) << testing::PrintToString(text);
}

}  // namespace

TEST(UninstallSilent, ThePrefixIsAsBeforeAndAnotherRoundWorks)
{
    const PrefixSnapshot before = TakeSnapshot();
    ASSERT_NO_FATAL_FAILURE(InstallThroughTheWindow());
    const std::wstring userData = ReadUtf16File(DefaultProgramDir() + L"temp_userdata.txt");
    ASSERT_FALSE(userData.empty());
    ASSERT_TRUE(Exists(AllUsersLink()));
    const std::wstring program = UninstallProgram();
    ASSERT_EQ(program, DefaultProgramDir() + L"Uninstall.exe");
    EXPECT_EQ(RunUninstaller(program, L"/S"), 0u);
    ExpectSameAsBefore(before, userData);

    // Installed again, then uninstalled a second time.
    ASSERT_NO_FATAL_FAILURE(InstallThroughTheWindow());
    EXPECT_EQ(RunUninstaller(UninstallProgram(), L"/s"), 0u);
    ExpectSameAsBefore(before, userData);
    // The entry's command once more: there is nothing left to start.
    Process again;
    EXPECT_FALSE(again.Start(program, L"/S"));
}
