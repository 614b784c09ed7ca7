#include "app/install_paths.h"

#include <shlwapi.h>

#include "system/installer_constants.h"

namespace {

constexpr size_t kPathChars = MAX_PATH;
constexpr double kBytesPerGiB = 1024.0 * 1024.0 * 1024.0;

}  // namespace

std::wstring NormaliseInstallPath(const std::wstring& typed)
{
    // PathCombineW works in a 260-character buffer.
    if (typed.size() >= kPathChars)
        return {};
    wchar_t combined[kPathChars] = {};
    if (!PathCombineW(combined, typed.c_str(), L""))
        return {};
    std::wstring path = combined;
    if (!path.empty() && path.back() == L'\\')
        return path;
    // The backslash and the terminator must still fit the buffer (not every
    // PathAddBackslashW checks that, so it is not used here).
    if (path.size() + 1 >= kPathChars)
        return {};
    return path + L'\\';
}

bool HasDriveForm(const std::wstring& path) { return path.size() >= 3 && path[1] == L':'; }

std::wstring WithProductFolder(const std::wstring& path)
{
    std::wstring result = path;
    if (result.find(RegName) == std::wstring::npos) {
        result += RegName;
        if (result.back() != L'\\')
            result += L'\\';
    }
    if (result.size() >= kPathChars)
        return {};
    return result;
}

std::wstring DriveRootOf(const std::wstring& path)
{
    return path.substr(0, path.find(L':')) + L":\\";
}

bool IsEnoughFreeSpace(ULONGLONG freeBytes)
{
    return static_cast<double>(freeBytes) / kBytesPerGiB >= 1.0;
}

std::wstring FileIn(const std::wstring& dir, const std::wstring& file)
{
    std::wstring path = dir + file;
    if (path.size() >= kPathChars)
        return {};
    return path;
}
