// Loads every run-time DLL of the installer by its bare name, as system code
// does, after the installer's restriction (or without it, given
// "unrestricted"), so that the test sees which copies a search would take.
#include <windows.h>

#include <shellapi.h>

#include "app/dll_search.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const bool restrict = !(argv && argc > 1 && wcscmp(argv[1], L"unrestricted") == 0);
    LocalFree(argv);
    if (restrict && !RestrictDllSearchToSystem())
        return 100;
    for (size_t i = 0; i < kRunTimeDllCount; ++i)
        LoadLibraryW(kRunTimeDllNames[i]);  // kept: the process ends at once
    return 0;
}
