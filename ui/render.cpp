#include "ui/render.h"

#include <algorithm>

#include "system/win_handles.h"
#include "ui/image_cache.h"
#include "ui/image_scale.h"
#include "ui/paint_manager.h"
#include "ui/resource_store.h"
#include "ui/round_corners.h"

namespace DuiLib {

unique_hbitmap NewTopDownBitmap(int width, int height, void** bits)
{
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    *bits = nullptr;
    return unique_hbitmap(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, bits, nullptr, 0));
}

namespace {

struct MemDC {
    HDC dc;
    HGDIOBJ old;
    MemDC(HDC ref, HBITMAP bmp) : dc(CreateCompatibleDC(ref)), old(SelectObject(dc, bmp)) {}
    ~MemDC()
    {
        SelectObject(dc, old);
        DeleteDC(dc);
    }
};

void Blit(HDC hDC, HDC src, const RECT& dst, const RECT& srcRc, const RECT& rcPaint, bool alpha,
          BYTE fade)
{
    RECT visible;
    if (!IntersectRect(&visible, &dst, &rcPaint))
        return;
    int dw = dst.right - dst.left, dh = dst.bottom - dst.top;
    int sw = srcRc.right - srcRc.left, sh = srcRc.bottom - srcRc.top;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return;
    if (alpha || fade < 255) {
        BLENDFUNCTION bf = {AC_SRC_OVER, 0, fade, AC_SRC_ALPHA};
        GdiAlphaBlend(hDC, dst.left, dst.top, dw, dh, src, srcRc.left, srcRc.top, sw, sh, bf);
    } else if (dw == sw && dh == sh) {
        BitBlt(hDC, dst.left, dst.top, dw, dh, src, srcRc.left, srcRc.top, SRCCOPY);
    } else {
        int oldMode = SetStretchBltMode(hDC, COLORONCOLOR);
        StretchBlt(hDC, dst.left, dst.top, dw, dh, src, srcRc.left, srcRc.top, sw, sh, SRCCOPY);
        SetStretchBltMode(hDC, oldMode);
    }
}

// Fills dst with copies of src, each clipped to dst.
void Tile(HDC hDC, HDC src, const RECT& dst, const RECT& srcRc, const RECT& rcPaint, bool alpha,
          BYTE fade, bool xtiled, bool ytiled)
{
    int sw = srcRc.right - srcRc.left, sh = srcRc.bottom - srcRc.top;
    if (sw <= 0 || sh <= 0)
        return;
    int stepX = xtiled ? sw : dst.right - dst.left;
    int stepY = ytiled ? sh : dst.bottom - dst.top;
    if (stepX <= 0 || stepY <= 0)
        return;
    for (int y = dst.top; y < dst.bottom; y += stepY) {
        for (int x = dst.left; x < dst.right; x += stepX) {
            RECT d = {x, y, std::min<LONG>(x + stepX, dst.right), std::min<LONG>(y + stepY, dst.bottom)};
            RECT s = srcRc;
            if (xtiled)
                s.right = s.left + (d.right - d.left);
            if (ytiled)
                s.bottom = s.top + (d.bottom - d.top);
            Blit(hDC, src, d, s, rcPaint, alpha, fade);
        }
    }
}

}  // namespace

CRenderClip::CRenderClip(HDC hDC, const RECT& rc, int roundWidth, int roundHeight) : m_hDC(hDC)
{
    m_hOldRgn.Reset(CreateRectRgn(0, 0, 0, 0));
    m_bHadRgn = GetClipRgn(hDC, m_hOldRgn.Get()) == 1;
    unique_hrgn rgn((roundWidth > 0 || roundHeight > 0)
                        ? CreateRoundRectRgn(rc.left, rc.top, rc.right + 1, rc.bottom + 1, roundWidth,
                                             roundHeight)
                        : CreateRectRgnIndirect(&rc));
    ExtSelectClipRgn(hDC, rgn.Get(), RGN_AND);
}

CRenderClip::~CRenderClip()
{
    SelectClipRgn(m_hDC, m_bHadRgn ? m_hOldRgn.Get() : nullptr);
}

COLORREF CRenderEngine::ToColorRef(DWORD argb)
{
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

void CRenderEngine::DrawColor(HDC hDC, const RECT& rc, DWORD color)
{
    BYTE alpha = static_cast<BYTE>(color >> 24);
    if (alpha == 0 || rc.right <= rc.left || rc.bottom <= rc.top)
        return;
    if (alpha == 255) {
        unique_hbrush brush(CreateSolidBrush(ToColorRef(color)));
        FillRect(hDC, &rc, brush.Get());
        return;
    }
    // One premultiplied pixel stretched over the rectangle.
    void* bits = nullptr;
    unique_hbitmap bmp = NewTopDownBitmap(1, 1, &bits);
    if (!bmp)
        return;
    DWORD r = ((color >> 16) & 0xFF) * alpha / 255, g = ((color >> 8) & 0xFF) * alpha / 255,
          b = (color & 0xFF) * alpha / 255;
    *static_cast<DWORD*>(bits) = (static_cast<DWORD>(alpha) << 24) | (r << 16) | (g << 8) | b;
    {
        MemDC mem(hDC, bmp.Get());
        BLENDFUNCTION bf = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        GdiAlphaBlend(hDC, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, mem.dc, 0, 0, 1,
                      1, bf);
    }
}

void CRenderEngine::DrawRect(HDC hDC, const RECT& rc, int size, DWORD color)
{
    if (size <= 0 || (color >> 24) == 0)
        return;
    // Four bands inside the rectangle, so the border never leaves the control.
    RECT bands[4] = {{rc.left, rc.top, rc.right, rc.top + size},
                     {rc.left, rc.bottom - size, rc.right, rc.bottom},
                     {rc.left, rc.top + size, rc.left + size, rc.bottom - size},
                     {rc.right - size, rc.top + size, rc.right, rc.bottom - size}};
    for (const RECT& band : bands)
        DrawColor(hDC, band, color);
}

void CRenderEngine::DrawRoundRect(HDC hDC, const RECT& rc, int size, int width, int height,
                                  DWORD color)
{
    DrawRoundBorder(hDC, rc, size, SIZE{width, height}, color);
}

void CRenderEngine::DrawFocusDots(HDC hDC, const RECT& rc, DWORD color, int width)
{
    if (rc.right - rc.left < 2 * width || rc.bottom - rc.top < 2 * width || (color >> 24) == 0)
        return;
    if (width > 1) {
        // At a larger scale: dots of width x width pixels, as far apart.
        COLORREF c = ToColorRef(color);
        unique_hbrush brush(CreateSolidBrush(c));
        auto square = [&](int x, int y) {
            RECT d = {x, y, std::min<LONG>(x + width, rc.right), std::min<LONG>(y + width, rc.bottom)};
            FillRect(hDC, &d, brush.Get());
        };
        for (int x = rc.left; x < rc.right; x += 2 * width) {
            square(x, rc.top);
            square(x, rc.bottom - width);
        }
        for (int y = rc.top + 2 * width; y < rc.bottom - width; y += 2 * width) {
            square(rc.left, y);
            square(rc.right - width, y);
        }
        return;
    }
    COLORREF c = ToColorRef(color);
    // Every other pixel along the edge, as Windows marks the focus.
    int phase = 0;
    auto dot = [&](int x, int y) {
        if ((phase++ & 1) == 0)
            SetPixelV(hDC, x, y, c);
    };
    for (int x = rc.left; x < rc.right - 1; ++x)
        dot(x, rc.top);
    for (int y = rc.top; y < rc.bottom - 1; ++y)
        dot(rc.right - 1, y);
    for (int x = rc.right - 1; x > rc.left; --x)
        dot(x, rc.bottom - 1);
    for (int y = rc.bottom - 1; y > rc.top; --y)
        dot(rc.left, y);
}

bool CRenderEngine::DrawImage(HDC hDC, CPaintManagerUI* pm, const RECT& rcItem, const RECT& rcPaint,
                              const std::wstring& desc, const wchar_t* modify)
{
    if (desc.empty())
        return false;
    TDrawInfo info;
    info.Parse(desc.c_str());
    if (modify)
        info.Parse(modify);
    if (LPCWSTR mapped = CResourceManager::GetInstance()->GetImagePath(info.sFile.c_str())) {
        TDrawInfo named;
        named.Parse(mapped);
        info.sFile = named.sFile;
    }
    const int dpi = pm ? pm->GetDpi() : kDesignDpi;
    if (dpi != kDesignDpi)
        return DrawScaledImage(hDC, dpi, rcItem, rcPaint, info);
    const TImageInfo* image = pm ? pm->GetImage(info.sFile, info.sResType, info.dwMask)
                                 : CImageCache::Get(info.sFile, info.sResType, info.dwMask);
    if (!image)
        return false;
    RECT dest = rcItem;
    if (info.bHasDest) {
        dest = {rcItem.left + info.rcDest.left, rcItem.top + info.rcDest.top,
                rcItem.left + info.rcDest.right, rcItem.top + info.rcDest.bottom};
        dest.right = std::min(dest.right, rcItem.right);
        dest.bottom = std::min(dest.bottom, rcItem.bottom);
    }
    RECT source = {0, 0, image->nX, image->nY};
    if (info.bHasSource) {
        source = info.rcSource;
        source.left = std::clamp<LONG>(source.left, 0, image->nX);
        source.right = std::clamp<LONG>(source.right, source.left, image->nX);
        source.top = std::clamp<LONG>(source.top, 0, image->nY);
        source.bottom = std::clamp<LONG>(source.bottom, source.top, image->nY);
    }
    DrawBitmap(hDC, *image, dest, rcPaint, source, info.rcCorner, info.uFade, info.bHole,
               info.bTiledX, info.bTiledY);
    return true;
}

bool CRenderEngine::DrawScaledImage(HDC hDC, int dpi, const RECT& rcItem, const RECT& rcPaint,
                                    const TDrawInfo& info)
{
    // The description's dest is in 96-DPI pixels of the control: its edges scale.
    RECT dest = rcItem;
    if (info.bHasDest) {
        dest = {rcItem.left + ScaleByDpi(info.rcDest.left, dpi), rcItem.top + ScaleByDpi(info.rcDest.top, dpi),
                rcItem.left + ScaleByDpi(info.rcDest.right, dpi),
                rcItem.top + ScaleByDpi(info.rcDest.bottom, dpi)};
        dest.right = std::min(dest.right, rcItem.right);
        dest.bottom = std::min(dest.bottom, rcItem.bottom);
    }
    SIZE size = {dest.right - dest.left, dest.bottom - dest.top};
    if (size.cx <= 0 || size.cy <= 0)
        return true;  // nothing of it shows
    TScaledPicture picture;
    if (!ScalePicture(dpi, info.sFile, info.sResType, info.dwMask, info.bHasSource ? &info.rcSource : nullptr,
                      info.rcCorner, size, info.bTiledX || info.bTiledY, picture))
        return false;
    DrawBitmap(hDC, *picture.image, dest, rcPaint, picture.source, picture.corners, info.uFade, info.bHole,
               info.bTiledX, info.bTiledY);
    return true;
}

void CRenderEngine::DrawBitmap(HDC hDC, const TImageInfo& image, const RECT& rc, const RECT& rcPaint,
                               const RECT& src, const RECT& cn, BYTE fade, bool hole, bool xtiled,
                               bool ytiled)
{
    RECT test;
    if (!IntersectRect(&test, &rc, &rcPaint))
        return;
    MemDC mem(hDC, image.hBitmap.Get());
    bool alpha = image.bAlpha;
    // Corners keep their size; edges stretch in one direction, the middle in both.
    int xs[4] = {src.left, src.left + cn.left, src.right - cn.right, src.right};
    int ys[4] = {src.top, src.top + cn.top, src.bottom - cn.bottom, src.bottom};
    int xd[4] = {rc.left, rc.left + cn.left, rc.right - cn.right, rc.right};
    int yd[4] = {rc.top, rc.top + cn.top, rc.bottom - cn.bottom, rc.bottom};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            if (row == 1 && col == 1 && hole)
                continue;
            RECT d = {xd[col], yd[row], xd[col + 1], yd[row + 1]};
            RECT s = {xs[col], ys[row], xs[col + 1], ys[row + 1]};
            if (row == 1 && col == 1 && (xtiled || ytiled))
                Tile(hDC, mem.dc, d, s, rcPaint, alpha, fade, xtiled, ytiled);
            else
                Blit(hDC, mem.dc, d, s, rcPaint, alpha, fade);
        }
    }
}

void CRenderEngine::DrawText(HDC hDC, CPaintManagerUI* pm, RECT rc, const std::wstring& text,
                             DWORD color, int font, UINT style)
{
    if (text.empty() || rc.right <= rc.left || rc.bottom <= rc.top)
        return;
    HFONT hFont = pm ? pm->GetFont(font) : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HGDIOBJ oldFont = SelectObject(hDC, hFont);
    SetBkMode(hDC, TRANSPARENT);
    SetTextColor(hDC, ToColorRef(color));
    if (!(style & DT_SINGLELINE) && (style & (DT_VCENTER | DT_BOTTOM))) {
        RECT calc = rc;
        ::DrawTextW(hDC, text.c_str(), static_cast<int>(text.size()), &calc,
                    (style & ~(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT);
        int h = calc.bottom - calc.top, avail = rc.bottom - rc.top;
        if (h < avail)
            rc.top += (style & DT_BOTTOM) ? avail - h : (avail - h) / 2;
        style &= ~(DT_VCENTER | DT_BOTTOM);
    }
    ::DrawTextW(hDC, text.c_str(), static_cast<int>(text.size()), &rc, style | DT_NOPREFIX);
    SelectObject(hDC, oldFont);
}

SIZE CRenderEngine::GetTextSize(HDC hDC, CPaintManagerUI* pm, LPCWSTR text, int font, UINT /*style*/)
{
    SIZE size = {0, 0};
    if (!hDC || !text)
        return size;
    HFONT hFont = pm ? pm->GetFont(font) : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HGDIOBJ oldFont = SelectObject(hDC, hFont);
    GetTextExtentPoint32W(hDC, text, static_cast<int>(wcslen(text)), &size);
    SelectObject(hDC, oldFont);
    return size;
}

}  // namespace DuiLib
