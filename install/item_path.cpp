#include "install/item_path.h"

#include <string_view>

namespace SevenZip::intl {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// Windows drops trailing dots and blanks from a path component, so ". ."
// or "..." can mean the parent just as ".." does.
bool NamesParent(std::wstring_view component)
{
    if (component.find(L"..") == std::wstring_view::npos)
        return false;
    return component.find_first_not_of(L". ") == std::wstring_view::npos;
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

bool StaysInsideDestination(const std::wstring& relativePath)
{
    if (relativePath.empty())
        return true;
    if (IsSeparator(relativePath[0]))
        return false;  // rooted, UNC ("\\server\share") or device ("\\?\") path
    if (relativePath.size() >= 2 && IsLetter(relativePath[0]) && relativePath[1] == L':')
        return false;  // "C:\x" and the drive-relative "C:x"
    std::wstring_view rest(relativePath);
    while (!rest.empty()) {
        size_t end = 0;
        while (end < rest.size() && !IsSeparator(rest[end]))
            ++end;
        if (NamesParent(rest.substr(0, end)))
            return false;
        rest.remove_prefix(end < rest.size() ? end + 1 : end);
    }
    return true;
}

std::wstring ParentOf(const std::wstring& path)
{
    size_t last = path.find_last_of(L"\\/");
    return last == std::wstring::npos ? std::wstring() : path.substr(0, last + 1);
}

}  // namespace SevenZip::intl
