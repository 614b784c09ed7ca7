#pragma once
// A progress bar: the fore picture (or colour) fills the part of the bar
// that the value covers between min and max.
#include "ui/controls/label.h"

namespace DuiLib {

class CProgressUI : public CLabelUI {
public:
    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;
    UINT GetControlFlags() const override { return UIFLAG_PAGEFOCUS; }

    bool IsHorizontal() const { return m_bHorizontal; }
    void SetHorizontal(bool bHorizontal = true);
    int GetMinValue() const { return m_nMin; }
    void SetMinValue(int nMin);
    int GetMaxValue() const { return m_nMax; }
    void SetMaxValue(int nMax);
    int GetValue() const { return m_nValue; }
    // Ignores a value equal to the current one or outside min..max.
    void SetValue(int nValue);
    // The value as a whole percentage of the range.
    int Percent() const;
    void SetForeImage(LPCWSTR pStrImage);

    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    void PaintStatusImage(HDC hDC) override;

private:
    bool m_bHorizontal = true;
    int m_nMin = 0;
    int m_nMax = 100;
    int m_nValue = 0;
    std::wstring m_sForeImage;
    DWORD m_dwForeColor = 0;
};

}  // namespace DuiLib
