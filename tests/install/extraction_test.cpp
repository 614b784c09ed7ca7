// Unpacking real 7z archives: what lands on disk and what is reported.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "install/archive_extract_callback.h"
#include "install/seven_zip_extractor.h"
#include "install/stream_wrappers.h"
#include "system/checked_dir.h"
#include "recording_callback.h"
#include "scratch_dir.h"

using SevenZip::SevenZipExtractor;

namespace {

constexpr uint64_t kTicksPerSecond = 10000000;
// 2021-03-04 05:06:07 and 2022-01-02 03:04:05 UTC, as set on top.txt.
constexpr uint64_t kTopWriteTime = 132593079670000000ull;
constexpr uint64_t kTopAccessTime = 132855662450000000ull;

const wchar_t* const kBasicFiles[] = {
    L"top.txt", L"zero.txt", L"sub\\readonly.txt", L"sub\\deeper\\data.bin",
    L"sub\\deeper\\program.exe", L"名字\\文件.txt",
};

int32_t Extract(const std::wstring& archive, const std::wstring& dest,
                SevenZip::ProgressCallback* callback)
{
    SevenZipExtractor extractor;
    extractor.UseArchiveFile(archive);
    return extractor.ExtractTo(dest, callback);
}

}  // namespace

TEST(ExtractedItems, FilesKeepContentsSizesAttributesAndTimes)
{
    ScratchDir dest;
    RecordingCallback cb;
    ASSERT_EQ(Extract(TestData(L"basic.7z"), dest.path(), &cb), 0);

    // Times first: reading the files below may touch their access times.
    FileTimes times;
    ASSERT_TRUE(GetTimes(dest / L"top.txt", times));
    EXPECT_EQ(Ticks(times.write), kTopWriteTime);
    EXPECT_EQ(Ticks(times.access), kTopAccessTime);

    for (const wchar_t* name : kBasicFiles) {
        std::vector<uint8_t> want, got;
        ASSERT_TRUE(ReadBytes(TestData(L"basic\\") + name, want)) << name;
        ASSERT_TRUE(ReadBytes(dest / name, got)) << "missing " << testing::PrintToString(name);
        EXPECT_TRUE(want == got) << "contents differ: " << testing::PrintToString(name);
    }
    // The BCJ-filtered executable and the large file went through the decoders.
    std::vector<uint8_t> data;
    ASSERT_TRUE(ReadBytes(dest / L"sub\\deeper\\data.bin", data));
    EXPECT_EQ(data.size(), 300000u);

    // Stored attributes: read-only where the source was, archive bit on files.
    DWORD readOnly = Attributes(dest / L"sub\\readonly.txt");
    DWORD top = Attributes(dest / L"top.txt");
    EXPECT_TRUE(readOnly & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(readOnly & FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_FALSE(top & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(top & FILE_ATTRIBUTE_ARCHIVE);

    // Sizes reported per item are those of the archive.
    auto it = std::find(cb.completed.begin(), cb.completed.end(), dest / L"sub\\deeper\\data.bin");
    ASSERT_NE(it, cb.completed.end());
    EXPECT_EQ(cb.completedSizes[it - cb.completed.begin()], 300000u);
}

TEST(ExtractedItems, UnixModeBitsOfTheStoredAttributesAreNotApplied)
{
    using SevenZip::intl::WindowsAttributes;
    EXPECT_EQ(WindowsAttributes(0x81248021u), 0x21u);  // -r--r--r-- file, read-only
    EXPECT_EQ(WindowsAttributes(0x81A48020u), 0x20u);  // -rw-r--r-- file
    EXPECT_EQ(WindowsAttributes(0x41ED8010u), 0x10u);  // drwxr-xr-x directory
    EXPECT_EQ(WindowsAttributes(0x00000027u), 0x27u);  // made on Windows: as stored
    EXPECT_EQ(WindowsAttributes(0x00002012u), 0x2012u);
}

TEST(ExtractedItems, FilesGetTheStoredCreationTime)
{
    if (!CreationTimesAreKept())
        GTEST_SKIP() << "this file system does not keep creation times (Wine)";
    ScratchDir dest;
    ASSERT_EQ(Extract(TestData(L"basic.7z"), dest.path(), nullptr), 0);

    // The creation time the archive stores for top.txt.
    SevenZip::ComPtr<IInStream> file;
    ASSERT_EQ(SevenZip::intl::OpenReadStream(TestData(L"basic.7z"), file), S_OK);
    SevenZip::ComPtr<IInArchive> handler;
    ASSERT_EQ(SevenZip::intl::OpenArchive(SevenZip::kFormat7z, file.Get(), nullptr, handler), S_OK);
    UInt32 count = 0;
    handler->GetNumberOfItems(&count);
    uint64_t stored = 0;
    for (UInt32 i = 0; i < count; ++i) {
        std::wstring path;
        SevenZip::intl::ReadItemPath(handler.Get(), i, path);
        SevenZip::intl::PropValue ctime;
        if (path == L"top.txt" && handler->GetProperty(i, kpidCTime, ctime.Receive()) == S_OK &&
            ctime->vt == VT_FILETIME)
            stored = Ticks(ctime->filetime);
    }
    handler->Close();
    ASSERT_NE(stored, 0u);

    FileTimes extracted;
    ASSERT_TRUE(GetTimes(dest / L"top.txt", extracted));
    EXPECT_EQ(Ticks(extracted.creation), stored);
}

TEST(ExtractedItems, DirectoriesAreCreatedButKeepTheirOwnTimes)
{
    uint64_t before = NowTicks() - 5 * kTicksPerSecond;
    ScratchDir dest;
    RecordingCallback cb;
    ASSERT_EQ(Extract(TestData(L"basic.7z"), dest.path(), &cb), 0);
    for (const wchar_t* dir : {L"empty", L"sub", L"sub\\deeper", L"名字"}) {
        ASSERT_TRUE(IsDirectory(dest / dir)) << testing::PrintToString(dir);
        FileTimes times;
        ASSERT_TRUE(GetTimes(dest / dir, times));
        // The archive says 2020; the directory keeps the time it was made.
        EXPECT_GT(Ticks(times.write), before) << testing::PrintToString(dir);
    }
    // Every item was announced once, directories as directories.
    ASSERT_EQ(cb.started.size(), 10u);
    EXPECT_EQ(std::count(cb.startedIsDir.begin(), cb.startedIsDir.end(), true), 4);
    for (size_t i = 0; i < cb.started.size(); ++i)
        EXPECT_EQ(IsDirectory(cb.started[i]), cb.startedIsDir[i]) << testing::PrintToString(cb.started[i]);
}

TEST(ExtractedItems, ADestinationWithoutTrailingSeparatorGetsOne)
{
    ScratchDir scratch;
    std::wstring dest = scratch / L"target";  // no backslash at the end
    RecordingCallback cb;
    ASSERT_EQ(Extract(TestData(L"basic.7z"), dest, &cb), 0);
    EXPECT_EQ(cb.lastDestDir, dest + L"\\");
    EXPECT_TRUE(Exists(dest + L"\\top.txt"));
    EXPECT_TRUE(Exists(dest + L"\\sub\\deeper\\data.bin"));
    EXPECT_FALSE(Exists(scratch / L"targettop.txt"));
    EXPECT_NE(std::find(cb.completed.begin(), cb.completed.end(), dest + L"\\top.txt"),
              cb.completed.end());
}

TEST(ExtractedItems, AnExistingFileIsReplacedAndAnExistingDirectoryKept)
{
    ScratchDir dest;
    ASSERT_TRUE(::CreateDirectoryW((dest / L"sub").c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(dest / L"sub\\mine.txt", "kept"));
    // Something read-only, longer than the new contents, in the way.
    ASSERT_TRUE(WriteBytes(dest / L"sub\\readonly.txt", std::string(5000, 'o')));
    ASSERT_TRUE(::SetFileAttributesW((dest / L"sub\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    // A directory where the archive has a file.
    ASSERT_TRUE(::CreateDirectoryW((dest / L"top.txt").c_str(), nullptr));

    ASSERT_EQ(Extract(TestData(L"basic.7z"), dest.path(), nullptr), 0);

    std::vector<uint8_t> got;
    ASSERT_TRUE(ReadBytes(dest / L"sub\\readonly.txt", got));
    EXPECT_EQ(std::string(got.begin(), got.end()), "do not change\n");
    EXPECT_FALSE(IsDirectory(dest / L"top.txt"));
    ASSERT_TRUE(ReadBytes(dest / L"top.txt", got));
    EXPECT_EQ(got.size(), 640u);
    EXPECT_TRUE(Exists(dest / L"sub\\mine.txt")) << "the existing directory was kept";
}

TEST(ExtractedItems, TheItemCountIsReportedOnce)
{
    ScratchDir dest;
    RecordingCallback cb;
    ASSERT_EQ(Extract(TestData(L"basic.7z"), dest.path(), &cb), 0);
    EXPECT_EQ(cb.counts, std::vector<uint32_t>{10});
}

// The installer hands the extraction the program folder it opened and
// checked: the folder's name is not used again, so a folder put in its place
// afterwards gets nothing.
TEST(ExtractedItems, AGivenDestinationHandleIsUsedNotItsNameAgain)
{
    ScratchDir scratch;
    const std::wstring dest = scratch / L"dest\\", moved = scratch / L"moved\\";
    ASSERT_TRUE(CreateDirectoryW(dest.c_str(), nullptr));
    auto root = std::make_shared<CheckedDir>();
    ASSERT_EQ(CheckedDir::Open(dest, *root), S_OK);
    ASSERT_TRUE(MoveFileW((scratch / L"dest").c_str(), (scratch / L"moved").c_str()));
    ASSERT_TRUE(CreateDirectoryW(dest.c_str(), nullptr));

    SevenZipExtractor extractor;
    extractor.UseArchiveFile(TestData(L"basic.7z"));
    ASSERT_EQ(extractor.ExtractInto(dest, root, nullptr), 0);
    for (const wchar_t* name : kBasicFiles) {
        EXPECT_TRUE(Exists(moved + name)) << testing::PrintToString(name);
        EXPECT_FALSE(Exists(dest + name)) << testing::PrintToString(name);
    }
}
