#include "install/item_path.h"

#include <windows.h>

#include <string_view>
#include <vector>

#include "install/destination_files.h"

namespace SevenZip::intl {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

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

}  // namespace

ItemPath::ItemPath(std::wstring relativePath) : text_(std::move(relativePath)), upper_(text_)
{
    for (size_t i = 0; i <= text_.size(); ++i) {
        if (i == text_.size() || IsSeparator(text_[i])) {
            ends_.push_back(i);
            if (i < text_.size())
                upper_[i] = L'\\';
        }
    }
    if (!upper_.empty())
        ::CharUpperBuffW(upper_.data(), static_cast<DWORD>(upper_.size()));
}

std::wstring_view ItemPath::Part(size_t index) const
{
    size_t start = index == 0 ? 0 : ends_[index - 1] + 1;
    return std::wstring_view(text_).substr(start, ends_[index] - start);
}

std::wstring ItemPath::KeyOf(size_t n) const
{
    if (n == 0)
        return std::wstring();
    size_t end = ends_[n - 1];
    while (end > 0 && upper_[end - 1] == L'\\')
        --end;
    return upper_.substr(0, end);
}

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

namespace {

bool IsPlain(const ItemPath& item, bool isDirectory)
{
    // An item without a path would be the destination itself.
    if (item.Text().empty())
        return false;
    for (size_t i = 0; i < item.Count(); ++i) {
        std::wstring_view part = item.Part(i);
        if (part.empty()) {
            // A leading separator makes a rooted, UNC or device path; an empty
            // component in the middle or at the end of a file names its
            // parent. Only a directory may end in a separator.
            if (i == 0 || i + 1 < item.Count() || !isDirectory)
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

// How many directories an item's path names: all its components for a
// directory (a trailing separator aside), all but the last for a file.
size_t DirectoryCount(const ItemPath& item, bool isDirectory)
{
    if (!isDirectory)
        return item.Count() - 1;
    return item.Name().empty() ? item.Count() - 1 : item.Count();
}

bool IsMissing(HRESULT hr)
{
    return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
}

}  // namespace

bool IsPlainItemName(const std::wstring& relativePath, bool isDirectory)
{
    return IsPlain(ItemPath(relativePath), isDirectory);
}

ItemPathGuard::Dir ItemPathGuard::Root(bool make)
{
    auto found = openDirs_.find(std::wstring());
    if (found != openDirs_.end())
        return found->second;
    if (root_) {  // the caller's handle outlives a removal's forgetting
        realDirs_.insert(std::wstring());
        openDirs_.emplace(std::wstring(), root_);
        return root_;
    }
    // The chosen destination is made by its name; everything below it is
    // made and opened through its handle.
    if (make && !MakeDirectoryChain(destDir_))
        return nullptr;
    auto root = std::make_shared<CheckedDir>();
    if (CheckedDir::Open(destDir_, *root) != S_OK)
        return nullptr;
    realDirs_.insert(std::wstring());
    openDirs_.emplace(std::wstring(), root);
    return root;
}

HRESULT ItemPathGuard::Walk(const ItemPath& item, size_t count, bool make, Dir& dir)
{
    dir = nullptr;
    size_t level = count;
    auto open = openDirs_.end();
    for (; level > 0; --level) {
        open = openDirs_.find(item.KeyOf(level));
        if (open != openDirs_.end())
            break;
    }
    Dir at = level > 0 ? open->second : Root(make);
    if (!at) {
        // A destination that is missing holds nothing yet; one that is a
        // link or no directory is refused.
        CheckedDir probe;
        HRESULT hr = CheckedDir::Open(destDir_, probe);
        return IsMissing(hr) && !make ? S_FALSE : (hr == S_OK ? E_FAIL : hr);
    }
    for (size_t n = level + 1; n <= count; ++n) {
        auto child = std::make_shared<CheckedDir>();
        bool made = false;
        HRESULT hr = make ? at->MakeDir(item.Part(n - 1), *child, &made) : at->OpenDir(item.Part(n - 1), *child);
        if (IsMissing(hr))
            return S_FALSE;
        if (hr != S_OK)
            return hr;
        std::wstring key = item.KeyOf(n);
        realDirs_.insert(key);
        if (made)
            madeDirs_.insert(key);
        openDirs_.insert_or_assign(std::move(key), child);
        at = std::move(child);
    }
    dir = std::move(at);
    return S_OK;
}

bool ItemPathGuard::MeetsLink(const ItemPath& item, bool isDirectory)
{
    existing_ = INVALID_FILE_ATTRIBUTES;
    settled_ = true;
    size_t count = DirectoryCount(item, isDirectory);
    if (realDirs_.count(item.KeyOf(count))) {
        settled_ = isDirectory;  // a file in a known directory: Look looks
        return false;
    }
    Dir dir;
    HRESULT hr = Walk(item, count, false, dir);
    if (hr == CheckedDir::kNotPlain)
        return true;
    // Anything else in the way fails when the directories are made.
    settled_ = isDirectory || hr != S_OK;
    return false;
}

bool ItemPathGuard::Look(const ItemPath& item, const std::wstring& fullPath,
                         std::shared_ptr<const CheckedDir>& dir)
{
    dir = nullptr;
    if (settled_)
        return true;
    settled_ = true;
    existing_ = INVALID_FILE_ATTRIBUTES;
    Dir at;
    if (Walk(item, item.Count() - 1, false, at) != S_OK)
        return true;  // gone since: the directories are made again
    // Nothing can be at a name this extraction has not used yet in a
    // directory it made: the look, a call to the system per file, is
    // spared. Anything another program puts there meanwhile fails the item
    // when its file is created, which is always done exclusively.
    if (madeDirs_.count(item.KeyOf(item.Count() - 1)) && placedFiles_.insert(item.Key()).second) {
        if (fullPath.size() < MAX_PATH)
            dir = std::move(at);
        return true;
    }
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    HRESULT hr = at->Inspect(item.Name(), attributes);
    if (hr == CheckedDir::kNotPlain)
        return false;
    if (hr == S_OK)
        existing_ = attributes;
    // Only where a whole path would be accepted too: a longer one fails as
    // it always did, when it is created.
    else if (hr == S_FALSE && fullPath.size() < MAX_PATH)
        dir = std::move(at);
    return true;
}

bool ItemPathGuard::Allows(const ItemPath& item, bool isDirectory)
{
    if (!IsPlain(item, isDirectory))
        return false;
    // Replacing a directory this archive made would delete items already
    // recorded as installed.
    if (!isDirectory && claimedDirs_.count(item.Key()))
        return false;
    // The installer never follows a link it did not make.
    return !MeetsLink(item, isDirectory);
}

bool ItemPathGuard::HasParentOf(const ItemPath& item) const
{
    return realDirs_.count(item.KeyOf(item.Count() - 1)) != 0;
}

void ItemPathGuard::Claim(const ItemPath& item, bool isDirectory)
{
    size_t dirs = isDirectory ? item.Count() : item.Count() - 1;
    realDirs_.insert(std::wstring());
    for (size_t n = 1; n <= dirs; ++n) {
        std::wstring key = item.KeyOf(n);
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

bool ItemPathGuard::MakeDirectories(const ItemPath& item, bool isDirectory)
{
    Dir dir;
    if (destDir_.size() + item.Text().size() >= MAX_PATH)
        return false;  // as the system's path-based directory creation
    return Walk(item, DirectoryCount(item, isDirectory), true, dir) == S_OK;
}

HRESULT ItemPathGuard::RemoveExisting(const ItemPath& item)
{
    Dir dir;
    HRESULT hr = Walk(item, item.Count() - 1, false, dir);
    if (hr == S_FALSE)
        return S_OK;  // gone with its directory
    if (hr != S_OK)
        return hr;
    hr = dir->RemoveChild(item.Name());
    return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ? S_OK : hr;
}

HRESULT ItemPathGuard::FileDirectory(const ItemPath& item, std::shared_ptr<const CheckedDir>& dir)
{
    dir = nullptr;
    if (destDir_.size() + item.Text().size() >= MAX_PATH)
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    Dir at;
    HRESULT hr = Walk(item, item.Count() - 1, false, at);
    if (hr != S_OK)
        return hr == S_FALSE ? HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND) : hr;
    dir = std::move(at);
    return S_OK;
}

HRESULT CreateItemFile(const CheckedDir& dir, std::wstring_view name, UniqueFileHandle& file)
{
    return dir.CreateNewFile(name, file, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
}

HANDLE ItemPathGuard::DirectoryHandle(const ItemPath& item)
{
    Dir dir;
    return Walk(item, DirectoryCount(item, true), false, dir) == S_OK ? dir->Handle() : nullptr;
}

}  // namespace SevenZip::intl
