// The uninstall manifest's exact form, the shortcut helpers and the
// payload's private directory.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include "archive_items.h"
#include "install/payload_file.h"
#include "install/seven_zip_extractor.h"

#include "install/shortcuts.h"
#include "install/uninstall_manifest.h"
#include "scratch_dir.h"
#include "system/com_owners.h"

namespace {

std::string ReadText(const std::wstring& path)
{
    std::vector<uint8_t> bytes;
    ReadBytes(path, bytes);
    return std::string(bytes.begin(), bytes.end());
}

// The trustees of the allowing entries of path's access list.
std::vector<std::wstring> Trustees(const std::wstring& path)
{
    std::vector<std::wstring> trustees;
    PACL dacl = nullptr;
    UniqueLocal<void> descriptor;
    if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                              &dacl, nullptr, descriptor.Receive()) != ERROR_SUCCESS || !dacl)
        return trustees;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        UniqueLocal<wchar_t> sid;
        if (GetAce(dacl, i, reinterpret_cast<void**>(&ace)) && ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
            ConvertSidToStringSidW(&ace->SidStart, sid.Receive()))
            trustees.push_back(sid.Get());
    }
    return trustees;
}

// Whether a directory made with an access list for Administrators and SYSTEM
// reads back so (Wine without extended attributes derives one from the Unix
// permissions instead).
bool AccessListsAreKept(const std::wstring& probe)
{
    UniqueLocal<void> sd;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;FA;;;BA)(A;;FA;;;SY)", SDDL_REVISION_1, sd.Receive(),
                                                              nullptr))
        return false;
    SECURITY_ATTRIBUTES sa{sizeof(sa), sd.Get(), FALSE};
    bool kept = CreateDirectoryW(probe.c_str(), &sa) && Trustees(probe) == std::vector<std::wstring>{L"S-1-5-32-544", L"S-1-5-18"};
    RemoveDirectoryW(probe.c_str());
    return kept;
}

}  // namespace

TEST(UninstallManifest, SerialisedFormEscapingAndReplacement)
{
    ScratchDir scratch;
    const std::wstring file = scratch / L"Uninstall.xml";
    ASSERT_TRUE(WriteUninstallManifestOf(file, {L"C:\\P\\a&b.txt", L"C:\\P\\卸载.exe"}, {L"C:\\P\\d"}));
    EXPECT_EQ(ReadText(file),
              "<Uninstall>\n\t<Internal>\n"
              "\t\t<File path=\"C:\\P\\a&amp;b.txt\" />\n"
              "\t\t<File path=\"C:\\P\\\xE5\x8D\xB8\xE8\xBD\xBD.exe\" />\n"
              "\t\t<Dir path=\"C:\\P\\d\" />\n"
              "\t</Internal>\n</Uninstall>\n");
    // A second, shorter manifest replaces the first completely.
    ASSERT_TRUE(WriteUninstallManifestOf(file, {}, {}));
    EXPECT_EQ(ReadText(file), "<Uninstall>\n\t<Internal />\n</Uninstall>\n");
    // A file that cannot be created gives false and no file.
    EXPECT_FALSE(WriteUninstallManifestOf(scratch / L"missing\\Uninstall.xml", {}, {}));
    EXPECT_FALSE(Exists(scratch / L"missing"));
}

TEST(Shortcuts, WorkingDirectoryLinkPathLimitAndFolderChains)
{
    struct {
        const wchar_t* target;
        const wchar_t* dir;
    } rules[] = {
        {L"C:\\P\\launcher.exe", L"C:\\P\\"},
        {L"C:/P/launcher.exe", L"C:/P/"},
        {L"C:\\P/x/launcher.exe", L"C:\\"},
        {L"launcher.exe", L""},
    };
    for (const auto& r : rules)
        EXPECT_EQ(ShortcutWorkingDir(r.target), r.dir) << testing::PrintToString(std::wstring(r.target));

    ComInitScope com;
    ScratchDir scratch;
    const std::wstring folder = scratch / L"Start\\Vistral3.0\\";
    ASSERT_TRUE(MakePathDirs(folder + L"not created"));
    EXPECT_TRUE(IsDirectory(folder));
    EXPECT_FALSE(Exists(folder + L"not created"));
    EXPECT_FALSE(MakePathDirs(L""));

    const std::wstring target = scratch / L"launcher.exe";
    ASSERT_TRUE(WriteBytes(target, "MZ"));
    EXPECT_TRUE(CreateShortcut(L"Vistral3.0.lnk", target.c_str(), nullptr, folder.c_str()));
    EXPECT_TRUE(Exists(folder + L"\\Vistral3.0.lnk"));
    EXPECT_FALSE(CreateShortcut(L"x.lnk", target.c_str(), nullptr, nullptr));
    // One character past what wsprintfW can write fails instead of overflowing.
    std::wstring longFolder(kMaxLinkPathChars - 5, L'a');  // + "\" + "x.lnk" = limit + 1
    EXPECT_FALSE(CreateShortcut(L"x.lnk", target.c_str(), nullptr, longFolder.c_str()));

    wchar_t quickLaunch[MAX_PATH] = {};
    ASSERT_TRUE(GetQuickLaunchDir(quickLaunch));
    EXPECT_NE(std::wstring(quickLaunch).find(L"\\Microsoft\\Internet Explorer\\Quick Launch"), std::wstring::npos);
}

TEST(PayloadDir, FreshFolderReadThroughItsOwnHandleRemovedWithWhatKilledRunsLeft)
{
    ScratchDir temp;
    const std::wstring killed = temp / L"kxsetup-01234567-89ab-cdef-0123-456789ABCDEF";
    ASSERT_TRUE(CreateDirectoryW(killed.c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(killed + L"\\resource.7z", "old payload"));
    for (const wchar_t* other : {L"kxsetup-notes", L"kxsetup-01234567-89ab-cdef-0123-456789abcdeg"})
        ASSERT_TRUE(CreateDirectoryW((temp / other).c_str(), nullptr));

    PayloadDir first, second;
    ASSERT_TRUE(first.Create(temp.path()));
    EXPECT_FALSE(Exists(killed)) << "a killed run's folder goes at the next run";
    EXPECT_TRUE(Exists(temp / L"kxsetup-notes"));
    EXPECT_TRUE(Exists(temp / L"kxsetup-01234567-89ab-cdef-0123-456789abcdeg"));
    ASSERT_TRUE(second.Create(temp.path()));
    EXPECT_NE(first.Folder(), second.Folder());
    EXPECT_TRUE(IsDirectory(first.Folder()));
    EXPECT_TRUE(PayloadDir::IsRunFolderName(
        first.Folder().substr(temp.path().size(), first.Folder().size() - temp.path().size() - 1)));

    ASSERT_TRUE(first.WriteArchive());
    // Nobody writes it while it is open, and it is read through its handle.
    HANDLE writer = CreateFileW(first.ArchivePath().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE)
        CloseHandle(writer);
    EXPECT_GT(ArchiveItemPaths(temp / L"no-such-archive.7z", first.Archive()).size(), 100u);
    const std::wstring folder = first.Folder();
    first.Remove();
    EXPECT_FALSE(Exists(folder));
    // A folder that is not there is no place for one.
    PayloadDir missing;
    EXPECT_FALSE(missing.Create(temp / L"missing\\"));

    if (!IsProcessElevated())
        GTEST_SKIP() << "not elevated: the directory keeps the temporary directory's access list";
    PayloadDir elevated;
    ASSERT_TRUE(elevated.Create(temp.path()));
    if (Trustees(elevated.Folder()).empty() || !AccessListsAreKept(temp / L"probe"))
        GTEST_SKIP() << "this file system keeps no access lists ";
    EXPECT_EQ(Trustees(elevated.Folder()), (std::vector<std::wstring>{L"S-1-5-32-544", L"S-1-5-18"}));
}


namespace {

constexpr wchar_t kHolderDirVar[] = L"KX_PAYLOAD_HOLDER_DIR";

// The payload files (resource.7z) in the per-run folders under dir.
int PayloadFilesIn(const std::wstring& dir)
{
    int count = 0;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((dir + L"kxsetup-*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        count += Exists(dir + found.cFileName + L"\\resource.7z") ? 1 : 0;
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return count;
}

}  // namespace

// Run by the test below in a process of its own: writes the payload into the
// folder the variable names, says so, and waits to be ended.
TEST(PayloadHolder, WritesThePayloadAndWaits)
{
    wchar_t dir[MAX_PATH] = {};
    if (GetEnvironmentVariableW(kHolderDirVar, dir, MAX_PATH) == 0)
        GTEST_SKIP() << "run by PayloadDir.LeavesWithTheProcessHoweverItEnds";
    PayloadDir payload;
    ASSERT_TRUE(payload.Create(dir));
    ASSERT_TRUE(payload.WriteArchive());
    ASSERT_TRUE(WriteBytes(std::wstring(dir) + L"written", ""));
    Sleep(INFINITE);
}

TEST(PayloadDir, LeavesWithAProcessThatIsKilled)
{
    wchar_t exe[MAX_PATH] = {};
    ASSERT_NE(GetModuleFileNameW(nullptr, exe, MAX_PATH), 0u);
    ScratchDir temp;
    std::wstring cmd = L"\"" + std::wstring(exe) + L"\" --gtest_filter=PayloadHolder.*";
    SetEnvironmentVariableW(kHolderDirVar, temp.path().c_str());
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    BOOL started = CreateProcessW(exe, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableW(kHolderDirVar, nullptr);
    ASSERT_TRUE(started);
    UniqueHandle process(pi.hProcess), thread(pi.hThread);
    for (int i = 0; i < 600 && !Exists(temp / L"written"); ++i)
        Sleep(50);
    ASSERT_TRUE(Exists(temp / L"written"));
    EXPECT_EQ(PayloadFilesIn(temp.path()), 1) << "written and held";

    TerminateProcess(process.Get(), 9);
    ASSERT_EQ(WaitForSingleObject(process.Get(), 30000), WAIT_OBJECT_0);
    EXPECT_EQ(PayloadFilesIn(temp.path()), 0) << "the system deletes the archive with its last handle";
    PayloadDir next;
    ASSERT_TRUE(next.Create(temp.path()));
    next.Remove();
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((temp / L"kxsetup-*").c_str(), &found);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE) << "the next run removes the folder";
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
}
