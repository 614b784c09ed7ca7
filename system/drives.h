#pragma once
// Picking the data drive: the fixed, not hot-pluggable drive with the most free space.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

// True when the drive's medium is removable or the device hot-pluggable. A drive
// that cannot be opened (for example without administrator rights) counts as fixed.
bool IsHotplugDrive(wchar_t driveLetter);

// Root of the chosen drive, such as "D:\", or empty when none qualifies.
std::wstring GetLargestFreeFixedDrive();

// What the choice asks about each drive; the real answers come from Windows.
struct DriveQueries {
    std::function<UINT(const wchar_t* root)> driveType;
    std::function<bool(wchar_t letter)> isHotplug;
    // Total free bytes of the disk; false when the query fails.
    std::function<bool(const wchar_t* root, uint64_t& freeBytes)> freeBytes;
};

// The choice itself, over a list as GetLogicalDriveStringsW returns it (roots
// separated by zeros, `length` characters without the final zero). Strictly more
// free space wins, so among equal drives the first listed stays.
std::wstring ChooseLargestFreeFixedDrive(const wchar_t* driveStrings, size_t length,
                                         const DriveQueries& queries);
