#pragma once
// Small file-system steps: directory chains and embedded resources written out.
#include <windows.h>

#include <string>

#include "system/checked_dir.h"

// Creates every missing directory of path (CreateDirectoryChain). Returns 0
// when at least one directory was created, 1 when all existed, otherwise the
// failure (directories created before stay). After a failure the last error
// still holds the failing call's code.
HRESULT CreateDirectories(const std::wstring& path);

// Writes resource (id, type) of this executable to filePath (a test's file;
// the installer writes its payload through PayloadDir's checked handles). False when the file
// cannot be created, the resource is missing, or not all of it was written.
// disposition is CreateFileW's: CREATE_NEW never writes through anything that
// is already at filePath.
bool WriteResourceToFile(const std::wstring& filePath, WORD resourceId, const wchar_t* resourceType,
                         DWORD disposition = CREATE_ALWAYS);

// The same into an open file, at its position.
bool WriteResourceToHandle(HANDLE file, WORD resourceId, const wchar_t* resourceType);

// Writes bytes as the whole content of the file name in directory dir (a
// full path): the directory is opened and checked, what is at name is
// removed as what it is, and the file is created anew in the directory's
// handle, so that a link planted under either name is never written through.
// False when any step fails.
bool WriteNewFileIn(const std::wstring& dir, const std::wstring& name, const std::string& bytes);

// The same in a directory opened and checked already.
bool WriteNewFile(const CheckedDir& dir, const std::wstring& name, const std::string& bytes);
