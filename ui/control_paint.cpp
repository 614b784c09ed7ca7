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
        CRoundCorners corners(hDC, m_rcItem, ScaledSize(m_cxyBorderRound));
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
    size = ScaledLine(size);
    SIZE round = ScaledSize(m_cxyBorderRound);
    if (round.cx > 0 || round.cy > 0)
        CRenderEngine::DrawRoundRect(hDC, m_rcItem, size, round.cx, round.cy, color);
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
        CRenderEngine::DrawFocusDots(hDC, FocusMarkRect(), color, ScaledLine(1));
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
    const int inset = Scaled(3);
    if (rc.right - rc.left >= Scaled(16) + 2 * inset && rc.bottom - rc.top >= Scaled(16) + 2 * inset)
        InflateRect(&rc, -inset, -inset);
    return rc;
}

bool CControlUI::DrawImage(HDC hDC, const std::wstring& desc, const wchar_t* modify)
{
    if (desc.empty())
        return false;
    return CRenderEngine::DrawImage(hDC, m_pManager, m_rcItem, m_rcPaint, desc, modify);
}

}  // namespace DuiLib
