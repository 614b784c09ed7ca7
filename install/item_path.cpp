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

std::wstring ParentOf(const std::wstring& path)
{
    size_t last = path.find_last_of(L"\\/");
    return last == std::wstring::npos ? std::wstring() : path.substr(0, last + 1);
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

bool ItemPathGuard::MeetsLink(const std::wstring& relativePath, bool isDirectory)
{
    existing_ = INVALID_FILE_ATTRIBUTES;
    settled_ = true;
    std::vector<std::wstring_view> parts = Components(relativePath);
    // Level n is the destination followed by the first n components. The
    // walk starts after the deepest level known to be a real directory.
    size_t level = parts.size() + 1;
    while (level > 0 && !realDirs_.count(DirKey(Prefix(relativePath, parts, level - 1))))
        --level;
    if (level > parts.size())
        return false;  // a directory an earlier item made
    if (level == parts.size() && !isDirectory) {
        settled_ = false;  // a file in a known directory: Settle looks
        return false;
    }
    std::wstring path = destDir_.substr(0, destDir_.size() - (EndsWithSeparator(destDir_) ? 1 : 0));
    for (size_t n = 0;; ++n) {
        if (n >= level) {
            DWORD attributes = ::GetFileAttributesW(path.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES)
                return false;  // nothing below a missing component exists
            if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
                return true;
            if (n == parts.size()) {
                existing_ = attributes;
                return false;
            }
        }
        if (parts[n].empty())
            return false;
        path += L'\\';
        path += parts[n];
    }
}

HANDLE ItemPathGuard::DirectoryHandle(std::wstring_view relativeDir)
{
    auto found = realDirs_.find(DirKey(relativeDir));
    if (found == realDirs_.end())
        return nullptr;
    if (!found->second)
        found->second = OpenDirectoryHandle(destDir_ + std::wstring(relativeDir));
    return found->second ? found->second.Get() : nullptr;
}

bool ItemPathGuard::Settle(const std::wstring& relativePath, const std::wstring& fullPath,
                           UniqueFileHandle& file)
{
    file.Reset();
    if (settled_)
        return true;
    settled_ = true;
    std::vector<std::wstring_view> parts = Components(relativePath);
    // Only where a whole path would be accepted too: a longer one fails as
    // it always did.
    if (fullPath.size() < MAX_PATH) {
        HANDLE dir = DirectoryHandle(Prefix(relativePath, parts, parts.size() - 1));
        if (dir && CreateNewFileIn(dir, std::wstring(parts.back()), file) == S_OK) {
            existing_ = INVALID_FILE_ATTRIBUTES;
            return true;
        }
    }
    existing_ = ::GetFileAttributesW(fullPath.c_str());
    return existing_ == INVALID_FILE_ATTRIBUTES || !(existing_ & FILE_ATTRIBUTE_REPARSE_POINT);
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
    realDirs_.try_emplace(std::wstring());
    for (size_t n = 1; n <= dirs; ++n) {
        std::wstring key = DirKey(Prefix(relativePath, parts, n));
        claimedDirs_.insert(key);
        realDirs_.try_emplace(std::move(key));
    }
}

void ItemPathGuard::Removed(DWORD attributes)
{
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
        realDirs_.clear();
}

}  // namespace SevenZip::intl
