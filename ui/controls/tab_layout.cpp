#include "ui/controls/tab_layout.h"

#include "ui/attr_parse.h"
#include "ui/paint_manager.h"

namespace DuiLib {

LPCWSTR CTabLayoutUI::GetClass() const { return L"TabLayoutUI"; }

LPVOID CTabLayoutUI::GetInterface(LPCWSTR pstrName)
{
    if (pstrName && wcscmp(pstrName, L"TabLayout") == 0)
        return this;
    return CContainerUI::GetInterface(pstrName);
}

bool CTabLayoutUI::Add(CControlUI* pControl) { return AddAt(pControl, GetCount()); }

bool CTabLayoutUI::AddAt(CControlUI* pControl, int iIndex)
{
    if (!CContainerUI::AddAt(pControl, iIndex))
        return false;
    // Pages are shown by selection only; inserting before the shown page
    // keeps that page shown.
    bool hadSelected = m_iCurSel >= 0 && m_iCurSel < GetCount() - 1;
    if (hadSelected && iIndex <= m_iCurSel) {
        ++m_iCurSel;
        pControl->SetVisible(false);
    } else {
        pControl->SetVisible(iIndex == m_iCurSel);
    }
    return true;
}

bool CTabLayoutUI::Remove(CControlUI* pControl)
{
    int index = GetItemIndex(pControl);
    if (!CContainerUI::Remove(pControl))
        return false;
    if (index < m_iCurSel)
        --m_iCurSel;
    else if (index == m_iCurSel) {
        m_iCurSel = -1;
        SelectItem(0);
    }
    return true;
}

void CTabLayoutUI::RemoveAll()
{
    m_iCurSel = -1;
    CContainerUI::RemoveAll();
}

int CTabLayoutUI::GetCurSel() const
{
    return m_iCurSel >= 0 && m_iCurSel < GetCount() ? m_iCurSel : -1;
}

bool CTabLayoutUI::SelectItem(int iIndex)
{
    if (iIndex < 0 || iIndex >= GetCount())
        return false;
    if (iIndex == m_iCurSel)
        return true;
    int old = m_iCurSel;
    m_iCurSel = iIndex;
    for (int i = 0; i < GetCount(); ++i)
        GetItemAt(i)->SetVisible(i == iIndex);
    NeedParentUpdate();
    if (m_pManager)
        m_pManager->OnPageShown(GetItemAt(iIndex));
    if (m_pManager)
        m_pManager->SendNotify(this, DUI_MSGTYPE_TABSELECT, static_cast<WPARAM>(iIndex),
                               static_cast<LPARAM>(old));
    return true;
}

void CTabLayoutUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (wcscmp(pstrName, L"selectedid") == 0) {
        int index = ParseInt(pstrValue);
        if (GetCount() > 0)
            SelectItem(index);
        else
            m_iCurSel = index;  // pages are added after the attributes
    } else {
        CContainerUI::SetAttribute(pstrName, pstrValue);
    }
}

}  // namespace DuiLib
