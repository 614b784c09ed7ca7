#pragma once
// The keyboard focus mark must stand out for users with low vision: its
// colour reaches a contrast of at least 3:1 (the usual threshold for
// graphical marks) against both the control it marks and what lies around it.
#include <windows.h>

#include <initializer_list>

namespace DuiLib {

constexpr double kFocusMarkMinContrast = 3.0;

// The contrast ratio of two #AARRGGBB colours (alpha ignored), 1 to 21.
double ContrastRatio(DWORD a, DWORD b);

// The first candidate (0 entries skipped) that reaches the minimum contrast
// against both fill and surround; else black or white, whichever does; else
// the one whose weaker contrast is the stronger.
DWORD PickFocusMarkColor(std::initializer_list<DWORD> candidates, DWORD fill, DWORD surround);

}  // namespace DuiLib
