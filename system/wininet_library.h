#pragma once
// WinINet, loaded at run time from the system directory: it is not one of the
// DLLs Windows always maps from there, so a static import could be resolved
// from the installer's own folder.
#include <windows.h>
#include <wininet.h>

// The entry points the usage report needs; all of them are set.
struct WinInet {
    decltype(&InternetOpenW) internetOpen;
    decltype(&InternetConnectW) internetConnect;
    decltype(&HttpOpenRequestW) httpOpenRequest;
    decltype(&HttpSendRequestW) httpSendRequest;
    decltype(&InternetSetOptionW) internetSetOption;
    decltype(&InternetCloseHandle) internetCloseHandle;
};

// Loaded once and kept for the process lifetime; null when the DLL or one of
// its entry points is not available.
const WinInet* LoadWinInet();

// An open internet, connection or request handle.
class UniqueInternetHandle {
public:
    UniqueInternetHandle(const WinInet& api, HINTERNET handle) : api_(&api), h_(handle) {}
    UniqueInternetHandle(const UniqueInternetHandle&) = delete;
    UniqueInternetHandle& operator=(const UniqueInternetHandle&) = delete;
    ~UniqueInternetHandle()
    {
        if (h_)
            api_->internetCloseHandle(h_);
    }

    HINTERNET Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    const WinInet* api_;
    HINTERNET h_;
};
