#pragma once
// GDI drawing of the framework: colours with alpha, borders, skin pictures
// (source part, destination, nine-grid corners, tiling, fade) and text in the
// paint manager's fonts.
#include <windows.h>

#include <string>

#include "system/win_handles.h"
#include "ui/image_desc.h"

namespace DuiLib {

class CPaintManagerUI;
struct TImageInfo;

// Restricts drawing to a rectangle (optionally with rounded corners) for
// its lifetime and restores the previous clipping afterwards.
class CRenderClip {
public:
    CRenderClip(HDC hDC, const RECT& rc, int roundWidth = 0, int roundHeight = 0);
    ~CRenderClip();
    CRenderClip(const CRenderClip&) = delete;
    CRenderClip& operator=(const CRenderClip&) = delete;

private:
    HDC m_hDC;
    unique_hrgn m_hOldRgn;
    bool m_bHadRgn = false;
};

// A 32-bit top-down picture the program draws into directly; bits receives
// its first pixel. Null when the system has no memory for it.
unique_hbitmap NewTopDownBitmap(int width, int height, void** bits);

class CRenderEngine {
public:
    static COLORREF ToColorRef(DWORD argb);
    static void DrawColor(HDC hDC, const RECT& rc, DWORD color);
    static void DrawRect(HDC hDC, const RECT& rc, int size, DWORD color);
    // Anti-aliased where hDC is the back buffer.
    static void DrawRoundRect(HDC hDC, const RECT& rc, int size, int width, int height, DWORD color);
    // A dotted frame, width pixels wide, along the inside of rc: the
    // keyboard focus mark (one pixel at 96 DPI).
    static void DrawFocusDots(HDC hDC, const RECT& rc, DWORD color, int width = 1);
    // Draws the picture of a description inside rcItem, limited to rcPaint.
    // modify is parsed on top of the description (e.g. a computed dest).
    static bool DrawImage(HDC hDC, CPaintManagerUI* pm, const RECT& rcItem, const RECT& rcPaint,
                          const std::wstring& desc, const wchar_t* modify = nullptr);
    // DrawImage at a scale above 100 %: the picture resampled for dpi.
    static bool DrawScaledImage(HDC hDC, int dpi, const RECT& rcItem, const RECT& rcPaint,
                                const TDrawInfo& info);
    static void DrawBitmap(HDC hDC, const TImageInfo& image, const RECT& rcDest, const RECT& rcPaint,
                           const RECT& rcSource, const RECT& rcCorner, BYTE fade, bool hole,
                           bool xtiled, bool ytiled);
    // Draws text with DrawTextW flags; vertical centring and bottom alignment
    // also work for multi-line text.
    static void DrawText(HDC hDC, CPaintManagerUI* pm, RECT rc, const std::wstring& text,
                         DWORD color, int font, UINT style);
    // Pixel width and height of the text as one line in that font.
    static SIZE GetTextSize(HDC hDC, CPaintManagerUI* pm, LPCWSTR text, int font, UINT style);
};

}  // namespace DuiLib
