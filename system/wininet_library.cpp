#include "system/wininet_library.h"

#include "system/system_library.h"

namespace {

bool Load(WinInet& api)
{
    HMODULE module = LoadSystemLibrary(L"wininet.dll");
    if (!module)
        return false;
    return ResolveProc(module, "InternetOpenW", api.internetOpen) &&
           ResolveProc(module, "InternetConnectW", api.internetConnect) &&
           ResolveProc(module, "HttpOpenRequestW", api.httpOpenRequest) &&
           ResolveProc(module, "HttpSendRequestW", api.httpSendRequest) &&
           ResolveProc(module, "InternetSetOptionW", api.internetSetOption) &&
           ResolveProc(module, "InternetCloseHandle", api.internetCloseHandle);
}

}  // namespace

const WinInet* LoadWinInet() { return LoadOnce(Load); }
