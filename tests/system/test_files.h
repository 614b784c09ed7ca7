#pragma once
// File helpers for tests: a private temporary directory and whole-file reads.
#include <windows.h>

#include <string>

// A fresh directory under the user's temporary folder, removed with its
// contents at the end of the test. Path() ends with a backslash.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

// Removes a directory tree; quiet about what does not exist.
void RemoveTree(const std::wstring& dir);

// Whole file as bytes; `ok` tells whether it could be read.
std::string ReadFileBytes(const std::wstring& path, bool* ok = nullptr);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

// A file of the source tree's test data folder, seen through Wine's Z: drive.
std::wstring HostDataPath(const char* name);
