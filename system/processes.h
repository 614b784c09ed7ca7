#pragma once
// Finding running programs by executable name (exact, case-sensitive).
#include <windows.h>

#include <string>

// True when a process with that executable name runs; processId receives the
// first one listed.
bool FindProcessByName(const std::wstring& exeName, DWORD& processId);

// True when the last listed process of that name runs from exactly imagePath.
// Only that one process is examined.
bool FindProcessByNameAndPath(const std::wstring& exeName, const std::wstring& imagePath,
                              DWORD& processId);
