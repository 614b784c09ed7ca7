#include "install/payload_file.h"

#include <windows.h>
#include <sddl.h>

#include "system/com_owners.h"
#include "system/file_system.h"
#include "system/system_info.h"
#include "system/win_handles.h"

namespace {

// Full access for Administrators and SYSTEM, inherited by the payload file;
// protected, so that nothing from the temporary directory is inherited.
constexpr wchar_t kAdminsOnly[] = L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";
constexpr int kNameAttempts = 8;

}  // namespace

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

bool CreatePayloadDir(const std::wstring& tempDir, std::wstring& dir)
{
    if (tempDir.empty())
        return false;
    UniqueLocal<void> descriptor;
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), nullptr, FALSE};
    if (IsProcessElevated()) {
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kAdminsOnly, SDDL_REVISION_1,
                                                                  descriptor.Receive(), nullptr))
            return false;
        attributes.lpSecurityDescriptor = descriptor.Get();
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::wstring guid = CreateGuidText();
        if (guid.empty())
            return false;
        std::wstring candidate = tempDir + L"kxsetup-" + guid.substr(1, guid.size() - 2);
        // CreateDirectoryW fails on anything already there, a planted link
        // included, so only a directory made here and now is used.
        if (CreateDirectoryW(candidate.c_str(), &attributes)) {
            dir = candidate + L"\\";
            return true;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

bool WritePayloadFile(const std::wstring& filePath)
{
    return WriteResourceToFile(filePath, 101, L"7Z", CREATE_NEW);
}

void RemovePayloadDir(const std::wstring& dir, const std::wstring& filePath)
{
    DeleteFileW(filePath.c_str());
    RemoveDirectoryW(dir.c_str());
}
