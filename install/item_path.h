#pragma once
// Destination paths of archive items, and the one check every item passes
// before anything is created or reported for it.
#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "system/win_handles.h"

namespace SevenZip::intl {

bool EndsWithSeparator(const std::wstring& path);

// Directory + relative path, with a backslash between them unless the
// directory already ends with a separator.
std::wstring JoinItemPath(const std::wstring& dir, const std::wstring& relativePath);

// Everything up to and including the last backslash or slash; empty when
// there is none.
std::wstring ParentOf(const std::wstring& path);

// Whether a stored item name names, as Windows reads it literally, a path
// strictly below the destination: see item_path.cpp for every rule.
bool IsPlainItemName(const std::wstring& relativePath, bool isDirectory);

// Decides for one extraction which items may be written. It refuses a name
// IsPlainItemName refuses, a path that passes through or ends at a link (a
// reparse point) at or below the destination, and a file where an earlier
// item of the same archive has a directory. Directories an earlier item was
// written in are known to be real ones and are not looked at again (until
// something in the way of an item is deleted); only the new part of each
// path costs file-system queries.
class ItemPathGuard {
public:
    // destDir ends with a separator.
    explicit ItemPathGuard(std::wstring destDir) : destDir_(std::move(destDir)) {}

    // A file in a directory known to be real is not looked for here: Settle
    // does that, making it when it is new.
    bool Allows(const std::wstring& relativePath, bool isDirectory);
    // For a file Allows accepted: when nothing is at its path, makes it in
    // its directory (file is then open); otherwise looks at what is there,
    // false for a link. fullPath is the file's whole path.
    bool Settle(const std::wstring& relativePath, const std::wstring& fullPath,
                UniqueFileHandle& file);
    // What the last accepted item's own path held when it was looked at: its
    // attributes, or INVALID_FILE_ATTRIBUTES for nothing.
    DWORD ExistingAttributes() const { return existing_; }
    // Whether the directory an item goes in was made or found real by an
    // earlier item, so it need not be made again.
    bool HasParentOf(const std::wstring& relativePath) const;
    // Records the directories an accepted item was written in (and the item
    // itself when it is one): they are real directories now.
    void Claim(const std::wstring& relativePath, bool isDirectory);
    // Something at an item's path was deleted; when it was a directory or a
    // link, what is known about directories is looked at again.
    void Removed(DWORD attributes);

private:
    bool MeetsLink(const std::wstring& relativePath, bool isDirectory);
    HANDLE DirectoryHandle(std::wstring_view relativeDir);

    std::wstring destDir_;
    std::set<std::wstring> claimedDirs_;  // upper case, backslashes, no trailing one
    // The same keys, "" for the destination; each with a handle once a file
    // was made in it.
    std::map<std::wstring, UniqueFileHandle> realDirs_;
    DWORD existing_ = INVALID_FILE_ATTRIBUTES;
    bool settled_ = true;  // whether existing_ tells about the last item
};

}  // namespace SevenZip::intl
