#pragma once
// The Active Accessibility objects of the accessible tree: the client
// area's object and one object per control. The tree disconnects them when
// the window or the control goes; a disconnected object answers
// CO_E_OBJNOTCONNECTED, as a client holding it may still ask.
#include <windows.h>
#include <oleacc.h>

#include "system/com_object.h"
#include "system/com_owners.h"

namespace DuiLib {

class CAccessibleTree;
class CControlUI;

inline constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// One object of the tree. The client area's object answers for the window
// through the system's standard object, and for each control by the
// control's child id, as the control's own object does; a control's object
// answers only for itself (controls have no children).
class CAccessibleObject final
    : public ComObject<1, ComAnswer<IAccessible, kIidAccessible, IID_IDispatch, IID_IUnknown>> {
public:
    // The client area's object; standard: the system's object for the
    // window's client area (owned).
    CAccessibleObject(CAccessibleTree* tree, ComPtr<IAccessible> standard);
    // A control's object.
    CAccessibleObject(CAccessibleTree* tree, CControlUI* control);
    void Disconnect();

    // IDispatch: not used by screen readers.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // IAccessible.
    STDMETHODIMP get_accParent(IDispatch** parent) override;
    STDMETHODIMP get_accChildCount(long* count) override;
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** dispatch) override;
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override;
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override;
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override;
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override;
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override;
    STDMETHODIMP get_accHelp(VARIANT, BSTR* help) override;
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT, long* topic) override;
    STDMETHODIMP get_accKeyboardShortcut(VARIANT, BSTR* shortcut) override;
    STDMETHODIMP get_accFocus(VARIANT* focus) override;
    STDMETHODIMP get_accSelection(VARIANT* selected) override;
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override;
    STDMETHODIMP accSelect(long flags, VARIANT child) override;
    STDMETHODIMP accLocation(long* x, long* y, long* w, long* h, VARIANT child) override;
    STDMETHODIMP accNavigate(long dir, VARIANT start, VARIANT* end) override;
    STDMETHODIMP accHitTest(long x, long y, VARIANT* child) override;
    STDMETHODIMP accDoDefaultAction(VARIANT child) override;
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~CAccessibleObject() override = default;

    // What a question is about: S_OK with the control it names, or with
    // null for the client area itself. CO_E_OBJNOTCONNECTED once
    // disconnected; E_INVALIDARG for an id that names nothing here.
    HRESULT Subject(const VARIANT& child, CControlUI** control) const;
    // The client area's own answers, from the standard object.
    HRESULT ClientName(const VARIANT& child, BSTR* name);
    HRESULT ClientNavigate(long dir, const VARIANT& start, VARIANT* end);
    HRESULT ClientHitTest(long x, long y, VARIANT* child);
    // A control's own answers.
    HRESULT ControlNavigate(CControlUI* control, long dir, VARIANT* end);

    const bool m_client;
    CAccessibleTree* m_tree;
    CControlUI* m_control = nullptr;  // null for the client area
    ComPtr<IAccessible> m_std;        // the client area's standard object
};

}  // namespace DuiLib
