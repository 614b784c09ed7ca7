#pragma once
// Functions the programs take from Windows at run time: a DLL that is not a
// KnownDLL is loaded by its full path in the system directory, never found
// by the search order (which would start in the program's own folder, the
// download folder); a function a system may lack is looked up, not imported.
#include <windows.h>

#include <string>
#include <type_traits>

// The DLL NAME ("oleacc.dll") from the system directory, loaded for the
// process's lifetime; null when it is not there.
inline HMODULE LoadSystemLibrary(const wchar_t* name)
{
    wchar_t dir[MAX_PATH];
    UINT n = GetSystemDirectoryW(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return nullptr;
    std::wstring path = std::wstring(dir, n) + L"\\" + name;
    return LoadLibraryW(path.c_str());
}

// The function NAME of MODULE as the type the caller knows it has (Windows
// hands back a generic pointer); null when the module or the function is missing.
template <class Fn>
Fn ProcAddress(HMODULE module, const char* name)
{
    static_assert(std::is_pointer_v<Fn> && std::is_function_v<std::remove_pointer_t<Fn>>,
                  "ProcAddress gives function pointers");
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
                  : nullptr;
}

// Sets FN to the function NAME of MODULE; true when it is there.
template <class Fn>
bool ResolveProc(HMODULE module, const char* name, Fn& fn)
{
    fn = ProcAddress<Fn>(module, name);
    return fn != nullptr;
}

// A table of a library's functions, filled by LOAD once per process on first
// use (thread-safe); null when LOAD found any of them missing.
template <class Api>
const Api* LoadOnce(bool (*load)(Api&))
{
    static Api api;
    static const bool loaded = load(api);
    return loaded ? &api : nullptr;
}
