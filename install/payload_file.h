#pragma once
// Where the install job puts the payload archive between writing and
// unpacking it: a directory made for this run under the temporary directory,
// which programs of the user cannot plant links in or swap the archive of.
#include <string>

// Creates a new directory with an unpredictable name in tempDir (ending with
// a backslash); when this process is elevated only Administrators and SYSTEM
// may use it. Nothing that already exists is reused. dir receives the
// directory with a trailing backslash.
bool CreatePayloadDir(const std::wstring& tempDir, std::wstring& dir);

// Writes the payload resource (7Z/101) to a file that must not exist yet.
bool WritePayloadFile(const std::wstring& filePath);

// Removes the payload file and its directory.
void RemovePayloadDir(const std::wstring& dir, const std::wstring& filePath);

// Whether this process runs with an elevated (administrator) token.
bool IsProcessElevated();
