#pragma once
// Display scaling: every size of a layout is written for 96 DPI and drawn at
// the window's DPI. Positions scale edge by edge (left and right each rounded
// on their own), so controls that meet at 96 DPI still meet at every scale.
#include <windows.h>

namespace DuiLib {

constexpr int kDesignDpi = 96;
// Sent when the window moves to a monitor of another scale (Windows 8.1 on).
constexpr UINT kWmDpiChanged = 0x02E0;

// A length or coordinate of the layout at dpi, rounded to the nearest pixel.
inline int ScaleByDpi(int value, int dpi)
{
    return dpi == kDesignDpi ? value : MulDiv(value, dpi, kDesignDpi);
}

inline RECT ScaleRectByDpi(const RECT& rc, int dpi)
{
    return RECT{ScaleByDpi(rc.left, dpi), ScaleByDpi(rc.top, dpi), ScaleByDpi(rc.right, dpi),
                ScaleByDpi(rc.bottom, dpi)};
}

// A length in window pixels at dpi back in the layout's 96-DPI pixels, rounded
// to the nearest pixel (the inverse of ScaleByDpi).
inline int UnscaleByDpi(int value, int dpi)
{
    return dpi == kDesignDpi ? value : MulDiv(value, kDesignDpi, dpi);
}

// The same rounded up, for a measured length that must fit whole (text).
inline int UnscaleUpByDpi(int value, int dpi)
{
    return dpi == kDesignDpi ? value : (value * kDesignDpi + dpi - 1) / dpi;
}

// The display scales the framework draws at: 100 % to 400 %. Below 100 % or
// absurdly large values are not display scales.
inline int ClampDpi(int dpi)
{
    return dpi < kDesignDpi ? kDesignDpi : (dpi > 4 * kDesignDpi ? 4 * kDesignDpi : dpi);
}

// A length of at least one pixel stays visible at every scale.
inline int ScaleLineByDpi(int value, int dpi)
{
    int scaled = ScaleByDpi(value, dpi);
    return value > 0 && scaled < 1 ? 1 : scaled;
}

// The DPI a window is drawn at: GetDpiForWindow where the system has it
// (Windows 10 1607 on), otherwise the system DPI a DPI-aware process sees.
int DpiOfWindow(HWND hWnd);

// Per-monitor DPI awareness (v2, else system-aware) for a program that does
// not declare it in its manifest, as the installer does: tests and demos.
void EnableDpiAwareness();

}  // namespace DuiLib
