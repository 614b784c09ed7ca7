// Archives with item names Windows does not take literally, paths that are a
// file and a directory at once, damage found outside an item, and links in
// the destination: what ExtractTo returns, and that nothing outside the
// program directory (or behind a link) changes.
#include <gtest/gtest.h>

#include <map>

#include "install/seven_zip_extractor.h"
#include "recording_callback.h"
#include "scratch_dir.h"

namespace {

// Every file (with its contents) and directory below dir; links are listed,
// not entered.
void Snapshot(const std::wstring& dir, const std::wstring& prefix, const std::wstring& skip,
              std::map<std::wstring, std::string>& out)
{
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L".." || prefix + name == skip)
            continue;
        std::wstring path = dir + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            out[prefix + name] = "<link>";
        } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[prefix + name] = "<dir>";
            Snapshot(path, prefix + name + L"\\", skip, out);
        } else {
            std::vector<uint8_t> bytes;
            ReadBytes(path, bytes);
            out[prefix + name] = std::string(bytes.begin(), bytes.end());
        }
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
}

std::map<std::wstring, std::string> Snapshot(const std::wstring& dir, const std::wstring& skip = L"")
{
    std::map<std::wstring, std::string> out;
    Snapshot(dir, L"", skip, out);
    return out;
}

constexpr HRESULT kRefused = E_FAIL;
constexpr HRESULT kCrc = HRESULT_FROM_WIN32(ERROR_CRC);

struct Row {
    const wchar_t* name;   // hostile-<name>.7z
    HRESULT code;          // what ExtractTo returns
    size_t announced;      // items reported to the callback before the end
    HRESULT orCode = 0;    // a second acceptable code (see the link rows)
};

}  // namespace

TEST(HostileArchives, RefusedFormsWriteNothingOutsideTheProgramDirectory)
{
    const Row rows[] = {
        // Device names, in any directory, with extension, blanks, superscripts.
        {L"com1", kRefused, 1}, {L"sub-aux", kRefused, 1}, {L"sub-nul", kRefused, 1},
        {L"con-ext", kRefused, 1}, {L"nul-blank-ext", kRefused, 1}, {L"lpt-super", kRefused, 1},
        {L"com-super", kRefused, 1}, {L"conin", kRefused, 1}, {L"conout-ext", kRefused, 1},
        {L"com0", kRefused, 1},
        // Components Windows reads as something else.
        {L"dot", kRefused, 1}, {L"sub-dot", kRefused, 1}, {L"dot-inner", kRefused, 1},
        {L"empty-inner", kRefused, 1}, {L"trailing-sep", kRefused, 1}, {L"stream", kRefused, 1},
        {L"trailing-dot", kRefused, 1}, {L"trailing-blank", kRefused, 1}, {L"wildcard", kRefused, 1},
        {L"no-path", kRefused, 1},
        // The same path as a file and as a directory.
        {L"dir-then-file", kRefused, 2}, {L"file-then-dir", ERROR_CREATE_FAILED, 2},
        // Damage: a broken block end reported apart from its item; headers repaired at opening.
        {L"end-marker", kCrc, 1}, {L"zero-start", S_FALSE, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.name)));
        ScratchDir scratch;
        std::wstring prog = scratch / L"prog\\";
        ASSERT_TRUE(::CreateDirectoryW((scratch / L"outside").c_str(), nullptr));
        ASSERT_TRUE(WriteBytes(scratch / L"outside\\kx_evil.txt", "outside\n"));
        ASSERT_TRUE(::CreateDirectoryW(prog.c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryW((prog + L"sub").c_str(), nullptr));
        ASSERT_TRUE(WriteBytes(prog + L"sub\\kept.txt", "from before\n"));
        ASSERT_TRUE(WriteBytes(prog + L"kept.txt", "from before\n"));
        auto outside = Snapshot(scratch.path(), L"prog");

        RecordingCallback cb;
        SevenZip::SevenZipExtractor extractor;
        extractor.UseArchiveFile(TestData(L"hostile-" + std::wstring(row.name) + L".7z"));
        EXPECT_EQ(extractor.ExtractTo(prog, &cb), row.code);

        EXPECT_EQ(cb.started.size(), row.announced) << "a refused item is never reported";
        EXPECT_TRUE(Snapshot(scratch.path(), L"prog") == outside);
        auto inside = Snapshot(prog);
        EXPECT_EQ(inside[L"kept.txt"], "from before\n");
        EXPECT_EQ(inside[L"sub\\kept.txt"], "from before\n");
        if (row.announced == 2) {  // what the archive made first is still there
            EXPECT_EQ(inside[L"x"], row.code == kRefused ? "<dir>" : "");
            if (row.code == kRefused) {
                EXPECT_EQ(inside[L"x\\child.txt"], "child\n");
            }
        }
        EXPECT_EQ(::GetFileAttributesW(prog.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    }
}

TEST(HostileArchives, LinksInTheProgramDirectoryAreNeitherFollowedNorTheirTargetsDeleted)
{
    // Wine can't remove a link itself: deleting one deletes its target. The
    // replace step then refuses instead of deleting.
    const HRESULT kNotTheLink = HRESULT_FROM_WIN32(ERROR_NOT_A_REPARSE_POINT);
    const Row rows[] = {
        {L"through", kRefused, 0},     // "sub\evil.txt" with "sub" a directory link
        {L"at-dir-link", kRefused, 0}, // a file item named like the directory link
        {L"dir-item", kRefused, 0},    // a directory item named like it
        {L"file-link", kRefused, 0},   // a file item named like a file link
        {L"inside-replaced", S_OK, 1, kNotTheLink},  // a directory holding a link, replaced by a file
    };
    const std::wstring links = TestData(L"links\\");
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.name)));
        std::wstring prog = links + row.name + L"\\";
        if (std::wstring(row.name) == L"file-link" &&
            !(Attributes(prog + L"f.txt") & FILE_ATTRIBUTE_REPARSE_POINT)) {
            std::printf("skipped the file-link row: this system shows no file link as one\n");
            continue;
        }
        auto targets = Snapshot(links + L"outside");
        std::vector<uint8_t> fileTarget;
        ASSERT_TRUE(ReadBytes(links + L"outside.txt", fileTarget));
        ASSERT_EQ(targets[L"secret.txt"], "secret\n");

        RecordingCallback cb;
        SevenZip::SevenZipExtractor extractor;
        extractor.UseArchiveFile(TestData(L"hostile-link-" + std::wstring(row.name) + L".7z"));
        HRESULT code = extractor.ExtractTo(prog, &cb);
        EXPECT_TRUE(code == row.code || (row.orCode && code == row.orCode)) << code;

        EXPECT_TRUE(Snapshot(links + L"outside") == targets);
        std::vector<uint8_t> afterFile;
        EXPECT_TRUE(ReadBytes(links + L"outside.txt", afterFile) && afterFile == fileTarget);
        EXPECT_EQ(cb.started.size(), row.announced);
        if (code == S_OK) {  // the link went, not its target; the file took the place
            EXPECT_FALSE(IsDirectory(prog + L"x"));
        }
    }
}
