#include "ui/accessible_tree.h"

#include "ui/accessible_describe.h"
#include "ui/accessible_objects.h"
#include "ui/control.h"
#include "ui/oleacc_library.h"
#include "ui/paint_manager.h"

namespace DuiLib {

namespace {

CControlUI* CALLBACK CollectAccessible(CControlUI* control, LPVOID data)
{
    if (IsAccessibleControl(control))
        static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
    return nullptr;  // visit everything
}

}  // namespace

CAccessibleTree::CAccessibleTree(CPaintManagerUI* pm) : m_pm(pm) {}

CAccessibleTree::~CAccessibleTree()
{
    // Objects a screen reader still holds answer that they are disconnected.
    for (auto& [control, object] : m_objects)
        object->Disconnect();
    if (m_pClient)
        m_pClient->Disconnect();
}

HWND CAccessibleTree::Window() const { return m_pm->GetPaintWindow(); }

bool CAccessibleTree::OnGetObject(WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    if (static_cast<LONG>(lParam) != OBJID_CLIENT)
        return false;
    const OleAcc* oleacc = LoadOleAcc();
    IAccessible* client = oleacc ? Client() : nullptr;
    if (!client)
        return false;
    lRes = oleacc->lresultFromObject(kIidAccessible, wParam, client);
    return true;
}

std::vector<CControlUI*> CAccessibleTree::Children() const
{
    std::vector<CControlUI*> children;
    if (CControlUI* root = m_pm->GetRoot()) {
        m_pm->UpdateLayout();  // locations as the screen shows them
        root->FindControl(CollectAccessible, &children, UIFIND_VISIBLE);
    }
    return children;
}

long CAccessibleTree::ChildId(CControlUI* control) const
{
    std::vector<CControlUI*> children = Children();
    for (size_t i = 0; i < children.size(); ++i)
        if (children[i] == control)
            return static_cast<long>(i + 1);
    return 0;
}

CControlUI* CAccessibleTree::ChildAt(long childId) const
{
    std::vector<CControlUI*> children = Children();
    if (childId < 1 || static_cast<size_t>(childId) > children.size())
        return nullptr;
    return children[static_cast<size_t>(childId) - 1];
}

IAccessible* CAccessibleTree::Client()
{
    if (m_pClient)
        return m_pClient.Get();
    const OleAcc* oleacc = LoadOleAcc();
    ComPtr<IAccessible> standard;
    if (!oleacc || !Window() ||
        FAILED(oleacc->createStdAccessibleObject(Window(), OBJID_CLIENT, kIidAccessible,
                                                 reinterpret_cast<void**>(standard.GetAddressOf()))) ||
        !standard)
        return nullptr;
    // Made with one reference, which the tree keeps.
    m_pClient.Attach(new CAccessibleObject(this, std::move(standard)));
    return m_pClient.Get();
}

IAccessible* CAccessibleTree::ObjectOf(CControlUI* control)
{
    auto it = m_objects.find(control);
    if (it != m_objects.end())
        return it->second.Get();
    ComPtr<CAccessibleObject> object;
    object.Attach(new CAccessibleObject(this, control));  // its one reference
    return m_objects.emplace(control, std::move(object)).first->second.Get();
}

void CAccessibleTree::Forget(CControlUI* control)
{
    auto it = m_objects.find(control);
    if (it == m_objects.end())
        return;
    it->second->Disconnect();
    m_objects.erase(it);
}

void CAccessibleTree::NotifyEvent(DWORD event, CControlUI* control)
{
    HWND hWnd = Window();
    if (!hWnd || !IsWindowVisible(hWnd))
        return;  // nobody can read a window not shown yet
    long id = CHILDID_SELF;
    if (control && (id = ChildId(control)) == 0)
        return;
    NotifyWinEvent(event, hWnd, OBJID_CLIENT, id);
}

void CAccessibleTree::PostDefaultAction(CControlUI* control)
{
    PostMessageW(Window(), kMsgAccessibleAction, reinterpret_cast<WPARAM>(control), 0);
}

void CAccessibleTree::OnDefaultActionMessage(WPARAM wParam)
{
    // Only a control still in the tree acts: it may have gone meanwhile.
    auto* wanted = reinterpret_cast<CControlUI*>(wParam);
    for (CControlUI* control : Children()) {
        if (control != wanted)
            continue;
        control->SetFocus();
        control->Activate();
        return;
    }
}

}  // namespace DuiLib
