#pragma once
// The Active Accessibility objects of the accessible tree: the client
// area's object and one object per control. The tree disconnects them when
// the window or the control goes; a disconnected object answers
// CO_E_OBJNOTCONNECTED, as a client holding it may still ask.
#include <windows.h>
#include <oleacc.h>

#include <utility>

#include "system/com_object.h"
#include "system/com_owners.h"

namespace DuiLib {

class CAccessibleTree;
class CControlUI;

inline constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// What both objects answer alike: IDispatch (not used by clients) and the
// properties the installer's windows do not have.
class CAccessibleBase
    : public ComObject<1, ComAnswer<IAccessible, kIidAccessible, IID_IDispatch, IID_IUnknown>> {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP get_accHelp(VARIANT, BSTR* help) override;
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT, long* topic) override;
    STDMETHODIMP get_accKeyboardShortcut(VARIANT, BSTR* shortcut) override;
    STDMETHODIMP get_accSelection(VARIANT* selected) override;
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }
};

class CControlAccessible final : public CAccessibleBase {
public:
    CControlAccessible(CAccessibleTree* tree, CControlUI* control) : m_tree(tree), m_control(control) {}
    void Disconnect() { m_tree = nullptr, m_control = nullptr; }

    STDMETHODIMP get_accParent(IDispatch** parent) override;
    STDMETHODIMP get_accChildCount(long* count) override;
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** dispatch) override;
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override;
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override;
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override;
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override;
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override;
    STDMETHODIMP get_accFocus(VARIANT* focus) override;
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override;
    STDMETHODIMP accSelect(long flags, VARIANT child) override;
    STDMETHODIMP accLocation(long* x, long* y, long* w, long* h, VARIANT child) override;
    STDMETHODIMP accNavigate(long dir, VARIANT start, VARIANT* end) override;
    STDMETHODIMP accHitTest(long x, long y, VARIANT* child) override;
    STDMETHODIMP accDoDefaultAction(VARIANT child) override;

private:
    // S_OK when connected and asked about itself.
    HRESULT Check(const VARIANT& child) const;

    CAccessibleTree* m_tree;
    CControlUI* m_control;
};

class CClientAccessible final : public CAccessibleBase {
public:
    // standard: the system's object for the window's client area (owned).
    CClientAccessible(CAccessibleTree* tree, ComPtr<IAccessible> standard)
        : m_tree(tree), m_std(std::move(standard))
    {
    }
    ~CClientAccessible() override { Disconnect(); }
    void Disconnect();

    STDMETHODIMP get_accParent(IDispatch** parent) override;
    STDMETHODIMP get_accChildCount(long* count) override;
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** dispatch) override;
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override;
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override;
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override;
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override;
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override;
    STDMETHODIMP get_accFocus(VARIANT* focus) override;
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override;
    STDMETHODIMP accSelect(long flags, VARIANT child) override;
    STDMETHODIMP accLocation(long* x, long* y, long* w, long* h, VARIANT child) override;
    STDMETHODIMP accNavigate(long dir, VARIANT start, VARIANT* end) override;
    STDMETHODIMP accHitTest(long x, long y, VARIANT* child) override;
    STDMETHODIMP accDoDefaultAction(VARIANT child) override;

private:
    // The object a child id names (borrowed), or none for the client itself.
    IAccessible* ChildObject(const VARIANT& child) const;

    CAccessibleTree* m_tree;
    ComPtr<IAccessible> m_std;
};

}  // namespace DuiLib
