// The painting steps of every control: background, pictures, text, the
// border with its rounded corners, and the keyboard focus mark.
#include "ui/control.h"
#include "ui/focus_contrast.h"
#include "ui/paint_manager.h"
#include "ui/render.h"
#include "ui/round_corners.h"

namespace DuiLib {

void CControlUI::DoPaint(HDC hDC, const RECT& rcPaint)
{
    if (!IntersectRect(&m_rcPaint, &rcPaint, &m_rcItem))
        return;
    CRenderClip clip(hDC, m_rcItem);
    PaintSteps(hDC);
}

void CControlUI::PaintSteps(HDC hDC)
{
    {
        CRoundCorners corners(hDC, m_rcItem, m_cxyBorderRound);
        PaintBkColor(hDC);
        PaintBkImage(hDC);
        PaintStatusImage(hDC);
        PaintText(hDC);
    }
    PaintBorder(hDC);
    if (ShowsFocusMark())
        PaintFocusMark(hDC);
}

void CControlUI::PaintBkColor(HDC hDC)
{
    if (m_dwBackColor)
        CRenderEngine::DrawColor(hDC, m_rcItem, m_dwBackColor);
}

void CControlUI::PaintBkImage(HDC hDC) { DrawImage(hDC, m_sBkImage); }

void CControlUI::PaintStatusImage(HDC) {}

void CControlUI::PaintText(HDC) {}

void CControlUI::PaintBorder(HDC hDC) { DrawBorder(hDC, m_nBorderSize, m_dwBorderColor); }

void CControlUI::DrawBorder(HDC hDC, int size, DWORD color)
{
    if (size <= 0)
        return;
    if (m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0)
        CRenderEngine::DrawRoundRect(hDC, m_rcItem, size, m_cxyBorderRound.cx, m_cxyBorderRound.cy,
                                     color);
    else
        CRenderEngine::DrawRect(hDC, m_rcItem, size, color);
}

bool CControlUI::ShowsFocusMark() const
{
    return m_bFocused && m_pManager && m_pManager->IsFocusCueShown() &&
           (GetControlFlags() & UIFLAG_TABSTOP);
}

void CControlUI::PaintFocusMark(HDC hDC)
{
    constexpr int kRingWidth = 2;
    const DWORD surround = SurroundColor();
    const DWORD fill = CurrentBkColor() ? CurrentBkColor() : surround;
    const DWORD color = PickFocusMarkColor(
        {m_dwFocusBorderColor, FocusMarkColor(), m_pManager ? m_pManager->GetDefaultFontColor() : 0},
        fill, surround);
    if (m_nBorderSize > 0)
        DrawBorder(hDC, m_nBorderSize + 1, color);  // the border, a pixel stronger
    else if ((fill & 0xFFFFFF) != (surround & 0xFFFFFF))
        DrawBorder(hDC, kRingWidth, color);
    else
        CRenderEngine::DrawFocusDots(hDC, FocusMarkRect(), color);
}

DWORD CControlUI::FocusMarkColor() const
{
    return m_pManager ? m_pManager->GetDefaultFontColor() : 0xFF000000;
}

DWORD CControlUI::SurroundColor() const
{
    for (const CControlUI* p = m_pParent; p; p = p->GetParent())
        if (p->GetBkColor())
            return p->GetBkColor();
    return 0xFFFFFFFF;
}

RECT CControlUI::FocusMarkRect() const
{
    RECT rc = m_rcItem;
    // Inside a control large enough, as on a Windows push button.
    if (rc.right - rc.left >= 16 + 6 && rc.bottom - rc.top >= 16 + 6)
        InflateRect(&rc, -3, -3);
    return rc;
}

bool CControlUI::DrawImage(HDC hDC, const std::wstring& desc, const wchar_t* modify)
{
    if (desc.empty())
        return false;
    return CRenderEngine::DrawImage(hDC, m_pManager, m_rcItem, m_rcPaint, desc, modify);
}

}  // namespace DuiLib
