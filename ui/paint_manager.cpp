#include "ui/paint_manager.h"

#include <algorithm>

#include "ui/accessible_tree.h"
#include "ui/attr_parse.h"
#include "ui/control.h"
#include "ui/image_cache.h"
#include "ui/paint_manager_shared.h"
#include "ui/render.h"
#include "ui/shadow.h"
#include "ui/tooltip.h"

namespace DuiLib {

namespace {

CControlUI* CALLBACK FindControlFromPoint(CControlUI* control, LPVOID data)
{
    RECT pos = control->GetPos();
    return PtInRect(&pos, *static_cast<POINT*>(data)) ? control : nullptr;
}

struct NameRegistration {
    std::multimap<std::wstring, CControlUI*>* hash;
};

CControlUI* CALLBACK RegisterName(CControlUI* control, LPVOID data)
{
    auto* reg = static_cast<NameRegistration*>(data);
    const std::wstring& name = control->GetName();
    if (!name.empty()) {
        auto range = reg->hash->equal_range(name);
        bool known = std::any_of(range.first, range.second, [&](auto& kv) { return kv.second == control; });
        if (!known)
            reg->hash->emplace(name, control);
    }
    return nullptr;
}

struct TabSearch {
    std::vector<CControlUI*> stops;
};

bool IsTabStop(CControlUI* control)
{
    return (control->GetControlFlags() & UIFLAG_TABSTOP) && control->IsEnabled() &&
           control->IsKeyboardEnabled();
}

CControlUI* CALLBACK CollectTabStops(CControlUI* control, LPVOID data)
{
    if (IsTabStop(control))
        static_cast<TabSearch*>(data)->stops.push_back(control);
    return nullptr;
}

CControlUI* CALLBACK CollectPageFocus(CControlUI* control, LPVOID data)
{
    if (control->GetControlFlags() & UIFLAG_PAGEFOCUS)
        static_cast<TabSearch*>(data)->stops.push_back(control);
    return nullptr;
}

}  // namespace


CPaintManagerUI::CPaintManagerUI() = default;

CPaintManagerUI::~CPaintManagerUI()
{
    if (m_hWndPaint && IsWindow(m_hWndPaint))
        for (const TimerInfo& t : m_timers)
            ::KillTimer(m_hWndPaint, t.uWinTimer);
    m_timers.clear();
    CControlUI* root = m_pRoot;
    m_pRoot = nullptr;
    m_mNameHash.clear();
    delete root;
    m_pShadow.reset();
    m_pToolTip.reset();
    auto& managers = Managers();
    managers.erase(std::remove(managers.begin(), managers.end(), this), managers.end());
    ReleaseOffscreen();
}

void CPaintManagerUI::Init(HWND hWnd, LPCWSTR pstrName)
{
    m_hWndPaint = hWnd;
    m_sName = pstrName ? pstrName : L"";
    m_nDpi = hWnd ? DpiOfWindow(hWnd) : kDesignDpi;
    if (!m_hDcMeasure)
        m_hDcMeasure.Reset(CreateCompatibleDC(nullptr));
    m_pToolTip = std::make_unique<CTooltipWindow>(hWnd);
    // Focus cues stay hidden until the keyboard is used.
    m_bFocusCues = false;
    if (hWnd)
        SendMessageW(hWnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    auto& managers = Managers();
    if (std::find(managers.begin(), managers.end(), this) == managers.end())
        managers.push_back(this);
}

bool CPaintManagerUI::AttachDialog(CControlUI* pControl)
{
    if (!pControl)
        return false;
    SetFocus(nullptr);
    m_pEventHover = m_pEventClick = m_pEventKey = m_pDefaultButton = m_pCancelButton = nullptr;
    if (m_pRoot && m_pRoot != pControl) {
        CControlUI* old = m_pRoot;
        m_pRoot = nullptr;
        delete old;
    }
    m_mNameHash.clear();
    m_pRoot = pControl;
    m_bFirstLayout = true;
    InitControls(pControl);
    if (m_pShadow && m_pShadow->IsShowShadow())
        m_pShadow->Create(this);
    NeedUpdate();
    return true;
}

bool CPaintManagerUI::InitControls(CControlUI* pControl, CControlUI* pParent)
{
    if (!pControl)
        return false;
    pControl->SetManager(this, pParent ? pParent : pControl->GetParent(), true);
    NameRegistration reg{&m_mNameHash};
    pControl->FindControl(RegisterName, &reg, UIFIND_ALL);
    return true;
}

void CPaintManagerUI::ReapObjects(CControlUI* pControl) { DropControl(pControl); }

void CPaintManagerUI::DropControl(CControlUI* pControl)
{
    if (!pControl)
        return;
    if (m_pFocus == pControl)
        m_pFocus = nullptr;
    if (m_pEventHover == pControl)
        m_pEventHover = nullptr;
    if (m_pEventClick == pControl)
        m_pEventClick = nullptr;
    if (m_pEventKey == pControl)
        m_pEventKey = nullptr;
    if (m_pDefaultButton == pControl)
        m_pDefaultButton = nullptr;
    if (m_pCancelButton == pControl)
        m_pCancelButton = nullptr;
    if (m_pAccessible)
        m_pAccessible->Forget(pControl);
    for (auto it = m_mNameHash.begin(); it != m_mNameHash.end();)
        it = it->second == pControl ? m_mNameHash.erase(it) : std::next(it);
    KillTimer(pControl);
    m_asyncNotify.erase(std::remove_if(m_asyncNotify.begin(), m_asyncNotify.end(),
                                       [&](const TNotifyUI& n) { return n.pSender == pControl; }),
                        m_asyncNotify.end());
}

CControlUI* CPaintManagerUI::FindControl(LPCWSTR pstrName) const
{
    if (!pstrName)
        return nullptr;
    auto it = m_mNameHash.find(pstrName);
    return it == m_mNameHash.end() ? nullptr : it->second;
}

CControlUI* CPaintManagerUI::FindControl(POINT pt) const
{
    if (!m_pRoot)
        return nullptr;
    const_cast<CPaintManagerUI*>(this)->UpdateLayout();
    return m_pRoot->FindControl(FindControlFromPoint, &pt,
                                UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* pParent, LPCWSTR pstrName) const
{
    if (!pParent || !pstrName)
        return nullptr;
    auto range = m_mNameHash.equal_range(pstrName);
    for (auto it = range.first; it != range.second; ++it)
        for (CControlUI* p = it->second; p; p = p->GetParent())
            if (p == pParent)
                return it->second;
    return nullptr;
}

void CPaintManagerUI::SetFocus(CControlUI* pControl)
{
    // A window still being built only notes its first control: it is
    // activated, and so focused, when it is shown.
    if (pControl && m_hWndPaint && ::GetFocus() != m_hWndPaint && pControl != m_pFocus &&
        ::IsWindowVisible(m_hWndPaint))
        ::SetFocus(m_hWndPaint);
    if (pControl == m_pFocus)
        return;
    if (m_pFocus) {
        CControlUI* old = m_pFocus;
        m_pFocus = nullptr;
        SendEvent(old, UIEVENT_KILLFOCUS);
        SendNotify(old, DUI_MSGTYPE_KILLFOCUS);
    }
    if (!pControl || pControl->GetManager() != this || !pControl->IsVisible() || !pControl->IsEnabled())
        return;
    m_pFocus = pControl;
    SendEvent(pControl, UIEVENT_SETFOCUS);
    if (m_pFocus == pControl)
        NotifyAccessibleEvent(EVENT_OBJECT_FOCUS, pControl);
    if (m_pFocus == pControl)
        SendNotify(pControl, DUI_MSGTYPE_SETFOCUS);
}

void CPaintManagerUI::PressDefaultButtonLater()
{
    if (m_pDefaultButton && m_hWndPaint)
        GetAccessibleTree()->PostDefaultAction(m_pDefaultButton);
}

CAccessibleTree* CPaintManagerUI::GetAccessibleTree()
{
    if (!m_pAccessible)
        m_pAccessible = std::make_unique<CAccessibleTree>(this);
    return m_pAccessible.get();
}

void CPaintManagerUI::NotifyAccessibleEvent(DWORD event, CControlUI* pControl)
{
    if (m_hWndPaint && m_pRoot)
        GetAccessibleTree()->NotifyEvent(event, pControl);
}

CControlUI* CPaintManagerUI::FirstFocusable(CControlUI* pPage) const
{
    if (!pPage)
        return nullptr;
    TabSearch search;
    pPage->FindControl(CollectTabStops, &search, UIFIND_VISIBLE | UIFIND_ENABLED);
    if (search.stops.empty())
        pPage->FindControl(CollectPageFocus, &search, UIFIND_VISIBLE | UIFIND_ENABLED);
    return search.stops.empty() ? nullptr : search.stops.front();
}

void CPaintManagerUI::OnPageShown(CControlUI* pPage)
{
    NotifyAccessibleEvent(EVENT_OBJECT_REORDER, nullptr);  // the tree's children changed
    if (!m_pFocus || !m_pFocus->IsVisible())
        if (CControlUI* first = FirstFocusable(pPage))
            SetFocus(first);
}

void CPaintManagerUI::ShowFocusCues()
{
    if (m_bFocusCues || !m_hWndPaint)
        return;
    SendMessageW(m_hWndPaint, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    if (!m_bFocusCues) {
        // Windows already thought them shown and sent no update.
        m_bFocusCues = true;
        if (m_pFocus)
            m_pFocus->Invalidate();
    }
}

bool CPaintManagerUI::SetNextTabControl(bool bForward)
{
    if (!m_pRoot)
        return false;
    TabSearch search;
    m_pRoot->FindControl(CollectTabStops, &search, UIFIND_VISIBLE | UIFIND_ENABLED);
    if (search.stops.empty())
        return false;
    auto it = std::find(search.stops.begin(), search.stops.end(), m_pFocus);
    size_t n = search.stops.size(), index;
    if (it == search.stops.end())
        index = bForward ? 0 : n - 1;
    else {
        size_t cur = static_cast<size_t>(it - search.stops.begin());
        index = bForward ? (cur + 1) % n : (cur + n - 1) % n;
    }
    SetFocus(search.stops[index]);
    return true;
}

void CPaintManagerUI::NeedUpdate()
{
    m_bUpdateNeeded = true;
    if (m_hWndPaint)
        InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

void CPaintManagerUI::Invalidate(const RECT& rcItem)
{
    if (m_hWndPaint)
        InvalidateRect(m_hWndPaint, &rcItem, FALSE);
}

void CPaintManagerUI::UpdateLayout()
{
    if (!m_pRoot || !m_hWndPaint || !m_bUpdateNeeded)
        return;
    RECT client;
    GetClientRect(m_hWndPaint, &client);
    if (IsRectEmpty(&client))
        return;  // minimised: keep the last layout
    m_bUpdateNeeded = false;
    // The layout works in 96-DPI pixels: the client area at that scale.
    if (m_nDpi != kDesignDpi)
        client = {0, 0, UnscaleByDpi(client.right, m_nDpi), UnscaleByDpi(client.bottom, m_nDpi)};
    m_pRoot->SetPos(client, true);
    m_bFirstLayout = false;
}

void CPaintManagerUI::SetDpi(int dpi)
{
    dpi = ClampDpi(dpi);
    if (dpi == m_nDpi)
        return;
    m_nDpi = dpi;
    for (auto& [id, font] : m_scaledFonts)
        m_retiredScaledFonts.push_back(std::move(font.hFont));
    m_scaledFonts.clear();
    if (m_pShadow)
        m_pShadow->SetSize(m_pShadow->GetSize());  // drawn again at the new scale
    NeedUpdate();
}

void CPaintManagerUI::OnDpiChanged(int dpi, const RECT& suggested)
{
    RECT window;
    if (!m_hWndPaint || !GetWindowRect(m_hWndPaint, &window))
        return;
    const int oldDpi = m_nDpi;
    SetDpi(dpi);
    // The window keeps its 96-DPI size (the custom area's height included),
    // drawn at the new scale; the suggested size may be a rounding pixel off.
    int cx = Scale(UnscaleByDpi(window.right - window.left, oldDpi));
    int cy = Scale(UnscaleByDpi(window.bottom - window.top, oldDpi));
    SetWindowPos(m_hWndPaint, nullptr, suggested.left, suggested.top, cx, cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

void CPaintManagerUI::EnsureOffscreen(int cx, int cy)
{
    if (m_hDcOffscreen && m_szOffscreen.cx == cx && m_szOffscreen.cy == cy)
        return;
    ReleaseOffscreen();
    void* bits = nullptr;
    m_hbmpOffscreen = NewTopDownBitmap(cx, cy, &bits);
    if (!m_hbmpOffscreen)
        return;
    m_hDcOffscreen.Reset(CreateCompatibleDC(nullptr));
    m_hbmpOldOffscreen = SelectObject(m_hDcOffscreen.Get(), m_hbmpOffscreen.Get());
    m_szOffscreen = {cx, cy};
}

void CPaintManagerUI::ReleaseOffscreen()
{
    if (m_hDcOffscreen)
        SelectObject(m_hDcOffscreen.Get(), m_hbmpOldOffscreen);
    m_hDcOffscreen.Reset();
    m_hbmpOffscreen.Reset();
    m_szOffscreen = {};
}

void CPaintManagerUI::Render(HDC hDC, const RECT& rcPaint)
{
    UpdateLayout();
    CRenderClip clip(hDC, rcPaint);
    CRenderEngine::DrawColor(hDC, rcPaint, 0xFFFFFFFF);
    if (m_pRoot)
        m_pRoot->DoPaint(hDC, rcPaint);
    ++m_nPaintCount;
}

bool CPaintManagerUI::SetTimer(CControlUI* pControl, UINT nTimerID, UINT uElapse)
{
    if (!pControl || !m_hWndPaint)
        return false;
    for (TimerInfo& t : m_timers) {
        if (t.pSender == pControl && t.nLocalID == nTimerID)
            return ::SetTimer(m_hWndPaint, t.uWinTimer, uElapse, nullptr) != 0;
    }
    UINT_PTR id = ++m_uNextTimerID;
    if (!::SetTimer(m_hWndPaint, id, uElapse, nullptr))
        return false;
    m_timers.push_back({pControl, nTimerID, id});
    return true;
}

bool CPaintManagerUI::KillTimer(CControlUI* pControl, UINT nTimerID)
{
    for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
        if (it->pSender == pControl && it->nLocalID == nTimerID) {
            if (m_hWndPaint && IsWindow(m_hWndPaint))
                ::KillTimer(m_hWndPaint, it->uWinTimer);
            m_timers.erase(it);
            return true;
        }
    }
    return false;
}

void CPaintManagerUI::KillTimer(CControlUI* pControl)
{
    for (auto it = m_timers.begin(); it != m_timers.end();) {
        if (it->pSender == pControl) {
            if (m_hWndPaint && IsWindow(m_hWndPaint))
                ::KillTimer(m_hWndPaint, it->uWinTimer);
            it = m_timers.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace DuiLib
