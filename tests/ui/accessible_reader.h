#pragma once
// Reads a window's accessible tree as a screen reader does, through Active
// Accessibility (AccessibleObjectFromWindow, AccessibleChildren and the
// IAccessible properties), and WinEvents as a screen reader's hook sees them.
#include <windows.h>
#include <oleacc.h>

#include <string>
#include <vector>

namespace acc {

struct Node {
    std::wstring name;
    long role = 0;
    long state = 0;
    std::wstring value;
    RECT screen = {};  // accLocation
    IAccessible* object = nullptr;  // kept by the Tree
    VARIANT child = {};             // CHILDID_SELF of the object, or the id in its parent
};

struct Tree {
    Tree() = default;
    Tree(const Tree&) = delete;
    Tree& operator=(const Tree&) = delete;
    ~Tree();
    bool ok = false;
    std::wstring name;  // the client area's
    long role = 0;
    std::vector<Node> children;
    IAccessible* client = nullptr;
    const Node* Find(const std::wstring& name) const;
};

// The tree of the window's client area.
void Read(HWND hWnd, Tree& tree);
// One line per child: role, name, value, states, place in the window.
std::wstring Describe(HWND hWnd, const Tree& tree);
std::wstring RoleName(long role);
std::wstring StateNames(long state);
// The node's screen rectangle in the window's client coordinates.
RECT ClientRect(HWND hWnd, const Node& node);
// Runs the node's default action; S_OK when it was accepted.
HRESULT DoDefault(const Node& node);

// Records the WinEvents of one window, from a hook out of the window's
// context (as a screen reader's), while the thread pumps messages.
struct Event {
    DWORD event;
    LONG object;
    LONG child;
};
class EventLog {
public:
    explicit EventLog(HWND hWnd = nullptr);  // none: every window
    ~EventLog();
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;
    std::vector<Event> events;
    size_t Count(DWORD event, LONG child = -1) const;

private:
    HWINEVENTHOOK m_hook = nullptr;
};

}  // namespace acc
