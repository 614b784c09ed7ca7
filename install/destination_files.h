#pragma once
// The file-system steps of unpacking an item: making its directories and
// removing what is in the way of a file, never through a link.
#include <windows.h>

#include <string>

namespace SevenZip::intl {

// The last Windows error as an HRESULT; never success, even when the failing
// call did not set an error.
HRESULT LastErrorResult();

// Creates dir with all missing parents. True only when it then is a real
// directory: a file or a link in its place is a failure.
bool MakeDirectoryChain(const std::wstring& dir);

// Deletes the file or directory tree at path (whose attributes are given),
// without the recycle bin. A link met inside the tree is removed itself; what
// it points to is never entered or deleted.
HRESULT RemoveExisting(const std::wstring& path, DWORD attributes);

}  // namespace SevenZip::intl
