#pragma once
// How the installer compares and normalises paths. Windows names are
// compared without regard to letter case, ordinally (no locale), as the file
// system itself compares them.
#include <string>
#include <string_view>

// The same text, letter case aside: nothing is resolved, so "C:\a" and
// "C:\a\" differ.
bool EqualPathText(std::wstring_view a, std::wstring_view b);

// An absolute path without "." and ".." steps, short names or a trailing
// backslash (a root keeps its own); empty when it can't be formed.
std::wstring NormalisedPath(const std::wstring& path);

// The same directory: letter case, a trailing backslash, short names and
// "." or ".." steps aside (NormalisedPath on both). Links are not resolved.
bool SameDirectory(const std::wstring& a, const std::wstring& b);
