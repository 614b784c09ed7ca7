#pragma once
// The tooltip of the control under a resting mouse: a Common Controls
// tooltip window. Common Controls is not a KnownDLL, so it is loaded at run
// time from the system directory.
#include <windows.h>

#include <string>

namespace DuiLib {

class CTooltipWindow {
public:
    explicit CTooltipWindow(HWND owner) : m_hWndOwner(owner) {}
    ~CTooltipWindow();
    CTooltipWindow(const CTooltipWindow&) = delete;
    CTooltipWindow& operator=(const CTooltipWindow&) = delete;

    // Shows text for the tool rectangle (client coordinates of the owner)
    // near the screen point, in the given font (the window's default font:
    // the system's may lack the glyphs of the window's texts).
    void Show(const std::wstring& text, const RECT& rcTool, POINT ptScreen, HFONT font);
    void Hide();
    bool IsShown() const { return m_bShown; }
    HWND GetHWND() const { return m_hWndTip; }

private:
    bool EnsureWindow();

    HWND m_hWndOwner;
    HWND m_hWndTip = nullptr;
    bool m_bShown = false;
    std::wstring m_sText;
};

}  // namespace DuiLib
