#include "system/wininet_library.h"

#include <string>

namespace {

template <typename Fn>
bool Resolve(HMODULE module, const char* name, Fn& fn)
{
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return fn != nullptr;
}

bool Load(WinInet& api)
{
    wchar_t dir[MAX_PATH];
    UINT n = GetSystemDirectoryW(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return false;
    std::wstring path = std::wstring(dir, n) + L"\\wininet.dll";
    HMODULE module = LoadLibraryW(path.c_str());  // kept for the process lifetime
    if (!module)
        return false;
    return Resolve(module, "InternetOpenW", api.internetOpen) &&
           Resolve(module, "InternetConnectW", api.internetConnect) &&
           Resolve(module, "HttpOpenRequestW", api.httpOpenRequest) &&
           Resolve(module, "HttpSendRequestW", api.httpSendRequest) &&
           Resolve(module, "InternetSetOptionW", api.internetSetOption) &&
           Resolve(module, "InternetCloseHandle", api.internetCloseHandle);
}

}  // namespace

const WinInet* LoadWinInet()
{
    static WinInet api;
    static const bool loaded = Load(api);  // thread-safe one-time initialisation
    return loaded ? &api : nullptr;
}
