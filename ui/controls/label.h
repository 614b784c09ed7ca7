#pragma once
// Text controls: CLabelUI draws one line (by default vertically centred),
// CTextUI wraps its text over several lines.
#include "ui/control.h"

namespace DuiLib {

class CLabelUI : public CControlUI {
public:
    CLabelUI();
    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;

    void SetTextStyle(UINT uStyle);
    UINT GetTextStyle() const { return m_uTextStyle; }
    void SetTextColor(DWORD dwTextColor);
    DWORD GetTextColor() const { return m_dwTextColor; }
    void SetDisabledTextColor(DWORD dwTextColor);
    DWORD GetDisabledTextColor() const { return m_dwDisabledTextColor; }
    void SetFont(int index);
    int GetFont() const { return m_iFont; }
    RECT GetTextPadding() const { return m_rcTextPadding; }
    void SetTextPadding(RECT rc);
    bool GetAutoCalcWidth() const { return m_bAutoCalcWidth; }
    void SetAutoCalcWidth(bool bAutoCalcWidth);

    SIZE EstimateSize(SIZE szAvailable) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    void PaintText(HDC hDC) override;

protected:
    // The text colour for the current state (0 means the window default).
    virtual DWORD CurrentTextColor() const;
    DWORD FocusMarkColor() const override;
    RECT TextRect() const;

    UINT m_uTextStyle = DT_VCENTER | DT_SINGLELINE;
    DWORD m_dwTextColor = 0;
    DWORD m_dwDisabledTextColor = 0;
    int m_iFont = -1;
    RECT m_rcTextPadding = {};
    bool m_bAutoCalcWidth = false;
};

class CTextUI : public CLabelUI {
public:
    CTextUI();
    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;
};

// Reads "align"/"valign" words (left, center, right, top, vcenter, bottom,
// multiline, ...) into DrawText flags.
UINT ApplyAlignWords(UINT style, LPCWSTR words, bool vertical);

}  // namespace DuiLib
