#include "system/system_info.h"

#include <objbase.h>

#include <cstdio>

#include "system/system_library.h"

namespace {

using GetNativeSystemInfoFn = void(WINAPI*)(LPSYSTEM_INFO);
using RtlGetVersionFn = LONG(WINAPI*)(RTL_OSVERSIONINFOEXW*);

// The extended record the version call fills; its size tells it which form to fill.
constexpr DWORD kVersionInfoSize = 284;
static_assert(sizeof(RTL_OSVERSIONINFOEXW) == kVersionInfoSize);

}  // namespace

bool IsArchitecture64Bit(WORD processorArchitecture)
{
    return processorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
           processorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
}

bool Is64BitSystem()
{
    SYSTEM_INFO info{};
    // GetSystemInfo would report the WOW64 view (x86) to this 32-bit program.
    auto native = ProcAddress<GetNativeSystemInfoFn>(GetModuleHandleW(L"kernel32"), "GetNativeSystemInfo");
    if (native)
        native(&info);
    else
        GetSystemInfo(&info);
    return IsArchitecture64Bit(info.wProcessorArchitecture);
}

std::wstring GetSystemVersion(bool& isServer)
{
    isServer = false;
    RTL_OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = kVersionInfoSize;

    // RtlGetVersion is not subject to the manifest-based version lie of GetVersionExW.
    auto rtlGetVersion = ProcAddress<RtlGetVersionFn>(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");
    if (!rtlGetVersion)
        return {};
    rtlGetVersion(&info);

    wchar_t text[32];
    int n = std::swprintf(text, sizeof(text) / sizeof(text[0]), L"%d.%d",
                          static_cast<int>(info.dwMajorVersion), static_cast<int>(info.dwMinorVersion));
    if (n < 0)
        return {};
    isServer = info.wProductType == VER_NT_SERVER;
    return std::wstring(text, static_cast<size_t>(n));
}

std::wstring CreateGuidText()
{
    GUID guid;
    if (FAILED(CoCreateGuid(&guid)))
        return {};
    wchar_t text[39];
    int n = std::swprintf(text, sizeof(text) / sizeof(text[0]),
                          L"{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                          static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3,
                          guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3],
                          guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    if (n != 38)
        return {};
    return std::wstring(text, 38);
}
