#include "system/directory_chain.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include "tests/system/test_files.h"

namespace {

TEST(DirectoryChain, MakesWhatIsMissingUpToTheLastSeparatorOnly)
{
    TempDir temp;
    const std::wstring base = temp.Path();
    ASSERT_TRUE(WriteFileBytes(base + L"file", "x"));
    struct {
        std::wstring path;
        ChainOutcome outcome;
        const wchar_t* made;  // relative to base; null for none
    } cases[] = {
        {base + L"a\\b\\c", ChainOutcome::Created, L"a\\b"},
        {base + L"a\\b\\c", ChainOutcome::AllExisted, nullptr},  // "c" is no directory of the chain
        {base + L"a/b/c/", ChainOutcome::Created, L"a\\b\\c"},   // either separator
        {base + L"a\\\\d\\", ChainOutcome::Created, L"a\\d"},     // a doubled one names nothing new
        {base + L"file\\sub\\", ChainOutcome::Failed, nullptr},   // below a file
        {L"\\kx-no-such-root\\sub\\", ChainOutcome::Failed, nullptr},  // the empty first name
        {base.substr(0, 3), ChainOutcome::AllExisted, nullptr},   // a drive root
        {L"", ChainOutcome::AllExisted, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.path));
        SetLastError(0);
        EXPECT_EQ(CreateDirectoryChain(c.path), c.outcome);
        if (c.outcome == ChainOutcome::Failed) {
            EXPECT_NE(GetLastError(), 0u) << "the failing call's code stays";
        }
        if (c.made) {
            EXPECT_TRUE(PathIsDirectoryW((base + c.made).c_str()));
        }
    }
    EXPECT_FALSE(PathFileExistsW((base + L"a\\b\\c\\c").c_str()));

    // A drive that is not there fails at its own name, with the system's code
    // for it (the window shows that code).
    SetLastError(0);
    CreateDirectoryW(L"Q:", nullptr);
    const DWORD missingDrive = GetLastError();
    EXPECT_EQ(CreateDirectoryChain(L"Q:\\Games\\"), ChainOutcome::Failed);
    EXPECT_EQ(GetLastError(), missingDrive);
}

}  // namespace
