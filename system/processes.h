#pragma once
// Finding running programs by executable name (exact, case-sensitive).
#include <windows.h>

#include <string>

// How a process's executable path is found.
enum class ImagePathSource {
    // The first module of a module snapshot, else (for a process whose
    // modules this 32-bit program cannot list, such as a 64-bit one)
    // QueryFullProcessImageNameW.
    ModulesThenImageName,
    // QueryFullProcessImageNameW only.
    ImageNameOnly,
};

// The full path of the process's executable; false when neither way answers.
bool ProcessImagePath(DWORD processId, std::wstring& path,
                      ImagePathSource source = ImagePathSource::ModulesThenImageName);

// True when a process with that executable name runs; processId receives the
// first one listed.
bool FindProcessByName(const std::wstring& exeName, DWORD& processId);

// True when the last listed process of that name runs from exactly imagePath.
// Only that one process is examined.
bool FindProcessByNameAndPath(const std::wstring& exeName, const std::wstring& imagePath,
                              DWORD& processId);
