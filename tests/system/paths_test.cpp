#include "system/paths.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/system/test_files.h"

namespace {

TEST(Paths, TextAndDirectoryComparisons)
{
    TempDir temp;
    const std::wstring dir = temp.Path() + L"kxVistral3";
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    wchar_t buffer[MAX_PATH] = {};
    DWORD n = GetShortPathNameW(dir.c_str(), buffer, MAX_PATH);
    const std::wstring shortName = n != 0 && n < MAX_PATH ? buffer : dir;

    struct {
        std::wstring a, b;
        bool sameText, sameDirectory;
    } cases[] = {
        {L"C:\\Program Files\\kxVistral3\\", L"c:\\program files\\KXVISTRAL3\\", true, true},
        // Only the text: a missing backslash or a ".." step is another text.
        {L"C:\\Program Files\\kxVistral3", L"C:\\Program Files\\kxVistral3\\", false, true},
        {L"C:\\Program Files\\..\\Program Files\\kxVistral3", L"C:\\Program Files\\kxVistral3", false, true},
        {L"D:\\kxVistral3\\", L"C:\\kxVistral3\\", false, false},
        {dir + L"\\", temp.Path() + L"KXVISTRAL3", false, true},
        {dir, temp.Path() + L"kxVistral", false, false},
        {dir, shortName, dir == shortName, true},
        // Ordinal: no locale folds these together.
        {L"C:\\stra\u00dfe", L"C:\\STRASSE", false, false},
        {L"", L"", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.a) + " / " + testing::PrintToString(c.b));
        EXPECT_EQ(EqualPathText(c.a, c.b), c.sameText);
        EXPECT_EQ(SameDirectory(c.a, c.b), c.sameDirectory);
        EXPECT_EQ(SameDirectory(c.b, c.a), c.sameDirectory);
    }
    EXPECT_EQ(NormalisedPath(L"C:\\"), L"C:\\");
    EXPECT_EQ(NormalisedPath(dir + L"\\.\\"), dir);
}

}  // namespace
