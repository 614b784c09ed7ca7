// Making room for an installation: product processes ended, an earlier
// tree removed, and nothing outside a product installation touched.
#include "install/earlier_installation.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <winioctl.h>
#include <sddl.h>

#include "install/admin_only.h"
#include "install/product_location.h"
#include "scratch_dir.h"
#include "system/com_owners.h"
#include "system/installer_constants.h"
#include "system/processes.h"
#include "system/win_handles.h"
#include "tests/system/running_program.h"

namespace {

std::wstring KnownPath(const wchar_t* variable)
{
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD n = GetEnvironmentVariableW(variable, buffer, MAX_PATH + 1);
    return n == 0 || n > MAX_PATH ? std::wstring() : std::wstring(buffer) + L"\\";
}

std::wstring WindowsDir()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    return std::wstring(buffer) + L"\\";
}

}  // namespace

TEST(EarlierInstallation, ProductProgramsEndedTreeRemovedHiddenFileAndSubdirectoryProgramsStay)
{
    ScratchDir scratch(kInstallBase);
    const std::wstring old = scratch / L"old\\";
    ASSERT_TRUE(CreateDirectoryW(old.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((old + L"bin").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((old + L"data").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((old + L"data\\keep").c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(old + L"Uninstall.xml", "<Uninstall />"));
    ASSERT_TRUE(WriteBytes(old + L"data\\plain.txt", "x"));
    ASSERT_TRUE(WriteBytes(old + L"data\\keep\\hidden.txt", "x"));
    ASSERT_TRUE(SetFileAttributesW((old + L"data\\keep\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    RunningProgram top(old + L"kxVistral.exe");
    RunningProgram lower(old + L"bin\\kxVistral.exe");
    ASSERT_TRUE(top.Started() && lower.Started());
    // Another letter case is another directory for the match.
    std::wstring upper = old;
    CharUpperW(upper.data());
    EXPECT_TRUE(TerminateProcessesIn(upper));
    EXPECT_EQ(top.ExitCode(), static_cast<DWORD>(STILL_ACTIVE));

    ASSERT_TRUE(IsProductInstallation(old));
    EXPECT_TRUE(TerminateProcessesIn(old));
    EXPECT_EQ(top.ExitCode(), 0xFFFFFFFFu);
    EXPECT_EQ(lower.ExitCode(), static_cast<DWORD>(STILL_ACTIVE));
    DeleteDirectoryTree(old);
    EXPECT_FALSE(Exists(old + L"Uninstall.xml"));
    EXPECT_FALSE(Exists(old + L"data\\plain.txt"));
    EXPECT_TRUE(Exists(old + L"data\\keep\\hidden.txt"));
}

TEST(EarlierInstallation, ReinstallInPlaceSparesOnlyTheUserDataNote)
{
    ScratchDir scratch;
    const std::wstring dir = scratch / L"kxVistral3\\";
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((dir + L"sub").c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(dir + L"temp_userdata.txt", "note"));
    ASSERT_TRUE(WriteBytes(dir + L"sub\\temp_userdata.txt", "old"));
    ASSERT_TRUE(WriteBytes(dir + L"setting.cfg", "old"));
    DeleteDirectoryTree(dir, L"TEMP_USERDATA.TXT");
    EXPECT_TRUE(Exists(dir + L"temp_userdata.txt"));
    EXPECT_FALSE(Exists(dir + L"sub"));
    EXPECT_FALSE(Exists(dir + L"setting.cfg"));
}

TEST(EarlierInstallation, HostileEarlierDirectoriesAreNoProductInstallation)
{
    ScratchDir scratch;
    const std::wstring profile = KnownPath(L"USERPROFILE");
    const std::wstring localAppData = KnownPath(L"LOCALAPPDATA");
    ASSERT_FALSE(profile.empty());
    // Product files planted into system folders do not make them the product's.
    std::vector<std::wstring> planted;
    for (const std::wstring& below : {KnownPath(L"ProgramData") + L"kxVistral3\\",
                                      localAppData + L"Programs\\kxVistral3\\", scratch / L"product\\"})
        SHCreateDirectoryExW(nullptr, below.c_str(), nullptr);
    for (const std::wstring& dir : {profile, localAppData, WindowsDir(), KnownPath(L"ProgramData"),
                                    KnownPath(L"ProgramData") + L"kxVistral3\\",
                                    localAppData + L"Programs\\kxVistral3\\", scratch / L"product\\"})
        if (!dir.empty() && WriteBytes(dir + L"Uninstall.xml", "<Uninstall />"))
            planted.push_back(dir + L"Uninstall.xml");
    struct Case {
        std::wstring dir;
        const char* what;
    } cases[] = {
        {L"C:\\", "drive root"},
        {WindowsDir(), "Windows directory"},
        {WindowsDir() + L"system32\\", "system folder"},
        {profile, "profile"},
        {profile + L"Desktop\\", "profile's desktop"},
        {localAppData, "application data"},
        {KnownPath(L"ProgramData"), "program data"},
        {KnownPath(L"ProgramFiles"), "program files"},
        {KnownPath(L"ProgramData") + L"kxVistral3\\", "a folder below program data"},
        {localAppData + L"Programs\\kxVistral3\\", "a folder below a profile"},
        {scratch / L"product\\", "a folder below the temporary folder"},
        {profile + L"..\\", "users folder"},
        {scratch.path(), "folder without product files"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(IsProductInstallation(c.dir)) << testing::PrintToString(c.dir);
    }
    for (const std::wstring& file : planted)
        DeleteFileW(file.c_str());
    RemoveDirectoryW((KnownPath(L"ProgramData") + L"kxVistral3").c_str());
    RemoveDirectoryW((localAppData + L"Programs\\kxVistral3").c_str());
}

TEST(EarlierInstallation, DirectoryLinksAreRemovedAsLinksTheirTargetsKept)
{
    ScratchDir scratch(kInstallBase);
    const std::wstring outside = scratch / L"outside\\";
    const std::wstring old = scratch / L"old\\";
    ASSERT_TRUE(CreateDirectoryW(outside.c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(outside + L"precious.txt", "x"));
    ASSERT_TRUE(CreateDirectoryW(old.c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(old + L"Uninstall.xml", "<Uninstall />"));
    if (!MakeJunction(old + L"link", scratch / L"outside"))
        GTEST_SKIP() << "no junctions on this file system";
    // A junction itself is never an installation to remove.
    EXPECT_FALSE(IsProductInstallation(old + L"link\\"));
    ASSERT_TRUE(IsProductInstallation(old));
    DeleteDirectoryTree(old);
    EXPECT_FALSE(Exists(old + L"link"));
    EXPECT_TRUE(Exists(outside + L"precious.txt"));
}

TEST(EarlierInstallation, ImagePathFromTheProcessWhenModulesCannotBeListed)
{
    ScratchDir scratch;
    RunningProgram program(scratch / L"kxVistral.exe");
    ASSERT_TRUE(program.Started());
    std::wstring fromModules, fromImage;
    ASSERT_TRUE(ProcessImagePath(program.Id(), fromModules));
    ASSERT_TRUE(ProcessImagePath(program.Id(), fromImage, ImagePathSource::ImageNameOnly));
    EXPECT_EQ(fromModules, scratch / L"kxVistral.exe");
    EXPECT_EQ(fromImage, fromModules);
    // The name-and-path look-up takes its path the same way.
    DWORD found = 0;
    ASSERT_TRUE(FindProcessByNameAndPath(L"kxVistral.exe", scratch / L"kxVistral.exe", found));
    EXPECT_EQ(found, program.Id());
}

TEST(EarlierInstallation, OnlyAdministratorsSystemAndTrustedInstallerOwnOrMayChangeAnInstallation)
{
    // Where the system keeps owners, an earlier installation counts only
    // when no unelevated user can have made it or can change it.
    const std::wstring user = L"S-1-5-21-1004336348-1177238915-682003330-1001";
    // What a folder made under Program Files inherits.
    const std::wstring programFiles =
        L"(A;;FA;;;S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464)"
        L"(A;OICIIO;GA;;;SY)(A;;0x1301bf;;;SY)(A;OICIIO;GA;;;BA)(A;;0x1301bf;;;BA)"
        L"(A;OICI;0x1200a9;;;BU)(A;OICIIO;GA;;;CO)(A;OICI;0x1200a9;;;AC)";
    const struct {
        std::wstring sddl;
        bool owned;
        bool onlyAdministrators;
    } rows[] = {
        {L"O:BAG:BAD:", true, true},  // an empty DACL lets nobody in
        {L"O:SYG:SYD:", true, true},
        {L"O:S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464D:", true, true},
        {L"O:" + user + L"D:", false, false},
        {L"O:WDD:", false, false},  // Everyone
        {L"O:BUD:", false, false},  // Users
        {L"G:BAD:", false, false},  // no owner
        {L"O:BAD:" + programFiles, true, true},
        {L"O:BAD:(A;;FR;;;WD)(A;;FA;;;OW)(D;;FA;;;WD)", true, true},  // read, the owner, a denial
        {L"O:BAD:(A;;0x110;;;BU)", true, true},  // attributes and extended attributes
        {L"O:BA", true, false},                   // no DACL
        // A secondary drive's folders: Authenticated Users may modify.
        {L"O:BAD:" + programFiles + L"(A;OICI;0x1301bf;;;AU)", true, false},
        {L"O:SYD:(A;;FA;;;WD)", true, false},
        {L"O:BAD:(A;;FA;;;" + user + L")", true, false},  // the user who runs the installer
        {L"O:BAD:(A;;0x2;;;IU)", true, false},  // INTERACTIVE adds a file
        {L"O:BAD:(A;;0x4;;;BU)", true, false},  // adds a folder
        {L"O:BAD:(A;;0x40;;;BU)", true, false},  // deletes any child
        {L"O:BAD:(A;;SD;;;BU)", true, false},
        {L"O:BAD:(A;;WD;;;BU)", true, false},  // changes the DACL
        {L"O:BAD:(A;;WO;;;BU)", true, false},  // takes ownership
        {L"O:BAD:(A;;GW;;;BU)", true, false},
        {L"O:BAD:(A;OICIIO;GA;;;BU)", true, false},  // the files made in it would be the users'
        {L"O:BAD:(D;;FA;;;BU)(A;;FA;;;BU)", true, false},  // a denial is no reason to trust
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.sddl));
        UniqueLocal<void> descriptor;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(row.sddl.c_str(), SDDL_REVISION_1,
                                                                         descriptor.Receive(), nullptr));
        EXPECT_EQ(IsOwnedBySystem(descriptor.Get()), row.owned);
        EXPECT_EQ(OnlyAdministratorsMayChange(descriptor.Get()), row.onlyAdministrators);
    }
    // A null DACL lets everybody in.
    SECURITY_DESCRIPTOR nullDacl;
    UniqueLocal<void> administrators;
    ASSERT_TRUE(ConvertStringSidToSidW(L"BA", reinterpret_cast<PSID*>(administrators.Receive())));
    ASSERT_TRUE(InitializeSecurityDescriptor(&nullDacl, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorOwner(&nullDacl, administrators.Get(), FALSE));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&nullDacl, TRUE, nullptr, FALSE));
    EXPECT_TRUE(IsOwnedBySystem(&nullDacl));
    EXPECT_FALSE(OnlyAdministratorsMayChange(&nullDacl));
    EXPECT_FALSE(IsOwnedBySystem(nullptr));
    EXPECT_FALSE(OnlyAdministratorsMayChange(nullptr));
}

TEST(EarlierInstallation, WhoMayChangeIsReadOnTheHandle)
{
    // Objects made with a descriptor: the one read back through the handle
    // decides; a handle that may not read it counts as anybody's.
    for (const auto& [sddl, onlyAdministrators] :
         {std::pair{L"O:BAD:(A;;GA;;;BA)(A;;GA;;;SY)", true}, std::pair{L"O:BAD:(A;;GA;;;BA)(A;;GA;;;WD)", false}}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(sddl)));
        SECURITY_ATTRIBUTES attributes{sizeof(attributes), nullptr, FALSE};
        UniqueLocal<void> descriptor;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1,
                                                                         descriptor.Receive(), nullptr));
        attributes.lpSecurityDescriptor = descriptor.Get();
        UniqueHandle event(CreateEventW(&attributes, TRUE, FALSE, nullptr));
        if (!event)
            GTEST_SKIP() << "this account may not make Administrators an owner";
        EXPECT_EQ(OnlyAdministratorsMayChangeFile(event.Get()), onlyAdministrators);
        HANDLE raw = nullptr;
        ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), event.Get(), GetCurrentProcess(), &raw, SYNCHRONIZE,
                                    FALSE, 0));
        UniqueHandle noReadControl(raw);
        EXPECT_FALSE(OnlyAdministratorsMayChangeFile(noReadControl.Get()));
    }
}

TEST(EarlierInstallation, TrustedDirectoryAlwaysEndsWithItsBackslash)
{
    ScratchDir scratch(kInstallBase);
    const std::wstring old = scratch / L"old\\";
    ASSERT_TRUE(CreateDirectoryW(old.c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(old + L"Uninstall.xml", "<Uninstall />"));
    const std::wstring key = L"Software\\" + RegName;
    // The value as the job writes it, the same without its backslash, and a
    // folder that is not there.
    struct {
        const wchar_t* what;
        std::wstring appPath, trusted;
    } cases[] = {
        {L"as written", old, old},
        {L"without backslash", old.substr(0, old.size() - 1), old},
        {L"elsewhere", scratch / L"missing\\", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        UniqueRegKey product;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, product.Put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(product.Get(), L"AppPath", 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(c.appPath.c_str()),
                                 static_cast<DWORD>((c.appPath.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        EXPECT_EQ(TrustedEarlierInstallation(), c.trusted);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}
