// The product's uninstaller as a user meets it: installed by the real
// installer, started from the uninstall entry's command, and the prefix
// afterwards as it was before the installation, the user's data aside.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>

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

namespace {

void WriteText(const std::wstring& path, const std::string& text)
{
    UniqueFileHandle f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(f.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string ReadText(const std::wstring& path)
{
    UniqueFileHandle f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string text(1 << 20, '\0');
    DWORD read = 0;
    ReadFile(f.Get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    text.resize(read);
    return text;
}

// Names of what is directly in dir.
std::vector<std::wstring> Listing(const std::wstring& dir)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(FindFirstFileW((dir + L"*").c_str(), &data));
    if (find)
        do {
            if (wcscmp(data.cFileName, L".") && wcscmp(data.cFileName, L".."))
                names.push_back(data.cFileName);
        } while (FindNextFileW(find.Get(), &data));
    return names;
}

// A process running an "Uninstall.exe" other than the one given.
DWORD OtherUninstaller(DWORD original)
{
    UniqueFileHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W pe{};
    pe.dwSize = sizeof(pe);
    for (BOOL ok = snap && Process32FirstW(snap.Get(), &pe); ok; ok = Process32NextW(snap.Get(), &pe))
        if (_wcsicmp(pe.szExeFile, L"Uninstall.exe") == 0 && pe.th32ProcessID != original)
            return pe.th32ProcessID;
    return 0;
}

}  // namespace

TEST(UninstallSilent, TheRunningProductEndsUsersFilesStayForeignPathsAreSkipped)
{
    ASSERT_NO_FATAL_FAILURE(InstallThroughTheWindow());
    const std::wstring dir = DefaultProgramDir();
    Process product;
    ASSERT_TRUE(product.Start(dir + L"kxVistral.exe"));
    ASSERT_TRUE(WaitFor([&] { return FindProcess(L"kxVistral.exe") == product.Id(); }, 10000));
    // The user's own files in the program folder, and a manifest that names
    // files outside it.
    ASSERT_TRUE(CreateDirectoryW((dir + L"notes").c_str(), nullptr));
    WriteText(dir + L"notes\\mine.txt", "mine");
    WriteText(dir + L"mine.txt", "mine");
    ASSERT_TRUE(CreateDirectoryW(L"C:\\outside", nullptr));
    WriteText(L"C:\\outside\\keep.txt", "keep");
    std::string manifest = ReadText(dir + L"Uninstall.xml");
    const std::string foreign = "\t\t<File path=\"C:\\outside\\keep.txt\" />\n"
                                "\t\t<File path=\"C:\\Program Files\\kxVistral3\\..\\..\\outside\\keep.txt\" />\n"
                                "\t\t<Dir path=\"C:\\outside\" />\n";
    size_t at = manifest.find("\t</Internal>");
    ASSERT_NE(at, std::string::npos);
    WriteText(dir + L"Uninstall.xml", manifest.insert(at, foreign));

    EXPECT_EQ(RunUninstaller(UninstallProgram(), L"/S"), 0u);
    EXPECT_TRUE(product.WaitExit(5000));
    EXPECT_EQ(product.ExitCode(), 0xFFFFFFFFu) << "ended as the installer ends it";
    std::vector<std::wstring> left = Listing(dir);
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::wstring>{L"mine.txt", L"notes"})) << "the user's files stay, and only they";
    EXPECT_EQ(ReadText(dir + L"notes\\mine.txt"), "mine");
    EXPECT_EQ(ReadText(L"C:\\outside\\keep.txt"), "keep");
    EXPECT_EQ(UninstallProgram(), L"") << "the uninstall entry goes";
    EXPECT_FALSE(Exists(AllUsersLink()));
}

TEST(UninstallSilent, KilledMidwayThenRunAgainCompletes)
{
    // Thousands of small files: the removal lasts long enough to be cut.
    ASSERT_NO_FATAL_FAILURE(InstallThroughTheWindow(Env(L"KX_E2E_LARGE_SETUP")));
    const std::wstring dir = DefaultProgramDir();
    ASSERT_TRUE(CopyFileW((ProductDir() + L"Uninstall.exe").c_str(), (dir + L"Uninstall.exe").c_str(), TRUE));
    const size_t installed = Listing(dir + L"filler00\\").size();
    ASSERT_GT(installed, 100u);

    Process original;
    ASSERT_TRUE(original.Start(dir + L"Uninstall.exe", L"/S"));
    DWORD copyId = 0;
    ASSERT_TRUE(WaitFor([&] { return (copyId = OtherUninstaller(original.Id())) != 0; }, 20000));
    // Cut once the removal is under way.
    ASSERT_TRUE(WaitFor([&] { return Listing(dir + L"filler00\\").size() < installed; }, 20000));
    UniqueHandle copy(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, copyId));
    ASSERT_TRUE(copy);
    TerminateProcess(copy.Get(), 1);
    WaitForSingleObject(copy.Get(), 10000);
    ASSERT_TRUE(original.WaitExit(10000));
    EXPECT_EQ(original.ExitCode(), 3u) << "the copy ended without a word: it could not finish";
    ASSERT_TRUE(Exists(dir + L"Uninstall.exe")) << "cut before its end";
    ASSERT_TRUE(Exists(dir + L"Uninstall.xml"));

    EXPECT_EQ(RunUninstaller(dir + L"Uninstall.exe", L"/S"), 0u);
    EXPECT_FALSE(Exists(dir)) << "the second run removed the rest";
    EXPECT_EQ(UninstallProgram(), L"");
    size_t copies = 0;
    for (const std::wstring& name : Listing(L"C:\\windows\\Temp\\"))
        copies += name.rfind(L"kxuninst-", 0) == 0;
    EXPECT_EQ(copies, 1u) << "the killed copy's folder went at the next run; the last one waits for a restart";
}

namespace {

constexpr wchar_t kUninstallerClass[] = L"kxVistralUninstaller";

// Starts the uninstall entry's command as the list of programs does and
// waits for the window its copy shows.
HWND StartUninstallWindow(Process& original)
{
    if (!original.Start(UninstallProgram()))
        return nullptr;
    HWND wnd = WaitWindow(0, kUninstallerClass, 30000);
    return wnd && Activate(wnd, 300, 150) ? wnd : nullptr;
}

size_t CopyFolders()
{
    size_t copies = 0;
    for (const std::wstring& name : Listing(L"C:\\windows\\Temp\\"))
        copies += name.rfind(L"kxuninst-", 0) == 0;
    return copies;
}

}  // namespace

TEST(UninstallWindow, CancelLeavesEverythingThenEnterUninstallsAndFinishes)
{
    const PrefixSnapshot before = TakeSnapshot();
    ASSERT_NO_FATAL_FAILURE(InstallThroughTheWindow());
    const std::wstring userData = ReadUtf16File(DefaultProgramDir() + L"temp_userdata.txt");

    // Tab reaches 取消; Enter presses it. Nothing is removed, nothing stays behind.
    Process first;
    ASSERT_NE(StartUninstallWindow(first), nullptr);
    Keys({VK_TAB});
    Keys({VK_RETURN});
    ASSERT_TRUE(first.WaitExit(30000));
    EXPECT_EQ(first.ExitCode(), 1u);
    EXPECT_TRUE(Exists(DefaultProgramDir() + L"Uninstall.xml"));
    EXPECT_EQ(UninstallProgram(), DefaultProgramDir() + L"Uninstall.exe");
    EXPECT_EQ(CopyFolders(), 0u) << "a cancelled copy's folder goes with it";

    // Enter on the question uninstalls; Enter on the finish page closes.
    Process second;
    HWND wnd = StartUninstallWindow(second);
    ASSERT_NE(wnd, nullptr);
    Keys({VK_RETURN});
    ASSERT_TRUE(second.WaitExit(60000));
    EXPECT_EQ(second.ExitCode(), 0u);
    ASSERT_TRUE(WaitFor([] { return !Exists(DefaultProgramDir()); }, 30000))
        << testing::PrintToString(Listing(DefaultProgramDir()));
    ASSERT_TRUE(IsWindow(wnd)) << "the finish page shows";
    ASSERT_TRUE(Activate(wnd, 300, 150));
    Keys({VK_RETURN});
    EXPECT_TRUE(WaitFor([] { return FindProcess(L"Uninstall.exe") == 0; }, 30000));
    ExpectSameAsBefore(before, userData);
}
