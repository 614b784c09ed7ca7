#pragma once
// A container showing one child page at a time.
#include "ui/controls/container.h"

namespace DuiLib {

class CTabLayoutUI : public CContainerUI {
public:
    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;

    bool Add(CControlUI* pControl) override;
    bool AddAt(CControlUI* pControl, int iIndex) override;
    bool Remove(CControlUI* pControl) override;
    void RemoveAll() override;
    int GetCurSel() const;
    // Shows the page of that index; false for an index out of range.
    virtual bool SelectItem(int iIndex);
    bool SelectItem(CControlUI* pControl) { return SelectItem(GetItemIndex(pControl)); }

    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;

private:
    int m_iCurSel = 0;
};

}  // namespace DuiLib
