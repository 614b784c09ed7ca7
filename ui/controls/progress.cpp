#include "ui/controls/progress.h"

#include <string>

#include "ui/attr_parse.h"
#include "ui/paint_manager.h"
#include "ui/render.h"

namespace DuiLib {

LPCWSTR CProgressUI::GetClass() const { return L"ProgressUI"; }

LPVOID CProgressUI::GetInterface(LPCWSTR pstrName)
{
    if (pstrName && wcscmp(pstrName, L"Progress") == 0)
        return this;
    return CLabelUI::GetInterface(pstrName);
}

void CProgressUI::SetHorizontal(bool bHorizontal)
{
    m_bHorizontal = bHorizontal;
    Invalidate();
}

void CProgressUI::SetMinValue(int nMin)
{
    m_nMin = nMin;
    Invalidate();
}

void CProgressUI::SetMaxValue(int nMax)
{
    m_nMax = nMax;
    Invalidate();
}

void CProgressUI::SetValue(int nValue)
{
    if (nValue == m_nValue || nValue < m_nMin || nValue > m_nMax)
        return;
    const int before = Percent();
    m_nValue = nValue;
    Invalidate();
    // A screen reader hears of each whole percent, not of every step.
    if (m_pManager && Percent() != before)
        m_pManager->NotifyAccessibleEvent(EVENT_OBJECT_VALUECHANGE, this);
}

int CProgressUI::Percent() const
{
    const int range = m_nMax - m_nMin;
    return range > 0 ? (m_nValue - m_nMin) * 100 / range : 0;
}

void CProgressUI::SetForeImage(LPCWSTR pStrImage)
{
    std::wstring image = pStrImage ? pStrImage : L"";
    if (image == m_sForeImage)
        return;
    m_sForeImage = std::move(image);
    Invalidate();
}

void CProgressUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    std::wstring_view name(pstrName);
    if (name == L"foreimage")
        SetForeImage(pstrValue);
    else if (name == L"forecolor")
        m_dwForeColor = ParseColor(pstrValue);
    else if (name == L"hor")
        SetHorizontal(ParseBool(pstrValue));
    else if (name == L"min")
        SetMinValue(ParseInt(pstrValue));
    else if (name == L"max")
        SetMaxValue(ParseInt(pstrValue));
    else if (name == L"value")
        m_nValue = ParseInt(pstrValue);  // the layout's start value, even if outside
    else
        CLabelUI::SetAttribute(pstrName, pstrValue);
}

void CProgressUI::PaintStatusImage(HDC hDC)
{
    if (m_nMax <= m_nMin)
        return;
    int value = m_nValue < m_nMin ? m_nMin : (m_nValue > m_nMax ? m_nMax : m_nValue);
    // In the layout's 96-DPI pixels, relative to the bar: picture
    // descriptions are written at that scale.
    int w = m_rcLayout.right - m_rcLayout.left, h = m_rcLayout.bottom - m_rcLayout.top;
    RECT rc = {0, 0, w, h};
    long long span = m_nMax - m_nMin;
    if (m_bHorizontal)
        rc.right = static_cast<LONG>(static_cast<long long>(value - m_nMin) * w / span);
    else
        rc.top = h - static_cast<LONG>(static_cast<long long>(value - m_nMin) * h / span);
    if (rc.right <= rc.left || rc.bottom <= rc.top)
        return;
    if (!m_sForeImage.empty()) {
        std::wstring dest = L"dest='" + std::to_wstring(rc.left) + L"," + std::to_wstring(rc.top) +
                            L"," + std::to_wstring(rc.right) + L"," + std::to_wstring(rc.bottom) + L"'";
        DrawImage(hDC, m_sForeImage, dest.c_str());
    } else if (m_dwForeColor) {
        RECT abs = ToWindowPixels(RECT{m_rcLayout.left + rc.left, m_rcLayout.top + rc.top,
                                       m_rcLayout.left + rc.right, m_rcLayout.top + rc.bottom});
        CRenderEngine::DrawColor(hDC, abs, m_dwForeColor);
    }
}

}  // namespace DuiLib
