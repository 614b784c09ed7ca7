#include "ui/focus_contrast.h"

#include <algorithm>
#include <cmath>

namespace DuiLib {

namespace {

double Linear(unsigned channel)
{
    double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(DWORD argb)
{
    return 0.2126 * Linear((argb >> 16) & 0xFF) + 0.7152 * Linear((argb >> 8) & 0xFF) +
           0.0722 * Linear(argb & 0xFF);
}

double WeakerContrast(DWORD color, DWORD fill, DWORD surround)
{
    return std::min(ContrastRatio(color, fill), ContrastRatio(color, surround));
}

}  // namespace

double ContrastRatio(DWORD a, DWORD b)
{
    double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

DWORD PickFocusMarkColor(std::initializer_list<DWORD> candidates, DWORD fill, DWORD surround)
{
    DWORD best = 0xFF000000;
    double bestContrast = 0;
    auto consider = [&](DWORD color) {
        double c = WeakerContrast(color, fill, surround);
        if (c > bestContrast) {
            best = color;
            bestContrast = c;
        }
        return c >= kFocusMarkMinContrast;
    };
    for (DWORD color : candidates)
        if (color && consider(color))
            return color;
    for (DWORD color : {0xFF000000u, 0xFFFFFFFFu})
        if (consider(color))
            return color;
    return best;
}

}  // namespace DuiLib
