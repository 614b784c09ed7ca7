#include "system/checked_dir.h"

#include <winternl.h>

#include <vector>

#include "system/last_error.h"
#include "system/paths.h"
#include "system/system_library.h"

namespace {

using NtCreateFileFn = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK,
                                        PLARGE_INTEGER, ULONG, ULONG, ULONG, ULONG, PVOID, ULONG);
using NtQueryDirectoryFileFn = NTSTATUS(NTAPI*)(HANDLE, HANDLE, PVOID, PVOID, PIO_STATUS_BLOCK,
                                                PVOID, ULONG, ULONG, BOOLEAN, PUNICODE_STRING,
                                                BOOLEAN);
using RtlNtStatusToDosErrorFn = ULONG(NTAPI*)(NTSTATUS);

// The system's own file calls, the ones that take a directory handle as the
// place a name is looked up in. ntdll is in every process: nothing is loaded.
struct NtFileCalls {
    NtCreateFileFn create = nullptr;
    NtQueryDirectoryFileFn list = nullptr;
    RtlNtStatusToDosErrorFn toWin32 = nullptr;
};

const NtFileCalls& Nt()
{
    static const NtFileCalls calls = [] {
        NtFileCalls c;
        if (HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll")) {
            c.create = ProcAddress<NtCreateFileFn>(ntdll, "NtCreateFile");
            c.list = ProcAddress<NtQueryDirectoryFileFn>(ntdll, "NtQueryDirectoryFile");
            c.toWin32 = ProcAddress<RtlNtStatusToDosErrorFn>(ntdll, "RtlNtStatusToDosError");
        }
        return c;
    }();
    return calls;
}

// What a failed call that set no error reports.
const HRESULT kNoError = HRESULT_FROM_WIN32(ERROR_GEN_FAILURE);

HRESULT FromStatus(NTSTATUS status)
{
    DWORD error = Nt().toWin32(status);
    if (error == ERROR_ALREADY_EXISTS)
        error = ERROR_FILE_EXISTS;
    return HRESULT_FROM_WIN32(error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE);
}

// A single path component: a name with a separator would be looked up
// below another directory than this one.
bool IsComponent(std::wstring_view name)
{
    return !name.empty() && name != L"." && name != L".." &&
           name.find_first_of(L"\\/") == std::wstring_view::npos &&
           name.size() * sizeof(wchar_t) <= 0xFFFE;
}

// Access for a directory handle that children are made, opened, listed and
// deleted through, and whose owner can be read.
constexpr ACCESS_MASK kDirAccess = FILE_LIST_DIRECTORY | FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY |
                                   FILE_TRAVERSE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES |
                                   FILE_DELETE_CHILD | READ_CONTROL | SYNCHRONIZE;
static_assert(kDirAccess == 0x001201E7);
// A child about to be deleted: read to list it if it is a directory, write
// attributes to clear read-only, delete.
constexpr ACCESS_MASK kRemoveAccess =
    DELETE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;
static_assert(kRemoveAccess == 0x00110181);

bool QueryTag(HANDLE handle, DWORD& attributes)
{
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!::GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof(tag)))
        return false;
    attributes = tag.FileAttributes;
    return true;
}

bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

}  // namespace

const HRESULT CheckedDir::kNotPlain = HRESULT_FROM_WIN32(ERROR_CANT_RESOLVE_FILENAME);
const HRESULT CheckedDir::kFollowedLink = HRESULT_FROM_WIN32(ERROR_NOT_A_REPARSE_POINT);

std::wstring FinalPathOf(HANDLE handle)
{
    std::wstring path(MAX_PATH + 8, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD n = ::GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                              FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            if (path.rfind(L"\\\\?\\UNC\\", 0) == 0)
                return L"\\" + path.substr(7);
            if (path.rfind(L"\\\\?\\", 0) == 0)
                path.erase(0, 4);
            while (path.size() > 3 && path.back() == L'\\')
                path.pop_back();
            return path;
        }
        path.assign(n + 1, L'\0');
    }
    return {};
}

bool DisposeOf(HANDLE handle)
{
    FILE_DISPOSITION_INFO dispose{TRUE};
    return ::SetFileInformationByHandle(handle, FileDispositionInfo, &dispose, sizeof(dispose)) != 0;
}

HRESULT CheckedDir::Open(const std::wstring& path, CheckedDir& dir, bool withDelete)
{
    dir = CheckedDir();
    DWORD length = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return LastErrorResult(kNoError);
    std::wstring full(length, L'\0');
    length = ::GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    full.resize(length);
    // Long names, so that the path compares with the one the system gives.
    std::wstring longer(32768, L'\0');
    DWORD n = ::GetLongPathNameW(full.c_str(), longer.data(), static_cast<DWORD>(longer.size()));
    if (n != 0 && n < longer.size())
        full.assign(longer.c_str(), n);
    while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/'))
        full.pop_back();

    // The last component is opened as itself, so that a link shows as one.
    UniqueFileHandle handle(::CreateFileW(full.c_str(), kDirAccess | (withDelete ? DELETE : 0),
                                          kShareAll, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                          nullptr));
    if (!handle)
        return LastErrorResult(kNoError);
    DWORD attributes = 0;
    if (!QueryTag(handle.Get(), attributes))
        return LastErrorResult(kNoError);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || IsLink(attributes))
        return kNotPlain;
    std::wstring final = FinalPathOf(handle.Get());
    if (final.empty() || !EqualPathText(final, full))
        return kNotPlain;
    dir = CheckedDir(std::move(handle), std::move(final));
    return S_OK;
}

HRESULT CheckedDir::OpenChild(std::wstring_view name, ACCESS_MASK access, ULONG disposition,
                              ULONG options, UniqueFileHandle& child, ULONG_PTR* outcome,
                              PSECURITY_DESCRIPTOR descriptor, DWORD share) const
{
    child.Reset();
    const NtFileCalls& nt = Nt();
    if (!nt.create || !nt.toWin32)
        return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    if (!Valid())
        return HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE);
    if (!IsComponent(name))
        return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    UNICODE_STRING ntName;
    ntName.Buffer = const_cast<wchar_t*>(name.data());
    ntName.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    ntName.MaximumLength = ntName.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &ntName, OBJ_CASE_INSENSITIVE, handle_.Get(),
                               descriptor);
    IO_STATUS_BLOCK io{};
    HANDLE opened = nullptr;
    NTSTATUS status = nt.create(&opened, access | SYNCHRONIZE, &attributes, &io, nullptr,
                                FILE_ATTRIBUTE_NORMAL, share, disposition,
                                options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT,
                                nullptr, 0);
    if (status < 0)
        return FromStatus(status);
    child.Reset(opened);
    if (outcome)
        *outcome = io.Information;
    return S_OK;
}

bool CheckedDir::IsPlainChild(HANDLE child, std::wstring_view name, DWORD& attributes) const
{
    if (!QueryTag(child, attributes) || IsLink(attributes))
        return false;
    std::wstring final = FinalPathOf(child);
    size_t last = final.find_last_of(L'\\');
    if (last == std::wstring::npos)
        return false;
    // The directory part as this directory is named, the last part the name
    // asked for (the system may give it in other letter case).
    std::wstring_view parent(final.data(), last == 2 ? 3 : last);
    return EqualPathText(parent, final_) && EqualPathText(std::wstring_view(final).substr(last + 1), name);
}

HRESULT CheckedDir::OpenDir(std::wstring_view name, CheckedDir& child) const
{
    child = CheckedDir();
    UniqueFileHandle handle;
    // Only a directory is opened: a file is never opened with a directory's
    // rights, which on a file are write rights.
    HRESULT hr = OpenChild(name, kDirAccess, FILE_OPEN, FILE_DIRECTORY_FILE, handle);
    if (hr != S_OK)
        return hr;
    DWORD attributes = 0;
    if (!IsPlainChild(handle.Get(), name, attributes) || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return kNotPlain;
    child = CheckedDir(std::move(handle), final_ + (final_.back() == L'\\' ? L"" : L"\\") +
                                              std::wstring(name));
    return S_OK;
}

HRESULT CheckedDir::MakeDir(std::wstring_view name, CheckedDir& child, bool* made,
                            PSECURITY_DESCRIPTOR descriptor, bool mustBeNew) const
{
    child = CheckedDir();
    if (made)
        *made = false;
    UniqueFileHandle handle;
    ULONG_PTR outcome = 0;
    HRESULT hr = OpenChild(name, kDirAccess, mustBeNew ? FILE_CREATE : FILE_OPEN_IF,
                           FILE_DIRECTORY_FILE, handle, &outcome, descriptor);
    if (hr != S_OK)
        return hr;
    // A directory made just now by this call is plain; one that was there
    // is looked at like any other.
    std::wstring path = final_ + (final_.back() == L'\\' ? L"" : L"\\") + std::wstring(name);
    if (outcome != FILE_CREATED) {
        DWORD attributes = 0;
        if (!IsPlainChild(handle.Get(), name, attributes) || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return kNotPlain;
    } else if (made) {
        *made = true;
    }
    child = CheckedDir(std::move(handle), std::move(path));
    return S_OK;
}

HRESULT CheckedDir::CreateNewFile(std::wstring_view name, UniqueFileHandle& file,
                                  ACCESS_MASK access, DWORD share) const
{
    return OpenChild(name, access | DELETE, FILE_CREATE, FILE_NON_DIRECTORY_FILE, file, nullptr,
                     nullptr, share);
}

HRESULT CheckedDir::CreateTemporaryFile(std::wstring_view name, UniqueFileHandle& file,
                                        ACCESS_MASK access, DWORD share) const
{
    return OpenChild(name, access | DELETE, FILE_CREATE, FILE_NON_DIRECTORY_FILE | FILE_DELETE_ON_CLOSE,
                     file, nullptr, nullptr, share);
}

HRESULT CheckedDir::ReplaceFile(std::wstring_view name, UniqueFileHandle& file, ACCESS_MASK access,
                                DWORD share) const
{
    HRESULT hr = CreateNewFile(name, file, access, share);
    if (hr != HRESULT_FROM_WIN32(ERROR_FILE_EXISTS))
        return hr;
    hr = RemoveChild(name);
    if (hr != S_OK)
        return hr;
    return CreateNewFile(name, file, access, share);
}

HRESULT CheckedDir::OpenFileToRead(std::wstring_view name, UniqueFileHandle& file) const
{
    UniqueFileHandle handle;
    HRESULT hr = OpenChild(name, GENERIC_READ, FILE_OPEN, FILE_NON_DIRECTORY_FILE, handle, nullptr,
                           nullptr, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (hr != S_OK)
        return hr;
    DWORD attributes = 0;
    if (!IsPlainChild(handle.Get(), name, attributes))
        return kNotPlain;
    file = std::move(handle);
    return S_OK;
}

HRESULT CheckedDir::Inspect(std::wstring_view name, DWORD& attributes) const
{
    attributes = INVALID_FILE_ATTRIBUTES;
    UniqueFileHandle handle;
    HRESULT hr = OpenChild(name, FILE_READ_ATTRIBUTES, FILE_OPEN, 0, handle);
    if (hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND))
        return S_FALSE;
    if (hr != S_OK)
        return hr;
    DWORD found = 0;
    if (!IsPlainChild(handle.Get(), name, found))
        return kNotPlain;
    attributes = found;
    return S_OK;
}

HRESULT CheckedDir::Enumerate(const std::function<bool(const DirEntry&)>& visit) const
{
    const NtFileCalls& nt = Nt();
    if (!nt.list || !nt.toWin32)
        return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    if (!Valid())
        return HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE);
    // FILE_DIRECTORY_INFORMATION: the fixed part ends with the name's length
    // at 60 and the name at 64; attributes at 56.
    constexpr ULONG kDirectoryInformation = 1;
    std::vector<ULONGLONG> buffer(8192);
    std::vector<DirEntry> entries;
    for (BOOLEAN restart = TRUE;; restart = FALSE) {
        IO_STATUS_BLOCK io{};
        NTSTATUS status = nt.list(handle_.Get(), nullptr, nullptr, nullptr, &io, buffer.data(),
                                  static_cast<ULONG>(buffer.size() * sizeof(ULONGLONG)),
                                  kDirectoryInformation, FALSE, nullptr, restart);
        if (status == static_cast<NTSTATUS>(0x80000006L))  // STATUS_NO_MORE_FILES
            break;
        if (status < 0)
            return FromStatus(status);
        const auto* at = reinterpret_cast<const BYTE*>(buffer.data());
        for (;;) {
            ULONG next = *reinterpret_cast<const ULONG*>(at);
            DirEntry entry;
            entry.attributes = *reinterpret_cast<const ULONG*>(at + 56);
            ULONG bytes = *reinterpret_cast<const ULONG*>(at + 60);
            entry.name.assign(reinterpret_cast<const wchar_t*>(at + 64), bytes / sizeof(wchar_t));
            if (entry.name != L"." && entry.name != L"..")
                entries.push_back(std::move(entry));
            if (next == 0)
                break;
            at += next;
        }
    }
    // Listed in full first: what visit deletes must not disturb the listing.
    for (const DirEntry& entry : entries)
        if (!visit(entry))
            break;
    return S_OK;
}

HRESULT CheckedDir::RemoveOpened(UniqueFileHandle child, std::wstring_view name, DWORD attributes,
                                 const RemoveRules& rules) const
{
    if (IsLink(attributes)) {
        // The handle is on the link itself: deleting it deletes the link.
        return DisposeOf(child.Get()) ? S_OK : LastErrorResult(kNoError);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        std::wstring path = final_ + (final_.back() == L'\\' ? L"" : L"\\") + std::wstring(name);
        CheckedDir dir(std::move(child), std::move(path));
        HRESULT hr = dir.RemoveContents(rules);
        if (hr != S_OK)
            return hr;
        return dir.RemoveSelf();
    }
    if (rules.keepHiddenAndSystem && (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
        return HRESULT_FROM_WIN32(ERROR_DIR_NOT_EMPTY);
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        FILE_BASIC_INFO basic{};
        basic.FileAttributes = (attributes & ~FILE_ATTRIBUTE_READONLY) | FILE_ATTRIBUTE_NORMAL;
        ::SetFileInformationByHandle(child.Get(), FileBasicInfo, &basic, sizeof(basic));
    }
    return DisposeOf(child.Get()) ? S_OK : LastErrorResult(kNoError);
}

HRESULT CheckedDir::OpenToRemove(std::wstring_view name, UniqueFileHandle& child, DWORD& attributes) const
{
    HRESULT hr = OpenChild(name, kRemoveAccess, FILE_OPEN, 0, child);
    if (hr != S_OK)
        return hr;
    return QueryTag(child.Get(), attributes) ? S_OK : LastErrorResult(kNoError);
}

HRESULT CheckedDir::RemoveChild(std::wstring_view name, const RemoveRules& rules) const
{
    UniqueFileHandle child;
    DWORD attributes = 0;
    if (HRESULT hr = OpenToRemove(name, child, attributes); hr != S_OK)
        return hr;
    // A handle on something that is not named where it was asked for is the
    // target of a link the system followed: neither it nor the link is
    // touched, as deleting through it would delete the target.
    if (!IsLink(attributes) && !IsPlainChild(child.Get(), name, attributes))
        return kFollowedLink;
    return RemoveOpened(std::move(child), name, attributes, rules);
}

HRESULT CheckedDir::RemoveOnly(std::wstring_view name, Kind kind) const
{
    UniqueFileHandle child;
    DWORD attributes = 0;
    if (HRESULT hr = OpenToRemove(name, child, attributes); hr != S_OK)
        return hr;
    if (IsLink(attributes))
        return DisposeOf(child.Get()) ? S_OK : LastErrorResult(kNoError);
    if (!IsPlainChild(child.Get(), name, attributes))
        return kFollowedLink;
    bool isDir = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isDir != (kind == Kind::EmptyDir))
        return HRESULT_FROM_WIN32(ERROR_DIRECTORY);
    // A directory's delete fails while anything is in it: nothing below it is
    // ever touched.
    if (isDir)
        return DisposeOf(child.Get()) ? S_OK : LastErrorResult(kNoError);
    return RemoveOpened(std::move(child), name, attributes, {});
}

HRESULT CheckedDir::RemoveFile(std::wstring_view name) const { return RemoveOnly(name, Kind::File); }

HRESULT CheckedDir::RemoveEmptyDir(std::wstring_view name) const
{
    return RemoveOnly(name, Kind::EmptyDir);
}

HRESULT CheckedDir::RemoveContents(const RemoveRules& rules,
                                   const std::function<bool(const std::wstring&)>& keep) const
{
    HRESULT first = S_OK;
    HRESULT hr = Enumerate([&](const DirEntry& entry) {
        if (keep && keep(entry.name))
            return true;
        HRESULT one = RemoveChild(entry.name, rules);
        if (one != S_OK && first == S_OK)
            first = one;
        return true;  // the rest goes even when one child stays
    });
    return hr != S_OK ? hr : first;
}

HRESULT CheckedDir::RemoveSelf()
{
    if (!Valid())
        return HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE);
    bool disposed = DisposeOf(handle_.Get());
    HRESULT hr = disposed ? S_OK : LastErrorResult(kNoError);
    handle_.Reset();
    return hr;
}
