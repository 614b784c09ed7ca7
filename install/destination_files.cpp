#include "install/destination_files.h"

#include "system/checked_dir.h"

namespace SevenZip::intl {
namespace {

bool IsFullPath(const std::wstring& path)
{
    bool drive = path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
    bool unc = path.size() >= 2 && (path[0] == L'\\' || path[0] == L'/') &&
               (path[1] == L'\\' || path[1] == L'/');
    return drive || unc;
}

// Creates dir and what is missing above it, as the shell's directory
// creation does: ERROR_ALREADY_EXISTS when dir was there. By name: dir is
// the destination the user chose, opened and checked right after.
DWORD CreateChain(std::wstring dir)
{
    while (dir.size() > 3 && (dir.back() == L'\\' || dir.back() == L'/'))
        dir.pop_back();
    if (::CreateDirectoryW(dir.c_str(), nullptr))
        return ERROR_SUCCESS;
    DWORD error = ::GetLastError();
    if (error != ERROR_PATH_NOT_FOUND)
        return error;
    size_t last = dir.find_last_of(L"\\/");
    if (last == std::wstring::npos || last + 1 >= dir.size() || last < 2)
        return error;
    DWORD parent = CreateChain(dir.substr(0, last + 1));
    if (parent != ERROR_SUCCESS && parent != ERROR_ALREADY_EXISTS)
        return parent;
    return ::CreateDirectoryW(dir.c_str(), nullptr) ? ERROR_SUCCESS : ::GetLastError();
}

bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

}  // namespace

bool MakeDirectoryChain(const std::wstring& dir)
{
    if (!IsFullPath(dir))
        return false;
    DWORD rc = CreateChain(dir);
    if (rc != ERROR_SUCCESS && rc != ERROR_ALREADY_EXISTS)
        return false;
    DWORD attributes = ::GetFileAttributesW(dir.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !IsLink(attributes);
}

}  // namespace SevenZip::intl
