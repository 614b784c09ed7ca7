#include "install/product_location.h"

#include <windows.h>
#include <initguid.h>
#include <knownfolders.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <aclapi.h>

#include <vector>

#include "install/admin_only.h"
#include "install/registry_registration.h"
#include "install/uninstall_manifest.h"
#include "system/checked_dir.h"
#include "system/com_owners.h"
#include "system/installer_constants.h"
#include "system/paths.h"
#include "system/special_folders.h"
#include "system/win_handles.h"

namespace {

// Where the directory really is, links in any of its components followed.
std::wstring FinalPath(const std::wstring& path)
{
    // Only to learn where the path leads (attributes-only, nothing acted on).
    UniqueFileHandle dir(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!dir)
        return {};
    std::wstring final(32768, L'\0');
    DWORD n = GetFinalPathNameByHandleW(dir.Get(), final.data(), static_cast<DWORD>(final.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0 || n >= final.size())
        return {};
    final.resize(n);
    return NormalisedPath(final);
}

// path is base or lies below it.
bool IsWithin(const std::wstring& path, const std::wstring& base)
{
    if (base.empty() || path.size() < base.size())
        return false;
    if (!EqualPathText(path.substr(0, base.size()), base))
        return false;
    return path.size() == base.size() || base.back() == L'\\' || path[base.size()] == L'\\';
}

// The path's components after base ("" when they are equal); false when path
// is not within base.
bool Below(const std::wstring& path, const std::wstring& base, std::vector<std::wstring>& parts)
{
    if (!IsWithin(path, base))
        return false;
    parts.clear();
    std::wstring rest = path.substr(base.size());
    size_t start = 0;
    while (start < rest.size()) {
        size_t end = rest.find(L'\\', start);
        if (end == std::wstring::npos)
            end = rest.size();
        if (end > start)
            parts.push_back(rest.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) { return NormalisedPath(KnownFolderPath(id)); }

std::wstring FromBuffer(UINT(WINAPI* get)(LPWSTR, UINT))
{
    wchar_t buffer[MAX_PATH + 1] = {};
    UINT n = get(buffer, MAX_PATH + 1);
    return n == 0 || n > MAX_PATH ? std::wstring() : NormalisedPath(buffer);
}

std::wstring FromEnvironment(const wchar_t* name)
{
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD n = GetEnvironmentVariableW(name, buffer, MAX_PATH + 1);
    return n == 0 || n > MAX_PATH ? std::wstring() : NormalisedPath(buffer);
}

// Folders that must never be emptied or have their programs ended, as
// themselves (their contents may hold a product installation).
std::vector<std::wstring> SystemFolders()
{
    static const KNOWNFOLDERID* const kKnown[] = {
        &FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86, &FOLDERID_ProgramFilesCommon,
        &FOLDERID_ProgramFilesCommonX86, &FOLDERID_ProgramData, &FOLDERID_UserProfiles,
        &FOLDERID_Profile, &FOLDERID_Public, &FOLDERID_Desktop, &FOLDERID_PublicDesktop,
        &FOLDERID_Documents, &FOLDERID_PublicDocuments, &FOLDERID_Downloads,
        &FOLDERID_PublicDownloads, &FOLDERID_Music, &FOLDERID_Pictures, &FOLDERID_Videos,
        &FOLDERID_RoamingAppData, &FOLDERID_LocalAppData, &FOLDERID_LocalAppDataLow,
        &FOLDERID_Favorites, &FOLDERID_StartMenu, &FOLDERID_Programs, &FOLDERID_Startup,
        &FOLDERID_CommonStartMenu, &FOLDERID_CommonPrograms, &FOLDERID_CommonStartup,
        &FOLDERID_Templates, &FOLDERID_CommonTemplates, &FOLDERID_SendTo, &FOLDERID_Recent,
        &FOLDERID_Links, &FOLDERID_SavedGames, &FOLDERID_Contacts, &FOLDERID_Fonts,
    };
    std::vector<std::wstring> folders;
    for (const KNOWNFOLDERID* id : kKnown)
        folders.push_back(KnownFolder(*id));
    folders.push_back(NormalisedPath(ReadProgramFilesDir()));
    folders.push_back(FromEnvironment(L"ProgramW6432"));
    folders.push_back(FromEnvironment(L"CommonProgramW6432"));
    wchar_t temp[MAX_PATH + 1] = {};
    DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n != 0 && n <= MAX_PATH)
        folders.push_back(NormalisedPath(temp));
    return folders;
}

// A profile's own folders, by the names Windows gives them in every profile.
bool IsProfileFolder(const std::vector<std::wstring>& parts)
{
    static const wchar_t* const kOwn[] = {
        L"AppData", L"Desktop", L"Documents", L"Downloads", L"Music", L"Pictures", L"Videos",
        L"Favorites", L"Links", L"Saved Games", L"Searches", L"Contacts", L"OneDrive",
        L"3D Objects", L"Start Menu",
    };
    static const wchar_t* const kAppData[] = {L"Local", L"LocalLow", L"Roaming"};
    if (parts.size() <= 1)
        return true;  // the users folder itself or a profile
    if (parts.size() == 2) {
        for (const wchar_t* name : kOwn)
            if (EqualPathText(parts[1], name))
                return true;
        return false;
    }
    if (parts.size() == 3 && EqualPathText(parts[1], L"AppData")) {
        for (const wchar_t* name : kAppData)
            if (EqualPathText(parts[2], name))
                return true;
    }
    return false;
}

bool IsSystemFolderNormalised(const std::wstring& dir)
{
    if (dir.size() <= 3 || PathIsRootW(dir.c_str()))
        return true;
    // A volume mounted on a folder is a root too.
    wchar_t volume[MAX_PATH + 1] = {};
    if (GetVolumePathNameW(dir.c_str(), volume, MAX_PATH + 1) && SameDirectory(volume, dir))
        return true;
    for (auto get : {GetWindowsDirectoryW, GetSystemDirectoryW, GetSystemWow64DirectoryW})
        if (IsWithin(dir, FromBuffer(get)))
            return true;
    for (const std::wstring& folder : SystemFolders())
        if (!folder.empty() && EqualPathText(dir, folder))
            return true;
    std::vector<std::wstring> parts;
    for (const std::wstring& users : {KnownFolder(FOLDERID_UserProfiles), FromEnvironment(L"SystemDrive") + L"\\Users"})
        if (Below(dir, users, parts) && IsProfileFolder(parts))
            return true;
    return false;
}

// Places where unelevated users may create folders of their own: a
// product installation there could be anybody's.
bool LiesWhereUsersCreate(const std::wstring& dir)
{
    std::vector<std::wstring> areas = {
        KnownFolder(FOLDERID_ProgramData), KnownFolder(FOLDERID_UserProfiles),
        FromEnvironment(L"ProgramData"), FromEnvironment(L"SystemDrive") + L"\\Users",
        FromEnvironment(L"TMP"), FromEnvironment(L"TEMP"),
    };
    wchar_t temp[MAX_PATH + 1] = {};
    DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n != 0 && n <= MAX_PATH)
        areas.push_back(NormalisedPath(temp));
    areas.push_back(FromBuffer(GetWindowsDirectoryW) + L"\\Temp");
    for (const std::wstring& area : areas)
        if (area.size() > 3 && IsWithin(dir, area))
            return true;
    return false;
}

// The owner of what handle is open on, as a descriptor; null when unknown.
UniqueLocal<void> OwnerOf(HANDLE handle)
{
    UniqueLocal<void> descriptor;
    PSID owner = nullptr;
    if (GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                        nullptr, nullptr, descriptor.Receive()) != ERROR_SUCCESS)
        return {};
    return descriptor;
}

// Whether this system keeps the owners of files: Wine names the current
// user as the owner of everything, the Windows directory included, and
// keeps no owner that is set. Doubt counts as not kept: then only where a
// folder lies decides.
bool OwnersAreKept()
{
    std::wstring windows = FromBuffer(GetWindowsDirectoryW);
    // By name: the system's own folder, which no user can re-point, and only
    // its owner is read.
    UniqueFileHandle dir(CreateFileW(windows.c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!dir)
        return false;
    UniqueLocal<void> descriptor = OwnerOf(dir.Get());
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (!descriptor || !GetSecurityDescriptorOwner(descriptor.Get(), &owner, &defaulted) || !owner)
        return false;
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw))
        return false;
    UniqueHandle token(raw);
    alignas(8) BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE] = {};
    DWORD size = 0;
    if (!GetTokenInformation(token.Get(), TokenUser, buffer, sizeof(buffer), &size))
        return false;
    return !EqualSid(owner, reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid);
}

}  // namespace

bool IsSystemFolder(const std::wstring& directory)
{
    std::wstring dir = NormalisedPath(directory);
    if (dir.empty() || IsSystemFolderNormalised(dir))
        return true;
    std::wstring final = FinalPath(dir);
    return !final.empty() && IsSystemFolderNormalised(final);
}

bool IsProductInstallation(const std::wstring& directory)
{
    std::wstring dir = NormalisedPath(directory);
    if (dir.empty())
        return false;
    // Everything below is read through handles of the folder as it is now:
    // no link, and where it was named.
    CheckedDir checked;
    if (CheckedDir::Open(dir, checked) != S_OK)
        return false;
    UniqueFileHandle marker;
    if (checked.OpenFileToRead(kManifestFileName, marker) != S_OK &&
        checked.OpenFileToRead(MainExeName, marker) != S_OK)
        return false;
    // Asked only of a folder with the product's files: the system's folders
    // take the shell a while to list.
    if (IsSystemFolder(dir) || LiesWhereUsersCreate(dir) || LiesWhereUsersCreate(checked.FinalPath()))
        return false;
    if (OwnersAreKept() &&
        !(OnlyAdministratorsMayChangeFile(checked.Handle()) && OnlyAdministratorsMayChangeFile(marker.Get())))
        return false;
    return true;
}

std::wstring TrustedEarlierInstallation()
{
    std::wstring dir = ReadAppPath(RegName);
    if (dir.empty() || !IsProductInstallation(dir))
        return {};
    // In the form the window and the job append file names to: a value
    // without its backslash would name "kxVistral3Uninstall.xml" beside it.
    if (dir.back() != L'\\' && dir.back() != L'/')
        dir += L'\\';
    return dir;
}
