#pragma once
// Making a chain of directories by name. Only for places whose names the
// installer may trust: the program directory the user chose and its parents
// (made before anything is written into it), the system's own folders.
// Everything below the program directory is made through its checked handle
// (CheckedDir::MakeDir), never by name.
#include <string>

enum class ChainOutcome { Created, AllExisted, Failed };

// Creates every missing directory named by a prefix of path that ends
// before a separator ('\' or '/'); the part after the last separator is not
// created, so a directory's path ends with one to be made whole. A share
// root ("\\server\share\") is skipped; a drive that is not there fails at
// "X:", and so does an empty prefix (a path that starts with one backslash). Stops at the first failure,
// with the failing call's code left in the last error; directories made
// before it stay.
ChainOutcome CreateDirectoryChain(const std::wstring& path);
