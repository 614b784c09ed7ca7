#pragma once
// Shell-link shortcuts and the special folders they go into.
#include <windows.h>

#include <string>

// The longest link path wsprintfW can format (it writes at most 1,024
// characters, the terminating zero included).
constexpr size_t kMaxLinkPathChars = 1023;

// Writes folder + "\" + fileName as a shortcut to target (working directory:
// the target's folder; shown normally). Description may be null (left unset);
// a null folder, file name or target, or a link path longer than
// kMaxLinkPathChars, fails. COM must be initialised on the calling thread.
bool CreateShortcut(const wchar_t* fileName, const wchar_t* target, const wchar_t* description,
                    const wchar_t* folder);

// The all-users start-menu programs folder.
bool GetCommonProgramsDir(wchar_t (&buffer)[MAX_PATH]);

// The per-user quick-launch folder (application data + "\Microsoft\Internet
// Explorer\Quick Launch"); false when it does not fit the buffer.
bool GetQuickLaunchDir(wchar_t (&buffer)[MAX_PATH]);

// Creates every directory named by a prefix of path that ends before a
// backslash or slash. The part after the last separator is not created.
bool MakePathDirs(const std::wstring& path);

// The target's working directory: up to and including its last backslash,
// else its last slash, else empty.
std::wstring ShortcutWorkingDir(const std::wstring& target);
