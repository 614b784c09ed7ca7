#include "system/private_temp_dir.h"

#include <sddl.h>

#include <cwchar>

#include "system/com_owners.h"
#include "system/system_info.h"
#include "system/win_handles.h"

namespace {

// Full access for Administrators and SYSTEM, inherited by what is made
// inside; protected, so that nothing from the temporary directory is inherited.
constexpr wchar_t kAdminsOnly[] = L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";
constexpr int kNameAttempts = 8;

std::wstring WithBackslash(std::wstring dir)
{
    if (!dir.empty() && dir.back() != L'\\')
        dir += L'\\';
    return dir;
}

bool IsHex(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

std::wstring& TempDirForTesting()
{
    static std::wstring dir;
    return dir;
}

}  // namespace

void SetPayloadTempDirForTesting(const std::wstring& dir) { TempDirForTesting() = dir; }

bool IsProcessElevated()
{
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw))
        return false;
    UniqueHandle token(raw);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof(elevation), &size) &&
           elevation.TokenIsElevated != 0;
}

std::wstring PayloadTempDir()
{
    if (!TempDirForTesting().empty())
        return TempDirForTesting();
    wchar_t buffer[MAX_PATH + 1] = {};
    if (IsProcessElevated()) {
        UINT n = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
        return n == 0 || n > MAX_PATH ? std::wstring() : WithBackslash(buffer) + L"Temp\\";
    }
    DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    return n == 0 || n > MAX_PATH ? std::wstring() : WithBackslash(buffer);
}

bool PrivateTempDir::IsRunFolderName(const std::wstring& name, const wchar_t* prefix)
{
    // The prefix and a GUID's 36 characters: 8-4-4-4-12 hexadecimal digits.
    const size_t prefixChars = std::wcslen(prefix);
    if (name.size() != prefixChars + 36 || name.compare(0, prefixChars, prefix) != 0)
        return false;
    for (size_t i = 0; i < 36; ++i) {
        wchar_t c = name[prefixChars + i];
        bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? c != L'-' : !IsHex(c))
            return false;
    }
    return true;
}

bool PrivateTempDir::Create(const std::wstring& tempDir)
{
    Remove();
    if (tempDir.empty() || CheckedDir::Open(tempDir, temp_) != S_OK)
        return false;
    // A run that was killed or failed before it could clean up left its
    // folder: it goes now. One that another run is using holds its file
    // open and stays.
    temp_.Enumerate([this](const DirEntry& entry) {
        if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) && IsRunFolderName(entry.name, prefix_))
            temp_.RemoveChild(entry.name);
        return true;
    });

    UniqueLocal<void> descriptor;
    if (IsProcessElevated() &&
        !ConvertStringSecurityDescriptorToSecurityDescriptorW(kAdminsOnly, SDDL_REVISION_1,
                                                              descriptor.Receive(), nullptr))
        return false;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::wstring guid = CreateGuidText();
        if (guid.size() < 3)
            return false;
        std::wstring name = prefix_ + guid.substr(1, guid.size() - 2);
        // Made here and now, or not at all: a name already taken, by
        // anything, is never used.
        HRESULT hr = temp_.MakeDir(name, folder_, nullptr, descriptor.Get(), true);
        if (hr == S_OK) {
            folderPath_ = WithBackslash(temp_.FinalPath()) + name + L"\\";
            return true;
        }
        if (hr != HRESULT_FROM_WIN32(ERROR_FILE_EXISTS))
            return false;
    }
    return false;
}

void PrivateTempDir::Remove()
{
    if (folder_.Valid()) {
        std::wstring name = folderPath_.substr(0, folderPath_.size() - 1);
        name = name.substr(name.find_last_of(L'\\') + 1);
        folder_ = CheckedDir();
        temp_.RemoveChild(name);
    }
    Leave();
}

void PrivateTempDir::Leave()
{
    folder_ = CheckedDir();
    temp_ = CheckedDir();
    folderPath_.clear();
}
