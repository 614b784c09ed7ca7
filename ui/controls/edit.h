#pragma once
// A one-line edit field. While it has the focus a native EDIT child window
// does the editing (caret, selection, clipboard, IME); otherwise the control
// draws its text itself.
#include "ui/controls/label.h"
#include "system/win_handles.h"

namespace DuiLib {

class CEditUI : public CLabelUI {
public:
    CEditUI();
    ~CEditUI() override;
    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;
    UINT GetControlFlags() const override;

    std::wstring GetText() const override;
    void SetText(LPCWSTR pstrText) override;
    void SetEnabled(bool bEnable = true) override;
    void SetReadOnly(bool bReadOnly);
    bool IsReadOnly() const { return m_bReadOnly; }
    void SetPasswordMode(bool bPasswordMode);
    bool IsPasswordMode() const { return m_bPasswordMode; }
    void SetMaxChar(UINT uMax);
    UINT GetMaxChar() const { return m_uMaxChar; }
    void SetNativeEditBkColor(DWORD dwBkColor) { m_dwEditBkColor = dwBkColor; }
    // The native editing window while the field has the focus, else null.
    HWND GetNativeWindow() const { return m_hWndEdit; }
    void SetSel(int start, int end);

    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    void SetVisible(bool bVisible = true) override;
    void SetInternVisible(bool bVisible = true) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    void PaintStatusImage(HDC hDC) override;
    void PaintText(HDC hDC) override;

private:
    void CreateNativeWindow();
    void DestroyNativeWindow();
    // The native window's place: the text area, inside the border.
    RECT NativeRect() const;
    // The character index under a point of the window (the native window's view).
    int CharFromPoint(POINT pt) const;
    LRESULT EditProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EditWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    HWND m_hWndEdit = nullptr;
    WNDPROC m_oldEditProc = nullptr;
    unique_hbrush m_hEditBrush;
    bool m_bFreshNative = false;  // made for this focus; not yet clicked or typed in
    bool m_bSelecting = false;    // the left button went down in the field
    int m_iSelAnchor = 0;
    UINT m_uMaxChar = 255;
    bool m_bReadOnly = false;
    bool m_bPasswordMode = false;
    WCHAR m_cPasswordChar = L'*';
    UINT m_uButtonState = 0;
    DWORD m_dwEditBkColor = 0xFFFFFFFF;
    std::wstring m_sNormalImage, m_sHotImage, m_sFocusedImage, m_sDisabledImage;
};

}  // namespace DuiLib
