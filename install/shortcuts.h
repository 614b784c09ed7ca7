#pragma once
// Shell-link shortcuts and the special folders they go into.
#include <windows.h>

#include <string>

#include "system/checked_dir.h"

// The longest link path accepted (folder, "\" and file name); a longer one
// fails instead of being cut short.
constexpr size_t kMaxLinkPathChars = 1023;

// Writes fileName in folder as a shortcut to target (working directory: the
// target's folder; shown normally). Description may be null (left unset).
// The link is made in memory by the shell's link object and written through
// the folder's handle: what stood at fileName is removed first when it is a
// file or a link (as the link; a directory there fails), and the file is
// created anew, so nothing is written through a link. A file name that is no
// single name fails. COM must be initialised on the calling thread.
bool CreateShortcutIn(const CheckedDir& folder, const std::wstring& fileName,
                      const std::wstring& target, const wchar_t* description);

// The same into the folder named folder, opened and checked first (it must
// exist and be no link itself). A null folder, file name or target, or a link
// path longer than kMaxLinkPathChars, fails.
bool CreateShortcut(const wchar_t* fileName, const wchar_t* target, const wchar_t* description,
                    const wchar_t* folder);

// The per-user quick-launch folder (application data + "\Microsoft\Internet
// Explorer\Quick Launch"); false when it does not fit the buffer.
bool GetQuickLaunchDir(wchar_t (&buffer)[MAX_PATH]);

// The target's working directory: up to and including its last backslash,
// else its last slash, else empty.
std::wstring ShortcutWorkingDir(const std::wstring& target);
