// Notifiers, message filters, accelerators, and events sent to controls.
#include "ui/paint_manager.h"

#include <algorithm>

#include "ui/attr_parse.h"
#include "ui/control.h"
#include "ui/image_cache.h"
#include "ui/paint_manager_shared.h"
#include "ui/render.h"
#include "ui/shadow.h"
#include "ui/tooltip.h"

namespace DuiLib {

using detail::kMsgAsyncNotify;
using detail::Shared;

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

bool CPaintManagerUI::PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    return RunFilters(m_preMessageFilters, uMsg, wParam, lParam, lRes);
}

bool CPaintManagerUI::RunFilters(std::vector<IMessageFilterUI*> filters, UINT uMsg, WPARAM wParam,
                                 LPARAM lParam, LRESULT& lRes)
{
    // A copy: a filter may remove itself while asked.
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

}  // namespace DuiLib
