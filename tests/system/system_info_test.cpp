#include "system/system_info.h"

#include <gtest/gtest.h>

#include <cwctype>

// The test prefix is a 64-bit Wine prefix that reports Windows 10.
TEST(SystemInfo, SeesTheNative64BitSystemThroughWow64)
{
    EXPECT_TRUE(Is64BitSystem());
    EXPECT_TRUE(IsArchitecture64Bit(PROCESSOR_ARCHITECTURE_AMD64));
    EXPECT_TRUE(IsArchitecture64Bit(PROCESSOR_ARCHITECTURE_IA64));
    EXPECT_FALSE(IsArchitecture64Bit(PROCESSOR_ARCHITECTURE_INTEL));
    EXPECT_FALSE(IsArchitecture64Bit(12));  // ARM64 is refused
}

TEST(SystemInfo, ReportsWindows10AsAClientSystem)
{
    bool isServer = true;
    EXPECT_EQ(GetSystemVersion(isServer), L"10.0");
    EXPECT_FALSE(isServer);
}

TEST(SystemInfo, GuidTextIs38UpperCaseCharactersInBraces)
{
    std::wstring a = CreateGuidText();
    std::wstring b = CreateGuidText();
    ASSERT_EQ(a.size(), 38u) << a;
    EXPECT_NE(a, b);
    EXPECT_EQ(a.front(), L'{');
    EXPECT_EQ(a.back(), L'}');
    for (size_t i = 1; i < 37; ++i) {
        if (i == 9 || i == 14 || i == 19 || i == 24) {
            EXPECT_EQ(a[i], L'-') << i;
        } else {
            EXPECT_TRUE(std::iswxdigit(a[i]) && !std::iswlower(a[i])) << a;
        }
    }
    // The version nibble of a random GUID is 4: Data3 is printed as a number, not in byte order.
    EXPECT_EQ(a[15], L'4') << a;
}
