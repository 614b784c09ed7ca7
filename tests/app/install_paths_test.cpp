// The forms of the program directory the install start accepts, and the
// 260-character limit of its buffers: a path that would not fit is refused
// (empty), never cut.
#include "app/install_paths.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct FormCase {
    const wchar_t* typed;
    const wchar_t* installPath;  // after normalising and the product folder; empty: refused
};

// What the install start makes of a typed directory.
std::wstring InstallPathOf(const std::wstring& typed)
{
    std::wstring path = NormaliseInstallPath(typed);
    if (!HasDriveForm(path))
        return {};
    return WithProductFolder(path);
}

TEST(InstallPaths, TypedDirectoriesBecomeProductFolders)
{
    const FormCase cases[] = {
        {L"D:\\Games", L"D:\\Games\\kxVistral3\\"},
        {L"D:\\Games\\", L"D:\\Games\\kxVistral3\\"},
        {L"C:", L"C:\\kxVistral3\\"},
        {L"D:\\kxVistral3\\", L"D:\\kxVistral3\\"},
        {L"D:\\old-kxVistral3-copy", L"D:\\old-kxVistral3-copy\\"},
        {L"D:\\a\\b\\..\\.\\c", L"D:\\a\\c\\kxVistral3\\"},
        // The product folder is found case-sensitively only.
        {L"D:\\KXVISTRAL3", L"D:\\KXVISTRAL3\\kxVistral3\\"},
        {L"kxVistral3", L""},
        {L"\\\\server\\share", L""},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InstallPathOf(c.typed), c.installPath) << "typed: " << std::string(c.typed, c.typed + wcslen(c.typed));
}

TEST(InstallPaths, PathsThatWouldNotFitAreRefusedNotCut)
{
    const std::wstring root = L"D:\\";
    // 259 characters fit the buffers; the product folder needs 11 more.
    const std::wstring fits = root + std::wstring(259 - root.size() - 11 - 1, L'a') + L"\\";
    EXPECT_EQ(InstallPathOf(fits.substr(0, fits.size() - 1)).size(), 259u);
    const std::wstring tooLongWithFolder = root + std::wstring(250, L'a');
    EXPECT_EQ(InstallPathOf(tooLongWithFolder), L"");
    EXPECT_EQ(NormaliseInstallPath(root + std::wstring(300, L'a')), L"");
    EXPECT_EQ(NormaliseInstallPath(root + std::wstring(256, L'a')), L"");  // no room for the backslash

    EXPECT_EQ(FileIn(L"C:\\p\\", L"updater.exe"), L"C:\\p\\updater.exe");
    EXPECT_EQ(FileIn(std::wstring(250, L'a'), L"updater.exe"), L"");
}

TEST(InstallPaths, DriveRootAndSpace)
{
    EXPECT_EQ(DriveRootOf(L"D:\\Games\\kxVistral3\\"), L"D:\\");
    EXPECT_EQ(DriveRootOf(L"C:\\"), L"C:\\");

    constexpr ULONGLONG kGiB = 1073741824ull;
    EXPECT_TRUE(IsEnoughFreeSpace(kGiB));
    EXPECT_FALSE(IsEnoughFreeSpace(kGiB - 1));
    EXPECT_TRUE(IsEnoughFreeSpace(500 * kGiB));
}

}  // namespace
