#include "system/drives.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

// A machine described by drive letter; letters not listed fail the space query.
struct FakeMachine {
    std::map<wchar_t, UINT> types;
    std::set<wchar_t> hotplug;
    std::map<wchar_t, uint64_t> freeBytes;
    std::wstring asked;  // letters whose free space was asked, in order

    DriveQueries Queries()
    {
        DriveQueries q;
        q.driveType = [this](const wchar_t* root) {
            auto it = types.find(root[0]);
            return it == types.end() ? UINT(DRIVE_FIXED) : it->second;
        };
        q.isHotplug = [this](wchar_t letter) { return hotplug.count(letter) > 0; };
        q.freeBytes = [this](const wchar_t* root, uint64_t& bytes) {
            asked += root[0];
            auto it = freeBytes.find(root[0]);
            if (it == freeBytes.end())
                return false;
            bytes = it->second;
            return true;
        };
        return q;
    }
};

// A list as GetLogicalDriveStringsW gives it: roots with zeros between them.
std::wstring DriveList(std::initializer_list<const wchar_t*> roots)
{
    std::wstring list;
    for (const wchar_t* r : roots) {
        list += r;
        list += L'\0';
    }
    return list;
}

std::wstring Choose(FakeMachine& m, const std::wstring& list)
{
    return ChooseLargestFreeFixedDrive(list.c_str(), list.size(), m.Queries());
}

}  // namespace

TEST(DriveChoice, MostFreeSpaceWinsAndTheFirstListedKeepsATie)
{
    FakeMachine m;
    m.freeBytes = {{L'C', 5'000'000'000ull}, {L'D', 9'000'000'000ull}, {L'E', 9'000'000'000ull}};
    EXPECT_EQ(Choose(m, DriveList({L"C:\\", L"D:\\", L"E:\\"})), L"D:\\");
    EXPECT_EQ(Choose(m, DriveList({L"E:\\", L"D:\\", L"C:\\"})), L"E:\\");
    // Beyond 32 bits: compared as 64-bit numbers.
    m.freeBytes[L'C'] = 0x1'0000'0000ull + 9'000'000'000ull;
    EXPECT_EQ(Choose(m, DriveList({L"D:\\", L"C:\\"})), L"C:\\");
}

TEST(DriveChoice, SkipsOtherDriveTypesHotplugDrivesAndFailedQueries)
{
    FakeMachine m;
    m.types = {{L'A', DRIVE_REMOVABLE}, {L'R', DRIVE_CDROM}, {L'N', DRIVE_REMOTE},
               {L'M', DRIVE_RAMDISK}};
    m.hotplug = {L'U'};
    m.freeBytes = {{L'A', 900}, {L'R', 900}, {L'N', 900}, {L'M', 900}, {L'U', 900}, {L'C', 100}};
    // F is fixed but its free-space query fails.
    EXPECT_EQ(Choose(m, DriveList({L"A:\\", L"R:\\", L"N:\\", L"M:\\", L"U:\\", L"F:\\", L"C:\\"})),
              L"C:\\");
    EXPECT_EQ(m.asked, L"FC");  // skipped drives are not even measured

    m.asked.clear();
    EXPECT_EQ(Choose(m, DriveList({L"A:\\", L"U:\\", L"F:\\"})), L"");
    EXPECT_EQ(Choose(m, L""), L"");
}

TEST(DriveChoice, AFullDriveIsNeverChosen)
{
    FakeMachine m;
    m.freeBytes = {{L'C', 0}};
    EXPECT_EQ(Choose(m, DriveList({L"C:\\"})), L"");
}

TEST(DriveChoice, TheWalkStopsAtTheReturnedLength)
{
    FakeMachine m;
    m.freeBytes = {{L'C', 1}, {L'D', 2}};
    std::wstring list = DriveList({L"C:\\", L"D:\\"});
    EXPECT_EQ(ChooseLargestFreeFixedDrive(list.c_str(), 4, m.Queries()), L"C:\\");
}

TEST(DriveChoice, RealMachine)
{
    // Wine's volumes cannot answer the hot-plug query: they count as fixed, and
    // drive letters that do not exist are not hot-pluggable either.
    EXPECT_FALSE(IsHotplugDrive(L'C'));
    wchar_t unused = 0;
    DWORD mask = GetLogicalDrives();
    for (int i = 25; i >= 3 && !unused; --i)
        if (!(mask & (1u << i)))
            unused = static_cast<wchar_t>(L'A' + i);
    ASSERT_NE(unused, 0);
    EXPECT_FALSE(IsHotplugDrive(unused));

    std::wstring root = GetLargestFreeFixedDrive();
    ASSERT_EQ(root.size(), 3u) << root;
    EXPECT_EQ(root.substr(1), L":\\");
    EXPECT_EQ(GetDriveTypeW(root.c_str()), static_cast<UINT>(DRIVE_FIXED));
    ULARGE_INTEGER chosenFree{}, otherFree{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(root.c_str(), nullptr, nullptr, &chosenFree));
    // No other fixed drive of the prefix has more free space (with some slack:
    // C: and Z: may share the host's disk, which others write to meanwhile).
    constexpr uint64_t kSlack = 256ull << 20;
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i)))
            continue;
        wchar_t other[] = {static_cast<wchar_t>(L'A' + i), L':', L'\\', 0};
        if (GetDriveTypeW(other) == DRIVE_FIXED &&
            GetDiskFreeSpaceExW(other, nullptr, nullptr, &otherFree)) {
            EXPECT_LE(otherFree.QuadPart, chosenFree.QuadPart + kSlack) << other;
        }
    }
}
