#include "ui/dpi.h"

#include "system/system_library.h"

namespace DuiLib {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

// Looked up at run time: the installer must start where user32 lacks it.
GetDpiForWindowFn DpiForWindowFunction()
{
    static GetDpiForWindowFn fn =
        ProcAddress<GetDpiForWindowFn>(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
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
    auto setContext =
        ProcAddress<SetContextFn>(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext");
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
