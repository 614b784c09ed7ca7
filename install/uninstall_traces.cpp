#include "install/uninstall_traces.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>
#include <wrl/client.h>

#include "install/uninstall_plan.h"
#include "system/checked_dir.h"
#include "system/special_folders.h"
#include "system/win_handles.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr wchar_t kUninstallKeyPrefix[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr wchar_t kProductKeyPrefix[] = L"Software\\";

// The shell's link object and its interface, named here so that nothing
// else is linked for them.
constexpr CLSID kShellLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID kShellLinkInterface = {0x000214F9, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

bool EqualNoCase(std::wstring_view a, std::wstring_view b)
{
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring WithoutTrailingBackslash(std::wstring path)
{
    while (path.size() > 3 && path.back() == L'\\')
        path.pop_back();
    return path;
}

// The target a link file names; empty when it cannot be read.
std::wstring LinkTarget(const std::wstring& linkPath)
{
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, kShellLinkInterface,
                                reinterpret_cast<void**>(link.GetAddressOf()))) ||
        FAILED(link.As(&file)) || FAILED(file->Load(linkPath.c_str(), STGM_READ)))
        return {};
    wchar_t target[MAX_PATH] = {};
    if (link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH) != S_OK)
        return {};
    return target;
}

// Removes folder\name, as the file (or link) it is, when it is a link into
// programDir. The folder is the system's (the start menu, the desktop, the
// quick-launch folder); the removal goes through its checked handle.
bool RemoveLinkInto(const CheckedDir& folder, const std::wstring& name, const std::wstring& programDir)
{
    if (!folder.Valid() || !LeadsInto(LinkTarget(folder.FinalPath() + L"\\" + name), programDir))
        return false;
    return folder.RemoveFile(name) == S_OK;
}

std::wstring ReadValue(HKEY key, const wchar_t* name)
{
    wchar_t buffer[1024] = {};
    DWORD type = 0;
    DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    return buffer;  // zero-terminated: the buffer has one more character
}

}  // namespace

bool LeadsInto(const std::wstring& path, const std::wstring& programDir)
{
    RelativePath names;
    return PathBelow(path, programDir, names);
}

int RemoveProductShortcuts(const std::wstring& programDir, const std::wstring& clientName)
{
    int removed = 0;
    const std::wstring linkName = clientName + L".lnk";
    CheckedDir programs;
    CheckedDir startMenu;
    if (CheckedDir::Open(SpecialFolderPath(CSIDL_COMMON_PROGRAMS), programs) == S_OK &&
        programs.OpenDir(clientName, startMenu) == S_OK) {
        removed += RemoveLinkInto(startMenu, linkName, programDir);
        removed += RemoveLinkInto(startMenu, L"\u5378\u8F7D" + linkName, programDir);  // 卸载
        startMenu = CheckedDir();
        programs.RemoveEmptyDir(clientName);  // only when nothing else is in it
    }
    CheckedDir desktop;
    if (CheckedDir::Open(SpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY), desktop) == S_OK)
        removed += RemoveLinkInto(desktop, linkName, programDir);
    // Where the installer puts the quick-launch link.
    const std::wstring appData = SpecialFolderPath(CSIDL_APPDATA);
    CheckedDir quick;
    if (!appData.empty() &&
        CheckedDir::Open(appData + L"\\Microsoft\\Internet Explorer\\Quick Launch", quick) == S_OK)
        removed += RemoveLinkInto(quick, linkName, programDir);
    return removed;
}

int RemoveRegistration(const std::wstring& programDir, const std::wstring& regName)
{
    int removed = 0;
    const std::wstring entryPath = kUninstallKeyPrefix + regName;
    UniqueRegKey entry;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, entryPath.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY,
                      entry.Put()) == ERROR_SUCCESS) {
        std::wstring program = UninstallCommandProgram(ReadValue(entry.Get(), L"UninstallString"));
        entry.Reset();
        if (LeadsInto(program, programDir) &&
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, entryPath.c_str(), KEY_WOW64_32KEY, 0) == ERROR_SUCCESS)
            ++removed;
    }
    const std::wstring productPath = kProductKeyPrefix + regName;
    UniqueRegKey product;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, productPath.c_str(), 0, KEY_QUERY_VALUE, product.Put()) ==
        ERROR_SUCCESS) {
        std::wstring appPath = WithoutTrailingBackslash(ReadValue(product.Get(), L"AppPath"));
        product.Reset();
        if (!appPath.empty() && EqualNoCase(appPath, WithoutTrailingBackslash(programDir))) {
            RegDeleteTreeW(HKEY_CURRENT_USER, productPath.c_str());
            RegDeleteKeyW(HKEY_CURRENT_USER, productPath.c_str());  // where the tree call leaves it
            removed += RegOpenKeyExW(HKEY_CURRENT_USER, productPath.c_str(), 0, KEY_QUERY_VALUE,
                                     product.Put()) == ERROR_FILE_NOT_FOUND;
        }
    }
    return removed;
}
