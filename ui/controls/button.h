#pragma once
// A pressable label: hot, pushed, focused and disabled looks (pictures,
// background and text colours), pressed with the mouse (with capture) or
// with Space/Enter when focused; a release inside sends "click".
#include "ui/controls/label.h"

namespace DuiLib {

class CButtonUI : public CLabelUI {
public:
    CButtonUI();
    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;
    UINT GetControlFlags() const override;

    bool Activate() override;
    void SetEnabled(bool bEnable = true) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    UINT GetButtonState() const { return m_uButtonState; }
    // Text alone, without fill, border or pictures: a link to the eye.
    bool LooksLikeLink() const;

    void SetNormalImage(LPCWSTR p) { SetImage(m_sNormalImage, p); }
    void SetHotImage(LPCWSTR p) { SetImage(m_sHotImage, p); }
    void SetPushedImage(LPCWSTR p) { SetImage(m_sPushedImage, p); }
    void SetFocusedImage(LPCWSTR p) { SetImage(m_sFocusedImage, p); }
    void SetDisabledImage(LPCWSTR p) { SetImage(m_sDisabledImage, p); }
    void SetForeImage(LPCWSTR p) { SetImage(m_sForeImage, p); }
    void SetHotBkColor(DWORD c) { m_dwHotBkColor = c; Invalidate(); }
    void SetPushedBkColor(DWORD c) { m_dwPushedBkColor = c; Invalidate(); }
    void SetDisabledBkColor(DWORD c) { m_dwDisabledBkColor = c; Invalidate(); }
    void SetHotTextColor(DWORD c) { m_dwHotTextColor = c; Invalidate(); }
    void SetPushedTextColor(DWORD c) { m_dwPushedTextColor = c; Invalidate(); }
    void SetFocusedTextColor(DWORD c) { m_dwFocusedTextColor = c; Invalidate(); }

    void PaintBkColor(HDC hDC) override;
    void PaintStatusImage(HDC hDC) override;

protected:
    void SetImage(std::wstring& slot, LPCWSTR value);
    DWORD CurrentTextColor() const override;
    DWORD CurrentBkColor() const override;
    // The state picture first, falling back to the normal one.
    void DrawStateImage(HDC hDC, const std::wstring& preferred);

    UINT m_uButtonState = 0;
    std::wstring m_sNormalImage, m_sHotImage, m_sPushedImage, m_sFocusedImage, m_sDisabledImage;
    std::wstring m_sForeImage, m_sHotForeImage, m_sPushedForeImage;
    DWORD m_dwHotBkColor = 0, m_dwPushedBkColor = 0, m_dwDisabledBkColor = 0, m_dwFocusedBkColor = 0;
    DWORD m_dwHotTextColor = 0, m_dwPushedTextColor = 0, m_dwFocusedTextColor = 0;
};

}  // namespace DuiLib
