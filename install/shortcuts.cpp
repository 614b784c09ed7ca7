#include "install/shortcuts.h"

#include <objidl.h>
#include <shlobj.h>

#include <cwchar>
#include <iterator>

#include "system/com_owners.h"
#include "system/special_folders.h"

namespace {

// The link's bytes, as the shell's link object writes them into a file.
bool LinkBytes(const std::wstring& target, const wchar_t* description, std::string& bytes)
{
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.GetAddressOf()))))
        return false;
    ComPtr<IPersistStream> persist;
    if (FAILED(link.As(&persist)))
        return false;

    link->SetPath(target.c_str());
    link->SetWorkingDirectory(ShortcutWorkingDir(target).c_str());
    if (description)
        link->SetDescription(description);
    link->SetShowCmd(SW_SHOWNORMAL);

    // Saved into memory, not to a name: the file is then written through a
    // handle the installer opened in a folder it checked.
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.GetAddressOf())) ||
        FAILED(persist->Save(stream.Get(), TRUE)))
        return false;
    STATSTG stat{};
    HGLOBAL memory = nullptr;
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || stat.cbSize.HighPart != 0 ||
        FAILED(GetHGlobalFromStream(stream.Get(), &memory)))
        return false;
    const void* data = GlobalLock(memory);
    if (!data)
        return false;
    bytes.assign(static_cast<const char*>(data), stat.cbSize.LowPart);
    GlobalUnlock(memory);
    return !bytes.empty();
}

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

std::wstring ShortcutWorkingDir(const std::wstring& target)
{
    size_t cut = target.rfind(L'\\');
    if (cut == std::wstring::npos)
        cut = target.rfind(L'/');
    return cut == std::wstring::npos ? std::wstring() : target.substr(0, cut + 1);
}

bool CreateShortcutIn(const CheckedDir& folder, const std::wstring& fileName,
                      const std::wstring& target, const wchar_t* description)
{
    std::string bytes;
    if (!folder.Valid() || !LinkBytes(target, description, bytes))
        return false;
    // A file of that name is replaced, a link there removed as the link.
    HRESULT removed = folder.RemoveFile(fileName);
    if (removed != S_OK && removed != HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND))
        return false;
    UniqueFileHandle file;
    if (folder.CreateNewFile(fileName, file) != S_OK)
        return false;
    DWORD written = 0;
    if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        DisposeOf(file.Get());  // no half link stays
        return false;
    }
    file.Reset();
    // The shell shows the new link at once, as after a save by name.
    const std::wstring path = folder.FinalPath() + L"\\" + fileName;
    SHChangeNotify(SHCNE_CREATE, SHCNF_PATHW, path.c_str(), nullptr);
    return true;
}

bool CreateShortcut(const wchar_t* fileName, const wchar_t* target, const wchar_t* description,
                    const wchar_t* folder)
{
    if (!folder || !fileName || !target)
        return false;
    if (std::wcslen(folder) + 1 + std::wcslen(fileName) > kMaxLinkPathChars)
        return false;
    CheckedDir dir;
    return CheckedDir::Open(folder, dir) == S_OK && CreateShortcutIn(dir, fileName, target, description);
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
