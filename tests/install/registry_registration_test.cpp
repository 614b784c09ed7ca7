#include "install/registry_registration.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/installer_constants.h"
#include "system/win_handles.h"

namespace {

const std::wstring kProductKey = L"Software\\kxVistral3";
const std::wstring kUninstallKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\kxVistral3";

struct StoredValue {
    bool found = false;
    DWORD type = REG_NONE;
    DWORD bytes = 0;
    std::wstring text;  // the data without its terminating zero
};

StoredValue Query(HKEY root, const std::wstring& path, REGSAM view, const wchar_t* name)
{
    StoredValue v;
    HKEY raw = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &raw) != ERROR_SUCCESS)
        return v;
    UniqueRegKey key;
    key.Reset(raw);
    std::vector<wchar_t> data(2048);
    v.bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.Get(), name, nullptr, &v.type, reinterpret_cast<BYTE*>(data.data()),
                         &v.bytes) != ERROR_SUCCESS)
        return v;
    v.found = true;
    v.text.assign(data.data(), v.bytes / sizeof(wchar_t));
    if (!v.text.empty() && v.text.back() == L'\0')
        v.text.pop_back();
    return v;
}

std::vector<std::wstring> ValueNames(HKEY root, const std::wstring& path, REGSAM view)
{
    std::vector<std::wstring> names;
    HKEY raw = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &raw) != ERROR_SUCCESS)
        return names;
    UniqueRegKey key;
    key.Reset(raw);
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD chars = 256;
        if (RegEnumValueW(key.Get(), i, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, chars);
    }
    return names;
}

void SetRaw(const std::wstring& path, const wchar_t* name, DWORD type, const void* data, DWORD bytes)
{
    HKEY raw = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &raw,
                              nullptr),
              ERROR_SUCCESS);
    UniqueRegKey key;
    key.Reset(raw);
    ASSERT_EQ(RegSetValueExW(key.Get(), name, 0, type, static_cast<const BYTE*>(data), bytes),
              ERROR_SUCCESS);
}

// Every key the tests write is removed before and after each test.
class Registry : public testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean()
    {
        RegDeleteKeyExW(HKEY_CURRENT_USER, kProductKey.c_str(), 0, 0);
        RegDeleteKeyExW(HKEY_CURRENT_USER, L"Software\\kxRegistryTestOther", 0, 0);
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), KEY_WOW64_32KEY, 0);
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), KEY_WOW64_64KEY, 0);
    }

    static void ExpectString(HKEY root, const std::wstring& path, REGSAM view, const wchar_t* name,
                             const std::wstring& text)
    {
        StoredValue v = Query(root, path, view, name);
        ASSERT_TRUE(v.found) << name;
        EXPECT_EQ(v.type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_EQ(v.text, text) << name;
        EXPECT_EQ(v.bytes, (text.size() + 1) * 2) << name;  // with its terminating zero
    }
};

}  // namespace

TEST(UninstallInfo, PathsArePlainConcatenations)
{
    UninstallInfo info;
    EXPECT_EQ(info.version, L"3.01.35");
    info.SetInstallDir(L"C:\\Program Files\\kxVistral3\\");
    EXPECT_EQ(info.installDir, L"C:\\Program Files\\kxVistral3\\");
    EXPECT_EQ(info.displayIcon, L"C:\\Program Files\\kxVistral3\\launcher.exe");
    EXPECT_EQ(info.uninstallString, L"\"C:\\Program Files\\kxVistral3\\Uninstall.exe\"");
}

TEST_F(Registry, ProductKeyIsWrittenAndReadBack)
{
    UninstallInfo info;
    info.SetInstallDir(L"D:\\Apps\\数据 kx\\kxVistral3\\");
    ASSERT_TRUE(WriteProductKey(info));
    ExpectString(HKEY_CURRENT_USER, kProductKey, 0, L"AppPath", L"D:\\Apps\\数据 kx\\kxVistral3\\");
    ExpectString(HKEY_CURRENT_USER, kProductKey, 0, L"Version", L"3.01.35");
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, kProductKey, 0).size(), 2u);
    EXPECT_EQ(ReadAppPath(RegName), info.installDir);

    // A second installation elsewhere overwrites; an unrelated value stays.
    SetRaw(kProductKey, L"Guid", REG_SZ, L"{G}", 6);
    info.SetInstallDir(L"E:\\kxVistral3\\");
    info.version = L"3.01.36";
    ASSERT_TRUE(WriteProductKey(info));
    ExpectString(HKEY_CURRENT_USER, kProductKey, 0, L"AppPath", L"E:\\kxVistral3\\");
    ExpectString(HKEY_CURRENT_USER, kProductKey, 0, L"Version", L"3.01.36");
    EXPECT_TRUE(Query(HKEY_CURRENT_USER, kProductKey, 0, L"Guid").found);
    EXPECT_EQ(ReadAppPath(RegName), L"E:\\kxVistral3\\");
}

TEST_F(Registry, UninstallEntryHasSixValuesInThe32BitView)
{
    UninstallInfo info;
    info.SetInstallDir(L"C:\\Program Files\\kxVistral3\\");
    ASSERT_TRUE(WriteUninstallEntry(info));

    const REGSAM view = KEY_WOW64_32KEY;
    ExpectString(HKEY_LOCAL_MACHINE, kUninstallKey, view, L"DisplayIcon",
                 L"C:\\Program Files\\kxVistral3\\launcher.exe");
    ExpectString(HKEY_LOCAL_MACHINE, kUninstallKey, view, L"DisplayName", L"Vistral3.0");
    ExpectString(HKEY_LOCAL_MACHINE, kUninstallKey, view, L"DisplayVersion", L"3.01.35");
    ExpectString(HKEY_LOCAL_MACHINE, kUninstallKey, view, L"Publisher", L"Norvane");
    // A command line: the path with its spaces in quotes.
    ExpectString(HKEY_LOCAL_MACHINE, kUninstallKey, view, L"UninstallString",
                 L"\"C:\\Program Files\\kxVistral3\\Uninstall.exe\"");
    ExpectString(HKEY_LOCAL_MACHINE, kUninstallKey, view, L"URLInfoAbout", CompanyUrl);
    std::vector<std::wstring> expectedOrder = {L"DisplayIcon", L"DisplayName",     L"DisplayVersion",
                                               L"Publisher",   L"UninstallString", L"URLInfoAbout"};
    EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, kUninstallKey, view), expectedOrder);

    // Not in the 64-bit view, where 64-bit programs are listed.
    EXPECT_FALSE(Query(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_64KEY, L"DisplayName").found);

    // A second installation elsewhere overwrites every path.
    info.SetInstallDir(L"D:\\kx\\");
    ASSERT_TRUE(WriteUninstallEntry(info));
    ExpectString(HKEY_LOCAL_MACHINE, kUninstallKey, view, L"DisplayIcon", L"D:\\kx\\launcher.exe");
    ExpectString(HKEY_LOCAL_MACHINE, kUninstallKey, view, L"UninstallString", L"\"D:\\kx\\Uninstall.exe\"");
    EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, kUninstallKey, view).size(), 6u);
}

TEST_F(Registry, AppPathReadsOnlyAStringThatFits)
{
    EXPECT_EQ(ReadAppPath(RegName), L"");  // no key

    const wchar_t expand[] = L"%ProgramFiles%\\kxVistral3\\";
    SetRaw(kProductKey, L"AppPath", REG_EXPAND_SZ, expand, sizeof(expand));
    EXPECT_EQ(ReadAppPath(RegName), L"");
    DWORD number = 7;
    SetRaw(kProductKey, L"AppPath", REG_DWORD, &number, sizeof(number));
    EXPECT_EQ(ReadAppPath(RegName), L"");

    // Stored without a terminating zero (the registry adds one only when the
    // character after the data is zero): read exactly as long as it is.
    SetRaw(kProductKey, L"AppPath", REG_SZ, L"C:\\kx\\garbage", 12);
    ASSERT_EQ(Query(HKEY_CURRENT_USER, kProductKey, 0, L"AppPath").bytes, 12u);
    EXPECT_EQ(ReadAppPath(RegName), L"C:\\kx\\");

    // 259 characters fit the 260-character buffer with their zero ...
    std::wstring fits = L"C:\\" + std::wstring(255, L'a') + L"\\";
    ASSERT_EQ(fits.size(), 259u);
    SetRaw(kProductKey, L"AppPath", REG_SZ, fits.c_str(), static_cast<DWORD>((fits.size() + 1) * 2));
    EXPECT_EQ(ReadAppPath(RegName), fits);
    // ... a longer path is not handed back cut short.
    std::wstring tooLong = L"C:\\" + std::wstring(300, L'a') + L"\\";
    SetRaw(kProductKey, L"AppPath", REG_SZ, tooLong.c_str(), static_cast<DWORD>((tooLong.size() + 1) * 2));
    EXPECT_EQ(ReadAppPath(RegName), L"");

    // Another product's name reads its own key; a name too long for the key path reads nothing.
    SetRaw(L"Software\\kxRegistryTestOther", L"AppPath", REG_SZ, L"F:\\o\\", 12);
    EXPECT_EQ(ReadAppPath(L"kxRegistryTestOther"), L"F:\\o\\");
    EXPECT_EQ(ReadAppPath(L"kxRegistryTestOther" + std::wstring(200, L'x')), L"");
}

TEST(ProgramFilesDir, ComesFromThe64BitView)
{
    std::wstring dir = ReadProgramFilesDir();
    EXPECT_EQ(dir, L"C:\\Program Files");
    StoredValue view32 = Query(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                               KEY_WOW64_32KEY, L"ProgramFilesDir");
    EXPECT_NE(view32.text, dir);  // the 32-bit view names the x86 folder
}

namespace {

// The program a command line starts, as the system's list of programs
// starts the uninstall command: started suspended, named, ended.
std::wstring ProgramStartedBy(std::wstring commandLine)
{
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        nullptr, &si, &pi))
        return L"(nothing started)";
    UniqueHandle process(pi.hProcess), thread(pi.hThread);
    wchar_t image[MAX_PATH] = {};
    DWORD chars = MAX_PATH;
    if (!QueryFullProcessImageNameW(process.Get(), 0, image, &chars))
        chars = 0;
    TerminateProcess(process.Get(), 0);
    WaitForSingleObject(process.Get(), 10000);
    return std::wstring(image, chars);
}

}  // namespace

TEST_F(Registry, UninstallCommandWithSpacesStartsTheUninstallerNotAPlantedProgram)
{
    // A program directory with spaces, and a program planted where the first
    // word of an unquoted command line would name one.
    wchar_t temp[MAX_PATH] = {};
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring base = std::wstring(temp) + L"kx-uninstall-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    const std::wstring dir = base + L"My Apps\\kxVistral3\\";
    const std::wstring uninstaller = dir + L"Uninstall.exe";
    const std::wstring planted = base + L"My.exe";
    wchar_t self[MAX_PATH] = {};
    ASSERT_NE(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    ASSERT_TRUE(CreateDirectoryW(base.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((base + L"My Apps").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(self, uninstaller.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(self, planted.c_str(), FALSE));

    UninstallInfo info;
    info.SetInstallDir(dir);
    ASSERT_TRUE(WriteUninstallEntry(info));
    StoredValue command = Query(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_32KEY, L"UninstallString");
    ASSERT_TRUE(command.found);
    EXPECT_EQ(command.text, L"\"" + uninstaller + L"\"");
    EXPECT_EQ(ProgramStartedBy(command.text), uninstaller);
    // Still listed: the entry has the name and the command the list shows.
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_32KEY, L"DisplayName").text, ClientName);

    DeleteFileW(uninstaller.c_str());
    DeleteFileW(planted.c_str());
    RemoveDirectoryW(dir.c_str());
    RemoveDirectoryW((base + L"My Apps").c_str());
    RemoveDirectoryW(base.c_str());
}
