#include "install/destination_files.h"

#include <shlobj.h>

#include "system/win_handles.h"

namespace SevenZip::intl {
namespace {

bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

// Removes a symbolic link or junction itself. The link is opened as a link;
// a system that hands out what it points to instead gets no delete.
HRESULT RemoveLinkItself(const std::wstring& path)
{
    UniqueFileHandle link(::CreateFileW(
        path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!link)
        return LastErrorResult();
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(link.Get(), &info))
        return LastErrorResult();
    if (!IsLink(info.dwFileAttributes))
        return HRESULT_FROM_WIN32(ERROR_NOT_A_REPARSE_POINT);
    FILE_DISPOSITION_INFO dispose{TRUE};
    if (!::SetFileInformationByHandle(link.Get(), FileDispositionInfo, &dispose, sizeof(dispose)))
        return LastErrorResult();
    return S_OK;
}

HRESULT RemoveTree(const std::wstring& path, DWORD attributes)
{
    if (IsLink(attributes))
        return RemoveLinkItself(path);
    // Read-only files and directories go anyway.
    if (attributes & FILE_ATTRIBUTE_READONLY)
        ::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return ::DeleteFileW(path.c_str()) ? S_OK : LastErrorResult();

    WIN32_FIND_DATAW found;
    UniqueFindHandle find(::FindFirstFileExW((path + L"\\*").c_str(), FindExInfoBasic, &found,
                                             FindExSearchNameMatch, nullptr, 0));
    if (!find)
        return LastErrorResult();
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        HRESULT hr = RemoveTree(path + L'\\' + name, found.dwFileAttributes);
        if (hr != S_OK)
            return hr;
    } while (::FindNextFileW(find.Get(), &found));
    if (::GetLastError() != ERROR_NO_MORE_FILES)
        return LastErrorResult();
    return ::RemoveDirectoryW(path.c_str()) ? S_OK : LastErrorResult();
}

}  // namespace

HRESULT LastErrorResult()
{
    DWORD error = ::GetLastError();
    return error != ERROR_SUCCESS ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

bool MakeDirectoryChain(const std::wstring& dir)
{
    int rc = ::SHCreateDirectoryExW(nullptr, dir.c_str(), nullptr);
    if (rc != ERROR_SUCCESS && rc != ERROR_ALREADY_EXISTS)
        return false;
    DWORD attributes = ::GetFileAttributesW(dir.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !IsLink(attributes);
}

HRESULT RemoveExisting(const std::wstring& path, DWORD attributes)
{
    if (path.empty() || path.size() > MAX_PATH)
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    ::SetLastError(ERROR_SUCCESS);
    return RemoveTree(path, attributes);
}

}  // namespace SevenZip::intl
