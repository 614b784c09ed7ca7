#include "system/settings_files.h"

#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

#include <cstdio>
#include <memory>

#include "system/drives.h"
#include "system/file_system.h"
#include "system/installer_constants.h"
#include "system/special_folders.h"
#include "system/text_encoding.h"

namespace {

constexpr DWORD kSettingsValueChars = 260;
constexpr wchar_t kChannelFileName[] = L"source.dat";

// The roaming application-data folder with a trailing backslash, or empty.
std::wstring RoamingAppDataDir()
{
    std::wstring dir = SpecialFolderPath(CSIDL_APPDATA);
    if (dir.empty())
        return {};
    if (dir.back() != L'\\')
        dir += L'\\';
    return dir;
}

std::wstring CollapseDoubledBackslashes(const std::wstring& text)
{
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == L'\\' && i + 1 < text.size() && text[i + 1] == L'\\')
            ++i;  // the pair's second backslash
    }
    return out;
}

}  // namespace

bool IsUsableDriveDir(const std::wstring& candidate)
{
    if (candidate.size() < 3 || candidate[1] != L':' || candidate[2] != L'\\')
        return false;
    // A directory that does not exist yet is fine; only a malformed name is not.
    SetLastError(ERROR_SUCCESS);
    return PathFileExistsW(candidate.c_str()) || GetLastError() != ERROR_INVALID_NAME;
}


std::wstring DefaultUserDataDirFor(const std::wstring& driveRoot)
{
    std::wstring root = driveRoot;
    if (!IsUsableDriveDir(root + RegName)) {
        std::wstring appData = RoamingAppDataDir();
        if (!appData.empty())
            root = appData;
    }
    return root + RegName;
}

std::wstring GetDefaultUserDataDir()
{
    return DefaultUserDataDirFor(GetLargestFreeFixedDrive());
}

std::wstring ReadUserDataDir(const std::wstring& installDir)
{
    return ReadUserDataDirOr(installDir, GetDefaultUserDataDir());
}

std::wstring ReadUserDataDirOr(const std::wstring& installDir, const std::wstring& fallback)
{
    if (installDir.empty())
        return fallback;

    // Read by name: what it holds only fills the user-data field, which the
    // user edits anyway; nothing is written or deleted because of it.
    std::wstring settingsPath = installDir + SettingsFileName;
    wchar_t value[kSettingsValueChars] = {};
    DWORD n = GetPrivateProfileStringW(L"Network", L"path", fallback.c_str(), value,
                                       kSettingsValueChars, settingsPath.c_str());
    if (n >= kSettingsValueChars)
        n = kSettingsValueChars - 1;
    std::wstring stored(value, n);

    std::string utf8 = WideToUtf8(CollapseDoubledBackslashes(stored).c_str());
    return DecodeHexEscapes(utf8.c_str());
}

void WriteChannelFile(const CheckedDir& programDir)
{
    if (ChannelId.empty())
        return;
    std::string channel = WideToOem(ChannelId.c_str());
    WriteNewFile(programDir, kChannelFileName, channel);
}

bool WriteUserDataNote(const std::wstring& installDir, const std::wstring& userDataDir)
{
    // What mode "w, ccs=UNICODE" writes: a UTF-16 LE byte-order mark, then the
    // text up to its first zero; there is no line end to translate.
    std::string bytes = "\xFF\xFE";
    for (const wchar_t* p = userDataDir.c_str(); *p; ++p) {
        auto unit = static_cast<unsigned>(*p);
        bytes += static_cast<char>(unit & 0xFFu);
        bytes += static_cast<char>(unit >> 8);
    }
    return WriteNewFileIn(installDir, UserDataNoteFileName, bytes);
}
