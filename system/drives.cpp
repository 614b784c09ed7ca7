#include "system/drives.h"

#include <winioctl.h>

#include <cstdio>

#include "system/win_handles.h"

namespace {

// Enough for every root GetLogicalDriveStringsW can list (26 times "X:\" and a zero).
constexpr DWORD kDriveStringsChars = 512;
constexpr size_t kDevicePathChars = 16;  // "\\.\X:" and room to spare

DriveQueries SystemDriveQueries()
{
    DriveQueries q;
    q.driveType = [](const wchar_t* root) { return GetDriveTypeW(root); };
    q.isHotplug = [](wchar_t letter) { return IsHotplugDrive(letter); };
    q.freeBytes = [](const wchar_t* root, uint64_t& freeBytes) {
        ULARGE_INTEGER callerFree, total, totalFree;
        if (!GetDiskFreeSpaceExW(root, &callerFree, &total, &totalFree))
            return false;
        // The disk's free space, not what a quota leaves this user.
        freeBytes = totalFree.QuadPart;
        return true;
    };
    return q;
}

}  // namespace

bool IsHotplugDrive(wchar_t driveLetter)
{
    wchar_t device[kDevicePathChars];
    int n = std::swprintf(device, kDevicePathChars, L"\\\\.\\%lc:", static_cast<wint_t>(driveLetter));
    if (n < 0 || static_cast<size_t>(n) >= kDevicePathChars)
        return false;

    // A volume device, asked a question: no file is opened.
    UniqueFileHandle volume(CreateFileW(device, GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        0, nullptr));
    if (!volume)
        return false;

    STORAGE_HOTPLUG_INFO info{};
    static_assert(sizeof(info) == 8);
    DWORD returned = 0;
    if (!DeviceIoControl(volume.Get(), IOCTL_STORAGE_GET_HOTPLUG_INFO, nullptr, 0, &info,
                         sizeof(info), &returned, nullptr))
        return false;
    return info.MediaRemovable || info.DeviceHotplug;
}

std::wstring ChooseLargestFreeFixedDrive(const wchar_t* driveStrings, size_t length,
                                         const DriveQueries& queries)
{
    // A drive without any free space is never chosen.
    std::wstring best;
    uint64_t bestFree = 0;

    size_t pos = 0;
    while (pos < length && driveStrings[pos] != L'\0') {
        const wchar_t* root = driveStrings + pos;
        size_t rootLength = 0;
        while (pos + rootLength < length && root[rootLength] != L'\0')
            ++rootLength;
        pos += rootLength + 1;

        if (queries.driveType(root) != DRIVE_FIXED || queries.isHotplug(root[0]))
            continue;
        uint64_t freeBytes = 0;
        if (!queries.freeBytes(root, freeBytes))
            continue;
        if (freeBytes > bestFree) {
            best.assign(root, rootLength);
            bestFree = freeBytes;
        }
    }
    return best;
}

std::wstring GetLargestFreeFixedDrive()
{
    wchar_t drives[kDriveStringsChars] = {};
    DWORD length = GetLogicalDriveStringsW(kDriveStringsChars, drives);
    // A length beyond the buffer means nothing was copied.
    if (length == 0 || length >= kDriveStringsChars)
        return {};
    return ChooseLargestFreeFixedDrive(drives, length, SystemDriveQueries());
}
