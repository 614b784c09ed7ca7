#include "system/file_system.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include "tests/system/test_files.h"

TEST(CreateDirectories, CreatesTheMissingChainThenHasNothingToDo)
{
    TempDir temp;
    std::wstring deep = temp.Path() + L"Apps\\One\\Two";
    EXPECT_EQ(CreateDirectories(deep), 0);
    EXPECT_TRUE(PathIsDirectoryW(deep.c_str()));
    EXPECT_EQ(CreateDirectories(deep), 1);
    EXPECT_EQ(CreateDirectories(deep + L"\\"), 1);
    // One more level below an existing chain counts as created.
    EXPECT_EQ(CreateDirectories(deep + L"\\Three\\"), 0);
    EXPECT_TRUE(PathIsDirectoryW((deep + L"\\Three").c_str()));

    SetLastError(ERROR_INVALID_NAME);
    EXPECT_EQ(CreateDirectories(L""), 1);
}

TEST(CreateDirectories, FailureReturnsTheCodeAndLeavesItInTheLastError)
{
    // The first, empty component of a path that starts with a backslash cannot be made.
    SetLastError(0);
    HRESULT hr = CreateDirectories(L"\\kx-no-such-root\\sub");
    EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
    DWORD error = GetLastError();
    EXPECT_NE(error, 0u);
    EXPECT_EQ(hr, static_cast<HRESULT>(0x80070000u | (error & 0xFFFFu)));

    // Below a file: the directories before the failure stay.
    TempDir temp;
    ASSERT_EQ(CreateDirectories(temp.Path() + L"made"), 0);
    ASSERT_TRUE(WriteFileBytes(temp.Path() + L"made\\file", "x"));
    SetLastError(0);
    hr = CreateDirectories(temp.Path() + L"made\\file\\sub\\deeper");
    error = GetLastError();
    EXPECT_TRUE(FAILED(hr));
    EXPECT_NE(error, 0u);
    EXPECT_EQ(hr, static_cast<HRESULT>(0x80070000u | (error & 0xFFFFu)));
    EXPECT_TRUE(PathIsDirectoryW((temp.Path() + L"made").c_str()));
}

TEST(WriteResourceToFile, WritesAllBytesOfTheResource)
{
    TempDir temp;
    std::wstring out = temp.Path() + L"resource.bin";
    ASSERT_TRUE(WriteFileBytes(out, std::string(100000, 'z')));  // an older, longer file

    ASSERT_TRUE(WriteResourceToFile(out, 301, L"KXDATA"));
    bool read = false;
    std::string expected = ReadFileBytes(HostDataPath("des_vectors.txt"), &read);
    ASSERT_TRUE(read);
    ASSERT_GT(expected.size(), 1000u);
    EXPECT_EQ(ReadFileBytes(out), expected);
}

TEST(WriteResourceToFile, FailsForAMissingResourceOrAnUncreatableFile)
{
    TempDir temp;
    EXPECT_FALSE(WriteResourceToFile(temp.Path() + L"a.bin", 302, L"KXDATA"));
    EXPECT_FALSE(WriteResourceToFile(temp.Path() + L"b.bin", 301, L"7Z"));
    EXPECT_FALSE(WriteResourceToFile(temp.Path() + L"no-such-dir\\c.bin", 301, L"KXDATA"));
}
