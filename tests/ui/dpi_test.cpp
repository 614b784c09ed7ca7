// The scale rules every window shares: a layout length scaled to a DPI and
// back is the length again, measured text unscaled never loses a pixel, and
// only display scales are drawn at.
#include <gtest/gtest.h>

#include "ui/dpi.h"

using namespace DuiLib;

TEST(DpiScale, LayoutLengthsComeBackFromEveryScale)
{
    for (int dpi : {96, 120, 144, 168, 192, 288, 384}) {
        for (int value : {0, 1, 7, 33, 400, 450, 900}) {
            EXPECT_EQ(UnscaleByDpi(ScaleByDpi(value, dpi), dpi), value) << value << " at " << dpi;
            // Text measured at the scale fits in its unscaled width drawn again.
            int measured = ScaleByDpi(value, dpi) + 1;
            EXPECT_GE(ScaleByDpi(UnscaleUpByDpi(measured, dpi), dpi), measured) << value << " at " << dpi;
        }
    }
}

TEST(DpiScale, OnlyDisplayScalesAreDrawnAt)
{
    struct Case { int dpi, drawn; };
    for (Case c : {Case{0, 96}, {72, 96}, {96, 96}, {144, 144}, {384, 384}, {385, 384}, {2000, 384}})
        EXPECT_EQ(ClampDpi(c.dpi), c.drawn) << c.dpi;
}
