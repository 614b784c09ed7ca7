// The uninstall manifest's exact form, the shortcut helpers and the
// payload's private directory.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include "archive_items.h"
#include "install/payload_file.h"
#include "install/seven_zip_extractor.h"

#include "install/shortcuts.h"
#include "install/uninstall_manifest.h"
#include "scratch_dir.h"
#include "system/com_owners.h"
#include "system/directory_chain.h"
#include "system/paths.h"

namespace {

using Microsoft::WRL::ComPtr;

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
    CheckedDir dir;
    ASSERT_EQ(CheckedDir::Open(scratch.path(), dir), S_OK);
    ASSERT_TRUE(WriteUninstallManifestOf(dir, {L"C:\\P\\a&b.txt", L"C:\\P\\卸载.exe"}, {L"C:\\P\\d"}));
    EXPECT_EQ(ReadText(file),
              "<Uninstall>\n\t<Internal>\n"
              "\t\t<File path=\"C:\\P\\a&amp;b.txt\" />\n"
              "\t\t<File path=\"C:\\P\\\xE5\x8D\xB8\xE8\xBD\xBD.exe\" />\n"
              "\t\t<Dir path=\"C:\\P\\d\" />\n"
              "\t</Internal>\n</Uninstall>\n");
    // A second, shorter manifest replaces the first completely.
    ASSERT_TRUE(WriteUninstallManifestOf(dir, {}, {}));
    EXPECT_EQ(ReadText(file), "<Uninstall>\n\t<Internal />\n</Uninstall>\n");
    // A file that cannot be created gives false and no file.
    CheckedDir missing;
    EXPECT_NE(CheckedDir::Open(scratch / L"missing", missing), S_OK);
    EXPECT_FALSE(WriteUninstallManifestOf(missing, {}, {}));
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
    ASSERT_EQ(CreateDirectoryChain(folder + L"not created"), ChainOutcome::Created);
    EXPECT_TRUE(IsDirectory(folder));
    EXPECT_FALSE(Exists(folder + L"not created"));
    EXPECT_EQ(CreateDirectoryChain(L""), ChainOutcome::AllExisted);

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

TEST(Shortcuts, WrittenThroughTheFolderHandleNeverThroughWhatStandsAtTheName)
{
    ComInitScope com;
    ScratchDir scratch;
    const std::wstring outside = scratch / L"outside";
    ASSERT_TRUE(CreateDirectoryW(outside.c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(outside + L"\\precious.txt", "x"));
    const std::wstring target = scratch / L"launcher.exe";
    ASSERT_TRUE(WriteBytes(target, "MZ"));
    ASSERT_TRUE(CreateDirectoryW((scratch / L"menu").c_str(), nullptr));
    CheckedDir menu;
    ASSERT_EQ(CheckedDir::Open(scratch / L"menu", menu), S_OK);
    const bool junction = MakeJunction(scratch / L"menu\\linked.lnk", outside);

    struct {
        const wchar_t* name;
        std::string before;  // a file there first; "dir" a directory
        bool made;
    } cases[] = {
        {L"new.lnk", "", true},
        {L"old.lnk", "an older link", true},
        {L"dir.lnk", "dir", false},       // never a directory's tree
        {L"..\\up.lnk", "", false},       // one name, in this folder only
        {L"linked.lnk", "", junction},    // the link goes, as the link
    };
    for (const auto& c : cases) {
        const std::wstring path = scratch / L"menu\\" + c.name;
        SCOPED_TRACE(testing::PrintToString(path));
        if (c.before == "dir") {
            ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
        } else if (!c.before.empty()) {
            ASSERT_TRUE(WriteBytes(path, c.before));
        }
        EXPECT_EQ(CreateShortcutIn(menu, c.name, target, nullptr), c.made);
        if (!c.made)
            continue;
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadBytes(path, bytes));
        ASSERT_GE(bytes.size(), 4u);
        EXPECT_EQ(bytes[0], 0x4C);  // a shell link's header size, 76
        ComPtr<IShellLinkW> link;
        ComPtr<IPersistFile> file;
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                               IID_PPV_ARGS(link.GetAddressOf()))));
        ASSERT_TRUE(SUCCEEDED(link.As(&file)) && SUCCEEDED(file->Load(path.c_str(), STGM_READ)));
        wchar_t read[MAX_PATH] = {};
        ASSERT_TRUE(SUCCEEDED(link->GetPath(read, MAX_PATH, nullptr, 0)));
        EXPECT_TRUE(EqualPathText(read, target)) << testing::PrintToString(std::wstring(read));
    }
    EXPECT_TRUE(IsDirectory(scratch / L"menu\\dir.lnk"));
    EXPECT_FALSE(Exists(scratch / L"up.lnk"));
    EXPECT_TRUE(Exists(outside + L"\\precious.txt"));
    EXPECT_FALSE(Exists(outside + L"\\linked.lnk"));
    EXPECT_FALSE(CreateShortcutIn(CheckedDir(), L"closed.lnk", target, nullptr));
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
