#pragma once
// Anti-aliased rounded rectangles drawn straight into the 32-bit back buffer:
// a control's rounded corners blend its painting with what lay beneath, and
// a rounded border is drawn with partial coverage at its curves. A device
// context that is not a 32-bit DIB section gets the plain GDI drawing.
#include <windows.h>

#include <optional>
#include <vector>

#include "ui/render.h"

namespace DuiLib {

// The pixels of the DIB section selected into a device context.
class CPixelView {
public:
    explicit CPixelView(HDC hDC);
    bool IsValid() const { return m_bits != nullptr; }
    // Device pixel at logical x, y, or null outside the bitmap and the clip.
    DWORD* At(int x, int y) const;
    // The logical rectangle writes are allowed in (bitmap and clip box).
    const RECT& Bounds() const { return m_bounds; }

private:
    bool FindRowOrder(HDC hDC);

    BYTE* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    bool m_topDown = true;
    POINT m_offset = {};  // logical to device
    RECT m_bounds = {};
};

// Covers a control's painting with rounded corners: the constructor keeps the
// pixels under the corners, the destructor blends the painting into them by
// each pixel's coverage of the rounded shape.
class CRoundCorners {
public:
    CRoundCorners(HDC hDC, const RECT& rc, SIZE round);
    ~CRoundCorners();
    CRoundCorners(const CRoundCorners&) = delete;
    CRoundCorners& operator=(const CRoundCorners&) = delete;

private:
    struct Saved {
        int x, y;
        DWORD color;
    };
    HDC m_hDC;
    RECT m_rc;
    SIZE m_round;
    std::vector<Saved> m_saved;
    std::optional<CRenderClip> m_fallback;  // no pixels: a region cuts the corners
};

// Fraction (0..1) of the pixel at x, y inside the rounded rectangle rc whose
// corner ellipses are round.cx by round.cy (GDI's RoundRect convention).
float RoundRectCoverage(const RECT& rc, SIZE round, int x, int y);

// A border of size pixels along the inside of the rounded rectangle rc.
void DrawRoundBorder(HDC hDC, const RECT& rc, int size, SIZE round, DWORD argb);

}  // namespace DuiLib
