#pragma once
// The checks and forms of the program directory the user typed, before an
// installation starts. Every path here must fit the product's 260-character
// buffers: one that would not fit is refused, never cut.
#include <windows.h>

#include <string>

// The typed text with "." and ".." resolved and a trailing backslash; empty
// when the result would not fit 260 characters.
std::wstring NormaliseInstallPath(const std::wstring& typed);

// At least "X:" and a third character: the only form the installer accepts.
bool HasDriveForm(const std::wstring& path);

// The path with RegName and a backslash appended unless it names the product
// folder already (anywhere, case-sensitive); empty when it would not fit.
std::wstring WithProductFolder(const std::wstring& path);

// "X:\" for a path on drive X (the part up to its first ':').
std::wstring DriveRootOf(const std::wstring& path);

// The product needs 1 GiB of free space on its volume; exactly 1 GiB passes.
bool IsEnoughFreeSpace(ULONGLONG freeBytes);

// dir + file when it fits 259 characters, else empty.
std::wstring FileIn(const std::wstring& dir, const std::wstring& file);
