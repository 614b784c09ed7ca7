#pragma once
// The window's accessible tree, as a screen reader reads it through Active
// Accessibility: the client area answers WM_GETOBJECT with an object of its
// own (the system's standard object for the window itself), whose children
// are objects for the visible controls, in layout order, numbered 1 to n.
// Hidden controls and pages are not in the tree. Objects handed out outlive
// their controls safely: once a control or the window is gone, its object
// answers that it is disconnected.
#include <windows.h>
#include <oleacc.h>

#include <map>
#include <vector>

#include "system/com_owners.h"

namespace DuiLib {

class CControlUI;
class CPaintManagerUI;
class CAccessibleObject;

class CAccessibleTree {
public:
    explicit CAccessibleTree(CPaintManagerUI* pm);
    ~CAccessibleTree();
    CAccessibleTree(const CAccessibleTree&) = delete;
    CAccessibleTree& operator=(const CAccessibleTree&) = delete;

    // WM_GETOBJECT: true with the result for the client area's object.
    bool OnGetObject(WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    CPaintManagerUI* Manager() const { return m_pm; }
    HWND Window() const;

    std::vector<CControlUI*> Children() const;
    // The control's child id in the tree, 0 when it is not in it.
    long ChildId(CControlUI* control) const;
    CControlUI* ChildAt(long childId) const;
    // The client object, and a control's object (made on first need); both
    // borrowed: a caller that keeps one adds a reference.
    IAccessible* Client();
    IAccessible* ObjectOf(CControlUI* control);
    // A control goes away: its object is disconnected.
    void Forget(CControlUI* control);

    // Tells screen readers of an event of a control (none: the client area).
    void NotifyEvent(DWORD event, CControlUI* control);
    // The default action is what a click does: the control takes the focus
    // and acts. It is posted, so that a caller (perhaps another process)
    // is not held while the action opens a modal window.
    void PostDefaultAction(CControlUI* control);
    void OnDefaultActionMessage(WPARAM wParam);

private:
    CPaintManagerUI* m_pm;
    ComPtr<CAccessibleObject> m_pClient;
    std::map<CControlUI*, ComPtr<CAccessibleObject>> m_objects;
};

// Posted to the window to run a control's default action.
constexpr UINT kMsgAccessibleAction = WM_APP + 0x301;

}  // namespace DuiLib
