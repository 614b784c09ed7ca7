#pragma once
// COptionUI: a button with a selected state, toggled by a click (or, in a
// group, selected exclusively); CCheckBoxUI is an option used as a check box.
#include "ui/controls/button.h"

namespace DuiLib {

class COptionUI : public CButtonUI {
public:
    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;

    UINT GetControlFlags() const override;
    bool Activate() override;
    bool IsSelected() const { return m_bSelected; }
    // Changes the state; sends "selectchanged" when it changed and
    // bTriggerEvent is set.
    virtual void Selected(bool bSelected, bool bTriggerEvent = true);
    const std::wstring& GetGroup() const { return m_sGroupName; }
    void SetGroup(LPCWSTR pStrGroupName) { m_sGroupName = pStrGroupName ? pStrGroupName : L""; }
    void SetSelectedImage(LPCWSTR p) { SetImage(m_sSelectedImage, p); }

    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    void PaintStatusImage(HDC hDC) override;

protected:
    DWORD CurrentTextColor() const override;
    DWORD CurrentBkColor() const override;
    // Around the text, as Windows marks a focused check box.
    RECT FocusMarkRect() const override;

    bool m_bSelected = false;
    std::wstring m_sGroupName;
    std::wstring m_sSelectedImage, m_sSelectedHotImage, m_sSelectedPushedImage,
        m_sSelectedDisabledImage, m_sSelectedForeImage;
    DWORD m_dwSelectedBkColor = 0;
    DWORD m_dwSelectedTextColor = 0;
};

class CCheckBoxUI : public COptionUI {
public:
    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;
    // Selected with the notification sent.
    void SetCheck(bool bCheck) { Selected(bCheck); }
    bool GetCheck() const { return IsSelected(); }
};

}  // namespace DuiLib
