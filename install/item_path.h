#pragma once
// Destination paths of archive items, and the one check every item passes
// before anything is created or reported for it.
#include <set>
#include <utility>
#include <string>

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
// item of the same archive has a directory.
class ItemPathGuard {
public:
    // destDir ends with a separator.
    explicit ItemPathGuard(std::wstring destDir) : destDir_(std::move(destDir)) {}

    bool Allows(const std::wstring& relativePath, bool isDirectory) const;
    // Records the directories an accepted item was written in (and the item
    // itself when it is one).
    void Claim(const std::wstring& relativePath, bool isDirectory);

private:
    bool MeetsLink(const std::wstring& relativePath) const;

    std::wstring destDir_;
    std::set<std::wstring> claimedDirs_;  // upper case, backslashes, no trailing one
};

}  // namespace SevenZip::intl
