#include "install/shortcuts.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <wrl/client.h>

#include <cwchar>
#include <iterator>

#include "system/special_folders.h"

using Microsoft::WRL::ComPtr;

std::wstring ShortcutWorkingDir(const std::wstring& target)
{
    size_t cut = target.rfind(L'\\');
    if (cut == std::wstring::npos)
        cut = target.rfind(L'/');
    return cut == std::wstring::npos ? std::wstring() : target.substr(0, cut + 1);
}

bool CreateShortcut(const wchar_t* fileName, const wchar_t* target, const wchar_t* description,
                    const wchar_t* folder)
{
    if (!folder || !fileName || !target)
        return false;
    // "%s\%s" must fit wsprintfW's output limit; a longer path fails here
    // instead of being cut short.
    if (std::wcslen(folder) + 1 + std::wcslen(fileName) > kMaxLinkPathChars)
        return false;

    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.GetAddressOf()))))
        return false;
    ComPtr<IPersistFile> file;
    if (FAILED(link.As(&file)))
        return false;

    link->SetPath(target);
    link->SetWorkingDirectory(ShortcutWorkingDir(target).c_str());
    if (description)
        link->SetDescription(description);
    link->SetShowCmd(SW_SHOWNORMAL);

    wchar_t linkPath[kMaxLinkPathChars + 1];
    wsprintfW(linkPath, L"%s\\%s", folder, fileName);
    return SUCCEEDED(file->Save(linkPath, TRUE));
}

namespace {

bool CopySpecialFolder(int csidl, wchar_t (&buffer)[MAX_PATH])
{
    std::wstring path = SpecialFolderPath(csidl);
    if (path.empty() || path.size() >= MAX_PATH)
        return false;
    path.copy(buffer, path.size());
    buffer[path.size()] = L'\0';
    return true;
}

}  // namespace

bool GetCommonProgramsDir(wchar_t (&buffer)[MAX_PATH])
{
    return CopySpecialFolder(CSIDL_COMMON_PROGRAMS, buffer);
}

bool GetQuickLaunchDir(wchar_t (&buffer)[MAX_PATH])
{
    static constexpr wchar_t kQuickLaunch[] = L"\\Microsoft\\Internet Explorer\\Quick Launch";
    static_assert(std::size(kQuickLaunch) == 41 + 1);
    if (!CopySpecialFolder(CSIDL_APPDATA, buffer))
        return false;
    if (std::wcslen(buffer) + std::size(kQuickLaunch) > MAX_PATH)
        return false;
    std::wcscat(buffer, kQuickLaunch);
    return true;
}

bool MakePathDirs(const std::wstring& path)
{
    if (path.empty())
        return false;
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] != L'\\' && path[i] != L'/')
            continue;
        std::wstring prefix = path.substr(0, i);
        // A leading separator or a drive's own root gives nothing to create.
        if (prefix.empty() || PathFileExistsW(prefix.c_str()))
            continue;
        // By name: the all-users start-menu folder, where only administrators
        // create folders; a directory is only made, nothing written through.
        if (!CreateDirectoryW(prefix.c_str(), nullptr))
            return false;
    }
    return true;
}
