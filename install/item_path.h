#pragma once
// Destination paths of archive items.
#include <string>

namespace SevenZip::intl {

bool EndsWithSeparator(const std::wstring& path);

// Directory + relative path, with a backslash between them unless the
// directory already ends with a separator.
std::wstring JoinItemPath(const std::wstring& dir, const std::wstring& relativePath);

// False for a stored path that would leave the destination directory: a
// ".." component, a drive letter, a leading separator or a UNC prefix.
bool StaysInsideDestination(const std::wstring& relativePath);

// Everything up to and including the last backslash or slash; empty when
// there is none.
std::wstring ParentOf(const std::wstring& path);

}  // namespace SevenZip::intl
