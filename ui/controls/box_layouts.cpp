#include "ui/controls/box_layouts.h"

#include <algorithm>

namespace DuiLib {

LPCWSTR CVerticalLayoutUI::GetClass() const { return L"VerticalLayoutUI"; }

LPVOID CVerticalLayoutUI::GetInterface(LPCWSTR pstrName)
{
    if (pstrName && wcscmp(pstrName, L"VerticalLayout") == 0)
        return this;
    return CContainerUI::GetInterface(pstrName);
}

void CVerticalLayoutUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    CControlUI::SetPos(rc, bNeedInvalidate);
    RECT inner = InnerRect();
    int width = inner.right - inner.left, height = inner.bottom - inner.top;

    // First pass: what the fixed children need and how many share the rest.
    int fixedTotal = 0, flexible = 0, placed = 0;
    for (CControlUI* item : m_items) {
        if (!item->IsVisible() || item->IsFloat())
            continue;
        SIZE sz = item->EstimateSize(SIZE{width, height});
        RECT pad = item->GetPadding();
        if (sz.cy == 0)
            ++flexible;
        else
            fixedTotal += Clamp(item, sz).cy;
        fixedTotal += pad.top + pad.bottom;
        ++placed;
    }
    if (placed > 1)
        fixedTotal += (placed - 1) * m_iChildPadding;
    int spare = std::max(0, height - fixedTotal);
    int flexLeft = flexible;

    int y = inner.top;
    for (CControlUI* item : m_items) {
        if (!item->IsVisible())
            continue;
        if (item->IsFloat()) {
            SetFloatPos(item);
            continue;
        }
        RECT pad = item->GetPadding();
        SIZE sz = item->EstimateSize(SIZE{width, height});
        if (sz.cy == 0) {
            // The last flexible child takes the rounding remainder.
            int share = flexLeft > 1 ? spare / flexible : spare - (spare / flexible) * (flexible - 1);
            --flexLeft;
            sz.cy = share;
        }
        if (sz.cx == 0)
            sz.cx = width - pad.left - pad.right;
        sz = Clamp(item, sz);
        RECT rcItem = {inner.left + pad.left, y + pad.top, inner.left + pad.left + sz.cx,
                       y + pad.top + sz.cy};
        item->SetPos(rcItem, false);
        y += pad.top + sz.cy + pad.bottom + m_iChildPadding;
    }
}

LPCWSTR CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayoutUI"; }

LPVOID CHorizontalLayoutUI::GetInterface(LPCWSTR pstrName)
{
    if (pstrName && wcscmp(pstrName, L"HorizontalLayout") == 0)
        return this;
    return CContainerUI::GetInterface(pstrName);
}

void CHorizontalLayoutUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    CControlUI::SetPos(rc, bNeedInvalidate);
    RECT inner = InnerRect();
    int width = inner.right - inner.left, height = inner.bottom - inner.top;

    int fixedTotal = 0, flexible = 0, placed = 0;
    for (CControlUI* item : m_items) {
        if (!item->IsVisible() || item->IsFloat())
            continue;
        SIZE sz = item->EstimateSize(SIZE{width, height});
        RECT pad = item->GetPadding();
        if (sz.cx == 0)
            ++flexible;
        else
            fixedTotal += Clamp(item, sz).cx;
        fixedTotal += pad.left + pad.right;
        ++placed;
    }
    if (placed > 1)
        fixedTotal += (placed - 1) * m_iChildPadding;
    int spare = std::max(0, width - fixedTotal);
    int flexLeft = flexible;

    int x = inner.left;
    for (CControlUI* item : m_items) {
        if (!item->IsVisible())
            continue;
        if (item->IsFloat()) {
            SetFloatPos(item);
            continue;
        }
        RECT pad = item->GetPadding();
        SIZE sz = item->EstimateSize(SIZE{width, height});
        if (sz.cx == 0) {
            int share = flexLeft > 1 ? spare / flexible : spare - (spare / flexible) * (flexible - 1);
            --flexLeft;
            sz.cx = share;
        }
        if (sz.cy == 0)
            sz.cy = height - pad.top - pad.bottom;
        sz = Clamp(item, sz);
        RECT rcItem = {x + pad.left, inner.top + pad.top, x + pad.left + sz.cx,
                       inner.top + pad.top + sz.cy};
        item->SetPos(rcItem, false);
        x += pad.left + sz.cx + pad.right + m_iChildPadding;
    }
}

}  // namespace DuiLib
