#pragma once
// What the uninstaller takes from the installer's records: the items of
// "Uninstall.xml" that lie inside the program folder, in the order they are
// removed, and the program the uninstall entry's command names.
#include <string>
#include <string_view>
#include <vector>

// A path below the program folder, one name per level.
using RelativePath = std::vector<std::wstring>;

struct UninstallPlan {
    std::vector<RelativePath> files;  // in the manifest's order
    std::vector<RelativePath> dirs;   // deepest first, the manifest's order among equals
    size_t outside = 0;               // paths not inside the folder: skipped
};

// The names of path below folder (a whole path, with or without a trailing
// backslash), letter case aside; false for a path that is not inside it or
// that has an empty, "." or ".." level, a slash, a colon (a stream, a device)
// or a wildcard in it: such a path names something the installer never made
// there, and is never acted on.
bool PathBelow(const std::wstring& path, const std::wstring& folder, RelativePath& names);

// Reads a manifest (its UTF-8 bytes): every "File" and "Dir" element's
// "path" below folder goes into the plan, any other counts as outside.
// False when the document cannot be read at all.
bool ParseUninstallManifest(std::string_view utf8, const std::wstring& folder, UninstallPlan& plan);

// The program an uninstall command names: a command in double quotes (its
// arguments after them dropped), or the whole command as it stands.
std::wstring UninstallCommandProgram(const std::wstring& command);
