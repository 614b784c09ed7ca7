// Files are written on writer threads while the decoder goes on: a write
// that fails, or a stop the callback asks for, must still end the
// extraction with every file it handed over whole and closed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "install/item_writers.h"
#include "install/seven_zip_extractor.h"
#include "recording_callback.h"
#include "scratch_dir.h"

namespace {

// What many.7z holds: fNNN.dat is its three digits 50 + NNN times, and
// f120_large.dat 16 MB.
constexpr size_t kLargeSize = 4096u * 4096u;

std::string SmallContents(int i)
{
    char digits[8];
    snprintf(digits, sizeof(digits), "%03d", i);
    std::string contents;
    for (int n = 0; n < 50 + i; ++n)
        contents += digits;
    return contents;
}

// Every file announced before the last announcement is whole, and no handle
// is open on it: it opens with no sharing at all.
void ExpectWholeAndClosed(const RecordingCallback& cb, const std::wstring& dest)
{
    ASSERT_GT(cb.started.size(), 1u);
    // The last ones handed over first: they are the ones a writer may still
    // have had.
    for (size_t n = cb.started.size() - 1; n-- > 0;) {
        const std::wstring& path = cb.started[n];
        SCOPED_TRACE(testing::PrintToString(path));
        std::wstring name = path.substr(dest.size());
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadBytes(path, bytes));
        if (name == L"f120_large.dat")
            EXPECT_EQ(bytes.size(), kLargeSize);
        else
            EXPECT_EQ(std::string(bytes.begin(), bytes.end()), SmallContents(std::stoi(name.substr(1, 3))));
        UniqueFileHandle alone(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_TRUE(alone) << "a handle is still open on it";
    }
}

// Puts a directory where an announced file is to be made, as another
// program may at that moment; or holds a file open.
struct BlockingCallback : RecordingCallback {
    std::wstring blockAt;
    UniqueFileHandle held;
    bool ItemStarting(const std::wstring& destDir, const std::wstring& relativePath,
                      bool isDirectory) override
    {
        if (relativePath == blockAt)
            ::CreateDirectoryW((destDir + relativePath).c_str(), nullptr);
        return RecordingCallback::ItemStarting(destDir, relativePath, isDirectory);
    }
};

class ExtractionWriters : public testing::TestWithParam<unsigned> {
protected:
    void SetUp() override { SevenZip::intl::SetWriterThreadsForTesting(GetParam()); }
    void TearDown() override { SevenZip::intl::SetWriterThreadsForTesting(0); }

    int32_t Extract(const std::wstring& dest, SevenZip::ProgressCallback& cb)
    {
        SevenZip::SevenZipExtractor extractor;
        extractor.UseArchiveFile(TestData(L"many.7z"));
        return extractor.ExtractTo(dest, &cb);
    }
};

}  // namespace

TEST_P(ExtractionWriters, AStopTheCallbackAsksForLeavesEveryFileWholeAndClosed)
{
    // Behind a hundred small files the writers are slower than the decoder;
    // right after the large one, its last chunks may still be queued.
    for (const wchar_t* stop : {L"f100.dat", L"f121.dat"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(stop)));
        ScratchDir dest;
        RecordingCallback cb;
        cb.stopAt = stop;
        EXPECT_EQ(Extract(dest.path(), cb), E_FAIL);
        ASSERT_EQ(cb.started.back(), dest / stop);
        ExpectWholeAndClosed(cb, dest.path());
        EXPECT_FALSE(Exists(dest / stop));
    }
}

TEST_P(ExtractionWriters, AFailingWriteAmongManySmallFilesFailsWithItsCode)
{
    struct Case {
        const char* name;
        bool heldBeforehand;  // else its name is taken once it was announced
        HRESULT result;
    };
    const Case cases[] = {
        // Held open, read-only, by another program: it can't be replaced.
        {"read-only and held open", true, HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION)},
        // Its creation is refused: the writer thread fails.
        {"name taken", false, HRESULT_FROM_WIN32(ERROR_FILE_EXISTS)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dest;
        BlockingCallback cb;
        std::wstring failing = dest / L"f100.dat";
        if (c.heldBeforehand) {
            ASSERT_TRUE(WriteBytes(failing, "kept"));
            ASSERT_TRUE(::SetFileAttributesW(failing.c_str(), FILE_ATTRIBUTE_READONLY));
            cb.held.Reset(::CreateFileW(failing.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_TRUE(cb.held);
        } else {
            cb.blockAt = L"f100.dat";
        }
        EXPECT_EQ(Extract(dest.path(), cb), c.result);
        // What came before it is whole and closed; what was handed over
        // after it may be on disk too, but nothing is left open.
        auto failingAt = std::find(cb.started.begin(), cb.started.end(), failing);
        ASSERT_NE(failingAt, cb.started.end());
        RecordingCallback before;
        before.started.assign(cb.started.begin(), failingAt + 1);
        ExpectWholeAndClosed(before, dest.path());
        cb.held.Reset();
        if (c.heldBeforehand) {
            std::vector<uint8_t> bytes;
            ASSERT_TRUE(ReadBytes(failing, bytes));
            EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "kept");
        }
        EXPECT_LT(cb.started.size(), 242u) << "the extraction went on to the end";
    }
}

INSTANTIATE_TEST_SUITE_P(Threads, ExtractionWriters, testing::Values(1u, 4u),
                         [](const testing::TestParamInfo<unsigned>& info) {
                             return std::to_string(info.param) + "_writers";
                         });

// In a directory the extraction made itself, a name not used yet holds
// nothing: its file is made without a look. A name used before is looked
// at, and something another program put there in between fails the item.
TEST_P(ExtractionWriters, InADirectoryItMadeAnItemStoredTwiceEndsAsTheLaterOne)
{
    struct Case {
        const wchar_t* blockAt;  // a directory made there once it is announced
        HRESULT result;
        const char* a;           // what new\a.txt holds at the end
    };
    const Case cases[] = {
        {L"", S_OK, "second\n"},
        {L"new\\b.txt", HRESULT_FROM_WIN32(ERROR_FILE_EXISTS), "first\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.blockAt)));
        ScratchDir dest;
        BlockingCallback cb;
        cb.blockAt = c.blockAt;
        SevenZip::SevenZipExtractor extractor;
        extractor.UseArchiveFile(TestData(L"twice.7z"));
        EXPECT_EQ(extractor.ExtractTo(dest.path(), &cb), c.result);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadBytes(dest / L"new\\a.txt", bytes));
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.a);
        if (*c.blockAt) {
            EXPECT_TRUE(Attributes(dest / c.blockAt) & FILE_ATTRIBUTE_DIRECTORY) << "what was put there is kept";
        }
    }
}

// The writers hold the directories they make files in: a file handed over
// is made even when nobody else keeps its directory open any more, and a
// limit on files waiting only makes the decoder wait.
TEST_P(ExtractionWriters, HandedOverFilesAreMadeInDirectoriesOnlyTheWritersHold)
{
    for (size_t mostWaiting : {size_t{0}, size_t{1}}) {
        SCOPED_TRACE(mostWaiting);
        ScratchDir dest;
        {
            SevenZip::intl::ItemWriters writers(GetParam(), mostWaiting);
            for (int i = 0; i < 3; ++i) {
                auto dir = std::make_shared<CheckedDir>();
                ASSERT_EQ(CheckedDir::Open(dest.path(), *dir), S_OK);
                SevenZip::intl::FileToMake make;
                make.dir = std::move(dir);  // the only owner from here on
                make.name = L"f" + std::to_wstring(i) + L".txt";
                SevenZip::ComPtr<ISequentialOutStream> stream;
                ASSERT_EQ(writers.Begin(std::move(make), {}, 4, stream), S_OK);
                UInt32 done = 0;
                ASSERT_EQ(stream->Write("data", 4, &done), S_OK);
                writers.End(true);
            }
            EXPECT_EQ(writers.Finish(), S_OK);
        }
        for (int i = 0; i < 3; ++i) {
            std::vector<uint8_t> bytes;
            ASSERT_TRUE(ReadBytes(dest / (L"f" + std::to_wstring(i) + L".txt"), bytes));
            EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "data");
        }
    }
}
