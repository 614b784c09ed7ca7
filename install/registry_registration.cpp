#include "install/registry_registration.h"

#include <windows.h>

#include <cwchar>

#include "system/installer_constants.h"
#include "system/win_handles.h"

namespace {

constexpr wchar_t kProductKeyPrefix[] = L"Software\\";
constexpr wchar_t kUninstallKeyPrefix[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr wchar_t kCurrentVersionKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr size_t kKeyPathChars = 130;  // product key path, with its terminating zero
constexpr DWORD kReadBufferChars = 260;

// Stores text as REG_SZ with its terminating zero: (characters + 1) * 2 bytes.
void SetStringValue(HKEY key, const wchar_t* name, const std::wstring& text)
{
    size_t chars = std::wcslen(text.c_str());  // as "%s" would write it
    if (chars >= MAXDWORD / sizeof(wchar_t) - 1)
        return;
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((chars + 1) * sizeof(wchar_t)));
}

// A REG_SZ value that fits the read buffer, or empty. A longer value is not
// handed back cut short: a cut path would be installed into or deleted.
std::wstring ReadStringValue(HKEY key, const wchar_t* name)
{
    wchar_t buffer[kReadBufferChars] = {};
    DWORD type = 0;
    DWORD bytes = sizeof(buffer);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    // The stored data need not end with a zero.
    size_t chars = bytes / sizeof(wchar_t);
    size_t length = 0;
    while (length < chars && buffer[length] != L'\0')
        ++length;
    return std::wstring(buffer, length);
}

// The key is only taken over when a call succeeds.
bool OpenKey(HKEY root, const std::wstring& path, REGSAM access, UniqueRegKey& key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, access, &opened) != ERROR_SUCCESS)
        return false;
    key.Reset(opened);
    return true;
}

bool OpenOrCreate(HKEY root, const std::wstring& path, REGSAM access, UniqueRegKey& key)
{
    if (OpenKey(root, path, access, key))
        return true;
    // A 32-bit program's RegCreateKeyW lands in the 32-bit view, as the open did.
    HKEY created = nullptr;
    if (RegCreateKeyW(root, path.c_str(), &created) != ERROR_SUCCESS)
        return false;
    key.Reset(created);
    return true;
}

}  // namespace

bool WriteProductKey(const UninstallInfo& info)
{
    UniqueRegKey key;
    if (!OpenOrCreate(HKEY_CURRENT_USER, kProductKeyPrefix + RegName, KEY_ALL_ACCESS, key))
        return false;
    SetStringValue(key.Get(), L"AppPath", info.installDir);
    SetStringValue(key.Get(), L"Version", info.version);
    return true;
}

bool WriteUninstallEntry(const UninstallInfo& info)
{
    UniqueRegKey key;
    if (!OpenOrCreate(HKEY_LOCAL_MACHINE, kUninstallKeyPrefix + RegName,
                      KEY_ALL_ACCESS | KEY_WOW64_32KEY, key))
        return false;
    SetStringValue(key.Get(), L"DisplayIcon", info.displayIcon);
    SetStringValue(key.Get(), L"DisplayName", ClientName);
    SetStringValue(key.Get(), L"DisplayVersion", info.version);
    SetStringValue(key.Get(), L"Publisher", CompanyName);
    SetStringValue(key.Get(), L"UninstallString", info.uninstallString);
    SetStringValue(key.Get(), L"URLInfoAbout", CompanyUrl);
    return true;
}

std::wstring ReadAppPath(const std::wstring& name)
{
    std::wstring path = kProductKeyPrefix + name;
    // A key path cut to the buffer would name another product's key.
    if (path.size() >= kKeyPathChars)
        return {};
    UniqueRegKey key;
    if (!OpenKey(HKEY_CURRENT_USER, path, KEY_READ, key))
        return {};
    return ReadStringValue(key.Get(), L"AppPath");
}

std::wstring ReadProgramFilesDir()
{
    // The 64-bit view answers "C:\Program Files" to this 32-bit program.
    UniqueRegKey key;
    if (!OpenKey(HKEY_LOCAL_MACHINE, kCurrentVersionKey, KEY_ALL_ACCESS | KEY_WOW64_64KEY, key))
        return {};
    return ReadStringValue(key.Get(), L"ProgramFilesDir");
}
