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

void CStackLayoutUI::StackChildren(RECT rc, bool bNeedInvalidate, bool vertical)
{
    CControlUI::SetPos(rc, bNeedInvalidate);
    RECT inner = LayoutInnerRect();
    int width = inner.right - inner.left, height = inner.bottom - inner.top;
    // Along the stacking axis ("main") and across it.
    auto main = [vertical](SIZE& s) -> LONG& { return vertical ? s.cy : s.cx; };
    auto cross = [vertical](SIZE& s) -> LONG& { return vertical ? s.cx : s.cy; };
    auto padBefore = [vertical](const RECT& p) { return vertical ? p.top : p.left; };
    auto padAfter = [vertical](const RECT& p) { return vertical ? p.bottom : p.right; };
    auto padAcross = [vertical](const RECT& p) { return vertical ? p.left + p.right : p.top + p.bottom; };

    // First pass: what the fixed children need and how many share the rest.
    int fixedTotal = 0, placed = 0;
    std::vector<std::pair<int, int>> limits;
    for (CControlUI* item : m_items) {
        if (!item->IsVisible() || item->IsFloat())
            continue;
        SIZE sz = item->EstimateSize(SIZE{width, height});
        RECT pad = item->GetPadding();
        if (main(sz) == 0) {
            limits.emplace_back(vertical ? item->GetMinHeight() : item->GetMinWidth(),
                                vertical ? item->GetMaxHeight() : item->GetMaxWidth());
        } else {
            SIZE clamped = Clamp(item, sz);
            fixedTotal += main(clamped);
        }
        fixedTotal += padBefore(pad) + padAfter(pad);
        ++placed;
    }
    if (placed > 1)
        fixedTotal += (placed - 1) * m_iChildPadding;
    std::vector<int> shares = ShareSpace((vertical ? height : width) - fixedTotal, limits);
    size_t nextShare = 0;

    int at = vertical ? inner.top : inner.left;
    for (CControlUI* item : m_items) {
        if (!item->IsVisible())
            continue;
        if (item->IsFloat()) {
            SetFloatPos(item);
            continue;
        }
        RECT pad = item->GetPadding();
        SIZE sz = item->EstimateSize(SIZE{width, height});
        if (main(sz) == 0)
            main(sz) = shares[nextShare++];
        if (cross(sz) == 0)
            cross(sz) = (vertical ? width : height) - padAcross(pad);
        sz = Clamp(item, sz);
        RECT rcItem = vertical
            ? RECT{inner.left + pad.left, at + pad.top, inner.left + pad.left + sz.cx, at + pad.top + sz.cy}
            : RECT{at + pad.left, inner.top + pad.top, at + pad.left + sz.cx, inner.top + pad.top + sz.cy};
        item->SetPos(rcItem, false);
        at += padBefore(pad) + main(sz) + padAfter(pad) + m_iChildPadding;
    }
}

LPCWSTR CVerticalLayoutUI::GetClass() const { return L"VerticalLayoutUI"; }

LPVOID CVerticalLayoutUI::GetInterface(LPCWSTR pstrName)
{
    if (pstrName && wcscmp(pstrName, L"VerticalLayout") == 0)
        return this;
    return CContainerUI::GetInterface(pstrName);
}

void CVerticalLayoutUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    StackChildren(rc, bNeedInvalidate, true);
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
    StackChildren(rc, bNeedInvalidate, false);
}

}  // namespace DuiLib
