#include "app/dll_search.h"

#include <windows.h>

#include "system/system_library.h"

namespace {

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

}  // namespace

const wchar_t* const kRunTimeDllNames[] = {
    // Loaded by the installer itself (tooltips, usage report).
    L"comctl32.dll", L"wininet.dll",
    // Loaded on its behalf by the shell, OLE, the web browser and the themes.
    L"version.dll", L"uxtheme.dll", L"dwmapi.dll", L"propsys.dll", L"urlmon.dll",
    L"ieframe.dll", L"mshtml.dll", L"iertutil.dll", L"cryptbase.dll", L"profapi.dll",
    L"userenv.dll", L"winmm.dll", L"msimg32.dll", L"gdiplus.dll", L"imm32.dll",
    L"textshaping.dll", L"wtsapi32.dll", L"sspicli.dll", L"netapi32.dll", L"secur32.dll"};
const size_t kRunTimeDllCount = sizeof(kRunTimeDllNames) / sizeof(kRunTimeDllNames[0]);

bool RestrictDllSearchToSystem()
{
    // Looked up in kernel32 (always loaded, a KnownDLL), as older systems lack it.
    auto set = ProcAddress<SetDefaultDllDirectoriesFn>(GetModuleHandleW(L"kernel32.dll"),
                                                       "SetDefaultDllDirectories");
    if (!set)
        return false;
    // The current directory stays out of the search as well.
    SetDllDirectoryW(L"");
    return set(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}
