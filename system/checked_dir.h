#pragma once
// Every file-system step the installer takes below a directory goes through
// one open, checked handle of that directory: children are created, opened,
// listed and deleted relative to it, never again by a whole path. A link
// planted or swapped in at any moment therefore redirects nothing: a child is
// looked up in the very directory that was checked, a link is never followed
// into, and a delete goes through the handle of what was checked.
//
// What "checked" means: the handle was opened without following a reparse
// point, and it is a plain directory (or file): no reparse point, and the
// system names it where it was asked for (a system that follows a link in
// spite of being told not to, as Wine does, hands out a handle on the target,
// which then shows under another path).
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "system/win_handles.h"

// One child of a directory, as a listing of the open handle gives it.
struct DirEntry {
    std::wstring name;
    DWORD attributes = 0;
};

// What RemoveChild and RemoveContents delete.
struct RemoveRules {
    // Files with FILE_ATTRIBUTE_HIDDEN or FILE_ATTRIBUTE_SYSTEM stay (and so
    // do the directories above them); otherwise read-only, hidden and system
    // files go alike.
    bool keepHiddenAndSystem = false;
};

class CheckedDir {
public:
    CheckedDir() = default;
    CheckedDir(CheckedDir&&) noexcept = default;
    CheckedDir& operator=(CheckedDir&&) noexcept = default;

    // Opens the directory at a full path; its last component must be a plain
    // directory (components above it are the caller's to trust: the chosen
    // program directory, the Windows directory). withDelete adds the right
    // to delete the directory itself (RemoveSelf).
    static HRESULT Open(const std::wstring& path, CheckedDir& dir, bool withDelete = false);

    bool Valid() const { return handle_.Valid(); }
    HANDLE Handle() const { return handle_.Get(); }

    // An existing plain child directory; HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)
    // when there is none, kNotPlain for a link or anything but a directory.
    HRESULT OpenDir(std::wstring_view name, CheckedDir& child) const;
    // The child directory, made when missing (with descriptor, when given;
    // made tells whether it was). mustBeNew refuses an existing one.
    HRESULT MakeDir(std::wstring_view name, CheckedDir& child, bool* made = nullptr,
                    PSECURITY_DESCRIPTOR descriptor = nullptr, bool mustBeNew = false) const;
    // A new file; a name that exists, as anything, fails with
    // HRESULT_FROM_WIN32(ERROR_FILE_EXISTS): nothing existing is ever opened
    // for writing. access always includes DELETE, so that the caller can
    // take the file back (DiscardFile).
    HRESULT CreateNewFile(std::wstring_view name, UniqueFileHandle& file,
                          ACCESS_MASK access = GENERIC_WRITE, DWORD share = FILE_SHARE_READ) const;
    // A new file as above that the system deletes when its last handle
    // closes, however the process ends (also when it is killed): handles
    // duplicated from this one keep it; no new open can be made without
    // FILE_SHARE_DELETE.
    HRESULT CreateTemporaryFile(std::wstring_view name, UniqueFileHandle& file,
                                ACCESS_MASK access = GENERIC_READ | GENERIC_WRITE,
                                DWORD share = FILE_SHARE_READ) const;
    // A file made anew under name: what is there is removed first as what it
    // is (RemoveChild), then the name is created exclusively; something that
    // appears there again in between fails it.
    HRESULT ReplaceFile(std::wstring_view name, UniqueFileHandle& file,
                        ACCESS_MASK access = GENERIC_WRITE, DWORD share = FILE_SHARE_READ) const;
    // An existing plain file, for reading only.
    HRESULT OpenFileToRead(std::wstring_view name, UniqueFileHandle& file) const;
    // Whether name exists here as a plain child; its attributes when so.
    // S_FALSE for nothing there, kNotPlain for a link or a followed one.
    HRESULT Inspect(std::wstring_view name, DWORD& attributes) const;

    // Deletes the child: a file through its own handle; a directory with
    // everything below it, each through its own handle; a link (one the
    // handle shows as a reparse point) as the link itself, never entered.
    // A child whose handle turns out to be on something else (a link the
    // system followed anyway: deleting through it would delete the target)
    // is left alone: kFollowedLink.
    HRESULT RemoveChild(std::wstring_view name, const RemoveRules& rules = {}) const;
    // Deletes the child only when it is a file, or a link of any kind (as the
    // link); a directory is left alone: HRESULT_FROM_WIN32(ERROR_DIRECTORY).
    HRESULT RemoveFile(std::wstring_view name) const;
    // Deletes the child only when it is an empty directory, or a link (as the
    // link); a file fails with HRESULT_FROM_WIN32(ERROR_DIRECTORY), a directory
    // with anything in it with HRESULT_FROM_WIN32(ERROR_DIR_NOT_EMPTY).
    HRESULT RemoveEmptyDir(std::wstring_view name) const;
    // Deletes every child but those keep says to keep (it sees each name).
    HRESULT RemoveContents(const RemoveRules& rules,
                           const std::function<bool(const std::wstring&)>& keep = {}) const;
    // Deletes this directory itself through its own handle (opened withDelete
    // or as a child); fails when it is not empty.
    HRESULT RemoveSelf();

    // Lists the children ("." and ".." left out). visit returns false to stop.
    HRESULT Enumerate(const std::function<bool(const DirEntry&)>& visit) const;

    // The directory's whole path as the system names it (without "\\?\").
    const std::wstring& FinalPath() const { return final_; }

    // A child found to be a link or to stand where it was not asked for.
    static const HRESULT kNotPlain;
    // A handle asked for a link itself that is on its target instead.
    static const HRESULT kFollowedLink;

private:
    CheckedDir(UniqueFileHandle handle, std::wstring final)
        : handle_(std::move(handle)), final_(std::move(final)) {}
    HRESULT OpenChild(std::wstring_view name, ACCESS_MASK access, ULONG disposition,
                      ULONG options, UniqueFileHandle& child, ULONG_PTR* outcome = nullptr,
                      PSECURITY_DESCRIPTOR descriptor = nullptr, DWORD share = kShareAll) const;
    // Whether an opened child is plain: no reparse point, and named as
    // this directory's path followed by name. Gives its attributes.
    bool IsPlainChild(HANDLE child, std::wstring_view name, DWORD& attributes) const;
    // Opens the child NAME for deleting and reads its attributes.
    HRESULT OpenToRemove(std::wstring_view name, UniqueFileHandle& child, DWORD& attributes) const;
    enum class Kind { File, EmptyDir };
    HRESULT RemoveOnly(std::wstring_view name, Kind kind) const;
    HRESULT RemoveOpened(UniqueFileHandle child, std::wstring_view name, DWORD attributes,
                         const RemoveRules& rules) const;

    static constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    UniqueFileHandle handle_;
    std::wstring final_;
};

// The path a handle is known by, without "\\?\"; empty when the system has none.
std::wstring FinalPathOf(HANDLE handle);

// Deletes an open file or directory through its handle (opened with DELETE).
bool DisposeOf(HANDLE handle);
