#pragma once
// Shared small types of the window framework: control events, control states,
// search flags and the notification record.
#include <windows.h>

#include <string>

namespace DuiLib {

class CControlUI;

enum UILIB_RESOURCETYPE {
    UILIB_FILE = 1,         // loose files under the resource path
    UILIB_ZIP = 2,          // a zip file on disk under the resource path
    UILIB_RESOURCE = 3,     // module resources
    UILIB_ZIPRESOURCE = 4,  // a zip package in memory
};

enum EVENTTYPE_UI {
    UIEVENT__FIRST = 1,
    UIEVENT_MOUSEMOVE,
    UIEVENT_MOUSELEAVE,
    UIEVENT_MOUSEENTER,
    UIEVENT_MOUSEHOVER,
    UIEVENT_KEYDOWN,
    UIEVENT_KEYUP,
    UIEVENT_CHAR,
    UIEVENT_SYSKEY,
    UIEVENT_KILLFOCUS,
    UIEVENT_SETFOCUS,
    UIEVENT_BUTTONDOWN,
    UIEVENT_BUTTONUP,
    UIEVENT_RBUTTONDOWN,
    UIEVENT_DBLCLICK,
    UIEVENT_CONTEXTMENU,
    UIEVENT_SCROLLWHEEL,
    UIEVENT_TIMER,
    UIEVENT_SETCURSOR,
    UIEVENT__LAST,
};

// Messages the paint manager reflects back to the native child window that
// sent them (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR... plus this base).
constexpr UINT OCM__BASE = WM_USER + 0x1c00;

// Control flags (GetControlFlags).
constexpr UINT UIFLAG_TABSTOP = 0x00000001;
constexpr UINT UIFLAG_SETCURSOR = 0x00000002;
constexpr UINT UIFLAG_WANTRETURN = 0x00000004;
// Takes the focus when its page opens (so that a screen reader reads it),
// though Tab passes it by: a progress bar on a page without buttons.
constexpr UINT UIFLAG_PAGEFOCUS = 0x00000008;

// FindControl flags.
constexpr UINT UIFIND_ALL = 0x00000000;
constexpr UINT UIFIND_VISIBLE = 0x00000001;
constexpr UINT UIFIND_ENABLED = 0x00000002;
constexpr UINT UIFIND_HITTEST = 0x00000004;
constexpr UINT UIFIND_UPDATETEST = 0x00000008;
constexpr UINT UIFIND_TOP_FIRST = 0x00000010;
constexpr UINT UIFIND_ME_FIRST = 0x80000000;

// Button and option states.
constexpr UINT UISTATE_FOCUSED = 0x00000001;
constexpr UINT UISTATE_SELECTED = 0x00000002;
constexpr UINT UISTATE_DISABLED = 0x00000004;
constexpr UINT UISTATE_HOT = 0x00000008;
constexpr UINT UISTATE_PUSHED = 0x00000010;
constexpr UINT UISTATE_READONLY = 0x00000020;
constexpr UINT UISTATE_CAPTURED = 0x00000040;

// Notification types the framework sends.
inline constexpr const wchar_t* DUI_MSGTYPE_CLICK = L"click";
inline constexpr const wchar_t* DUI_MSGTYPE_SELECTCHANGED = L"selectchanged";
inline constexpr const wchar_t* DUI_MSGTYPE_SETFOCUS = L"setfocus";
inline constexpr const wchar_t* DUI_MSGTYPE_KILLFOCUS = L"killfocus";
inline constexpr const wchar_t* DUI_MSGTYPE_TEXTCHANGED = L"textchanged";
inline constexpr const wchar_t* DUI_MSGTYPE_RETURN = L"return";
inline constexpr const wchar_t* DUI_MSGTYPE_TABSELECT = L"tabselect";
inline constexpr const wchar_t* DUI_MSGTYPE_WINDOWINIT = L"windowinit";
inline constexpr const wchar_t* DUI_MSGTYPE_TIMER = L"timer";

// One input event routed to a control.
struct TEventUI {
    int Type = 0;
    CControlUI* pSender = nullptr;
    DWORD dwTimestamp = 0;
    POINT ptMouse = {};
    WCHAR chKey = 0;
    WORD wKeyState = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// The notification record delivered to INotifyUI::Notify.
struct TNotifyUI {
    std::wstring sType;
    std::wstring sVirtualWnd;
    CControlUI* pSender = nullptr;
    DWORD dwTimestamp = 0;
    POINT ptMouse = {};
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

}  // namespace DuiLib
