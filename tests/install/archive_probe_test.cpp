// Choosing the handler of an archive.
#include <gtest/gtest.h>

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

    SevenZipArchive missing;
    missing.UseArchiveFile(L"C:\\no\\such\\archive.7z");
    EXPECT_FALSE(missing.ProbeFormat());
    EXPECT_EQ(missing.GetFormat(), SevenZip::kFormat7z) << "an unreadable file leaves the format alone";
}
