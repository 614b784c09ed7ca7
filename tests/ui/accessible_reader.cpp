#include "tests/ui/accessible_reader.h"

#include <cstdio>

namespace acc {

namespace {

std::wstring TakeString(HRESULT hr, BSTR b)
{
    std::wstring s = (SUCCEEDED(hr) && b) ? std::wstring(b, SysStringLen(b)) : L"";
    if (b)
        SysFreeString(b);
    return s;
}

long TakeLong(HRESULT hr, VARIANT& v) { return SUCCEEDED(hr) && v.vt == VT_I4 ? v.lVal : 0; }

void ReadNode(IAccessible* object, VARIANT child, Node& node)
{
    node.object = object;
    node.child = child;
    BSTR b = nullptr;
    HRESULT hr = object->get_accName(child, &b);
    node.name = TakeString(hr, b);
    b = nullptr;
    hr = object->get_accValue(child, &b);
    node.value = TakeString(hr, b);
    VARIANT v;
    VariantInit(&v);
    node.role = TakeLong(object->get_accRole(child, &v), v);
    VariantInit(&v);
    node.state = TakeLong(object->get_accState(child, &v), v);
    long x = 0, y = 0, w = 0, h = 0;
    if (SUCCEEDED(object->accLocation(&x, &y, &w, &h, child)))
        node.screen = {x, y, x + w, y + h};
}

thread_local EventLog* t_log = nullptr;
thread_local HWND t_window = nullptr;

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND hWnd, LONG object, LONG child, DWORD, DWORD)
{
    if (t_log && (!t_window || hWnd == t_window))
        t_log->events.push_back({event, object, child});
}

}  // namespace

Tree::~Tree()
{
    for (Node& n : children)
        if (n.object)
            n.object->Release();
    if (client)
        client->Release();
}

const Node* Tree::Find(const std::wstring& wanted) const
{
    for (const Node& n : children)
        if (n.name == wanted)
            return &n;
    return nullptr;
}

void Read(HWND hWnd, Tree& tree)
{
    IAccessible* client = nullptr;
    if (FAILED(AccessibleObjectFromWindow(hWnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&client))) ||
        !client)
        return;
    tree.client = client;
    Node self;
    VARIANT me;
    me.vt = VT_I4;
    me.lVal = CHILDID_SELF;
    ReadNode(client, me, self);
    tree.name = self.name;
    tree.role = self.role;
    long count = 0;
    if (FAILED(client->get_accChildCount(&count)) || count < 0)
        return;
    std::vector<VARIANT> kids(static_cast<size_t>(count));
    long got = 0;
    if (count > 0 && FAILED(AccessibleChildren(client, 0, count, kids.data(), &got)))
        return;
    for (long i = 0; i < got; ++i) {
        Node node;
        VARIANT& k = kids[static_cast<size_t>(i)];
        if (k.vt == VT_DISPATCH && k.pdispVal) {
            IAccessible* object = nullptr;
            k.pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&object));
            k.pdispVal->Release();
            if (!object)
                continue;
            ReadNode(object, me, node);
        } else if (k.vt == VT_I4) {
            client->AddRef();
            ReadNode(client, k, node);
        }
        tree.children.push_back(std::move(node));
    }
    tree.ok = true;
}

std::wstring RoleName(long role)
{
    switch (role) {
    case ROLE_SYSTEM_PUSHBUTTON: return L"push button";
    case ROLE_SYSTEM_CHECKBUTTON: return L"check button";
    case ROLE_SYSTEM_LINK: return L"link";
    case ROLE_SYSTEM_TEXT: return L"editable text";
    case ROLE_SYSTEM_PROGRESSBAR: return L"progress bar";
    case ROLE_SYSTEM_STATICTEXT: return L"static text";
    case ROLE_SYSTEM_CLIENT: return L"client";
    default: return L"role " + std::to_wstring(role);
    }
}

std::wstring StateNames(long state)
{
    static const struct {
        long bit;
        const wchar_t* name;
    } kStates[] = {{STATE_SYSTEM_FOCUSED, L"focused"},     {STATE_SYSTEM_FOCUSABLE, L"focusable"},
                   {STATE_SYSTEM_CHECKED, L"checked"},     {STATE_SYSTEM_UNAVAILABLE, L"unavailable"},
                   {STATE_SYSTEM_INVISIBLE, L"invisible"}, {STATE_SYSTEM_DEFAULT, L"default"},
                   {STATE_SYSTEM_LINKED, L"linked"},       {STATE_SYSTEM_READONLY, L"read-only"},
                   {STATE_SYSTEM_EXPANDED, L"expanded"},   {STATE_SYSTEM_COLLAPSED, L"collapsed"}};
    std::wstring s;
    for (const auto& st : kStates)
        if (state & st.bit)
            s += (s.empty() ? L"" : L", ") + std::wstring(st.name);
    return s;
}

RECT ClientRect(HWND hWnd, const Node& node)
{
    POINT origin = {0, 0};
    ClientToScreen(hWnd, &origin);
    RECT rc = node.screen;
    OffsetRect(&rc, -origin.x, -origin.y);
    return rc;
}

std::wstring Describe(HWND hWnd, const Tree& tree)
{
    // The window's title first, as a reader announces the window.
    wchar_t title[256] = {};
    GetWindowTextW(hWnd, title, 256);
    std::wstring out = L"window \"" + std::wstring(title) + L"\"\n";
    out += RoleName(tree.role) + L" \"" + tree.name + L"\"\n";
    for (const Node& n : tree.children) {
        RECT rc = ClientRect(hWnd, n);
        wchar_t place[64];
        swprintf(place, 64, L" at %ld,%ld %ldx%ld", rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
        out += L"  " + RoleName(n.role) + L" \"" + n.name + L"\"";
        if (!n.value.empty())
            out += L" value \"" + n.value + L"\"";
        std::wstring states = StateNames(n.state);
        if (!states.empty())
            out += L" (" + states + L")";
        out += place;
        out += L"\n";
    }
    return out;
}

HRESULT DoDefault(const Node& node) { return node.object->accDoDefaultAction(node.child); }

EventLog::EventLog(HWND hWnd)
{
    t_log = this;
    t_window = hWnd;
    m_hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, OnEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
}

EventLog::~EventLog()
{
    if (m_hook)
        UnhookWinEvent(m_hook);
    t_log = nullptr;
    t_window = nullptr;
}

size_t EventLog::Count(DWORD event, LONG child) const
{
    size_t n = 0;
    for (const Event& e : events)
        if (e.event == event && e.object == OBJID_CLIENT && (child < 0 || e.child == child))
            ++n;
    return n;
}

}  // namespace acc
