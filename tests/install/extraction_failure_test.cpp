// Archives that can't be unpacked fully: the codes ExtractTo returns, and
// what stays on disk.
#include <gtest/gtest.h>

#include "install/item_path.h"
#include "install/seven_zip_extractor.h"
#include "recording_callback.h"
#include "scratch_dir.h"

using SevenZip::SevenZipExtractor;

namespace {

int32_t Extract(const std::wstring& archive, const std::wstring& dest,
                SevenZip::ProgressCallback* callback)
{
    SevenZipExtractor extractor;
    extractor.UseArchiveFile(archive);
    return extractor.ExtractTo(dest, callback);
}

std::string Contents(const std::wstring& path)
{
    std::vector<uint8_t> bytes;
    ReadBytes(path, bytes);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

TEST(ExtractionFailures, ArchivesThatDoNotOpen)
{
    ScratchDir dest;
    RecordingCallback cb;
    EXPECT_EQ(Extract(dest / L"no-such-archive.7z", dest.path(), &cb), 110);
    EXPECT_EQ(Extract(TestData(L"not-an-archive.7z"), dest.path(), &cb), 1);
    EXPECT_EQ(Extract(TestData(L"truncated.7z"), dest.path(), &cb), 1);
    EXPECT_TRUE(cb.started.empty());
    EXPECT_TRUE(cb.counts.empty()) << "nothing is reported for an archive that does not open";
}

TEST(ExtractionFailures, AnEncryptedArchiveEndsAtTheRefusedPassword)
{
    ScratchDir dest;
    RecordingCallback cb;
    EXPECT_EQ(Extract(TestData(L"encrypted.7z"), dest.path(), &cb), E_ABORT);
    // The decoder asks before the first item of the encrypted block.
    EXPECT_TRUE(cb.started.empty());
    EXPECT_TRUE(cb.completed.empty());
    EXPECT_FALSE(Exists(dest / L"secret.txt"));
}

TEST(ExtractionFailures, ADirectoryThatCannotBeMadeGives1631)
{
    ScratchDir dest;
    ASSERT_TRUE(WriteBytes(dest / L"blocker", "a file where a directory must go"));
    RecordingCallback cb;
    EXPECT_EQ(Extract(TestData(L"blocked.7z"), dest.path(), &cb), 1631);
    EXPECT_EQ(Contents(dest / L"blocker"), "a file where a directory must go");
    EXPECT_TRUE(cb.completed.empty());
}

TEST(ExtractionFailures, DamagedDataFailsAndKeepsWhatWasWrittenBefore)
{
    ScratchDir dest;
    RecordingCallback cb;
    EXPECT_EQ(Extract(TestData(L"damaged.7z"), dest.path(), &cb), HRESULT_FROM_WIN32(ERROR_CRC));
    EXPECT_EQ(Contents(dest / L"first.txt"), std::string(1000, '1'));
    EXPECT_EQ(cb.completed, std::vector<std::wstring>{dest / L"first.txt"})
        << "the damaged item is not reported as done";
}

TEST(ExtractionFailures, ItemsLeavingTheDestinationAreRefused)
{
    for (const wchar_t* form : {L"dotdot", L"inner-dotdot", L"drive", L"drive-relative", L"rooted", L"unc"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(form)));
        ScratchDir scratch;
        std::wstring dest = scratch / L"dest\\";
        RecordingCallback cb;
        EXPECT_EQ(Extract(TestData(L"traversal-" + std::wstring(form) + L".7z"), dest, &cb), E_FAIL);
        // The harmless item before it was extracted; the refused one was not
        // even announced, so it can't be recorded as installed.
        EXPECT_EQ(Contents(dest + L"a_ok.txt"), "fine\n");
        EXPECT_EQ(cb.started, std::vector<std::wstring>{dest + L"a_ok.txt"});
        EXPECT_FALSE(Exists(scratch / L"kx_evil.txt"));
        EXPECT_FALSE(Exists(L"C:\\kx_evil.txt"));
        ::SetFileAttributesW(L"C:\\kx_evil.txt", FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(L"C:\\kx_evil.txt");  // should a broken build have written it
    }
}

TEST(ExtractionFailures, OnlyNamesWindowsTakesLiterallyArePlain)
{
    using SevenZip::intl::IsPlainItemName;
    for (const wchar_t* bad : {L"", L"..", L"a\\..\\..\\x", L"a/../../x", L"...\\x", L".. \\x",
                               L". ..\\x", L"\\x", L"/x", L"\\\\?\\C:\\x", L"c:x", L"Z:\\x", L"1:x",
                               L".\\x", L"x..", L"a\\\\b", L"a\\", L"Aux", L"sub\\lpt9.txt",
                               L"COM\u00b2", L"a<b", L"a\tb"})
        EXPECT_FALSE(IsPlainItemName(bad, false)) << testing::PrintToString(std::wstring(bad));
    for (const wchar_t* good : {L"x", L"a\\b\\c.txt", L"..x\\y", L"a..b", L"名字\\文件.txt",
                                L"console.txt", L"com10", L"lpt", L"nul_x.txt", L".hidden"})
        EXPECT_TRUE(IsPlainItemName(good, false)) << testing::PrintToString(std::wstring(good));
    EXPECT_TRUE(IsPlainItemName(L"sub\\", true)) << "a directory may end in a separator";
    EXPECT_FALSE(IsPlainItemName(L"\\", true));
}

TEST(ExtractionFailures, ACallbackThatSaysStopEndsTheExtraction)
{
    ScratchDir dest;
    RecordingCallback cb;
    cb.allowItems = false;
    EXPECT_EQ(Extract(TestData(L"basic.7z"), dest.path(), &cb), E_FAIL);
    EXPECT_EQ(cb.started.size(), 1u);
    EXPECT_TRUE(cb.completed.empty());
}

// A file in a directory already made is made after it is announced: a stop
// the callback then asks for must leave no file behind.
TEST(ExtractionFailures, AFileTheCallbackStopsLeavesNothingBehind)
{
    const std::wstring item = L"sub\\deeper\\program.exe";
    ScratchDir dest;
    RecordingCallback cb;
    cb.stopAt = item;
    EXPECT_EQ(Extract(TestData(L"basic.7z"), dest.path(), &cb), E_FAIL);
    EXPECT_EQ(::GetFileAttributesW((dest / item).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(ExtractionFailures, TheGuardLooksAgainAfterADirectoryIsDeleted)
{
    using SevenZip::intl::ItemPath;
    using SevenZip::intl::ItemPathGuard;
    ScratchDir dest;
    ItemPathGuard guard(dest.path());
    ASSERT_TRUE(guard.Allows(ItemPath(L"a\\b\\one.txt"), false));
    EXPECT_EQ(guard.ExistingAttributes(), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(guard.HasParentOf(ItemPath(L"a\\b\\one.txt")));

    ASSERT_TRUE(::CreateDirectoryW((dest / L"a").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((dest / L"a\\b").c_str(), nullptr));
    guard.Claim(ItemPath(L"a\\b\\one.txt"), false);
    EXPECT_TRUE(guard.HasParentOf(ItemPath(L"A/B/two.txt"))) << "names differing in case and separator are one";
    EXPECT_FALSE(guard.HasParentOf(ItemPath(L"a\\c\\two.txt")));
    EXPECT_FALSE(guard.Allows(ItemPath(L"a/B"), false)) << "a directory the archive made is no file's place";

    // What is in the way of an item is seen below a known directory too and
    // left for the careful way; a new name there is made at once.
    ASSERT_TRUE(WriteBytes(dest / L"a\\b\\one.txt", "old"));
    ASSERT_TRUE(guard.Allows(ItemPath(L"a\\b\\one.txt"), false));
    // When nothing is at an item's path, the guard gives the directory to
    // make it in.
    auto settle = [&guard](const std::wstring& item, const std::wstring& full, UniqueFileHandle& file) {
        file.Reset();
        std::shared_ptr<const CheckedDir> dir;
        if (!guard.Look(ItemPath(item), full, dir))
            return false;
        if (dir)
            SevenZip::intl::CreateItemFile(*dir, ItemPath(item).Name(), file);
        return true;
    };
    UniqueFileHandle made;
    ASSERT_TRUE(settle(L"a\\b\\one.txt", dest / L"a\\b\\one.txt", made));
    EXPECT_FALSE(made);
    EXPECT_NE(guard.ExistingAttributes(), INVALID_FILE_ATTRIBUTES);
    std::vector<uint8_t> kept;
    ASSERT_TRUE(ReadBytes(dest / L"a\\b\\one.txt", kept));
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "old");
    ASSERT_TRUE(guard.Allows(ItemPath(L"A/B/new.txt"), false));
    ASSERT_TRUE(settle(L"A/B/new.txt", dest / L"A/B/new.txt", made));
    EXPECT_TRUE(made);
    EXPECT_EQ(guard.ExistingAttributes(), INVALID_FILE_ATTRIBUTES);
    made.Reset();
    EXPECT_NE(::GetFileAttributesW((dest / L"a\\b\\new.txt").c_str()), INVALID_FILE_ATTRIBUTES);

    guard.Removed(FILE_ATTRIBUTE_ARCHIVE);  // a file: the directories stand
    EXPECT_TRUE(guard.HasParentOf(ItemPath(L"a\\b\\two.txt")));
    guard.Removed(FILE_ATTRIBUTE_DIRECTORY);  // a tree went: nothing is taken for known
    EXPECT_FALSE(guard.HasParentOf(ItemPath(L"a\\b\\two.txt")));
    EXPECT_FALSE(guard.Allows(ItemPath(L"a\\b"), false)) << "the claim outlives the knowledge";
}

TEST(ExtractionFailures, AnItemPathIsSplitOnceIntoPartsAndKeys)
{
    using SevenZip::intl::ItemPath;
    struct Case {
        const wchar_t* path;
        std::vector<std::wstring> parts;
        std::vector<std::wstring> keys;  // KeyOf(1) .. KeyOf(Count())
    };
    const Case cases[] = {
        {L"top.txt", {L"top.txt"}, {L"TOP.TXT"}},
        {L"a/b\\c.txt", {L"a", L"b", L"c.txt"}, {L"A", L"A\\B", L"A\\B\\C.TXT"}},
        // A directory's trailing separator makes an empty last part; no key
        // ends in a separator.
        {L"Sub\\deeper\\", {L"Sub", L"deeper", L""}, {L"SUB", L"SUB\\DEEPER", L"SUB\\DEEPER"}},
        {L"名字\\文件.txt", {L"名字", L"文件.txt"}, {L"名字", L"名字\\文件.TXT"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.path)));
        ItemPath item(c.path);
        EXPECT_EQ(item.Text(), c.path);
        ASSERT_EQ(item.Count(), c.parts.size());
        for (size_t i = 0; i < item.Count(); ++i) {
            EXPECT_EQ(std::wstring(item.Part(i)), c.parts[i]);
            EXPECT_EQ(item.KeyOf(i + 1), c.keys[i]);
        }
        EXPECT_EQ(std::wstring(item.Name()), c.parts.back());
        EXPECT_EQ(item.KeyOf(0), L"");
        EXPECT_EQ(item.Key(), c.keys.back());
        ItemPath moved = std::move(item);  // the parts stay with the text
        EXPECT_EQ(std::wstring(moved.Name()), c.parts.back());
    }
}
