#pragma once
// The base of every control: name, text, position and size rules, padding,
// visibility, enabled state, colours, background picture, border, tooltip,
// and the painting steps derived controls replace.
#include <windows.h>

#include <string>

#include "ui/paint_manager.h"
#include "ui/ui_types.h"

namespace DuiLib {

class CPaintManagerUI;
class CControlUI;

using FINDCONTROLPROC = CControlUI*(CALLBACK*)(CControlUI*, LPVOID);

class CControlUI {
public:
    CControlUI();
    virtual ~CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    virtual const std::wstring& GetName() const { return m_sName; }
    virtual void SetName(LPCWSTR pstrName);
    virtual LPCWSTR GetClass() const;
    virtual LPVOID GetInterface(LPCWSTR pstrName);
    virtual UINT GetControlFlags() const { return 0; }
    // Performs the control's action (a click); false when it cannot act.
    virtual bool Activate();

    virtual CPaintManagerUI* GetManager() const { return m_pManager; }
    virtual void SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit = true);
    virtual CControlUI* GetParent() const { return m_pParent; }

    virtual std::wstring GetText() const { return m_sText; }
    virtual void SetText(LPCWSTR pstrText);

    // Colours (#AARRGGBB) and pictures.
    DWORD GetBkColor() const { return m_dwBackColor; }
    void SetBkColor(DWORD dwColor);
    const std::wstring& GetBkImage() const { return m_sBkImage; }
    // Repaints only when the description changes.
    void SetBkImage(LPCWSTR pStrImage);
    DWORD GetBorderColor() const { return m_dwBorderColor; }
    void SetBorderColor(DWORD dwColor);
    DWORD GetFocusBorderColor() const { return m_dwFocusBorderColor; }
    void SetFocusBorderColor(DWORD dwColor);
    int GetBorderSize() const { return m_nBorderSize; }
    void SetBorderSize(int nSize);
    SIZE GetBorderRound() const { return m_cxyBorderRound; }
    void SetBorderRound(SIZE cxyRound);

    // Position: SetPos takes the layout's rectangle (96-DPI pixels); GetPos
    // gives it in window client pixels at the window's DPI (edges scaled).
    virtual const RECT& GetPos() const { return m_rcItem; }
    const RECT& GetLayoutPos() const { return m_rcLayout; }
    virtual void SetPos(RECT rc, bool bNeedInvalidate = true);
    virtual int GetWidth() const { return m_rcItem.right - m_rcItem.left; }
    virtual int GetHeight() const { return m_rcItem.bottom - m_rcItem.top; }
    virtual RECT GetPadding() const { return m_rcPadding; }
    virtual void SetPadding(RECT rcPadding);
    virtual SIZE GetFixedXY() const { return m_cXY; }
    virtual void SetFixedXY(SIZE szXY);
    virtual int GetFixedWidth() const { return m_cxyFixed.cx; }
    virtual void SetFixedWidth(int cx);
    virtual int GetFixedHeight() const { return m_cxyFixed.cy; }
    virtual void SetFixedHeight(int cy);
    virtual int GetMinWidth() const { return m_cxyMin.cx; }
    virtual void SetMinWidth(int cx);
    virtual int GetMaxWidth() const { return m_cxyMax.cx; }
    virtual void SetMaxWidth(int cx);
    virtual int GetMinHeight() const { return m_cxyMin.cy; }
    virtual void SetMinHeight(int cy);
    virtual int GetMaxHeight() const { return m_cxyMax.cy; }
    virtual void SetMaxHeight(int cy);
    // The size the control asks of its layout; 0 in a dimension is flexible.
    virtual SIZE EstimateSize(SIZE szAvailable);

    virtual std::wstring GetToolTip() const { return m_sToolTip; }
    virtual void SetToolTip(LPCWSTR pstrText);

    // What a screen reader is told where the control's text and tooltip do
    // not say it: a name of its own; whether it is left out of the tree (a
    // second target for the same action); and the option whose selection
    // says whether the area this control unfolds is expanded (the control
    // then reads as one button with an expanded or collapsed state).
    const std::wstring& GetAccessibleName() const { return m_sAccessibleName; }
    void SetAccessibleName(LPCWSTR pstrName) { m_sAccessibleName = pstrName ? pstrName : L""; }
    bool IsAccessibleHidden() const { return m_bAccessibleHidden; }
    void SetAccessibleHidden(bool bHidden = true) { m_bAccessibleHidden = bHidden; }
    CControlUI* GetAccessibleExpandedBy() const { return m_pAccessibleExpandedBy; }
    void SetAccessibleExpandedBy(CControlUI* pOption) { m_pAccessibleExpandedBy = pOption; }

    virtual const std::wstring& GetUserData() const { return m_sUserData; }
    virtual void SetUserData(LPCWSTR pstrText) { m_sUserData = pstrText ? pstrText : L""; }
    virtual UINT_PTR GetTag() const { return m_pTag; }
    virtual void SetTag(UINT_PTR pTag) { m_pTag = pTag; }

    // Visible: own flag and that of every ancestor.
    virtual bool IsVisible() const { return m_bVisible && m_bInternVisible; }
    virtual void SetVisible(bool bVisible = true);
    virtual void SetInternVisible(bool bVisible = true);
    virtual bool IsEnabled() const { return m_bEnabled; }
    virtual void SetEnabled(bool bEnable = true);
    virtual bool IsMouseEnabled() const { return m_bMouseEnabled; }
    virtual void SetMouseEnabled(bool bEnable = true) { m_bMouseEnabled = bEnable; }
    virtual bool IsKeyboardEnabled() const { return m_bKeyboardEnabled; }
    virtual void SetKeyboardEnabled(bool bEnable = true) { m_bKeyboardEnabled = bEnable; }
    virtual bool IsFocused() const { return m_bFocused; }
    virtual void SetFocus();
    virtual bool IsFloat() const { return m_bFloat; }
    virtual void SetFloat(bool bFloat = true);

    virtual CControlUI* FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags);

    void Invalidate();
    bool IsUpdateNeeded() const { return m_bUpdateNeeded; }
    void NeedUpdate();
    void NeedParentUpdate();

    virtual void Init();
    virtual void DoInit() {}
    virtual void Event(TEventUI& event);
    virtual void DoEvent(TEventUI& event);

    virtual void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue);
    // key="value" pairs, as class defaults are written.
    void ApplyAttributeList(LPCWSTR pstrList);

    // Painting: DoPaint clips to the control and runs the steps below in order.
    virtual void DoPaint(HDC hDC, const RECT& rcPaint);
    virtual void PaintBkColor(HDC hDC);
    virtual void PaintBkImage(HDC hDC);
    virtual void PaintStatusImage(HDC hDC);
    virtual void PaintText(HDC hDC);
    virtual void PaintBorder(HDC hDC);
    // The keyboard focus mark, once the window shows focus cues (after the
    // first navigation key): the border, a pixel stronger, where there is a
    // border; a solid ring along the edge of a filled control; else a dotted
    // frame. Its colour contrasts with the control and with its surround.
    virtual void PaintFocusMark(HDC hDC);

    // Draws a picture description into the control (false when missing).
    bool DrawImage(HDC hDC, const std::wstring& desc, const wchar_t* modify = nullptr);

protected:
    // 96-DPI lengths and layout rectangles in window pixels at the window's DPI.
    int Scaled(int value) const { return m_pManager ? m_pManager->Scale(value) : value; }
    int ScaledLine(int value) const { return m_pManager ? m_pManager->ScaleLine(value) : value; }
    SIZE ScaledSize(SIZE sz) const { return SIZE{Scaled(sz.cx), Scaled(sz.cy)}; }
    RECT ToWindowPixels(const RECT& layout) const
    {
        return m_pManager ? m_pManager->ScaleRect(layout) : layout;
    }

    // The painting steps, inside a clip the caller has set; rounded corners
    // are blended anti-aliased with what lies beneath.
    void PaintSteps(HDC hDC);
    void DrawBorder(HDC hDC, int size, DWORD color);
    bool ShowsFocusMark() const;
    // The layout's focus border colour, else the control's text colour.
    virtual DWORD FocusMarkColor() const;
    virtual RECT FocusMarkRect() const;
    // The colour the control is filled with in its current state (0 none).
    virtual DWORD CurrentBkColor() const { return m_dwBackColor; }
    // The colour around the control: the nearest ancestor's background, else
    // the white every window is painted on first.
    DWORD SurroundColor() const;

    CPaintManagerUI* m_pManager = nullptr;
    CControlUI* m_pParent = nullptr;
    std::wstring m_sName;
    std::wstring m_sText;
    std::wstring m_sToolTip;
    std::wstring m_sUserData;
    UINT_PTR m_pTag = 0;
    bool m_bUpdateNeeded = true;
    bool m_bVisible = true;
    bool m_bInternVisible = true;
    bool m_bEnabled = true;
    bool m_bMouseEnabled = true;
    bool m_bKeyboardEnabled = true;
    bool m_bFocused = false;
    bool m_bFloat = false;
    bool m_bSetPos = false;  // guards re-entrant SetPos
    std::wstring m_sAccessibleName;
    bool m_bAccessibleHidden = false;
    CControlUI* m_pAccessibleExpandedBy = nullptr;  // an option of the same window

    RECT m_rcItem = {};    // window pixels
    RECT m_rcLayout = {};  // the layout's rectangle, 96-DPI pixels
    RECT m_rcPadding = {};
    SIZE m_cXY = {};
    SIZE m_cxyFixed = {};
    SIZE m_cxyMin = {};
    SIZE m_cxyMax = {9999, 9999};
    RECT m_rcPaint = {};

    DWORD m_dwBackColor = 0;
    DWORD m_dwBorderColor = 0;
    DWORD m_dwFocusBorderColor = 0;
    int m_nBorderSize = 0;
    SIZE m_cxyBorderRound = {};
    std::wstring m_sBkImage;
};

}  // namespace DuiLib
