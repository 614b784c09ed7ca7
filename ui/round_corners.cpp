#include "ui/round_corners.h"

#include <algorithm>

#include "system/win_handles.h"

namespace DuiLib {

namespace {

constexpr int kSamples = 4;  // per axis: 16 samples a pixel

bool InsideRoundRect(const RECT& rc, float rx, float ry, float x, float y)
{
    if (x < rc.left || x >= rc.right || y < rc.top || y >= rc.bottom)
        return false;
    if (rx <= 0 || ry <= 0)
        return true;
    float cx = x < rc.left + rx ? rc.left + rx : (x > rc.right - rx ? rc.right - rx : x);
    float cy = y < rc.top + ry ? rc.top + ry : (y > rc.bottom - ry ? rc.bottom - ry : y);
    float dx = (x - cx) / rx, dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1.0f;
}

DWORD Blend(DWORD under, DWORD over, float coverage)
{
    auto mix = [&](int shift) {
        float a = static_cast<float>((under >> shift) & 0xFF), b = static_cast<float>((over >> shift) & 0xFF);
        return static_cast<DWORD>(a + (b - a) * coverage + 0.5f) << shift;
    };
    return (over & 0xFF000000) | mix(16) | mix(8) | mix(0);
}

// The pixels of the four corner squares of rc, radius-sized.
template <class F>
void ForEachCornerPixel(const RECT& rc, SIZE round, F&& f)
{
    int w = std::min<int>((round.cx + 1) / 2 + 1, (rc.right - rc.left + 1) / 2);
    int h = std::min<int>((round.cy + 1) / 2 + 1, (rc.bottom - rc.top + 1) / 2);
    for (int y = rc.top; y < rc.bottom; ++y) {
        bool rowInCorner = y < rc.top + h || y >= rc.bottom - h;
        if (!rowInCorner)
            continue;
        for (int x = rc.left; x < rc.right; ++x)
            if (x < rc.left + w || x >= rc.right - w)
                f(x, y);
    }
}

}  // namespace

CPixelView::CPixelView(HDC hDC)
{
    auto bmp = static_cast<HBITMAP>(GetCurrentObject(hDC, OBJ_BITMAP));
    DIBSECTION ds = {};
    if (!bmp || GetObjectW(bmp, sizeof(ds), &ds) != sizeof(ds) || !ds.dsBm.bmBits ||
        ds.dsBm.bmBitsPixel != 32)
        return;
    POINT vp = {}, wo = {};
    GetViewportOrgEx(hDC, &vp);
    GetWindowOrgEx(hDC, &wo);
    m_offset = {vp.x - wo.x, vp.y - wo.y};
    m_width = ds.dsBm.bmWidth;
    m_height = ds.dsBm.bmHeight;
    m_stride = ds.dsBm.bmWidthBytes;

    RECT clip = {};
    if (GetClipBox(hDC, &clip) == ERROR)
        return;
    RECT bitmap = {-m_offset.x, -m_offset.y, m_width - m_offset.x, m_height - m_offset.y};
    if (!IntersectRect(&m_bounds, &clip, &bitmap))
        return;
    GdiFlush();  // GDI's pending drawing lands before the pixels are read
    m_bits = static_cast<BYTE*>(ds.dsBm.bmBits);
    if (!FindRowOrder(hDC))
        m_bits = nullptr;
}

bool CPixelView::FindRowOrder(HDC hDC)
{
    // The bitmap's header does not tell whether its rows run top-down: ask
    // GDI about one visible pixel, changing it for a moment if need be.
    int y = (m_bounds.top + m_bounds.bottom) / 2;
    for (int x = m_bounds.left; x < m_bounds.right; ++x) {
        if (!PtVisible(hDC, x, y))
            continue;
        int dx = x + m_offset.x, dy = y + m_offset.y;
        if (dy == m_height - 1 - dy)
            return (m_topDown = true);  // the middle row reads the same either way
        auto row = [&](int r) { return reinterpret_cast<DWORD*>(m_bits + static_cast<size_t>(r) * m_stride) + dx; };
        DWORD* down = row(dy);
        DWORD* up = row(m_height - 1 - dy);
        COLORREF shown = GetPixel(hDC, x, y);
        auto asRef = [](DWORD px) { return RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF); };
        if (asRef(*down) != asRef(*up)) {
            m_topDown = asRef(*down) == shown;
            return m_topDown || asRef(*up) == shown;
        }
        SetPixelV(hDC, x, y, shown ^ 0xFFFFFF);
        GdiFlush();
        bool topDown = asRef(*down) != asRef(*up) && asRef(*down) == (shown ^ 0xFFFFFF);
        bool bottomUp = asRef(*down) != asRef(*up) && asRef(*up) == (shown ^ 0xFFFFFF);
        SetPixelV(hDC, x, y, shown);
        GdiFlush();
        m_topDown = topDown;
        return topDown || bottomUp;
    }
    return false;
}

DWORD* CPixelView::At(int x, int y) const
{
    if (!m_bits || x < m_bounds.left || x >= m_bounds.right || y < m_bounds.top || y >= m_bounds.bottom)
        return nullptr;
    int dx = x + m_offset.x, dy = y + m_offset.y;
    int row = m_topDown ? dy : m_height - 1 - dy;
    return reinterpret_cast<DWORD*>(m_bits + static_cast<size_t>(row) * m_stride) + dx;
}

float RoundRectCoverage(const RECT& rc, SIZE round, int x, int y)
{
    float rx = round.cx / 2.0f, ry = round.cy / 2.0f;
    int inside = 0;
    for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx)
            if (InsideRoundRect(rc, rx, ry, x + (sx + 0.5f) / kSamples, y + (sy + 0.5f) / kSamples))
                ++inside;
    return static_cast<float>(inside) / (kSamples * kSamples);
}

CRoundCorners::CRoundCorners(HDC hDC, const RECT& rc, SIZE round) : m_hDC(hDC), m_rc(rc), m_round(round)
{
    if (round.cx <= 0 && round.cy <= 0)
        return;
    CPixelView view(hDC);
    if (!view.IsValid()) {
        m_fallback.emplace(hDC, rc, round.cx, round.cy);
        return;
    }
    ForEachCornerPixel(rc, round, [&](int x, int y) {
        if (DWORD* px = view.At(x, y))
            m_saved.push_back({x, y, *px});
    });
}

CRoundCorners::~CRoundCorners()
{
    if (m_saved.empty())
        return;
    CPixelView view(m_hDC);
    for (const Saved& s : m_saved) {
        DWORD* px = view.At(s.x, s.y);
        if (!px)
            continue;
        float coverage = RoundRectCoverage(m_rc, m_round, s.x, s.y);
        if (coverage < 1.0f)
            *px = Blend(s.color, *px, coverage);
    }
}

void DrawRoundBorder(HDC hDC, const RECT& rc, int size, SIZE round, DWORD argb)
{
    BYTE alpha = static_cast<BYTE>(argb >> 24);
    if (size <= 0 || alpha == 0 || rc.right <= rc.left || rc.bottom <= rc.top)
        return;
    CPixelView view(hDC);
    if (!view.IsValid()) {
        unique_hpen pen(CreatePen(PS_INSIDEFRAME, size, CRenderEngine::ToColorRef(argb)));
        HGDIOBJ oldPen = SelectObject(hDC, pen.Get());
        HGDIOBJ oldBrush = SelectObject(hDC, GetStockObject(HOLLOW_BRUSH));
        RoundRect(hDC, rc.left, rc.top, rc.right, rc.bottom, round.cx, round.cy);
        SelectObject(hDC, oldBrush);
        SelectObject(hDC, oldPen);
        return;
    }
    RECT inner = {rc.left + size, rc.top + size, rc.right - size, rc.bottom - size};
    SIZE innerRound = {std::max<LONG>(0, round.cx - 2 * size), std::max<LONG>(0, round.cy - 2 * size)};
    DWORD color = argb | 0xFF000000;
    for (int y = rc.top; y < rc.bottom; ++y) {
        bool edgeRow = y < inner.top + innerRound.cy || y >= inner.bottom - innerRound.cy;
        for (int x = rc.left; x < rc.right; ++x) {
            if (!edgeRow && x >= inner.left + innerRound.cx && x < inner.right - innerRound.cx) {
                x = inner.right - innerRound.cx - 1;  // the middle of the row is not border
                continue;
            }
            DWORD* px = view.At(x, y);
            if (!px)
                continue;
            float coverage = RoundRectCoverage(rc, round, x, y);
            if (inner.right > inner.left && inner.bottom > inner.top)
                coverage -= RoundRectCoverage(inner, innerRound, x, y);
            coverage *= alpha / 255.0f;
            if (coverage > 0.0f)
                *px = Blend(*px, color, coverage);
        }
    }
}

}  // namespace DuiLib
