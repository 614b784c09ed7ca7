// Choosing the handler of an archive and reading its listing.
#include <gtest/gtest.h>

#include <algorithm>

#include "install/seven_zip_archive.h"
#include "scratch_dir.h"

using SevenZip::ArchiveFormat;
using SevenZip::SevenZipArchive;

TEST(ArchiveProbe, AFormatCodeOutsideTheTableStillFindsThe7zHandler)
{
    SevenZipArchive archive;
    archive.UseArchiveFile(TestData(L"basic.7z"));
    archive.SetFormat(static_cast<ArchiveFormat>(42));
    EXPECT_EQ(archive.GetFormat(), 42) << "a fixed format is not probed";
    EXPECT_TRUE(archive.ProbeFormat());
    EXPECT_EQ(archive.GetFormat(), SevenZip::kFormat7z);

    // Codes of the table whose handlers are not linked are tried and skipped.
    for (ArchiveFormat start : {SevenZip::kFormatZip, SevenZip::kFormatLzma86, SevenZip::kFormatUnknown}) {
        archive.SetFormat(start);
        EXPECT_TRUE(archive.ProbeFormat()) << start;
        EXPECT_EQ(archive.GetFormat(), SevenZip::kFormat7z) << start;
    }
}

TEST(ArchiveProbe, NoHandlerOpensDataThatIsNoArchive)
{
    SevenZipArchive archive;
    archive.UseArchiveFile(TestData(L"not-an-archive.7z"));
    EXPECT_FALSE(archive.ProbeFormat());
    EXPECT_EQ(archive.GetFormat(), SevenZip::kFormatUnknown);
    EXPECT_EQ(archive.ItemCount(), 0u);

    SevenZipArchive missing;
    missing.UseArchiveFile(L"C:\\no\\such\\archive.7z");
    EXPECT_FALSE(missing.ProbeFormat());
    EXPECT_EQ(missing.GetFormat(), SevenZip::kFormat7z) << "an unreadable file leaves the format alone";
}

TEST(ArchiveProbe, TheListingHasEveryItemWithItsSize)
{
    SevenZipArchive archive;
    archive.UseArchiveFile(TestData(L"basic.7z"));
    EXPECT_EQ(archive.GetLevel(), 0);
    archive.SetLevel(9);
    EXPECT_EQ(archive.GetLevel(), 9);

    ASSERT_EQ(archive.ItemCount(), 10u);
    std::vector<std::wstring> names = archive.ItemNames();
    std::vector<uint32_t> sizes = archive.ItemSizes();
    ASSERT_EQ(names.size(), 10u);
    ASSERT_EQ(sizes.size(), 10u);
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == L"sub\\deeper\\data.bin") {
            EXPECT_EQ(sizes[i], 300000u);
        }
        if (names[i] == L"empty") {
            EXPECT_EQ(sizes[i], 0u);
        }
    }
    EXPECT_NE(std::find(names.begin(), names.end(), L"名字\\文件.txt"), names.end());

    // Another file replaces the listing.
    archive.UseArchiveFile(TestData(L"damaged.7z"));
    EXPECT_EQ(archive.ItemCount(), 2u);
}
