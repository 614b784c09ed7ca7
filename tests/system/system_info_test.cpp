#include "system/system_info.h"
#include "system/system_library.h"

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

TEST(SystemInfo, RunTimeLibrariesComeFromTheSystemDirectoryAndMissingFunctionsAreNull)
{
    wchar_t system[MAX_PATH];
    UINT n = GetSystemDirectoryW(system, MAX_PATH);
    ASSERT_GT(n, 0u);
    for (const wchar_t* name : {L"oleacc.dll", L"wininet.dll", L"comctl32.dll"}) {
        HMODULE module = LoadSystemLibrary(name);
        ASSERT_NE(module, nullptr) << name;
        wchar_t path[MAX_PATH];
        DWORD len = GetModuleFileNameW(module, path, MAX_PATH);
        EXPECT_EQ(_wcsnicmp(path, system, n), 0) << path;
        EXPECT_EQ(len > n ? path[n] : L'\0', L'\\') << path;
    }
    EXPECT_EQ(LoadSystemLibrary(L"kx-no-such-library.dll"), nullptr);
    using VersionFn = LONG(WINAPI*)(RTL_OSVERSIONINFOEXW*);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    EXPECT_NE(ProcAddress<VersionFn>(ntdll, "RtlGetVersion"), nullptr);
    EXPECT_EQ(ProcAddress<VersionFn>(ntdll, "KxNoSuchFunction"), nullptr);
    EXPECT_EQ(ProcAddress<VersionFn>(nullptr, "RtlGetVersion"), nullptr);
}

// A library a system lacks is looked for once, not again on every use.
struct MissingApi {
    static inline int loads = 0;
    void (*fn)() = nullptr;
};

TEST(SystemInfo, ALibraryTableIsLoadedOnceAndIsNullWhenAFunctionIsMissing)
{
    auto load = [](MissingApi& api) {
        ++MissingApi::loads;
        return ResolveProc(GetModuleHandleW(L"ntdll.dll"), "KxNoSuchFunction", api.fn);
    };
    EXPECT_EQ(LoadOnce<MissingApi>(load), nullptr);
    EXPECT_EQ(LoadOnce<MissingApi>(load), nullptr);
    EXPECT_EQ(MissingApi::loads, 1);
}
