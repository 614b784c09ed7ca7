#include "ui/accessible_objects.h"

#include <string>
#include <utility>
#include <vector>

#include "ui/accessible_describe.h"
#include "ui/accessible_tree.h"
#include "ui/control.h"
#include "ui/paint_manager.h"

namespace DuiLib {

namespace {

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

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

HRESULT GiveObject(IAccessible* object, VARIANT* out)
{
    object->AddRef();
    out->vt = VT_DISPATCH;
    out->pdispVal = object;
    return S_OK;
}

// Clears an out-variant a method may leave unset, so that a caller never
// reads what it held before.
bool ClearOut(VARIANT* out)
{
    if (!out)
        return false;
    out->vt = VT_EMPTY;
    return true;
}

}  // namespace

CAccessibleObject::CAccessibleObject(CAccessibleTree* tree, ComPtr<IAccessible> standard)
    : m_client(true), m_tree(tree), m_std(std::move(standard))
{
}

CAccessibleObject::CAccessibleObject(CAccessibleTree* tree, CControlUI* control)
    : m_client(false), m_tree(tree), m_control(control)
{
}

void CAccessibleObject::Disconnect()
{
    m_tree = nullptr;
    m_control = nullptr;
    m_std.Reset();
}

HRESULT CAccessibleObject::Subject(const VARIANT& child, CControlUI** control) const
{
    *control = nullptr;
    if (!m_tree)
        return CO_E_OBJNOTCONNECTED;
    if (IsSelf(child)) {
        *control = m_control;
        return S_OK;
    }
    if (!m_client || child.vt != VT_I4)
        return E_INVALIDARG;
    *control = m_tree->ChildAt(child.lVal);
    return *control ? S_OK : E_INVALIDARG;
}

// --- what every object answers alike -------------------------------------

STDMETHODIMP CAccessibleObject::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP CAccessibleObject::get_accHelp(VARIANT, BSTR* help) { return GiveString({}, help); }

STDMETHODIMP CAccessibleObject::get_accHelpTopic(BSTR* file, VARIANT, long* topic)
{
    if (file)
        *file = nullptr;
    if (topic)
        *topic = -1;
    return S_FALSE;
}

STDMETHODIMP CAccessibleObject::get_accKeyboardShortcut(VARIANT, BSTR* shortcut)
{
    return GiveString({}, shortcut);
}

STDMETHODIMP CAccessibleObject::get_accSelection(VARIANT* selected)
{
    return ClearOut(selected) ? S_FALSE : E_POINTER;
}

STDMETHODIMP CAccessibleObject::get_accDescription(VARIANT child, BSTR* description)
{
    CControlUI* control;
    HRESULT hr = Subject(child, &control);
    return hr == S_OK ? GiveString({}, description) : hr;
}

// --- the tree's structure ------------------------------------------------

STDMETHODIMP CAccessibleObject::get_accParent(IDispatch** parent)
{
    if (!parent)
        return E_POINTER;
    *parent = nullptr;
    if (!m_tree)
        return CO_E_OBJNOTCONNECTED;
    if (m_client)
        return m_std->get_accParent(parent);
    *parent = m_tree->Client();
    if (!*parent)
        return S_FALSE;
    (*parent)->AddRef();
    return S_OK;
}

STDMETHODIMP CAccessibleObject::get_accChildCount(long* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    if (!m_tree)
        return CO_E_OBJNOTCONNECTED;
    if (m_client)
        *count = static_cast<long>(m_tree->Children().size());
    return S_OK;
}

STDMETHODIMP CAccessibleObject::get_accChild(VARIANT child, IDispatch** dispatch)
{
    if (!dispatch)
        return E_POINTER;
    *dispatch = nullptr;
    CControlUI* control;
    if (HRESULT hr = Subject(child, &control); hr != S_OK)
        return hr;
    if (!m_client || !control)
        return E_INVALIDARG;  // only the client area has children
    *dispatch = m_tree->ObjectOf(control);
    (*dispatch)->AddRef();
    return S_OK;
}

STDMETHODIMP CAccessibleObject::accNavigate(long dir, VARIANT start, VARIANT* end)
{
    if (!ClearOut(end))
        return E_POINTER;
    CControlUI* control;
    if (HRESULT hr = Subject(start, &control); hr != S_OK)
        return hr;
    return control ? ControlNavigate(control, dir, end) : ClientNavigate(dir, start, end);
}

HRESULT CAccessibleObject::ControlNavigate(CControlUI* control, long dir, VARIANT* end)
{
    long id = m_tree->ChildId(control);
    CControlUI* to = nullptr;
    if (id && (dir == NAVDIR_NEXT || dir == NAVDIR_DOWN || dir == NAVDIR_RIGHT))
        to = m_tree->ChildAt(id + 1);
    else if (id && (dir == NAVDIR_PREVIOUS || dir == NAVDIR_UP || dir == NAVDIR_LEFT))
        to = m_tree->ChildAt(id - 1);
    return to ? GiveObject(m_tree->ObjectOf(to), end) : S_FALSE;
}

HRESULT CAccessibleObject::ClientNavigate(long dir, const VARIANT& start, VARIANT* end)
{
    if (dir != NAVDIR_FIRSTCHILD && dir != NAVDIR_LASTCHILD)
        return m_std->accNavigate(dir, start, end);
    std::vector<CControlUI*> children = m_tree->Children();
    if (children.empty())
        return S_FALSE;
    return GiveObject(m_tree->ObjectOf(dir == NAVDIR_FIRSTCHILD ? children.front() : children.back()), end);
}

STDMETHODIMP CAccessibleObject::accHitTest(long x, long y, VARIANT* child)
{
    if (!ClearOut(child))
        return E_POINTER;
    if (!m_tree)
        return CO_E_OBJNOTCONNECTED;
    if (m_client)
        return ClientHitTest(x, y, child);
    POINT pt = {x, y};
    ScreenToClient(m_tree->Window(), &pt);
    RECT rc = m_control->GetPos();
    return PtInRect(&rc, pt) ? GiveLong(CHILDID_SELF, child) : S_FALSE;
}

HRESULT CAccessibleObject::ClientHitTest(long x, long y, VARIANT* child)
{
    POINT pt = {x, y};
    ScreenToClient(m_tree->Window(), &pt);
    // The innermost control of the tree under the point.
    for (CControlUI* c = m_tree->Manager()->FindControl(pt); c; c = c->GetParent())
        if (m_tree->ChildId(c))
            return GiveObject(m_tree->ObjectOf(c), child);
    return m_std->accHitTest(x, y, child);
}

STDMETHODIMP CAccessibleObject::get_accFocus(VARIANT* focus)
{
    if (!ClearOut(focus))
        return E_POINTER;
    if (!m_tree)
        return CO_E_OBJNOTCONNECTED;
    if (!m_client)
        return m_control->IsFocused() ? GiveLong(CHILDID_SELF, focus) : S_FALSE;
    CControlUI* control = m_tree->Manager()->GetFocus();
    if (control && m_tree->ChildId(control))
        return GiveObject(m_tree->ObjectOf(control), focus);
    return m_std->get_accFocus(focus);
}

// --- what an object says of itself or of a child -------------------------

STDMETHODIMP CAccessibleObject::get_accName(VARIANT child, BSTR* name)
{
    CControlUI* control;
    if (HRESULT hr = Subject(child, &control); hr != S_OK)
        return hr;
    return control ? GiveString(AccessibleName(control), name) : ClientName(child, name);
}

HRESULT CAccessibleObject::ClientName(const VARIANT& child, BSTR* name)
{
    if (!name)
        return E_POINTER;
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

STDMETHODIMP CAccessibleObject::get_accValue(VARIANT child, BSTR* value)
{
    CControlUI* control;
    if (HRESULT hr = Subject(child, &control); hr != S_OK)
        return hr;
    return GiveString(control ? AccessibleValue(control) : std::wstring(), value);
}

STDMETHODIMP CAccessibleObject::get_accRole(VARIANT child, VARIANT* role)
{
    CControlUI* control;
    if (HRESULT hr = Subject(child, &control); hr != S_OK)
        return hr;
    return control ? GiveLong(AccessibleRole(control), role) : m_std->get_accRole(child, role);
}

STDMETHODIMP CAccessibleObject::get_accState(VARIANT child, VARIANT* state)
{
    CControlUI* control;
    if (HRESULT hr = Subject(child, &control); hr != S_OK)
        return hr;
    return control ? GiveLong(AccessibleState(control), state) : m_std->get_accState(child, state);
}

STDMETHODIMP CAccessibleObject::accLocation(long* x, long* y, long* w, long* h, VARIANT child)
{
    if (!x || !y || !w || !h)
        return E_POINTER;
    CControlUI* control;
    if (HRESULT hr = Subject(child, &control); hr != S_OK)
        return hr;
    if (!control)
        return m_std->accLocation(x, y, w, h, child);
    RECT rc = control->GetPos();
    POINT origin = {rc.left, rc.top};
    ClientToScreen(m_tree->Window(), &origin);
    *x = origin.x;
    *y = origin.y;
    *w = rc.right - rc.left;
    *h = rc.bottom - rc.top;
    return S_OK;
}

// --- what an object does -------------------------------------------------

STDMETHODIMP CAccessibleObject::get_accDefaultAction(VARIANT child, BSTR* action)
{
    CControlUI* control;
    if (HRESULT hr = Subject(child, &control); hr != S_OK)
        return hr;
    if (!control)
        return m_std->get_accDefaultAction(child, action);
    std::wstring name = DefaultActionName(control);
    if (!name.empty())
        return GiveString(name, action);
    if (action)
        *action = nullptr;
    return DISP_E_MEMBERNOTFOUND;
}

STDMETHODIMP CAccessibleObject::accSelect(long flags, VARIANT child)
{
    CControlUI* control;
    if (HRESULT hr = Subject(child, &control); hr != S_OK)
        return hr;
    if (!control)
        return m_std->accSelect(flags, child);
    if (flags != SELFLAG_TAKEFOCUS)
        return E_INVALIDARG;  // nothing in these windows is selected but the focus
    if (!(AccessibleState(control) & STATE_SYSTEM_FOCUSABLE))
        return S_FALSE;
    control->SetFocus();
    return S_OK;
}

STDMETHODIMP CAccessibleObject::accDoDefaultAction(VARIANT child)
{
    CControlUI* control;
    if (HRESULT hr = Subject(child, &control); hr != S_OK)
        return hr;
    if (!control)
        return m_std->accDoDefaultAction(child);
    if (DefaultActionName(control).empty())
        return DISP_E_MEMBERNOTFOUND;
    m_tree->PostDefaultAction(control);
    return S_OK;
}

}  // namespace DuiLib
