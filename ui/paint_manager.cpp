#include "ui/paint_manager.h"

#include <algorithm>

#include "ui/attr_parse.h"
#include "ui/control.h"
#include "ui/controls/edit.h"
#include "ui/image_cache.h"
#include "ui/render.h"
#include "ui/shadow.h"
#include "ui/tooltip.h"

namespace DuiLib {

namespace {

constexpr UINT kMsgAsyncNotify = WM_APP + 0x300;

struct SharedState {
    std::map<int, TFontInfo> fonts;
    std::vector<HFONT> retiredFonts;  // replaced shared fonts may still be selected somewhere
    std::unique_ptr<TFontInfo> defaultFont;
    std::map<std::wstring, std::wstring> defaultAttrs;
};

SharedState& Shared()
{
    static SharedState s;
    return s;
}

TFontInfo MakeFont(HDC measure, LPCWSTR face, int size, bool bold, bool underline, bool italic)
{
    LOGFONTW lf = {};
    lf.lfHeight = -size;  // sizes are pixels of character height
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = underline;
    lf.lfItalic = italic;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    wcsncpy_s(lf.lfFaceName, LF_FACESIZE, face ? face : L"", _TRUNCATE);
    TFontInfo info;
    info.hFont = CreateFontIndirectW(&lf);
    info.sFontName = face ? face : L"";
    info.iSize = size;
    info.bBold = bold;
    info.bUnderline = underline;
    info.bItalic = italic;
    if (info.hFont && measure) {
        HGDIOBJ old = SelectObject(measure, info.hFont);
        GetTextMetricsW(measure, &info.tm);
        SelectObject(measure, old);
    }
    return info;
}

bool SameFont(const TFontInfo& f, LPCWSTR face, int size, bool bold, bool underline, bool italic)
{
    return f.sFontName == (face ? face : L"") && f.iSize == size && f.bBold == bold &&
           f.bUnderline == underline && f.bItalic == italic;
}

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

CControlUI* CALLBACK CollectTabStops(CControlUI* control, LPVOID data)
{
    if ((control->GetControlFlags() & UIFLAG_TABSTOP) && control->IsEnabled() &&
        control->IsKeyboardEnabled())
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
    for (auto& [id, font] : m_fonts)
        if (font.hFont)
            DeleteObject(font.hFont);
    if (m_pDefaultFont && m_pDefaultFont->hFont)
        DeleteObject(m_pDefaultFont->hFont);
    if (m_hDcMeasure)
        DeleteDC(m_hDcMeasure);
}

std::vector<CPaintManagerUI*>& CPaintManagerUI::Managers()
{
    static std::vector<CPaintManagerUI*> managers;
    return managers;
}

void CPaintManagerUI::Init(HWND hWnd, LPCWSTR pstrName)
{
    m_hWndPaint = hWnd;
    m_sName = pstrName ? pstrName : L"";
    if (!m_hDcMeasure)
        m_hDcMeasure = CreateCompatibleDC(nullptr);
    m_pToolTip = std::make_unique<CTooltipWindow>(hWnd);
    // Focus cues stay hidden until the keyboard is used.
    m_bFocusCues = false;
    if (hWnd)
        SendMessageW(hWnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    auto& managers = Managers();
    if (std::find(managers.begin(), managers.end(), this) == managers.end())
        managers.push_back(this);
}

void CPaintManagerUI::SetInitSize(int cx, int cy)
{
    m_szInitWindowSize = {cx, cy};
    if (m_hWndPaint && cx > 0 && cy > 0)
        SetWindowPos(m_hWndPaint, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

void CPaintManagerUI::GreySizeCommand(HMENU hSysMenu) const
{
    if (hSysMenu && !HasSizeBox())
        EnableMenuItem(hSysMenu, SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
}

void CPaintManagerUI::SetWindowAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    std::wstring_view name(pstrName);
    auto shadow = [this]() -> CShadowUI& {
        if (!m_pShadow)
            m_pShadow = std::make_unique<CShadowUI>();
        return *m_pShadow;
    };
    if (name == L"size") {
        SIZE sz = ParseSize(pstrValue);
        SetInitSize(sz.cx, sz.cy);
    } else if (name == L"sizebox") {
        SetSizeBox(ParseRect(pstrValue));
    } else if (name == L"caption") {
        SetCaptionRect(ParseRect(pstrValue));
    } else if (name == L"roundcorner") {
        SIZE sz = ParseSize(pstrValue);
        SetRoundCorner(sz.cx, sz.cy);
    } else if (name == L"mininfo") {
        SIZE sz = ParseSize(pstrValue);
        SetMinInfo(sz.cx, sz.cy);
    } else if (name == L"maxinfo") {
        SIZE sz = ParseSize(pstrValue);
        SetMaxInfo(sz.cx, sz.cy);
    } else if (name == L"defaultfontcolor") {
        SetDefaultFontColor(ParseColor(pstrValue));
    } else if (name == L"disabledfontcolor") {
        SetDefaultDisabledColor(ParseColor(pstrValue));
    } else if (name == L"linkfontcolor") {
        SetDefaultLinkFontColor(ParseColor(pstrValue));
    } else if (name == L"linkhoverfontcolor") {
        SetDefaultLinkHoverFontColor(ParseColor(pstrValue));
    } else if (name == L"selectedcolor") {
        SetDefaultSelectedBkColor(ParseColor(pstrValue));
    } else if (name == L"showshadow") {
        shadow().ShowShadow(ParseBool(pstrValue));
    } else if (name == L"shadowimage") {
        shadow().SetImage(pstrValue);
    } else if (name == L"shadowsize") {
        shadow().SetSize(ParseInt(pstrValue));
    } else if (name == L"shadowcorner") {
        shadow().SetShadowCorner(ParseRect(pstrValue));
    } else if (name == L"shadowcolor") {
        shadow().SetColor(ParseColor(pstrValue));
    } else if (name == L"shadowposition") {
        SIZE sz = ParseSize(pstrValue);
        shadow().SetPosition(sz.cx, sz.cy);
    }
}

HFONT CPaintManagerUI::AddFont(int id, LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline,
                               bool bItalic, bool bShared)
{
    auto& table = bShared ? Shared().fonts : m_fonts;
    auto it = table.find(id);
    if (it != table.end()) {
        if (SameFont(it->second, pStrFontName, nSize, bBold, bUnderline, bItalic))
            return it->second.hFont;
        // Another window may still use the old shared font; retire it.
        if (bShared)
            Shared().retiredFonts.push_back(it->second.hFont);
        else
            DeleteObject(it->second.hFont);
        table.erase(it);
    }
    TFontInfo info = MakeFont(m_hDcMeasure, pStrFontName, nSize, bBold, bUnderline, bItalic);
    if (!info.hFont)
        return nullptr;
    HFONT font = info.hFont;
    table[id] = std::move(info);
    return font;
}

void CPaintManagerUI::SetDefaultFont(LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline,
                                     bool bItalic, bool bShared)
{
    std::unique_ptr<TFontInfo>& slot = bShared ? Shared().defaultFont : m_pDefaultFont;
    if (slot && SameFont(*slot, pStrFontName, nSize, bBold, bUnderline, bItalic))
        return;
    TFontInfo info = MakeFont(m_hDcMeasure, pStrFontName, nSize, bBold, bUnderline, bItalic);
    if (!info.hFont)
        return;
    if (slot && slot->hFont) {
        if (bShared)
            Shared().retiredFonts.push_back(slot->hFont);
        else
            DeleteObject(slot->hFont);
    }
    slot = std::make_unique<TFontInfo>(std::move(info));
}

const TFontInfo* CPaintManagerUI::GetFontInfo(int id)
{
    if (id >= 0) {
        auto it = m_fonts.find(id);
        if (it != m_fonts.end())
            return &it->second;
        auto shared = Shared().fonts.find(id);
        if (shared != Shared().fonts.end())
            return &shared->second;
    }
    if (m_pDefaultFont)
        return m_pDefaultFont.get();
    if (Shared().defaultFont)
        return Shared().defaultFont.get();
    // No font table: the system's message font.
    NONCLIENTMETRICSW ncm = {};
    ncm.cbSize = sizeof(ncm);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    int size = ncm.lfMessageFont.lfHeight < 0 ? -ncm.lfMessageFont.lfHeight : 12;
    SetDefaultFont(ncm.lfMessageFont.lfFaceName, size, false, false, false, false);
    return m_pDefaultFont.get();
}

HFONT CPaintManagerUI::GetFont(int id)
{
    const TFontInfo* info = GetFontInfo(id);
    return info && info->hFont ? info->hFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void CPaintManagerUI::RemoveAllSharedFonts()
{
    SharedState& s = Shared();
    for (auto& [id, font] : s.fonts)
        if (font.hFont)
            DeleteObject(font.hFont);
    s.fonts.clear();
    for (HFONT f : s.retiredFonts)
        DeleteObject(f);
    s.retiredFonts.clear();
    if (s.defaultFont && s.defaultFont->hFont)
        DeleteObject(s.defaultFont->hFont);
    s.defaultFont.reset();
}

const TImageInfo* CPaintManagerUI::GetImage(const std::wstring& file, const std::wstring& resType,
                                            DWORD mask)
{
    return CImageCache::Get(file, resType, mask);
}

void CPaintManagerUI::AddDefaultAttributeList(LPCWSTR pStrControlName, LPCWSTR pStrControlAttrList,
                                              bool bShared)
{
    if (!pStrControlName)
        return;
    (bShared ? Shared().defaultAttrs : m_defaultAttrs)[pStrControlName] =
        pStrControlAttrList ? pStrControlAttrList : L"";
}

LPCWSTR CPaintManagerUI::GetDefaultAttributeList(LPCWSTR pStrControlName) const
{
    if (!pStrControlName)
        return nullptr;
    auto it = m_defaultAttrs.find(pStrControlName);
    if (it != m_defaultAttrs.end())
        return it->second.c_str();
    auto shared = Shared().defaultAttrs.find(pStrControlName);
    return shared != Shared().defaultAttrs.end() ? shared->second.c_str() : nullptr;
}

bool CPaintManagerUI::AttachDialog(CControlUI* pControl)
{
    if (!pControl)
        return false;
    SetFocus(nullptr);
    m_pEventHover = m_pEventClick = m_pEventKey = nullptr;
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
    if (pControl && m_hWndPaint && ::GetFocus() != m_hWndPaint && pControl != m_pFocus)
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
        SendNotify(pControl, DUI_MSGTYPE_SETFOCUS);
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
    m_pRoot->SetPos(client, true);
    m_bFirstLayout = false;
}

void CPaintManagerUI::EnsureOffscreen(int cx, int cy)
{
    if (m_hDcOffscreen && m_szOffscreen.cx == cx && m_szOffscreen.cy == cy)
        return;
    ReleaseOffscreen();
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    m_hbmpOffscreen = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!m_hbmpOffscreen)
        return;
    m_hDcOffscreen = CreateCompatibleDC(nullptr);
    m_hbmpOldOffscreen = SelectObject(m_hDcOffscreen, m_hbmpOffscreen);
    m_szOffscreen = {cx, cy};
}

void CPaintManagerUI::ReleaseOffscreen()
{
    if (m_hDcOffscreen) {
        SelectObject(m_hDcOffscreen, m_hbmpOldOffscreen);
        DeleteDC(m_hDcOffscreen);
        m_hDcOffscreen = nullptr;
    }
    if (m_hbmpOffscreen) {
        DeleteObject(m_hbmpOffscreen);
        m_hbmpOffscreen = nullptr;
    }
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

namespace {

template <class T>
bool AddUnique(std::vector<T*>& list, T* item)
{
    if (!item || std::find(list.begin(), list.end(), item) != list.end())
        return false;
    list.push_back(item);
    return true;
}

template <class T>
bool RemoveItem(std::vector<T*>& list, T* item)
{
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end())
        return false;
    list.erase(it);
    return true;
}

}  // namespace

bool CPaintManagerUI::AddNotifier(INotifyUI* p) { return AddUnique(m_notifiers, p); }
bool CPaintManagerUI::RemoveNotifier(INotifyUI* p) { return RemoveItem(m_notifiers, p); }
bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* p) { return AddUnique(m_preMessageFilters, p); }
bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* p) { return RemoveItem(m_preMessageFilters, p); }
bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* p) { return AddUnique(m_messageFilters, p); }
bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* p) { return RemoveItem(m_messageFilters, p); }
bool CPaintManagerUI::AddTranslateAccelerator(ITranslateAccelerator* p)
{
    return AddUnique(m_translateAccelerators, p);
}
bool CPaintManagerUI::RemoveTranslateAccelerator(ITranslateAccelerator* p)
{
    return RemoveItem(m_translateAccelerators, p);
}

bool CPaintManagerUI::TranslateAccelerator(LPMSG pMsg)
{
    std::vector<ITranslateAccelerator*> list = m_translateAccelerators;
    for (ITranslateAccelerator* t : list)
        if (t->TranslateAccelerator(pMsg) == S_OK)
            return true;
    return false;
}

void CPaintManagerUI::SendNotify(CControlUI* pControl, LPCWSTR pstrMessage, WPARAM wParam,
                                 LPARAM lParam, bool bAsync)
{
    TNotifyUI msg;
    msg.pSender = pControl;
    msg.sType = pstrMessage ? pstrMessage : L"";
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendNotify(msg, bAsync);
}

void CPaintManagerUI::SendNotify(TNotifyUI& Msg, bool bAsync)
{
    Msg.ptMouse = m_ptLastMousePos;
    Msg.dwTimestamp = GetTickCount();
    if (bAsync) {
        m_asyncNotify.push_back(Msg);
        if (m_hWndPaint)
            PostMessageW(m_hWndPaint, kMsgAsyncNotify, 0, 0);
        return;
    }
    // A notifier may remove itself (or others) while being told.
    std::vector<INotifyUI*> notifiers = m_notifiers;
    for (INotifyUI* n : notifiers)
        if (std::find(m_notifiers.begin(), m_notifiers.end(), n) != m_notifiers.end())
            n->Notify(Msg);
}

void CPaintManagerUI::ProcessAsyncNotify()
{
    std::vector<TNotifyUI> pending;
    pending.swap(m_asyncNotify);
    for (TNotifyUI& msg : pending)
        SendNotify(msg, false);
}

void CPaintManagerUI::SendEvent(CControlUI* pControl, int type, WPARAM wParam, LPARAM lParam,
                                WCHAR chKey)
{
    if (!pControl)
        return;
    TEventUI event;
    event.Type = type;
    event.pSender = pControl;
    event.dwTimestamp = GetTickCount();
    event.ptMouse = m_ptLastMousePos;
    event.chKey = chKey;
    event.wKeyState = static_cast<WORD>(wParam);
    event.wParam = wParam;
    event.lParam = lParam;
    pControl->Event(event);
}

void CPaintManagerUI::ShowToolTip(POINT pt)
{
    CControlUI* control = FindControl(pt);
    if (!control || !m_pToolTip)
        return;
    std::wstring tip = control->GetToolTip();
    if (tip.empty())
        return;
    POINT screen = pt;
    ClientToScreen(m_hWndPaint, &screen);
    m_pToolTip->Show(tip, control->GetPos(), screen, GetFont(-1));
}

void CPaintManagerUI::HideToolTip()
{
    if (m_pToolTip)
        m_pToolTip->Hide();
}

void CPaintManagerUI::OnMouseMove(POINT pt, WPARAM wParam)
{
    if (!m_bMouseTracking) {
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_HOVER | TME_LEAVE, m_hWndPaint, HOVER_DEFAULT};
        TrackMouseEvent(&tme);
        m_bMouseTracking = true;
    }
    m_ptLastMousePos = pt;
    CControlUI* hover = FindControl(pt);
    if (hover && hover->GetManager() != this)
        return;
    if (hover != m_pEventHover) {
        HideToolTip();
        if (m_pEventHover) {
            CControlUI* old = m_pEventHover;
            m_pEventHover = nullptr;
            SendEvent(old, UIEVENT_MOUSELEAVE, wParam);
        }
        m_pEventHover = hover;
        if (hover) {
            SendEvent(hover, UIEVENT_MOUSEENTER, wParam);
            // Restart hover tracking so the new control's tooltip can show.
            TRACKMOUSEEVENT tme = {sizeof(tme), TME_HOVER | TME_LEAVE, m_hWndPaint, HOVER_DEFAULT};
            TrackMouseEvent(&tme);
        }
    }
    if (m_pEventClick)
        SendEvent(m_pEventClick, UIEVENT_MOUSEMOVE, wParam);
    else if (m_pEventHover)
        SendEvent(m_pEventHover, UIEVENT_MOUSEMOVE, wParam);
}

bool CPaintManagerUI::PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    std::vector<IMessageFilterUI*> filters = m_preMessageFilters;
    for (IMessageFilterUI* f : filters) {
        bool handled = false;
        LRESULT r = f->MessageHandler(uMsg, wParam, lParam, handled);
        if (handled) {
            lRes = r;
            return true;
        }
    }
    return false;
}

bool CPaintManagerUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    if (!m_hWndPaint)
        return false;
    {
        std::vector<IMessageFilterUI*> filters = m_messageFilters;
        for (IMessageFilterUI* f : filters) {
            bool handled = false;
            LRESULT r = f->MessageHandler(uMsg, wParam, lParam, handled);
            if (handled) {
                lRes = r;
                return true;
            }
        }
    }
    switch (uMsg) {
    case kMsgAsyncNotify:
        ProcessAsyncNotify();
        lRes = 0;
        return true;
    case WM_WINDOWPOSCHANGED:
    case WM_DESTROY:
        if (m_pShadow)
            m_pShadow->OnParentMessage(uMsg, wParam, lParam);
        if (uMsg == WM_DESTROY) {
            // The handle may be reused by a new window before this manager goes.
            auto& managers = Managers();
            managers.erase(std::remove(managers.begin(), managers.end(), this), managers.end());
            HideToolTip();
            for (const TimerInfo& t : m_timers)
                ::KillTimer(m_hWndPaint, t.uWinTimer);
            m_timers.clear();
        }
        return false;
    case WM_CLOSE:
        // Nothing may stay pushed or hot in a window that goes away.
        HideToolTip();
        SetFocus(nullptr);
        if (m_pEventHover) {
            CControlUI* old = m_pEventHover;
            m_pEventHover = nullptr;
            SendEvent(old, UIEVENT_MOUSELEAVE);
        }
        if (m_pEventClick) {
            CControlUI* old = m_pEventClick;
            m_pEventClick = nullptr;
            POINT outside = {-1, -1};
            m_ptLastMousePos = outside;
            SendEvent(old, UIEVENT_BUTTONUP);
        }
        return false;
    case WM_ERASEBKGND:
        lRes = 1;
        return true;
    case WM_PAINT: {
        if (!m_pRoot) {
            PAINTSTRUCT ps;
            BeginPaint(m_hWndPaint, &ps);
            EndPaint(m_hWndPaint, &ps);
            lRes = 0;
            return true;
        }
        UpdateLayout();
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hWndPaint, &ps);
        RECT client;
        GetClientRect(m_hWndPaint, &client);
        EnsureOffscreen(client.right - client.left, client.bottom - client.top);
        if (m_hDcOffscreen && !IsRectEmpty(&ps.rcPaint)) {
            Render(m_hDcOffscreen, ps.rcPaint);
            BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
                   ps.rcPaint.bottom - ps.rcPaint.top, m_hDcOffscreen, ps.rcPaint.left,
                   ps.rcPaint.top, SRCCOPY);
        }
        EndPaint(m_hWndPaint, &ps);
        lRes = 0;
        return true;
    }
    case WM_PRINTCLIENT: {
        if (!m_pRoot)
            return false;
        UpdateLayout();
        RECT client;
        GetClientRect(m_hWndPaint, &client);
        EnsureOffscreen(client.right - client.left, client.bottom - client.top);
        if (m_hDcOffscreen) {
            Render(m_hDcOffscreen, client);
            BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, client.right, client.bottom, m_hDcOffscreen,
                   0, 0, SRCCOPY);
        }
        lRes = 0;
        return true;
    }
    case WM_SIZE:
        if (m_pRoot && wParam != SIZE_MINIMIZED) {
            m_pRoot->NeedUpdate();
            NeedUpdate();
        }
        return false;
    case WM_TIMER:
        for (const TimerInfo& t : m_timers) {
            if (t.uWinTimer == wParam) {
                SendEvent(t.pSender, UIEVENT_TIMER, t.nLocalID, lParam);
                lRes = 0;
                return true;
            }
        }
        return false;
    case WM_MOUSEMOVE: {
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        OnMouseMove(pt, wParam);
        return false;
    }
    case WM_MOUSELEAVE:
        m_bMouseTracking = false;
        HideToolTip();
        if (m_pEventHover && !m_pEventClick) {
            CControlUI* old = m_pEventHover;
            m_pEventHover = nullptr;
            SendEvent(old, UIEVENT_MOUSELEAVE);
        }
        return false;
    case WM_MOUSEHOVER: {
        m_bMouseTracking = false;
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ShowToolTip(pt);
        if (CControlUI* control = FindControl(pt))
            SendEvent(control, UIEVENT_MOUSEHOVER, wParam, lParam);
        return false;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        HideToolTip();
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        m_ptLastMousePos = pt;
        CControlUI* control = FindControl(pt);
        if (!control || control->GetManager() != this)
            return false;
        m_pEventClick = control;
        control->SetFocus();
        if (m_pEventClick != control)
            return false;  // focus handling removed it
        SetCapture(m_hWndPaint);
        SendEvent(control, uMsg == WM_LBUTTONDOWN ? UIEVENT_BUTTONDOWN : UIEVENT_DBLCLICK, wParam, lParam);
        return false;
    }
    case WM_LBUTTONUP: {
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        m_ptLastMousePos = pt;
        CControlUI* control = m_pEventClick;
        m_pEventClick = nullptr;
        if (GetCapture() == m_hWndPaint)
            ReleaseCapture();
        if (control)
            SendEvent(control, UIEVENT_BUTTONUP, wParam, lParam);
        return false;
    }
    case WM_RBUTTONDOWN: {
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        m_ptLastMousePos = pt;
        if (CControlUI* control = FindControl(pt)) {
            control->SetFocus();
            SendEvent(control, UIEVENT_RBUTTONDOWN, wParam, lParam);
        }
        return false;
    }
    case WM_CONTEXTMENU:
        if (m_pEventHover)
            SendEvent(m_pEventHover, UIEVENT_CONTEXTMENU, wParam, lParam);
        return false;
    case WM_MOUSEWHEEL: {
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ScreenToClient(m_hWndPaint, &pt);
        m_ptLastMousePos = pt;
        if (CControlUI* control = FindControl(pt))
            SendEvent(control, UIEVENT_SCROLLWHEEL, wParam, lParam);
        return false;
    }
    case WM_INITMENUPOPUP:
        if (HIWORD(lParam))  // the system menu
            GreySizeCommand(reinterpret_cast<HMENU>(wParam));
        return false;
    case WM_UPDATEUISTATE:
        if (HIWORD(wParam) & UISF_HIDEFOCUS) {
            bool show = LOWORD(wParam) == UIS_CLEAR;
            if (LOWORD(wParam) == UIS_SET || show) {
                if (show != m_bFocusCues && m_pFocus)
                    m_pFocus->Invalidate();
                m_bFocusCues = show;
            }
        }
        return false;  // the default procedure keeps Windows' copy and tells the children
    case WM_KEYDOWN:
        if (wParam == VK_TAB || (wParam >= VK_LEFT && wParam <= VK_DOWN))
            ShowFocusCues();
        if (wParam == VK_TAB) {
            SetNextTabControl(GetKeyState(VK_SHIFT) >= 0);
            lRes = 0;
            return true;
        }
        if (m_pFocus) {
            m_pEventKey = m_pFocus;
            SendEvent(m_pFocus, UIEVENT_KEYDOWN, wParam, lParam, static_cast<WCHAR>(wParam));
        }
        return false;
    case WM_KEYUP:
        if (m_pEventKey) {
            CControlUI* control = m_pEventKey;
            m_pEventKey = nullptr;
            SendEvent(control, UIEVENT_KEYUP, wParam, lParam, static_cast<WCHAR>(wParam));
        }
        return false;
    case WM_CHAR:
        if (m_pFocus)
            SendEvent(m_pFocus, UIEVENT_CHAR, wParam, lParam, static_cast<WCHAR>(wParam));
        return false;
    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT)
            return false;
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(m_hWndPaint, &pt);
        CControlUI* control = FindControl(pt);
        if (!control || !(control->GetControlFlags() & UIFLAG_SETCURSOR))
            return false;
        SendEvent(control, UIEVENT_SETCURSOR, wParam, lParam);
        lRes = TRUE;
        return true;
    }
    case WM_COMMAND:
        if (lParam == 0)
            return false;
        lRes = SendMessageW(reinterpret_cast<HWND>(lParam), OCM__BASE + uMsg, wParam, lParam);
        return true;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (lParam == 0)
            return false;
        lRes = SendMessageW(reinterpret_cast<HWND>(lParam), OCM__BASE + uMsg, wParam, lParam);
        return lRes != 0;
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
        if (!hdr || !hdr->hwndFrom)
            return false;
        lRes = SendMessageW(hdr->hwndFrom, OCM__BASE + uMsg, wParam, lParam);
        return true;
    }
    default:
        return false;
    }
}

void CPaintManagerUI::MessageLoop()
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

bool CPaintManagerUI::TranslateMessage(const LPMSG pMsg)
{
    if (!pMsg || !pMsg->hwnd)
        return false;
    std::vector<CPaintManagerUI*> managers = Managers();
    auto managerOf = [&](HWND hWnd) -> CPaintManagerUI* {
        for (CPaintManagerUI* pm : managers)
            if (pm->GetPaintWindow() == hWnd &&
                std::find(Managers().begin(), Managers().end(), pm) != Managers().end())
                return pm;
        return nullptr;
    };
    LRESULT lRes = 0;
    // A child window's messages go to the paint manager of its top window chain.
    for (HWND hWnd = pMsg->hwnd; hWnd;) {
        if (CPaintManagerUI* pm = managerOf(hWnd)) {
            if (pm->TranslateAccelerator(pMsg))
                return true;
            if (pm->PreMessageHandler(pMsg->message, pMsg->wParam, pMsg->lParam, lRes))
                return true;
        }
        if (!(GetWindowLongW(hWnd, GWL_STYLE) & WS_CHILD))
            break;
        hWnd = GetAncestor(hWnd, GA_PARENT);
    }
    return false;
}

void CPaintManagerUI::Term()
{
    CImageCache::Clear();
    RemoveAllSharedFonts();
    Shared().defaultAttrs.clear();
    CResourceManager::GetInstance()->Release();
    CResourceStore::CloseResourceZip();
}

}  // namespace DuiLib
