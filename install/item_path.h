#pragma once
// Destination paths of archive items, and the one check every item passes
// before anything is created or reported for it.
#include <windows.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "system/checked_dir.h"
#include "system/win_handles.h"

namespace SevenZip::intl {

bool EndsWithSeparator(const std::wstring& path);

// Directory + relative path, with a backslash between them unless the
// directory already ends with a separator.
std::wstring JoinItemPath(const std::wstring& dir, const std::wstring& relativePath);

// Makes a file item anew in its directory, exclusively, open for writing.
HRESULT CreateItemFile(const CheckedDir& dir, std::wstring_view name, UniqueFileHandle& file);

// An item's relative path, split into its components once, as every step
// of its extraction needs them; "a\\b\\" has "a", "b" and "".
class ItemPath {
public:
    ItemPath() = default;
    explicit ItemPath(std::wstring relativePath);

    const std::wstring& Text() const { return text_; }
    size_t Count() const { return ends_.size(); }
    std::wstring_view Part(size_t index) const;
    // The last component: a file's name.
    std::wstring_view Name() const { return Part(Count() - 1); }
    // The key under which the path of the first n components is compared
    // with others: upper case (case does not tell Windows names apart),
    // backslashes, no trailing one.
    std::wstring KeyOf(size_t n) const;
    std::wstring Key() const { return KeyOf(Count()); }

private:
    std::wstring text_;
    std::wstring upper_;       // text_ in upper case with backslashes
    std::vector<size_t> ends_;  // where each component ends in text_
};

// Whether a stored item name names, as Windows reads it literally, a path
// strictly below the destination: see item_path.cpp for every rule.
bool IsPlainItemName(const std::wstring& relativePath, bool isDirectory);

// Decides for one extraction which items may be written, and writes their
// names: every directory below the destination is opened once, checked, and
// kept open; an item's directories are made and its file created in the
// handle of the directory above, never through a whole path. It refuses a
// name IsPlainItemName refuses, a path that passes through or ends at a
// link at or below the destination, and a file where an earlier item of the
// same archive has a directory.
class ItemPathGuard {
public:
    // destDir ends with a separator. root, where given, is destDir opened
    // and checked by the caller: everything is made below that handle, and
    // destDir is never opened again by its name.
    explicit ItemPathGuard(std::wstring destDir, std::shared_ptr<CheckedDir> root = nullptr)
        : destDir_(std::move(destDir)), root_(std::move(root))
    {
    }

    // Looks at what exists of the item's path (its directories, and a
    // directory item itself); a file in a directory that exists is left
    // for Look.
    bool Allows(const ItemPath& item, bool isDirectory);
    // For a file Allows accepted: looks at what is at its path, false for a
    // link. When nothing is there and its directory exists, dir is that
    // directory, open, in which the file is then to be made with
    // CreateItemFile. fullPath is the file's whole path.
    bool Look(const ItemPath& item, const std::wstring& fullPath,
              std::shared_ptr<const CheckedDir>& dir);
    // What the last accepted item's own path held when it was looked at: its
    // attributes, or INVALID_FILE_ATTRIBUTES for nothing.
    DWORD ExistingAttributes() const { return existing_; }
    // Whether the directory an item goes in was made or found real by an
    // earlier item, so it need not be made again.
    bool HasParentOf(const ItemPath& item) const;
    // Records the directories an accepted item was written in (and the item
    // itself when it is one): they are real directories now.
    void Claim(const ItemPath& item, bool isDirectory);
    // Something at an item's path was deleted; when it was a directory or a
    // link, what is known about directories is looked at again.
    void Removed(DWORD attributes);

    // Makes the item's directories (the item itself too when it is one)
    // through the handles above them. False for anything but a directory in
    // the way.
    bool MakeDirectories(const ItemPath& item, bool isDirectory);
    // Deletes what is at a file item's path, as what it is, through its own
    // handle.
    HRESULT RemoveExisting(const ItemPath& item);
    // The open directory a file item is to be made in (made already), for
    // CreateItemFile. The guard keeps it open until something in the way of
    // an item is deleted (Removed); whoever holds it (a writer) keeps it open
    // as long as it needs it.
    HRESULT FileDirectory(const ItemPath& item, std::shared_ptr<const CheckedDir>& dir);
    // The open handle of a directory item made by MakeDirectories; null when
    // there is none.
    HANDLE DirectoryHandle(const ItemPath& item);

private:
    using Dir = std::shared_ptr<CheckedDir>;
    bool MeetsLink(const ItemPath& item, bool isDirectory);
    // The directory at the first count components of the item's path, opened
    // through the deepest one already open; made when make is true.
    // S_FALSE when a component is missing (and make is false).
    HRESULT Walk(const ItemPath& item, size_t count, bool make, Dir& dir);
    Dir Root(bool make);

    std::wstring destDir_;
    Dir root_;
    std::set<std::wstring> claimedDirs_;  // upper case, backslashes, no trailing one
    // Directories known to be real ones, "" for the destination: claimed
    // by this archive, or opened and checked.
    std::set<std::wstring> realDirs_;
    // Their open handles, under the same keys; shared with the writers that
    // make files in them.
    std::map<std::wstring, Dir> openDirs_;
    // Directories this extraction made, and the files it has looked at in
    // them: a directory made here holds only what this extraction put there.
    std::set<std::wstring> madeDirs_;
    std::set<std::wstring> placedFiles_;
    DWORD existing_ = INVALID_FILE_ATTRIBUTES;
    bool settled_ = true;  // whether existing_ tells about the last item
};

}  // namespace SevenZip::intl
