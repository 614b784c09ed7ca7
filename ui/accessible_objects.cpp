#include "ui/accessible_objects.h"

#include <string>

#include "ui/accessible_describe.h"
#include "ui/accessible_tree.h"
#include "ui/control.h"
#include "ui/paint_manager.h"

namespace DuiLib {

namespace {

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

VARIANT Self()
{
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = CHILDID_SELF;
    return v;
}

HRESULT GiveString(const std::wstring& text, BSTR* out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (text.empty())
        return S_FALSE;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT GiveLong(long value, VARIANT* out)
{
    if (!out)
        return E_POINTER;
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

void GiveObject(IAccessible* object, VARIANT* out)
{
    object->AddRef();
    out->vt = VT_DISPATCH;
    out->pdispVal = object;
}

}  // namespace

// --- what both answer alike ---------------------------------------------

STDMETHODIMP CAccessibleBase::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP CAccessibleBase::get_accHelp(VARIANT, BSTR* help) { return GiveString({}, help); }

STDMETHODIMP CAccessibleBase::get_accHelpTopic(BSTR* file, VARIANT, long* topic)
{
    if (file)
        *file = nullptr;
    if (topic)
        *topic = -1;
    return S_FALSE;
}

STDMETHODIMP CAccessibleBase::get_accKeyboardShortcut(VARIANT, BSTR* shortcut)
{
    return GiveString({}, shortcut);
}

STDMETHODIMP CAccessibleBase::get_accSelection(VARIANT* selected)
{
    if (!selected)
        return E_POINTER;
    selected->vt = VT_EMPTY;
    return S_FALSE;
}

// --- a control ------------------------------------------------------------

HRESULT CControlAccessible::Check(const VARIANT& child) const
{
    if (!m_control || !m_tree)
        return CO_E_OBJNOTCONNECTED;
    return IsSelf(child) ? S_OK : E_INVALIDARG;
}

STDMETHODIMP CControlAccessible::get_accParent(IDispatch** parent)
{
    if (!parent)
        return E_POINTER;
    *parent = nullptr;
    if (!m_tree)
        return CO_E_OBJNOTCONNECTED;
    *parent = m_tree->Client();
    if (*parent)
        (*parent)->AddRef();
    return *parent ? S_OK : S_FALSE;
}

STDMETHODIMP CControlAccessible::get_accChildCount(long* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return m_control ? S_OK : CO_E_OBJNOTCONNECTED;
}

STDMETHODIMP CControlAccessible::get_accChild(VARIANT, IDispatch** dispatch)
{
    if (dispatch)
        *dispatch = nullptr;
    return E_INVALIDARG;  // controls have no children
}

STDMETHODIMP CControlAccessible::get_accName(VARIANT child, BSTR* name)
{
    if (HRESULT hr = Check(child); hr != S_OK)
        return hr;
    return GiveString(AccessibleName(m_control), name);
}

STDMETHODIMP CControlAccessible::get_accValue(VARIANT child, BSTR* value)
{
    if (HRESULT hr = Check(child); hr != S_OK)
        return hr;
    return GiveString(AccessibleValue(m_control), value);
}

STDMETHODIMP CControlAccessible::get_accDescription(VARIANT child, BSTR* description)
{
    if (HRESULT hr = Check(child); hr != S_OK)
        return hr;
    return GiveString({}, description);
}

STDMETHODIMP CControlAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    if (HRESULT hr = Check(child); hr != S_OK)
        return hr;
    return GiveLong(AccessibleRole(m_control), role);
}

STDMETHODIMP CControlAccessible::get_accState(VARIANT child, VARIANT* state)
{
    if (HRESULT hr = Check(child); hr != S_OK)
        return hr;
    return GiveLong(AccessibleState(m_control), state);
}

STDMETHODIMP CControlAccessible::get_accFocus(VARIANT* focus)
{
    if (!focus)
        return E_POINTER;
    focus->vt = VT_EMPTY;
    if (!m_control)
        return CO_E_OBJNOTCONNECTED;
    if (!m_control->IsFocused())
        return S_FALSE;
    return GiveLong(CHILDID_SELF, focus);
}

STDMETHODIMP CControlAccessible::get_accDefaultAction(VARIANT child, BSTR* action)
{
    if (HRESULT hr = Check(child); hr != S_OK)
        return hr;
    std::wstring name = DefaultActionName(m_control);
    if (name.empty()) {
        if (action)
            *action = nullptr;
        return DISP_E_MEMBERNOTFOUND;
    }
    return GiveString(name, action);
}

STDMETHODIMP CControlAccessible::accSelect(long flags, VARIANT child)
{
    if (HRESULT hr = Check(child); hr != S_OK)
        return hr;
    if (flags != SELFLAG_TAKEFOCUS)
        return E_INVALIDARG;  // nothing in these windows is selected but the focus
    if (!(AccessibleState(m_control) & STATE_SYSTEM_FOCUSABLE))
        return S_FALSE;
    m_control->SetFocus();
    return S_OK;
}

STDMETHODIMP CControlAccessible::accLocation(long* x, long* y, long* w, long* h, VARIANT child)
{
    if (!x || !y || !w || !h)
        return E_POINTER;
    if (HRESULT hr = Check(child); hr != S_OK)
        return hr;
    RECT rc = m_control->GetPos();
    POINT origin = {rc.left, rc.top};
    ClientToScreen(m_tree->Window(), &origin);
    *x = origin.x;
    *y = origin.y;
    *w = rc.right - rc.left;
    *h = rc.bottom - rc.top;
    return S_OK;
}

STDMETHODIMP CControlAccessible::accNavigate(long dir, VARIANT start, VARIANT* end)
{
    if (!end)
        return E_POINTER;
    end->vt = VT_EMPTY;
    if (HRESULT hr = Check(start); hr != S_OK)
        return hr;
    long id = m_tree->ChildId(m_control);
    CControlUI* to = nullptr;
    if (id && (dir == NAVDIR_NEXT || dir == NAVDIR_DOWN || dir == NAVDIR_RIGHT))
        to = m_tree->ChildAt(id + 1);
    else if (id && (dir == NAVDIR_PREVIOUS || dir == NAVDIR_UP || dir == NAVDIR_LEFT))
        to = m_tree->ChildAt(id - 1);
    if (!to)
        return S_FALSE;
    GiveObject(m_tree->ObjectOf(to), end);
    return S_OK;
}

STDMETHODIMP CControlAccessible::accHitTest(long x, long y, VARIANT* child)
{
    if (!child)
        return E_POINTER;
    child->vt = VT_EMPTY;
    if (!m_control)
        return CO_E_OBJNOTCONNECTED;
    POINT pt = {x, y};
    ScreenToClient(m_tree->Window(), &pt);
    RECT rc = m_control->GetPos();
    if (!PtInRect(&rc, pt))
        return S_FALSE;
    return GiveLong(CHILDID_SELF, child);
}

STDMETHODIMP CControlAccessible::accDoDefaultAction(VARIANT child)
{
    if (HRESULT hr = Check(child); hr != S_OK)
        return hr;
    if (DefaultActionName(m_control).empty())
        return DISP_E_MEMBERNOTFOUND;
    m_tree->PostDefaultAction(m_control);
    return S_OK;
}

// --- the client area -----------------------------------------------------

void CClientAccessible::Disconnect()
{
    m_tree = nullptr;
    m_std.Reset();
}

IAccessible* CClientAccessible::ChildObject(const VARIANT& child) const
{
    if (!m_tree || child.vt != VT_I4 || child.lVal == CHILDID_SELF)
        return nullptr;
    CControlUI* control = m_tree->ChildAt(child.lVal);
    return control ? m_tree->ObjectOf(control) : nullptr;
}

// Forwards a question about a child to the child's own object.
#define KX_FORWARD_TO_CHILD(child, call)                                   \
    if (!m_std)                                                            \
        return CO_E_OBJNOTCONNECTED;                                       \
    if (!IsSelf(child)) {                                                  \
        IAccessible* object = ChildObject(child);                          \
        if (!object)                                                       \
            return E_INVALIDARG;                                           \
        VARIANT self = Self();                                             \
        (void)self;                                                        \
        return object->call;                                               \
    }

STDMETHODIMP CClientAccessible::get_accParent(IDispatch** parent)
{
    if (!m_std)
        return CO_E_OBJNOTCONNECTED;
    return m_std->get_accParent(parent);
}

STDMETHODIMP CClientAccessible::get_accChildCount(long* count)
{
    if (!count)
        return E_POINTER;
    if (!m_tree)
        return CO_E_OBJNOTCONNECTED;
    *count = static_cast<long>(m_tree->Children().size());
    return S_OK;
}

STDMETHODIMP CClientAccessible::get_accChild(VARIANT child, IDispatch** dispatch)
{
    if (!dispatch)
        return E_POINTER;
    *dispatch = nullptr;
    if (!m_tree)
        return CO_E_OBJNOTCONNECTED;
    IAccessible* object = ChildObject(child);
    if (!object)
        return E_INVALIDARG;
    object->AddRef();
    *dispatch = object;
    return S_OK;
}

STDMETHODIMP CClientAccessible::get_accName(VARIANT child, BSTR* name)
{
    KX_FORWARD_TO_CHILD(child, get_accName(self, name))
    HRESULT hr = m_std->get_accName(child, name);
    if (hr == S_OK && *name && **name)
        return hr;
    if (hr == S_OK && *name)
        SysFreeString(*name);
    // A window without a title (the message box) is named by its first text.
    for (CControlUI* control : m_tree->Children())
        if (AccessibleRole(control) == ROLE_SYSTEM_STATICTEXT)
            return GiveString(control->GetText(), name);
    return GiveString({}, name);
}

STDMETHODIMP CClientAccessible::get_accValue(VARIANT child, BSTR* value)
{
    KX_FORWARD_TO_CHILD(child, get_accValue(self, value))
    return GiveString({}, value);
}

STDMETHODIMP CClientAccessible::get_accDescription(VARIANT child, BSTR* description)
{
    KX_FORWARD_TO_CHILD(child, get_accDescription(self, description))
    return GiveString({}, description);
}

STDMETHODIMP CClientAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    KX_FORWARD_TO_CHILD(child, get_accRole(self, role))
    return m_std->get_accRole(child, role);
}

STDMETHODIMP CClientAccessible::get_accState(VARIANT child, VARIANT* state)
{
    KX_FORWARD_TO_CHILD(child, get_accState(self, state))
    return m_std->get_accState(child, state);
}

STDMETHODIMP CClientAccessible::get_accFocus(VARIANT* focus)
{
    if (!focus)
        return E_POINTER;
    focus->vt = VT_EMPTY;
    if (!m_tree)
        return CO_E_OBJNOTCONNECTED;
    CControlUI* control = m_tree->Manager()->GetFocus();
    if (control && m_tree->ChildId(control)) {
        GiveObject(m_tree->ObjectOf(control), focus);
        return S_OK;
    }
    return m_std->get_accFocus(focus);
}

STDMETHODIMP CClientAccessible::get_accDefaultAction(VARIANT child, BSTR* action)
{
    KX_FORWARD_TO_CHILD(child, get_accDefaultAction(self, action))
    return m_std->get_accDefaultAction(child, action);
}

STDMETHODIMP CClientAccessible::accSelect(long flags, VARIANT child)
{
    KX_FORWARD_TO_CHILD(child, accSelect(flags, self))
    return m_std->accSelect(flags, child);
}

STDMETHODIMP CClientAccessible::accLocation(long* x, long* y, long* w, long* h, VARIANT child)
{
    KX_FORWARD_TO_CHILD(child, accLocation(x, y, w, h, self))
    return m_std->accLocation(x, y, w, h, child);
}

STDMETHODIMP CClientAccessible::accNavigate(long dir, VARIANT start, VARIANT* end)
{
    KX_FORWARD_TO_CHILD(start, accNavigate(dir, self, end))
    if (!end)
        return E_POINTER;
    std::vector<CControlUI*> children = m_tree->Children();
    if ((dir == NAVDIR_FIRSTCHILD || dir == NAVDIR_LASTCHILD)) {
        end->vt = VT_EMPTY;
        if (children.empty())
            return S_FALSE;
        GiveObject(m_tree->ObjectOf(dir == NAVDIR_FIRSTCHILD ? children.front() : children.back()), end);
        return S_OK;
    }
    return m_std->accNavigate(dir, start, end);
}

STDMETHODIMP CClientAccessible::accHitTest(long x, long y, VARIANT* child)
{
    if (!child)
        return E_POINTER;
    child->vt = VT_EMPTY;
    if (!m_std)
        return CO_E_OBJNOTCONNECTED;
    POINT pt = {x, y};
    ScreenToClient(m_tree->Window(), &pt);
    // The innermost control of the tree under the point.
    for (CControlUI* c = m_tree->Manager()->FindControl(pt); c; c = c->GetParent()) {
        if (m_tree->ChildId(c)) {
            GiveObject(m_tree->ObjectOf(c), child);
            return S_OK;
        }
    }
    return m_std->accHitTest(x, y, child);
}

STDMETHODIMP CClientAccessible::accDoDefaultAction(VARIANT child)
{
    KX_FORWARD_TO_CHILD(child, accDoDefaultAction(self))
    return m_std->accDoDefaultAction(child);
}

#undef KX_FORWARD_TO_CHILD

}  // namespace DuiLib
