#include "install/destination_files.h"

#include <winternl.h>

namespace SevenZip::intl {
namespace {

using NtCreateFileFn = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK,
                                        PLARGE_INTEGER, ULONG, ULONG, ULONG, ULONG, PVOID, ULONG);
using RtlNtStatusToDosErrorFn = ULONG(NTAPI*)(NTSTATUS);

// The system's own file creation, the one call that takes a directory
// handle: ntdll is in every process, so nothing is loaded for it.
struct NtFileCalls {
    NtCreateFileFn create = nullptr;
    RtlNtStatusToDosErrorFn toWin32 = nullptr;
};

const NtFileCalls& Nt()
{
    static const NtFileCalls calls = [] {
        NtFileCalls c;
        if (HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll")) {
            c.create = reinterpret_cast<NtCreateFileFn>(
                reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtCreateFile")));
            c.toWin32 = reinterpret_cast<RtlNtStatusToDosErrorFn>(
                reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlNtStatusToDosError")));
        }
        return c;
    }();
    return calls;
}

bool IsFullPath(const std::wstring& path)
{
    bool drive = path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
    bool unc = path.size() >= 2 && (path[0] == L'\\' || path[0] == L'/') &&
               (path[1] == L'\\' || path[1] == L'/');
    return drive || unc;
}

// Creates dir and what is missing above it, as the shell's directory
// creation does: ERROR_ALREADY_EXISTS when dir was there.
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
    if (!IsFullPath(dir))
        return false;
    DWORD rc = CreateChain(dir);
    if (rc != ERROR_SUCCESS && rc != ERROR_ALREADY_EXISTS)
        return false;
    DWORD attributes = ::GetFileAttributesW(dir.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !IsLink(attributes);
}

UniqueFileHandle OpenDirectoryHandle(const std::wstring& dir)
{
    constexpr DWORD kAccess = FILE_LIST_DIRECTORY | FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY |
                              FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
    static_assert(kAccess == 0x001000A7);
    // A link is opened as itself, so that it shows as one and is refused.
    UniqueFileHandle handle(::CreateFileW(dir.c_str(), kAccess,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                          nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle || !::GetFileInformationByHandle(handle.Get(), &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || IsLink(info.dwFileAttributes))
        return UniqueFileHandle();
    return handle;
}

HRESULT CreateNewFileIn(HANDLE dir, const std::wstring& name, UniqueFileHandle& file)
{
    file.Reset();
    const NtFileCalls& nt = Nt();
    if (!nt.create || !nt.toWin32)
        return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    if (name.empty() || name.size() * sizeof(wchar_t) > 0xFFFE)
        return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    UNICODE_STRING ntName;
    ntName.Buffer = const_cast<wchar_t*>(name.c_str());
    ntName.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    ntName.MaximumLength = ntName.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &ntName, OBJ_CASE_INSENSITIVE, dir, nullptr);
    IO_STATUS_BLOCK io{};
    // The access of a written file, and DELETE to take it back when the
    // item is not to be written after all.
    constexpr ACCESS_MASK kAccess = GENERIC_WRITE | DELETE | SYNCHRONIZE;
    static_assert(kAccess == 0x40110000);
    HANDLE made = nullptr;
    NTSTATUS status = nt.create(&made, kAccess, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_CREATE,
                                FILE_NON_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    if (status >= 0) {
        file.Reset(made);
        return S_OK;
    }
    DWORD error = nt.toWin32(status);
    if (error == ERROR_ALREADY_EXISTS)
        error = ERROR_FILE_EXISTS;
    return HRESULT_FROM_WIN32(error != ERROR_SUCCESS ? error : ERROR_CREATE_FAILED);
}

void DiscardNewFile(UniqueFileHandle& file)
{
    if (!file)
        return;
    FILE_DISPOSITION_INFO dispose{TRUE};
    ::SetFileInformationByHandle(file.Get(), FileDispositionInfo, &dispose, sizeof(dispose));
    file.Reset();
}

HRESULT RemoveExisting(const std::wstring& path, DWORD attributes)
{
    if (path.empty() || path.size() > MAX_PATH)
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    ::SetLastError(ERROR_SUCCESS);
    return RemoveTree(path, attributes);
}

}  // namespace SevenZip::intl
