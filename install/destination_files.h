#pragma once
// The file-system step of unpacking that is not relative to an open
// directory: the destination itself, made by its name. The writers report
// failures as LastErrorResult (system/last_error.h).
#include <windows.h>

#include <string>

#include "system/last_error.h"  // LastErrorResult, for the writers
#include "system/win_handles.h"

namespace SevenZip::intl {

// Creates dir (a full path, the chosen destination) with all missing
// parents. True only when it then is a real directory: a file or a link in
// its place is a failure. Everything below it is made through its handle.
bool MakeDirectoryChain(const std::wstring& dir);

}  // namespace SevenZip::intl
