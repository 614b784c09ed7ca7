#include "ui/controls/box_layouts.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace DuiLib {

namespace {

// Shares the spare room among flexible children: a child whose minimum (or
// maximum) its even share would break is held at that limit first, so the
// others share what is left and the row never overflows for it.
std::vector<int> ShareSpace(int spare, const std::vector<std::pair<int, int>>& limits)
{
    std::vector<int> sizes(limits.size(), -1);
    int left = spare;
    int open = static_cast<int>(limits.size());
    for (bool changed = true; changed && open > 0;) {
        changed = false;
        int share = left > 0 ? left / open : 0;
        for (size_t i = 0; i < limits.size() && !changed; ++i) {
            if (sizes[i] >= 0)
                continue;
            int held = limits[i].first > share ? limits[i].first
                       : limits[i].second < share ? limits[i].second
                                                  : -1;
            if (held >= 0) {
                sizes[i] = held;
                left -= held;
                --open;
                changed = true;
            }
        }
    }
    int room = left > 0 ? left : 0;
    int share = open > 0 ? room / open : 0;
    int lastOpen = -1;
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (sizes[i] < 0) {
            sizes[i] = share;
            lastOpen = static_cast<int>(i);
        }
    }
    if (lastOpen >= 0)
        sizes[static_cast<size_t>(lastOpen)] += room - share * open;  // the rounding remainder
    return sizes;
}

}  // namespace

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
    int fixedTotal = 0, placed = 0;
    std::vector<std::pair<int, int>> limits;
    for (CControlUI* item : m_items) {
        if (!item->IsVisible() || item->IsFloat())
            continue;
        SIZE sz = item->EstimateSize(SIZE{width, height});
        RECT pad = item->GetPadding();
        if (sz.cy == 0)
            limits.emplace_back(item->GetMinHeight(), item->GetMaxHeight());
        else
            fixedTotal += Clamp(item, sz).cy;
        fixedTotal += pad.top + pad.bottom;
        ++placed;
    }
    if (placed > 1)
        fixedTotal += (placed - 1) * m_iChildPadding;
    std::vector<int> shares = ShareSpace(height - fixedTotal, limits);
    size_t nextShare = 0;

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
        if (sz.cy == 0)
            sz.cy = shares[nextShare++];
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

    int fixedTotal = 0, placed = 0;
    std::vector<std::pair<int, int>> limits;
    for (CControlUI* item : m_items) {
        if (!item->IsVisible() || item->IsFloat())
            continue;
        SIZE sz = item->EstimateSize(SIZE{width, height});
        RECT pad = item->GetPadding();
        if (sz.cx == 0)
            limits.emplace_back(item->GetMinWidth(), item->GetMaxWidth());
        else
            fixedTotal += Clamp(item, sz).cx;
        fixedTotal += pad.left + pad.right;
        ++placed;
    }
    if (placed > 1)
        fixedTotal += (placed - 1) * m_iChildPadding;
    std::vector<int> shares = ShareSpace(width - fixedTotal, limits);
    size_t nextShare = 0;

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
        if (sz.cx == 0)
            sz.cx = shares[nextShare++];
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
