#pragma once
// The file-system steps of unpacking an item: making its directories and
// removing what is in the way of a file, never through a link.
#include <windows.h>

#include <string>

#include "system/win_handles.h"

namespace SevenZip::intl {

// The last Windows error as an HRESULT; never success, even when the failing
// call did not set an error.
HRESULT LastErrorResult();

// Creates dir (a full path) with all missing parents. True only when it then
// is a real directory: a file or a link in its place is a failure.
bool MakeDirectoryChain(const std::wstring& dir);

// Opens a directory known to be a real one, for making files in it by name.
// Empty when it can't be opened or has become a link.
UniqueFileHandle OpenDirectoryHandle(const std::wstring& dir);

// Makes a new file named name (one path component) in the directory of dir,
// open for writing as CreateWriteStream opens it. It never replaces or
// follows anything: a name that exists, as whatever, fails with
// ERROR_FILE_EXISTS. The name is looked up in that directory alone, which
// costs the system far less than a whole path.
HRESULT CreateNewFileIn(HANDLE dir, const std::wstring& name, UniqueFileHandle& file);

// Deletes a file CreateNewFileIn made, through its handle, and closes it.
void DiscardNewFile(UniqueFileHandle& file);

// Deletes the file or directory tree at path (whose attributes are given),
// without the recycle bin. A link met inside the tree is removed itself; what
// it points to is never entered or deleted.
HRESULT RemoveExisting(const std::wstring& path, DWORD attributes);

}  // namespace SevenZip::intl
