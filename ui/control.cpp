#include "ui/control.h"

#include "ui/attr_parse.h"
#include "ui/paint_manager.h"
#include "ui/render.h"

namespace DuiLib {

CControlUI::CControlUI() = default;

CControlUI::~CControlUI()
{
    if (m_pManager)
        m_pManager->ReapObjects(this);
}

void CControlUI::SetName(LPCWSTR pstrName) { m_sName = pstrName ? pstrName : L""; }

LPCWSTR CControlUI::GetClass() const { return L"ControlUI"; }

LPVOID CControlUI::GetInterface(LPCWSTR pstrName)
{
    return pstrName && wcscmp(pstrName, L"Control") == 0 ? this : nullptr;
}

bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }

void CControlUI::SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit)
{
    m_pManager = pManager;
    m_pParent = pParent;
    if (bInit && m_pParent)
        Init();
}

void CControlUI::SetText(LPCWSTR pstrText)
{
    std::wstring text = pstrText ? pstrText : L"";
    if (m_sText == text)
        return;
    m_sText = std::move(text);
    Invalidate();
}

void CControlUI::SetBkColor(DWORD dwColor)
{
    if (m_dwBackColor == dwColor)
        return;
    m_dwBackColor = dwColor;
    Invalidate();
}

void CControlUI::SetBkImage(LPCWSTR pStrImage)
{
    std::wstring image = pStrImage ? pStrImage : L"";
    if (m_sBkImage == image)
        return;  // an equal description must not cost a repaint
    m_sBkImage = std::move(image);
    Invalidate();
}

void CControlUI::SetBorderColor(DWORD dwColor)
{
    m_dwBorderColor = dwColor;
    Invalidate();
}

void CControlUI::SetFocusBorderColor(DWORD dwColor)
{
    m_dwFocusBorderColor = dwColor;
    Invalidate();
}

void CControlUI::SetBorderSize(int nSize)
{
    m_nBorderSize = nSize;
    Invalidate();
}

void CControlUI::SetBorderRound(SIZE cxyRound)
{
    m_cxyBorderRound = cxyRound;
    Invalidate();
}

void CControlUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    if (rc.right < rc.left)
        rc.right = rc.left;
    if (rc.bottom < rc.top)
        rc.bottom = rc.top;
    RECT old = m_rcItem;
    m_rcLayout = rc;
    rc = ToWindowPixels(rc);
    m_rcItem = rc;
    m_bUpdateNeeded = false;
    if (!m_pManager || !bNeedInvalidate || !IsVisible())
        return;
    RECT dirty;
    if (IsRectEmpty(&old))
        dirty = rc;
    else
        UnionRect(&dirty, &old, &rc);
    m_pManager->Invalidate(dirty);
}

void CControlUI::SetPadding(RECT rcPadding)
{
    m_rcPadding = rcPadding;
    NeedParentUpdate();
}

void CControlUI::SetFixedXY(SIZE szXY)
{
    m_cXY = szXY;
    NeedParentUpdate();
}

void CControlUI::SetFixedWidth(int cx)
{
    if (cx < 0)
        return;
    m_cxyFixed.cx = cx;
    NeedParentUpdate();
}

void CControlUI::SetFixedHeight(int cy)
{
    if (cy < 0)
        return;
    m_cxyFixed.cy = cy;
    NeedParentUpdate();
}

void CControlUI::SetMinWidth(int cx)
{
    if (cx >= 0)
        m_cxyMin.cx = cx;
    NeedParentUpdate();
}

void CControlUI::SetMaxWidth(int cx)
{
    if (cx >= 0)
        m_cxyMax.cx = cx;
    NeedParentUpdate();
}

void CControlUI::SetMinHeight(int cy)
{
    if (cy >= 0)
        m_cxyMin.cy = cy;
    NeedParentUpdate();
}

void CControlUI::SetMaxHeight(int cy)
{
    if (cy >= 0)
        m_cxyMax.cy = cy;
    NeedParentUpdate();
}

SIZE CControlUI::EstimateSize(SIZE /*szAvailable*/) { return m_cxyFixed; }

void CControlUI::SetToolTip(LPCWSTR pstrText) { m_sToolTip = pstrText ? pstrText : L""; }

void CControlUI::SetVisible(bool bVisible)
{
    if (m_bVisible == bVisible)
        return;
    bool wasVisible = IsVisible();
    m_bVisible = bVisible;
    if (m_bFocused && !IsVisible() && m_pManager)
        m_pManager->SetFocus(nullptr);
    if (IsVisible() != wasVisible)
        NeedParentUpdate();
}

void CControlUI::SetInternVisible(bool bVisible)
{
    m_bInternVisible = bVisible;
    if (!bVisible && m_bFocused && m_pManager)
        m_pManager->SetFocus(nullptr);
}

void CControlUI::SetEnabled(bool bEnable)
{
    if (m_bEnabled == bEnable)
        return;
    m_bEnabled = bEnable;
    if (!bEnable && m_bFocused && m_pManager)
        m_pManager->SetFocus(nullptr);
    Invalidate();
}

void CControlUI::SetFocus()
{
    if (m_pManager)
        m_pManager->SetFocus(this);
}

void CControlUI::SetFloat(bool bFloat)
{
    if (m_bFloat == bFloat)
        return;
    m_bFloat = bFloat;
    NeedParentUpdate();
}

CControlUI* CControlUI::FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags)
{
    if ((uFlags & UIFIND_VISIBLE) && !IsVisible())
        return nullptr;
    if ((uFlags & UIFIND_ENABLED) && !IsEnabled())
        return nullptr;
    if ((uFlags & UIFIND_HITTEST) &&
        (!m_bMouseEnabled || !PtInRect(&m_rcItem, *static_cast<POINT*>(pData))))
        return nullptr;
    return Proc(this, pData);
}

void CControlUI::Invalidate()
{
    if (!IsVisible() || !m_pManager)
        return;
    RECT rc = m_rcItem;
    for (CControlUI* p = m_pParent; p; p = p->GetParent()) {
        RECT parent = p->GetPos();
        if (!IntersectRect(&rc, &rc, &parent))
            return;
    }
    m_pManager->Invalidate(rc);
}

void CControlUI::NeedUpdate()
{
    if (!IsVisible())
        return;
    m_bUpdateNeeded = true;
    Invalidate();
    if (m_pManager)
        m_pManager->NeedUpdate();
}

void CControlUI::NeedParentUpdate()
{
    if (m_pParent) {
        m_pParent->NeedUpdate();
        m_pParent->Invalidate();
    } else {
        NeedUpdate();
    }
    if (m_pManager)
        m_pManager->NeedUpdate();
}

void CControlUI::Init() { DoInit(); }

void CControlUI::Event(TEventUI& event) { DoEvent(event); }

void CControlUI::DoEvent(TEventUI& event)
{
    switch (event.Type) {
    case UIEVENT_SETCURSOR:
        ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        return;
    case UIEVENT_SETFOCUS:
        m_bFocused = true;
        Invalidate();
        return;
    case UIEVENT_KILLFOCUS:
        m_bFocused = false;
        Invalidate();
        return;
    case UIEVENT_TIMER:
        if (m_pManager)
            m_pManager->SendNotify(this, DUI_MSGTYPE_TIMER, event.wParam, event.lParam);
        return;
    default:
        break;
    }
    // Unhandled input bubbles up, so containers see it.
    if (m_pParent)
        m_pParent->DoEvent(event);
}

void CControlUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    std::wstring_view name(pstrName);
    if (name == L"pos") {
        RECT rc = ParseRect(pstrValue);
        SetFixedXY(SIZE{rc.left, rc.top});
        SetFixedWidth(rc.right - rc.left);
        SetFixedHeight(rc.bottom - rc.top);
    } else if (name == L"padding") {
        SetPadding(ParseRect(pstrValue));
    } else if (name == L"bkcolor" || name == L"bkcolor1") {
        SetBkColor(ParseColor(pstrValue));
    } else if (name == L"bordercolor") {
        SetBorderColor(ParseColor(pstrValue));
    } else if (name == L"focusbordercolor") {
        SetFocusBorderColor(ParseColor(pstrValue));
    } else if (name == L"bordersize") {
        SetBorderSize(ParseInt(pstrValue));
    } else if (name == L"borderround") {
        SetBorderRound(ParseSize(pstrValue));
    } else if (name == L"bkimage") {
        SetBkImage(pstrValue);
    } else if (name == L"width") {
        SetFixedWidth(ParseInt(pstrValue));
    } else if (name == L"height") {
        SetFixedHeight(ParseInt(pstrValue));
    } else if (name == L"minwidth") {
        SetMinWidth(ParseInt(pstrValue));
    } else if (name == L"minheight") {
        SetMinHeight(ParseInt(pstrValue));
    } else if (name == L"maxwidth") {
        SetMaxWidth(ParseInt(pstrValue));
    } else if (name == L"maxheight") {
        SetMaxHeight(ParseInt(pstrValue));
    } else if (name == L"name") {
        SetName(pstrValue);
    } else if (name == L"text") {
        SetText(pstrValue);
    } else if (name == L"tooltip") {
        SetToolTip(pstrValue);
    } else if (name == L"userdata") {
        SetUserData(pstrValue);
    } else if (name == L"enabled") {
        SetEnabled(ParseBool(pstrValue));
    } else if (name == L"mouse") {
        SetMouseEnabled(ParseBool(pstrValue));
    } else if (name == L"keyboard") {
        SetKeyboardEnabled(ParseBool(pstrValue));
    } else if (name == L"visible") {
        SetVisible(ParseBool(pstrValue));
    } else if (name == L"float") {
        SetFloat(ParseBool(pstrValue));
    }
}

void CControlUI::ApplyAttributeList(LPCWSTR pstrList)
{
    for (const auto& [name, value] : ParseAttributeList(pstrList))
        SetAttribute(name.c_str(), value.c_str());
}

}  // namespace DuiLib
