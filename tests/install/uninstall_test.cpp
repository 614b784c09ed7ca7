// The uninstaller's rules: which manifest paths it acts on, in what order,
// what stays in the program folder, and which shortcuts and keys go.
#include <gtest/gtest.h>

#include "install/shortcuts.h"
#include "install/uninstall_plan.h"
#include "install/uninstall_removal.h"
#include "install/uninstall_traces.h"
#include "scratch_dir.h"
#include "system/com_owners.h"
#include "system/directory_chain.h"
#include "system/special_folders.h"
#include "system/win_handles.h"

namespace {

const std::wstring kFolder = L"C:\\Program Files\\kxVistral3";

TEST(UninstallPlan, OnlyPlainPathsBelowTheFolderAreActedOn)
{
    struct Case {
        const wchar_t* path;
        std::vector<std::wstring> names;  // empty: not acted on
    } cases[] = {
        {L"C:\\Program Files\\kxVistral3\\kxVistral.exe", {L"kxVistral.exe"}},
        {L"c:\\program files\\KXVISTRAL3\\data\\a.bin", {L"data", L"a.bin"}},
        {L"C:\\Program Files\\kxVistral3", {}},              // the folder itself
        {L"C:\\Program Files\\kxVistral3\\", {}},
        {L"C:\\Program Files\\kxVistral30\\a.dll", {}},      // a sibling sharing the prefix
        {L"C:\\Program Files\\kxVistral3\\..\\other.txt", {}},
        {L"C:\\Program Files\\kxVistral3\\data\\.\\a", {}},
        {L"C:\\Program Files\\kxVistral3\\data\\\\a", {}},
        {L"C:\\Program Files\\kxVistral3\\data\\", {}},
        {L"C:\\Program Files\\kxVistral3\\a.txt:stream", {}},
        {L"C:\\Program Files\\kxVistral3\\data/../../x", {}},
        {L"C:\\Program Files\\kxVistral3\\*.dll", {}},
        {L"\\\\?\\C:\\Program Files\\kxVistral3\\a.dll", {}},
        {L"D:\\kxVistral3\\a.dll", {}},
        {L"", {}},
    };
    for (const Case& c : cases) {
        RelativePath names;
        EXPECT_EQ(PathBelow(c.path, kFolder, names), !c.names.empty()) << c.path;
        EXPECT_EQ(names, c.names) << c.path;
        EXPECT_EQ(PathBelow(c.path, kFolder + L"\\", names), !c.names.empty()) << c.path;
    }
}

TEST(UninstallPlan, ManifestFilesInOrderDirectoriesDeepestFirstOutsideCounted)
{
    const std::string manifest =
        "<Uninstall>\n\t<Internal>\n"
        "\t\t<File path=\"C:\\Program Files\\kxVistral3\\b\\c\\x.dll\" />\n"
        "\t\t<File path=\"C:\\Program Files\\kxVistral3\\R&amp;D.txt\" />\n"
        "\t\t<File path=\"C:\\Windows\\System32\\kernel32.dll\" />\n"
        "\t\t<Dir path=\"C:\\Program Files\\kxVistral3\\b\" />\n"
        "\t\t<Dir path=\"C:\\Program Files\\kxVistral3\\a\" />\n"
        "\t\t<Dir path=\"C:\\Program Files\\kxVistral3\\b\\c\" />\n"
        "\t\t<Dir path=\"C:\\Users\" />\n"
        "\t\t<Other path=\"C:\\Program Files\\kxVistral3\\y\" />\n"
        "\t</Internal>\n</Uninstall>\n";
    UninstallPlan plan;
    ASSERT_TRUE(ParseUninstallManifest(manifest, kFolder, plan));
    EXPECT_EQ(plan.files, (std::vector<RelativePath>{{L"b", L"c", L"x.dll"}, {L"R&D.txt"}}));
    EXPECT_EQ(plan.dirs, (std::vector<RelativePath>{{L"b", L"c"}, {L"b"}, {L"a"}}));
    EXPECT_EQ(plan.outside, 2u);

    EXPECT_FALSE(ParseUninstallManifest("<Uninstall><Internal>", kFolder, plan));
    ASSERT_TRUE(ParseUninstallManifest("<Uninstall>\n\t<Internal />\n</Uninstall>\n", kFolder, plan));
    EXPECT_TRUE(plan.files.empty() && plan.dirs.empty());
}

TEST(UninstallPlan, TheUninstallCommandQuotedOrNot)
{
    const std::wstring program = kFolder + L"\\Uninstall.exe";
    struct Case {
        std::wstring command;
        std::wstring expected;
    } cases[] = {
        {program, program},
        {L"\"" + program + L"\"", program},
        {L"  \"" + program + L"\" /S", program},
        {L"\"" + program, L""},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UninstallCommandProgram(c.command), c.expected) << c.command;
}

bool MakeFile(const std::wstring& path, const char* text = "x") { return WriteBytes(path, text); }

TEST(UninstallRemoval, ListedItemsGoUserFilesAndWhatChangedKindStay)
{
    ScratchDir scratch;
    const std::wstring dir = scratch / L"prog";
    for (const wchar_t* sub : {L"", L"\\a", L"\\a\\b", L"\\c", L"\\d", L"\\e"})
        ASSERT_TRUE(CreateDirectoryW((dir + sub).c_str(), nullptr));
    for (const wchar_t* file : {L"\\Uninstall.exe", L"\\main.exe", L"\\a\\b\\x.dll", L"\\c\\user.txt",
                                L"\\Uninstall.xml", L"\\source.dat", L"\\d\\data.bin"})
        ASSERT_TRUE(MakeFile(dir + file));
    ASSERT_TRUE(SetFileAttributesW((dir + L"\\main.exe").c_str(), FILE_ATTRIBUTE_READONLY));
    // "e" was installed as a file and is a directory of the user's now;
    // "d\data.bin" was a directory.
    ASSERT_TRUE(MakeFile(dir + L"\\e\\mine.txt"));
    ASSERT_TRUE(CreateDirectoryW((dir + L"\\f").c_str(), nullptr));
    const std::wstring outside = scratch / L"outside.txt";
    ASSERT_TRUE(MakeFile(outside));

    UninstallPlan plan;
    plan.files = {{L"Uninstall.exe"}, {L"main.exe"}, {L"a", L"b", L"x.dll"}, {L"gone.txt"}, {L"e"}};
    plan.dirs = {{L"a", L"b"}, {L"a"}, {L"c"}, {L"d", L"data.bin"}, {L"f"}};
    plan.outside = 1;
    CheckedDir folder;
    ASSERT_EQ(CheckedDir::Open(dir, folder, true), S_OK);
    RemovalReport report;
    RemoveListedItems(folder, plan, L"uninstall.EXE", report);
    EXPECT_EQ(report.removed, 5u);  // main.exe, x.dll, a\b, a, f
    EXPECT_EQ(report.missing, 1u);
    EXPECT_EQ(report.kept, 1u);     // c, with the user's file
    EXPECT_EQ(report.failed, 2u);   // e and d\data.bin changed kind
    EXPECT_EQ(report.outside, 1u);
    for (const wchar_t* stays : {L"\\Uninstall.exe", L"\\c\\user.txt", L"\\e\\mine.txt", L"\\d\\data.bin"})
        EXPECT_TRUE(Exists(dir + stays)) << stays;
    for (const wchar_t* gone : {L"\\main.exe", L"\\a", L"\\f"})
        EXPECT_FALSE(Exists(dir + gone)) << gone;
    EXPECT_TRUE(Exists(outside));

    // Run again, as after a killed run: what is gone counts as missing.
    RemovalReport again;
    RemoveListedItems(folder, plan, L"Uninstall.exe", again);
    EXPECT_EQ(again.removed, 0u);
    EXPECT_EQ(again.missing, 6u);

    RemoveSideFiles(folder, report);
    EXPECT_FALSE(Exists(dir + L"\\Uninstall.xml"));
    EXPECT_FALSE(Exists(dir + L"\\source.dat"));
    EXPECT_TRUE(HoldsOtherThan(folder, L"Uninstall.exe"));
    RemoveTree(dir + L"\\c");
    RemoveTree(dir + L"\\d");
    RemoveTree(dir + L"\\e");
    EXPECT_FALSE(HoldsOtherThan(folder, L"UNINSTALL.exe"));
    EXPECT_TRUE(HoldsOtherThan(folder, L""));
}

TEST(UninstallRemoval, TheUserDataNoteAsTheInstallerWritesIt)
{
    ScratchDir scratch;
    CheckedDir folder;
    ASSERT_EQ(CheckedDir::Open(scratch.path(), folder), S_OK);
    struct Case {
        std::string bytes;
        std::wstring expected;
    } cases[] = {
        {std::string("\xFF\xFE" "D\0:\0\\\0\x4E\x6C", 10), L"D:\\\x6C4E"},
        {std::string("D\0:\0", 4), L""},      // no byte-order mark
        {std::string("\xFF\xFE", 2), L""},
        {std::string("\xFF\xFE" "E\0\0\0F\0", 8), L"E"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteBytes(scratch / L"temp_userdata.txt", c.bytes));
        EXPECT_EQ(ReadUserDataNote(folder), c.expected);
    }
}

// A key under the test's own name, so that the product's keys stay as they are.
const wchar_t kTestRegName[] = L"kxUninstallRulesTest";
const std::wstring kEntryPath =
    std::wstring(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kTestRegName;
const std::wstring kProductPath = std::wstring(L"Software\\") + kTestRegName;

void SetValue(HKEY root, const std::wstring& path, REGSAM view, const wchar_t* name,
              const std::wstring& text)
{
    UniqueRegKey key;
    ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                              key.Put(), nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

bool KeyExists(HKEY root, const std::wstring& path, REGSAM view)
{
    UniqueRegKey key;
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.Put()) == ERROR_SUCCESS;
}

TEST(UninstallTraces, KeysGoOnlyWhenTheyLeadIntoTheFolder)
{
    const std::wstring dir = L"C:\\Program Files\\kxUninstallRulesTest";
    struct Case {
        std::wstring uninstallString;
        std::wstring appPath;
        bool entryGoes, productGoes;
    } cases[] = {
        {dir + L"\\Uninstall.exe", dir + L"\\", true, true},
        {L"\"" + dir + L"\\Uninstall.exe\"", L"c:\\program files\\KXUNINSTALLRULESTEST", true, true},
        {L"\"D:\\Other\\Uninstall.exe\"", L"D:\\Other\\", false, false},
        {dir + L"2\\Uninstall.exe", dir + L"2\\", false, false},
    };
    for (const Case& c : cases) {
        SetValue(HKEY_LOCAL_MACHINE, kEntryPath, KEY_WOW64_32KEY, L"UninstallString", c.uninstallString);
        SetValue(HKEY_CURRENT_USER, kProductPath, 0, L"AppPath", c.appPath);
        SetValue(HKEY_CURRENT_USER, kProductPath, 0, L"Guid", L"{0}");
        EXPECT_EQ(RemoveRegistration(dir, kTestRegName), int(c.entryGoes) + int(c.productGoes));
        EXPECT_NE(KeyExists(HKEY_LOCAL_MACHINE, kEntryPath, KEY_WOW64_32KEY), c.entryGoes) << c.uninstallString;
        EXPECT_NE(KeyExists(HKEY_CURRENT_USER, kProductPath, 0), c.productGoes) << c.appPath;
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kEntryPath.c_str(), KEY_WOW64_32KEY, 0);
        RegDeleteTreeW(HKEY_CURRENT_USER, kProductPath.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, kProductPath.c_str());
    }
    EXPECT_EQ(RemoveRegistration(dir, kTestRegName), 0) << "nothing there, nothing removed";
}

TEST(UninstallTraces, ShortcutsGoOnlyWhenTheyPointIntoTheFolder)
{
    ComInitScope com;
    ScratchDir scratch;
    const std::wstring dir = scratch / L"prog";
    const std::wstring other = scratch / L"prog2";
    const std::wstring startMenu = SpecialFolderPath(CSIDL_COMMON_PROGRAMS) + L"\\" + kTestRegName;
    ASSERT_NE(CreateDirectoryChain(startMenu + L"\\"), ChainOutcome::Failed);
    const std::wstring name = std::wstring(kTestRegName) + L".lnk";
    const std::wstring uninstallName = L"\u5378\u8F7D" + name;

    // Pointing elsewhere: everything stays.
    ASSERT_TRUE(CreateShortcut(name.c_str(), (other + L"\\launcher.exe").c_str(), nullptr, startMenu.c_str()));
    EXPECT_EQ(RemoveProductShortcuts(dir, kTestRegName), 0);
    EXPECT_TRUE(Exists(startMenu + L"\\" + name));

    // Into the folder: both links and the emptied folder go.
    ASSERT_TRUE(CreateShortcut(name.c_str(), (dir + L"\\launcher.exe").c_str(), nullptr, startMenu.c_str()));
    ASSERT_TRUE(CreateShortcut(uninstallName.c_str(), (dir + L"\\Uninstall.exe").c_str(), nullptr,
                               startMenu.c_str()));
    EXPECT_EQ(RemoveProductShortcuts(dir, kTestRegName), 2);
    EXPECT_FALSE(Exists(startMenu));

    // A file the user put beside them keeps the folder.
    ASSERT_NE(CreateDirectoryChain(startMenu + L"\\"), ChainOutcome::Failed);
    ASSERT_TRUE(CreateShortcut(name.c_str(), (dir + L"\\launcher.exe").c_str(), nullptr, startMenu.c_str()));
    ASSERT_TRUE(MakeFile(startMenu + L"\\notes.txt"));
    EXPECT_EQ(RemoveProductShortcuts(dir, kTestRegName), 1);
    EXPECT_TRUE(Exists(startMenu + L"\\notes.txt"));
    RemoveTree(startMenu);
}

}  // namespace
