#include "system/file_system.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "system/com_owners.h"
#include "system/win_handles.h"

HRESULT HResultFromLastError()
{
    auto error = static_cast<HRESULT>(GetLastError());
    if (error <= 0)
        return error;
    return static_cast<HRESULT>(0x80070000u | (static_cast<DWORD>(error) & 0xFFFFu));
}

HRESULT CreateDirectories(const std::wstring& path)
{
    std::wstring full = path;
    if (!full.empty() && full.back() != L'\\')
        full += L'\\';

    HRESULT result = 1;
    for (size_t slash = full.find(L'\\'); slash != std::wstring::npos;
         slash = full.find(L'\\', slash + 1)) {
        std::wstring part = full.substr(0, slash);
        if (PathFileExistsW(part.c_str()))
            continue;
        if (!CreateDirectoryW(part.c_str(), nullptr)) {
            DWORD error = GetLastError();
            HRESULT hr = error == 0 ? E_FAIL : HResultFromLastError();
            SetLastError(error);  // left for the caller to read
            return hr;
        }
        result = 0;
    }
    return result;
}

bool WriteResourceToFile(const std::wstring& filePath, WORD resourceId, const wchar_t* resourceType,
                         DWORD disposition)
{
    UniqueFileHandle file(CreateFileW(filePath.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                      disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;

    // A missing resource or a short write must fail here: a short payload file
    // would only be noticed later, and less clearly, by the extraction.
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(resourceId), resourceType);
    if (!found)
        return false;
    DWORD size = SizeofResource(self, found);
    HGLOBAL loaded = LoadResource(self, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return false;
    DWORD written = 0;
    return WriteFile(file.Get(), data, size, &written, nullptr) && written == size;
}

std::wstring SpecialFolderPath(int csidl)
{
    ITEMIDLIST* raw = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &raw)) || !raw)
        return {};
    UniqueCoTaskMem<ITEMIDLIST> list(raw);
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(list.Get(), path))
        return {};
    return path;
}
