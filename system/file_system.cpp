#include "system/file_system.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "system/checked_dir.h"
#include "system/com_owners.h"
#include "system/directory_chain.h"
#include "system/embedded_resource.h"
#include "system/last_error.h"
#include "system/special_folders.h"
#include "system/win_handles.h"

// By name: the program directory the user chose and its parents, made before
// anything is written; everything below it is made through its checked
// handle (CheckedDir).
HRESULT CreateDirectories(const std::wstring& path)
{
    std::wstring full = path;
    if (!full.empty() && full.back() != L'\\' && full.back() != L'/')
        full += L'\\';
    switch (CreateDirectoryChain(full)) {
    case ChainOutcome::Created:
        return 0;
    case ChainOutcome::AllExisted:
        return 1;
    case ChainOutcome::Failed:
        break;
    }
    return LastErrorResult();  // and the last error stays for the caller to read
}

// By name, where its caller chose. The install job does not use it: the
// payload is written into the per-run folder's checked handle (PayloadDir), so
// no name is opened here in a place a user could re-point.
bool WriteResourceToFile(const std::wstring& filePath, WORD resourceId, const wchar_t* resourceType,
                         DWORD disposition)
{
    UniqueFileHandle file(CreateFileW(filePath.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                      disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WriteResourceToHandle(file.Get(), resourceId, resourceType);
}

bool WriteResourceToHandle(HANDLE file, WORD resourceId, const wchar_t* resourceType)
{
    // A missing resource or a short write must fail here: a short payload file
    // would only be noticed later, and less clearly, by the extraction.
    std::span<const uint8_t> payload =
        EmbeddedResource(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId), resourceType);
    if (!payload.data())
        return false;
    DWORD size = static_cast<DWORD>(payload.size());
    DWORD written = 0;
    return WriteFile(file, payload.data(), size, &written, nullptr) && written == size;
}

bool WriteNewFileIn(const std::wstring& dir, const std::wstring& name, const std::string& bytes)
{
    CheckedDir checked;
    return CheckedDir::Open(dir, checked) == S_OK && WriteNewFile(checked, name, bytes);
}

bool WriteNewFile(const CheckedDir& dir, const std::wstring& name, const std::string& bytes)
{
    UniqueFileHandle file;
    if (dir.ReplaceFile(name, file) != S_OK)
        return false;
    DWORD written = 0;
    return WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}
