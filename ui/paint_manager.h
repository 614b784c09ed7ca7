#pragma once
// One per window: owns the control tree, lays it out, paints it through a
// back buffer, routes mouse and keyboard input to controls, keeps the
// window's fonts, class defaults and window attributes, delivers
// notifications, and runs the message filters. Its static side holds the
// process-wide skin settings and the message loop.
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "system/win_handles.h"
#include "ui/dpi.h"
#include "ui/interfaces.h"
#include "ui/resource_store.h"
#include "ui/ui_types.h"

namespace DuiLib {

class CAccessibleTree;
class CControlUI;
class CShadowUI;
class CTooltipWindow;
struct TImageInfo;

struct TFontInfo {
    unique_hfont hFont;
    std::wstring sFontName;
    int iSize = 0;
    bool bBold = false;
    bool bUnderline = false;
    bool bItalic = false;
    TEXTMETRICW tm = {};
};

class CPaintManagerUI {
public:
    CPaintManagerUI();
    ~CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

    void Init(HWND hWnd, LPCWSTR pstrName = nullptr);
    HWND GetPaintWindow() const { return m_hWndPaint; }
    const std::wstring& GetName() const { return m_sName; }
    // A device context for measuring text in this window's fonts.
    HDC GetPaintDC() const { return m_hDcMeasure.Get(); }
    POINT GetMousePos() const { return m_ptLastMousePos; }

    // Display scale: layouts are written in pixels at 96 DPI and drawn at the
    // window's DPI (taken in Init, changed by WM_DPICHANGED).
    int GetDpi() const { return m_nDpi; }
    void SetDpi(int dpi);
    int Scale(int value) const { return ScaleByDpi(value, m_nDpi); }
    int ScaleLine(int value) const { return ScaleLineByDpi(value, m_nDpi); }
    RECT ScaleRect(const RECT& rc) const { return ScaleRectByDpi(rc, m_nDpi); }

    // Window attributes from the layout's root element.
    SIZE GetInitSize() const { return m_szInitWindowSize; }
    void SetInitSize(int cx, int cy);
    RECT GetSizeBox() const { return m_rcSizeBox; }
    void SetSizeBox(const RECT& rc) { m_rcSizeBox = rc; }
    bool HasSizeBox() const
    {
        return m_rcSizeBox.left > 0 || m_rcSizeBox.top > 0 || m_rcSizeBox.right > 0 || m_rcSizeBox.bottom > 0;
    }
    // Without a size box the system menu's Size command is greyed out.
    void GreySizeCommand(HMENU hSysMenu) const;
    RECT GetCaptionRect() const { return m_rcCaption; }
    void SetCaptionRect(const RECT& rc) { m_rcCaption = rc; }
    SIZE GetRoundCorner() const { return m_szRoundCorner; }
    void SetRoundCorner(int cx, int cy) { m_szRoundCorner = {cx, cy}; }
    SIZE GetMinInfo() const { return m_szMinWindow; }
    void SetMinInfo(int cx, int cy) { m_szMinWindow = {cx, cy}; }
    SIZE GetMaxInfo() const { return m_szMaxWindow; }
    void SetMaxInfo(int cx, int cy) { m_szMaxWindow = {cx, cy}; }
    DWORD GetDefaultFontColor() const { return m_dwDefaultFontColor; }
    void SetDefaultFontColor(DWORD c) { m_dwDefaultFontColor = c; }
    DWORD GetDefaultDisabledColor() const { return m_dwDefaultDisabledColor; }
    void SetDefaultDisabledColor(DWORD c) { m_dwDefaultDisabledColor = c; }
    DWORD GetDefaultLinkFontColor() const { return m_dwDefaultLinkFontColor; }
    void SetDefaultLinkFontColor(DWORD c) { m_dwDefaultLinkFontColor = c; }
    DWORD GetDefaultLinkHoverFontColor() const { return m_dwDefaultLinkHoverFontColor; }
    void SetDefaultLinkHoverFontColor(DWORD c) { m_dwDefaultLinkHoverFontColor = c; }
    DWORD GetDefaultSelectedBkColor() const { return m_dwDefaultSelectedBkColor; }
    void SetDefaultSelectedBkColor(DWORD c) { m_dwDefaultSelectedBkColor = c; }
    // Sets a window attribute of the layout's root element.
    void SetWindowAttribute(LPCWSTR pstrName, LPCWSTR pstrValue);
    CShadowUI* GetShadow() const { return m_pShadow.get(); }

    // Fonts: id -> font; shared fonts belong to every window. Sizes are
    // 96-DPI pixels; GetFont and GetFontInfo give the font at the window's DPI.
    HFONT AddFont(int id, LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline,
                  bool bItalic, bool bShared = false);
    void SetDefaultFont(LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic,
                        bool bShared = false);
    // The font of that id, or the default font when there is none.
    HFONT GetFont(int id);
    const TFontInfo* GetFontInfo(int id);
    static void RemoveAllSharedFonts();

    // Pictures (cached process-wide).
    const TImageInfo* GetImage(const std::wstring& file, const std::wstring& resType = {},
                               DWORD mask = 0);

    // Class defaults ("Default" elements).
    void AddDefaultAttributeList(LPCWSTR pStrControlName, LPCWSTR pStrControlAttrList,
                                 bool bShared = false);
    LPCWSTR GetDefaultAttributeList(LPCWSTR pStrControlName) const;

    // The control tree.
    bool AttachDialog(CControlUI* pControl);
    bool InitControls(CControlUI* pControl, CControlUI* pParent = nullptr);
    void ReapObjects(CControlUI* pControl);
    CControlUI* GetRoot() const { return m_pRoot; }
    CControlUI* FindControl(LPCWSTR pstrName) const;
    CControlUI* FindControl(POINT pt) const;
    CControlUI* FindSubControlByName(CControlUI* pParent, LPCWSTR pstrName) const;
    CControlUI* GetFocus() const { return m_pFocus; }
    void SetFocus(CControlUI* pControl);
    bool SetNextTabControl(bool bForward = true);
    // The first control of a page that takes the focus: a Tab stop, else a
    // control marked to take it when its page opens; none when there is none.
    CControlUI* FirstFocusable(CControlUI* pPage) const;
    // A page of a tab layout was shown: the focus, gone with the old page,
    // moves to the new page's first control.
    void OnPageShown(CControlUI* pPage);
    // The push button Enter presses while the focus is on a control that does
    // not take Enter itself (a check box, an option, or none), as in a
    // Windows dialog; Enter does nothing while it is hidden or disabled.
    void SetDefaultButton(CControlUI* pControl) { m_pDefaultButton = pControl; }
    CControlUI* GetDefaultButton() const { return m_pDefaultButton; }
    // The button Esc presses, as in a Windows dialog (a close button): Esc
    // does nothing while it is hidden or disabled, or without one.
    void SetCancelButton(CControlUI* pControl) { m_pCancelButton = pControl; }
    CControlUI* GetCancelButton() const { return m_pCancelButton; }
    // Presses the default button, as a click would, once the current message is done.
    void PressDefaultButtonLater();
    CControlUI* GetHoverControl() const { return m_pEventHover; }
    // The window's accessible tree (made on first need), and telling screen
    // readers of an event of a control in it (none: the client area itself).
    CAccessibleTree* GetAccessibleTree();
    void NotifyAccessibleEvent(DWORD event, CControlUI* pControl);
    // Whether the window marks the focused control: as in Windows, only
    // after keyboard navigation (the window's UI state, WM_UPDATEUISTATE).
    bool IsFocusCueShown() const { return m_bFocusCues; }
    // Keyboard navigation happened: asks Windows to show the focus cues.
    void ShowFocusCues();

    // Layout and painting.
    void NeedUpdate();
    void Invalidate(const RECT& rcItem);
    // Lays the tree out now if anything changed since the last layout.
    void UpdateLayout();
    // Paints rcPaint of the window into hDC (the back buffer's work).
    void Render(HDC hDC, const RECT& rcPaint);
    // Counts paints, so a test can tell whether a change repainted.
    unsigned GetPaintCount() const { return m_nPaintCount; }

    // Timers of controls.
    bool SetTimer(CControlUI* pControl, UINT nTimerID, UINT uElapse);
    bool KillTimer(CControlUI* pControl, UINT nTimerID);
    void KillTimer(CControlUI* pControl);

    // Notifications and filters.
    bool AddNotifier(INotifyUI* pControl);
    bool RemoveNotifier(INotifyUI* pControl);
    void SendNotify(TNotifyUI& Msg, bool bAsync = false);
    void SendNotify(CControlUI* pControl, LPCWSTR pstrMessage, WPARAM wParam = 0, LPARAM lParam = 0,
                    bool bAsync = false);
    bool AddPreMessageFilter(IMessageFilterUI* pFilter);
    bool RemovePreMessageFilter(IMessageFilterUI* pFilter);
    bool AddMessageFilter(IMessageFilterUI* pFilter);
    bool RemoveMessageFilter(IMessageFilterUI* pFilter);
    bool AddTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator);
    bool RemoveTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator);
    bool TranslateAccelerator(LPMSG pMsg);

    bool PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);

    // Process-wide skin settings.
    static void SetInstance(HINSTANCE hInst) { CResourceStore::SetInstance(hInst); }
    static HINSTANCE GetInstance() { return CResourceStore::GetInstance(); }
    static std::wstring GetInstancePath() { return CResourceStore::GetInstancePath(); }
    static void SetResourcePath(LPCWSTR pStrPath) { CResourceStore::SetResourcePath(pStrPath); }
    static const std::wstring& GetResourcePath() { return CResourceStore::GetResourcePath(); }
    static void SetResourceType(int type) { CResourceStore::SetResourceType(type); }
    static int GetResourceType() { return CResourceStore::GetResourceType(); }
    static bool SetResourceZip(LPVOID pVoid, unsigned int len, LPCWSTR password = nullptr)
    {
        return CResourceStore::SetResourceZip(pVoid, len, password);
    }
    static bool SetResourceZip(LPCWSTR pstrZip) { return CResourceStore::SetResourceZip(pstrZip); }
    static std::wstring GetResourceZip() { return CResourceStore::GetResourceZipName(); }

    // The application's loop, until WM_QUIT.
    static void MessageLoop();
    // Offers a message to the paint manager of its window (or of the parent
    // chain for child windows); true when one took it.
    static bool TranslateMessage(const LPMSG pMsg);
    static void Term();

private:
    struct TimerInfo {
        CControlUI* pSender;
        UINT nLocalID;
        UINT_PTR uWinTimer;
    };

    void SendEvent(CControlUI* pControl, int type, WPARAM wParam = 0, LPARAM lParam = 0,
                   WCHAR chKey = 0);
    void OnMouseMove(POINT pt, WPARAM wParam);
    // Asks each filter in turn; true with its result once one handled it.
    static bool RunFilters(std::vector<IMessageFilterUI*> filters, UINT uMsg, WPARAM wParam,
                           LPARAM lParam, LRESULT& lRes);
    // The parts of MessageHandler, one a kind of message.
    bool OnWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool OnPaintMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool OnMouseMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool OnKeyMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool ReflectToChild(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    void ShowToolTip(POINT pt);
    void HideToolTip();
    void ProcessAsyncNotify();
    void DropControl(CControlUI* pControl);
    // The font table's entry, at 96 DPI.
    const TFontInfo* DesignFontInfo(int id);
    // A WM_DPICHANGED: lays the window out at the new scale inside the
    // suggested rectangle.
    void OnDpiChanged(int dpi, const RECT& suggested);
    void EnsureOffscreen(int cx, int cy);
    void ReleaseOffscreen();
    static std::vector<CPaintManagerUI*>& Managers();

    HWND m_hWndPaint = nullptr;
    std::wstring m_sName;
    unique_hdc m_hDcMeasure;
    unique_hbitmap m_hbmpOffscreen;
    unique_hdc m_hDcOffscreen;  // goes before the bitmap selected into it
    HGDIOBJ m_hbmpOldOffscreen = nullptr;
    SIZE m_szOffscreen = {};
    bool m_bFirstLayout = true;
    bool m_bUpdateNeeded = false;
    bool m_bMouseTracking = false;
    bool m_bFocusCues = false;
    unsigned m_nPaintCount = 0;
    int m_nDpi = kDesignDpi;
    POINT m_ptLastMousePos = {-1, -1};

    SIZE m_szInitWindowSize = {};
    RECT m_rcSizeBox = {};
    RECT m_rcCaption = {};
    SIZE m_szRoundCorner = {};
    SIZE m_szMinWindow = {};
    SIZE m_szMaxWindow = {};
    DWORD m_dwDefaultFontColor = 0xFF000000;
    DWORD m_dwDefaultDisabledColor = 0xFFA7A6AA;
    DWORD m_dwDefaultLinkFontColor = 0xFF0000FF;
    DWORD m_dwDefaultLinkHoverFontColor = 0xFFD3215F;
    DWORD m_dwDefaultSelectedBkColor = 0xFFBAE4FF;
    std::unique_ptr<CShadowUI> m_pShadow;
    std::unique_ptr<CTooltipWindow> m_pToolTip;
    std::unique_ptr<CAccessibleTree> m_pAccessible;

    CControlUI* m_pRoot = nullptr;
    CControlUI* m_pFocus = nullptr;
    CControlUI* m_pEventHover = nullptr;
    CControlUI* m_pEventClick = nullptr;
    CControlUI* m_pEventKey = nullptr;
    CControlUI* m_pDefaultButton = nullptr;
    CControlUI* m_pCancelButton = nullptr;
    std::multimap<std::wstring, CControlUI*> m_mNameHash;
    std::map<int, TFontInfo> m_fonts;
    std::unique_ptr<TFontInfo> m_pDefaultFont;
    // The fonts at the window's DPI (not 96), by id; the default font as -1.
    std::map<int, TFontInfo> m_scaledFonts;
    // Scaled fonts of an earlier DPI: a native child may still hold one.
    std::vector<unique_hfont> m_retiredScaledFonts;
    std::map<std::wstring, std::wstring> m_defaultAttrs;
    std::vector<TimerInfo> m_timers;
    UINT_PTR m_uNextTimerID = 0x1000;

    std::vector<INotifyUI*> m_notifiers;
    std::vector<IMessageFilterUI*> m_preMessageFilters;
    std::vector<IMessageFilterUI*> m_messageFilters;
    std::vector<ITranslateAccelerator*> m_translateAccelerators;
    std::vector<TNotifyUI> m_asyncNotify;
};

}  // namespace DuiLib
