#include "install/item_path.h"

#include <windows.h>

#include <string_view>

#include "install/destination_files.h"
#include <vector>

namespace SevenZip::intl {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// The components of a relative path; "a\\b\\" gives "a", "b" and "".
std::vector<std::wstring_view> Components(std::wstring_view path)
{
    std::vector<std::wstring_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || IsSeparator(path[i])) {
            parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

bool EqualsUpper(std::wstring_view s, std::wstring_view upper)
{
    if (s.size() != upper.size())
        return false;
    for (size_t i = 0; i < s.size(); ++i) {
        wchar_t c = s[i] >= L'a' && s[i] <= L'z' ? static_cast<wchar_t>(s[i] - L'a' + L'A') : s[i];
        if (c != upper[i])
            return false;
    }
    return true;
}

// Windows opens a device for these names in any directory, with any
// extension and with blanks before the extension: "sub\aux" and "nul.txt"
// are the device, not a file.
bool NamesDevice(std::wstring_view component)
{
    std::wstring_view base = component.substr(0, component.find(L'.'));
    while (!base.empty() && base.back() == L' ')
        base.remove_suffix(1);
    for (std::wstring_view device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"})
        if (EqualsUpper(base, device))
            return true;
    if (base.size() != 4 || !(EqualsUpper(base.substr(0, 3), L"COM") || EqualsUpper(base.substr(0, 3), L"LPT")))
        return false;
    wchar_t digit = base[3];
    return (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' ||
           digit == L'\u00B3';
}

// Characters no Windows file name holds: the wildcards would make the
// replace step match other files, ':' names an alternate data stream or a
// drive.
bool HoldsReservedCharacter(std::wstring_view component)
{
    for (wchar_t c : component)
        if (c < 32 || std::wstring_view(L"<>:\"|?*").find(c) != std::wstring_view::npos)
            return true;
    return false;
}

// The first n components of a relative path, with the separators between
// them.
std::wstring_view Prefix(std::wstring_view path, const std::vector<std::wstring_view>& parts, size_t n)
{
    return n == 0 ? std::wstring_view() : path.substr(0, static_cast<size_t>(parts[n - 1].data() - path.data()) + parts[n - 1].size());
}

// The key under which a directory is claimed: case does not tell Windows
// names apart.
std::wstring DirKey(std::wstring_view relativePath)
{
    std::wstring key(relativePath);
    while (!key.empty() && IsSeparator(key.back()))
        key.pop_back();
    for (wchar_t& c : key)
        if (c == L'/')
            c = L'\\';
    if (!key.empty())
        ::CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

}  // namespace

std::wstring ItemPathKey(std::wstring_view relativePath) { return DirKey(relativePath); }

bool EndsWithSeparator(const std::wstring& path)
{
    return !path.empty() && IsSeparator(path.back());
}

std::wstring JoinItemPath(const std::wstring& dir, const std::wstring& relativePath)
{
    if (dir.empty() || EndsWithSeparator(dir))
        return dir + relativePath;
    return dir + L'\\' + relativePath;
}

bool IsPlainItemName(const std::wstring& relativePath, bool isDirectory)
{
    // An item without a path would be the destination itself.
    if (relativePath.empty())
        return false;
    std::vector<std::wstring_view> parts = Components(relativePath);
    for (size_t i = 0; i < parts.size(); ++i) {
        std::wstring_view part = parts[i];
        if (part.empty()) {
            // A leading separator makes a rooted, UNC or device path; an empty
            // component in the middle or at the end of a file names its
            // parent. Only a directory may end in a separator.
            if (i == 0 || i + 1 < parts.size() || !isDirectory)
                return false;
            continue;
        }
        // Windows drops trailing dots and blanks, so "x." is "x", and ".",
        // "..", "..." and ". ." are the directory itself or its parent.
        if (part.back() == L'.' || part.back() == L' ')
            return false;
        // Drive letters ("C:\x", "C:x") and streams ("x:s") fall here.
        if (HoldsReservedCharacter(part) || NamesDevice(part))
            return false;
    }
    return true;
}

CheckedDir* ItemPathGuard::Root(bool make)
{
    auto found = openDirs_.find(std::wstring());
    if (found != openDirs_.end())
        return &found->second;
    // The chosen destination is made by its name; everything below it is
    // made and opened through its handle.
    if (make && !MakeDirectoryChain(destDir_))
        return nullptr;
    CheckedDir root;
    if (CheckedDir::Open(destDir_, root) != S_OK)
        return nullptr;
    realDirs_.insert(std::wstring());
    return &openDirs_.emplace(std::wstring(), std::move(root)).first->second;
}

HRESULT ItemPathGuard::Walk(std::wstring_view relativePath, size_t count, bool make,
                            CheckedDir*& dir)
{
    dir = nullptr;
    std::vector<std::wstring_view> parts = Components(relativePath);
    size_t level = count;
    auto open = openDirs_.end();
    for (; level > 0; --level) {
        open = openDirs_.find(DirKey(Prefix(relativePath, parts, level)));
        if (open != openDirs_.end())
            break;
    }
    CheckedDir* at = level > 0 ? &open->second : Root(make);
    if (!at) {
        // A destination that is missing holds nothing yet; one that is a
        // link or no directory is refused.
        CheckedDir probe;
        HRESULT hr = CheckedDir::Open(destDir_, probe);
        bool missing = hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ||
                       hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
        return missing && !make ? S_FALSE : (hr == S_OK ? E_FAIL : hr);
    }
    for (size_t n = level + 1; n <= count; ++n) {
        CheckedDir child;
        bool made = false;
        HRESULT hr = make ? at->MakeDir(parts[n - 1], child, &made) : at->OpenDir(parts[n - 1], child);
        if (hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND))
            return S_FALSE;
        if (hr != S_OK)
            return hr;
        std::wstring key = DirKey(Prefix(relativePath, parts, n));
        realDirs_.insert(key);
        if (made)
            madeDirs_.insert(key);
        at = &openDirs_.insert_or_assign(std::move(key), std::move(child)).first->second;
    }
    dir = at;
    return S_OK;
}

namespace {

// How many directories an item's path names: all its components for a
// directory (a trailing separator aside), all but the last for a file.
size_t DirectoryCount(const std::vector<std::wstring_view>& parts, bool isDirectory)
{
    if (!isDirectory)
        return parts.size() - 1;
    return parts.back().empty() ? parts.size() - 1 : parts.size();
}

}  // namespace

bool ItemPathGuard::MeetsLink(const std::wstring& relativePath, bool isDirectory)
{
    existing_ = INVALID_FILE_ATTRIBUTES;
    settled_ = true;
    std::vector<std::wstring_view> parts = Components(relativePath);
    size_t count = DirectoryCount(parts, isDirectory);
    if (realDirs_.count(DirKey(Prefix(relativePath, parts, count)))) {
        settled_ = isDirectory;  // a file in a known directory: Look looks
        return false;
    }
    CheckedDir* dir = nullptr;
    HRESULT hr = Walk(relativePath, count, false, dir);
    if (hr == CheckedDir::kNotPlain)
        return true;
    // Anything else in the way fails when the directories are made.
    settled_ = isDirectory || hr != S_OK;
    return false;
}

bool ItemPathGuard::Look(const std::wstring& relativePath, const std::wstring& fullPath,
                         const CheckedDir*& dir)
{
    dir = nullptr;
    if (settled_)
        return true;
    settled_ = true;
    existing_ = INVALID_FILE_ATTRIBUTES;
    std::vector<std::wstring_view> parts = Components(relativePath);
    CheckedDir* at = nullptr;
    if (Walk(relativePath, parts.size() - 1, false, at) != S_OK)
        return true;  // gone since: the directories are made again
    // Nothing can be at a name this extraction has not used yet in a
    // directory it made: the look, a call to the system per file, is
    // spared. Anything another program puts there meanwhile fails the item
    // when its file is created, which is always done exclusively.
    if (madeDirs_.count(DirKey(Prefix(relativePath, parts, parts.size() - 1))) &&
        placedFiles_.insert(DirKey(relativePath)).second) {
        if (fullPath.size() < MAX_PATH)
            dir = at;
        return true;
    }
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    HRESULT hr = at->Inspect(parts.back(), attributes);
    if (hr == CheckedDir::kNotPlain)
        return false;
    if (hr == S_OK)
        existing_ = attributes;
    // Only where a whole path would be accepted too: a longer one fails as
    // it always did, when it is created.
    else if (hr == S_FALSE && fullPath.size() < MAX_PATH)
        dir = at;
    return true;
}

bool ItemPathGuard::Allows(const std::wstring& relativePath, bool isDirectory)
{
    if (!IsPlainItemName(relativePath, isDirectory))
        return false;
    // Replacing a directory this archive made would delete items already
    // recorded as installed.
    if (!isDirectory && claimedDirs_.count(DirKey(relativePath)))
        return false;
    // The installer never follows a link it did not make.
    return !MeetsLink(relativePath, isDirectory);
}

bool ItemPathGuard::HasParentOf(const std::wstring& relativePath) const
{
    std::vector<std::wstring_view> parts = Components(relativePath);
    return realDirs_.count(DirKey(Prefix(relativePath, parts, parts.size() - 1))) != 0;
}

void ItemPathGuard::Claim(const std::wstring& relativePath, bool isDirectory)
{
    std::vector<std::wstring_view> parts = Components(relativePath);
    size_t dirs = isDirectory ? parts.size() : parts.size() - 1;
    realDirs_.insert(std::wstring());
    for (size_t n = 1; n <= dirs; ++n) {
        std::wstring key = DirKey(Prefix(relativePath, parts, n));
        claimedDirs_.insert(key);
        realDirs_.insert(std::move(key));
    }
}

void ItemPathGuard::Removed(DWORD attributes)
{
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) {
        realDirs_.clear();
        openDirs_.clear();
        madeDirs_.clear();
    }
}

bool ItemPathGuard::MakeDirectories(const std::wstring& relativePath, bool isDirectory)
{
    std::vector<std::wstring_view> parts = Components(relativePath);
    CheckedDir* dir = nullptr;
    if (destDir_.size() + relativePath.size() >= MAX_PATH)
        return false;  // as the system's path-based directory creation
    return Walk(relativePath, DirectoryCount(parts, isDirectory), true, dir) == S_OK;
}

HRESULT ItemPathGuard::RemoveExisting(const std::wstring& relativePath)
{
    std::vector<std::wstring_view> parts = Components(relativePath);
    CheckedDir* dir = nullptr;
    HRESULT hr = Walk(relativePath, parts.size() - 1, false, dir);
    if (hr == S_FALSE)
        return S_OK;  // gone with its directory
    if (hr != S_OK)
        return hr;
    hr = dir->RemoveChild(parts.back());
    return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ? S_OK : hr;
}

HRESULT ItemPathGuard::FileDirectory(const std::wstring& relativePath, const CheckedDir*& dir)
{
    dir = nullptr;
    if (destDir_.size() + relativePath.size() >= MAX_PATH)
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    std::vector<std::wstring_view> parts = Components(relativePath);
    CheckedDir* at = nullptr;
    HRESULT hr = Walk(relativePath, parts.size() - 1, false, at);
    if (hr != S_OK)
        return hr == S_FALSE ? HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND) : hr;
    dir = at;
    return S_OK;
}

HRESULT CreateItemFile(const CheckedDir& dir, std::wstring_view name, UniqueFileHandle& file)
{
    return dir.CreateNewFile(name, file, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
}

HANDLE ItemPathGuard::DirectoryHandle(const std::wstring& relativeDir)
{
    std::vector<std::wstring_view> parts = Components(relativeDir);
    CheckedDir* dir = nullptr;
    return Walk(relativeDir, DirectoryCount(parts, true), false, dir) == S_OK ? dir->Handle()
                                                                              : nullptr;
}

}  // namespace SevenZip::intl
