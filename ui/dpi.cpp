#include "ui/dpi.h"

namespace DuiLib {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

// Looked up at run time: the installer must start where user32 lacks it.
GetDpiForWindowFn DpiForWindowFunction()
{
    static GetDpiForWindowFn fn = [] {
        HMODULE user = GetModuleHandleW(L"user32.dll");
        return user ? reinterpret_cast<GetDpiForWindowFn>(
                          reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")))
                    : nullptr;
    }();
    return fn;
}

int SystemDpi()
{
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDesignDpi;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace

void EnableDpiAwareness()
{
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    HMODULE user = GetModuleHandleW(L"user32.dll");
    auto setContext = user ? reinterpret_cast<SetContextFn>(reinterpret_cast<void*>(
                                 GetProcAddress(user, "SetProcessDpiAwarenessContext")))
                           : nullptr;
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
    if (setContext && setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4))))
        return;
    SetProcessDPIAware();
}

int DpiOfWindow(HWND hWnd)
{
    int dpi = 0;
    if (GetDpiForWindowFn fn = DpiForWindowFunction(); fn && hWnd)
        dpi = static_cast<int>(fn(hWnd));
    if (dpi <= 0)
        dpi = SystemDpi();
    return ClampDpi(dpi);
}

}  // namespace DuiLib
