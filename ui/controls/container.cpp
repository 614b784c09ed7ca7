#include "ui/controls/container.h"

#include <algorithm>

#include "ui/attr_parse.h"
#include "ui/paint_manager.h"
#include "ui/render.h"

namespace DuiLib {

CContainerUI::~CContainerUI()
{
    for (CControlUI* item : m_items)
        delete item;
}

LPCWSTR CContainerUI::GetClass() const { return L"ContainerUI"; }

LPVOID CContainerUI::GetInterface(LPCWSTR pstrName)
{
    if (pstrName && wcscmp(pstrName, L"Container") == 0)
        return this;
    return CControlUI::GetInterface(pstrName);
}

CControlUI* CContainerUI::GetItemAt(int iIndex) const
{
    return iIndex >= 0 && iIndex < GetCount() ? m_items[static_cast<size_t>(iIndex)] : nullptr;
}

int CContainerUI::GetItemIndex(CControlUI* pControl) const
{
    auto it = std::find(m_items.begin(), m_items.end(), pControl);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

bool CContainerUI::Add(CControlUI* pControl) { return AddAt(pControl, GetCount()); }

bool CContainerUI::AddAt(CControlUI* pControl, int iIndex)
{
    if (!pControl || iIndex < 0 || iIndex > GetCount())
        return false;
    if (m_pManager)
        m_pManager->InitControls(pControl, this);
    if (!IsVisible())
        pControl->SetInternVisible(false);
    m_items.insert(m_items.begin() + iIndex, pControl);
    NeedUpdate();
    return true;
}

bool CContainerUI::Remove(CControlUI* pControl)
{
    auto it = std::find(m_items.begin(), m_items.end(), pControl);
    if (it == m_items.end())
        return false;
    m_items.erase(it);
    delete pControl;
    NeedUpdate();
    return true;
}

void CContainerUI::RemoveAll()
{
    std::vector<CControlUI*> items;
    items.swap(m_items);
    for (CControlUI* item : items)
        delete item;
    NeedUpdate();
}

void CContainerUI::SetInset(RECT rcInset)
{
    m_rcInset = rcInset;
    NeedUpdate();
}

void CContainerUI::SetChildPadding(int iPadding)
{
    m_iChildPadding = iPadding;
    NeedUpdate();
}

void CContainerUI::SetVisible(bool bVisible)
{
    if (m_bVisible == bVisible)
        return;
    CControlUI::SetVisible(bVisible);
    for (CControlUI* item : m_items)
        item->SetInternVisible(IsVisible());
}

void CContainerUI::SetInternVisible(bool bVisible)
{
    CControlUI::SetInternVisible(bVisible);
    for (CControlUI* item : m_items)
        item->SetInternVisible(IsVisible());
}

void CContainerUI::SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit)
{
    for (CControlUI* item : m_items)
        item->SetManager(pManager, this, bInit);
    CControlUI::SetManager(pManager, pParent, bInit);
}

CControlUI* CContainerUI::FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags)
{
    if ((uFlags & UIFIND_VISIBLE) && !IsVisible())
        return nullptr;
    if ((uFlags & UIFIND_ENABLED) && !IsEnabled())
        return nullptr;
    const POINT* pt = static_cast<const POINT*>(pData);
    if ((uFlags & UIFIND_HITTEST)) {
        if (!PtInRect(&m_rcItem, *pt))
            return nullptr;
        if (!m_bMouseChildEnabled)
            return IsMouseEnabled() ? Proc(this, pData) : nullptr;
    }
    if (uFlags & UIFIND_ME_FIRST) {
        if (CControlUI* found = CControlUI::FindControl(Proc, pData, uFlags))
            return found;
    }
    RECT inner = InnerRect();
    auto visit = [&](CControlUI* item) -> CControlUI* {
        CControlUI* found = item->FindControl(Proc, pData, uFlags);
        if (found && (uFlags & UIFIND_HITTEST) && !item->IsFloat() && !PtInRect(&inner, *pt))
            return nullptr;
        return found;
    };
    if (uFlags & UIFIND_TOP_FIRST) {
        for (auto it = m_items.rbegin(); it != m_items.rend(); ++it)
            if (CControlUI* found = visit(*it))
                return found;
    } else {
        for (CControlUI* item : m_items)
            if (CControlUI* found = visit(item))
                return found;
    }
    if (!(uFlags & UIFIND_ME_FIRST))
        return CControlUI::FindControl(Proc, pData, uFlags);
    return nullptr;
}

RECT CContainerUI::InnerRect() const { return ToWindowPixels(LayoutInnerRect()); }

RECT CContainerUI::LayoutInnerRect() const
{
    RECT rc = m_rcLayout;
    rc.left += m_rcInset.left;
    rc.top += m_rcInset.top;
    rc.right -= m_rcInset.right;
    rc.bottom -= m_rcInset.bottom;
    return rc;
}

SIZE CContainerUI::Clamp(CControlUI* pControl, SIZE sz)
{
    sz.cx = std::max<LONG>(sz.cx, pControl->GetMinWidth());
    sz.cx = std::min<LONG>(sz.cx, pControl->GetMaxWidth());
    sz.cy = std::max<LONG>(sz.cy, pControl->GetMinHeight());
    sz.cy = std::min<LONG>(sz.cy, pControl->GetMaxHeight());
    return sz;
}

void CContainerUI::SetFloatPos(CControlUI* pControl)
{
    // Floating controls sit at "pos" relative to the container's top-left.
    SIZE xy = pControl->GetFixedXY();
    SIZE sz = {pControl->GetFixedWidth(), pControl->GetFixedHeight()};
    RECT rc = {m_rcLayout.left + xy.cx, m_rcLayout.top + xy.cy, m_rcLayout.left + xy.cx + sz.cx,
               m_rcLayout.top + xy.cy + sz.cy};
    pControl->SetPos(rc, false);
}

void CContainerUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    CControlUI::SetPos(rc, bNeedInvalidate);
    RECT inner = LayoutInnerRect();
    for (CControlUI* item : m_items) {
        if (!item->IsVisible())
            continue;
        if (item->IsFloat())
            SetFloatPos(item);
        else
            item->SetPos(inner, false);
    }
}

void CContainerUI::DoPaint(HDC hDC, const RECT& rcPaint)
{
    if (!IntersectRect(&m_rcPaint, &rcPaint, &m_rcItem))
        return;
    CRenderClip clip(hDC, m_rcItem);
    PaintSteps(hDC);
    if (m_items.empty())
        return;
    // Children stay inside the rounded shape.
    SIZE round = ScaledSize(m_cxyBorderRound);
    CRenderClip rounded(hDC, m_rcItem, round.cx, round.cy);
    RECT inner = InnerRect();
    RECT tmp;
    for (CControlUI* item : m_items) {
        if (!item->IsVisible())
            continue;
        RECT pos = item->GetPos();
        if (!IntersectRect(&tmp, &rcPaint, &pos))
            continue;
        if (item->IsFloat()) {
            item->DoPaint(hDC, rcPaint);
        } else if (IntersectRect(&tmp, &inner, &pos)) {
            CRenderClip innerClip(hDC, inner);
            item->DoPaint(hDC, rcPaint);
        }
    }
}

void CContainerUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (wcscmp(pstrName, L"inset") == 0)
        SetInset(ParseRect(pstrValue));
    else if (wcscmp(pstrName, L"childpadding") == 0)
        SetChildPadding(ParseInt(pstrValue));
    else if (wcscmp(pstrName, L"mousechild") == 0)
        SetMouseChildEnabled(ParseBool(pstrValue));
    else
        CControlUI::SetAttribute(pstrName, pstrValue);
}

}  // namespace DuiLib
