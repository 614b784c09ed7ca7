#pragma once
// The drop shadow of a window: a layered, click-through popup behind the
// window, larger by the shadow size on every side, drawn from a nine-grid
// picture (or a plain colour when no picture is given). It follows the
// window when it moves, resizes, shows or hides.
#include <windows.h>

#include <string>

namespace DuiLib {

class CPaintManagerUI;

class CShadowUI {
public:
    CShadowUI() = default;
    ~CShadowUI();
    CShadowUI(const CShadowUI&) = delete;
    CShadowUI& operator=(const CShadowUI&) = delete;

    void ShowShadow(bool bShow) { m_bIsShowShadow = bShow; }
    bool IsShowShadow() const { return m_bIsShowShadow; }
    void SetSize(int nSize)
    {
        m_nSize = nSize < 0 ? 0 : (nSize > 64 ? 64 : nSize);
        m_szDrawn = {};
    }
    int GetSize() const { return m_nSize; }
    void SetImage(LPCWSTR szImage)
    {
        m_sShadowImage = szImage ? szImage : L"";
        m_szDrawn = {};
    }
    void SetShadowCorner(const RECT& rcCorner)
    {
        m_rcShadowCorner = rcCorner;
        m_szDrawn = {};
    }
    void SetColor(DWORD dwColor)
    {
        m_dwColor = dwColor;
        m_szDrawn = {};
    }
    void SetPosition(int x, int y) { m_ptOffset = {x, y}; }

    // Gives the shadow to the manager's window (once); its own window is made
    // when that window has painted itself.
    bool Create(CPaintManagerUI* pManager);
    // Follows the window: called with the window's own messages.
    void OnParentMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
    // The window has painted itself: the shadow may show from now on.
    void OnParentPainted();
    HWND GetHWND() const { return m_hWnd; }
    // Whether the shadow has been drawn at least once.
    bool IsDrawn() const { return m_bDrawn; }

private:
    void Update();
    // The shadow's size and offset in window pixels at the window's DPI.
    int ScaledSize() const;
    POINT ScaledOffset() const;
    bool ParentShown() const;
    bool MakeWindow();
    void Draw(const RECT& rcWnd, int w, int h);
    void Hide();

    CPaintManagerUI* m_pManager = nullptr;
    HWND m_hWnd = nullptr;
    HWND m_hWndOwner = nullptr;
    bool m_bIsShowShadow = false;
    bool m_bDrawn = false;
    // The window's own first picture comes first; the shadow around it waits
    // for it, so a new window shows as early as it can.
    bool m_bParentPainted = false;
    int m_nSize = 0;
    std::wstring m_sShadowImage;
    RECT m_rcShadowCorner = {};
    DWORD m_dwColor = 0x40000000;
    POINT m_ptOffset = {};
    // The size of the picture the shadow window shows; empty when it must be
    // drawn again (not drawn yet, hidden, or its settings changed).
    SIZE m_szDrawn = {};
};

}  // namespace DuiLib
