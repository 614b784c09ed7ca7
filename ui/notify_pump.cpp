#include "ui/notify_pump.h"

#include "ui/control.h"

namespace DuiLib {

bool CNotifyPump::AddVirtualWnd(const std::wstring& strName, CNotifyPump* pObject)
{
    if (strName.empty() || !pObject)
        return false;
    return m_virtualWnds.emplace(strName, pObject).second;
}

bool CNotifyPump::RemoveVirtualWnd(const std::wstring& strName)
{
    return m_virtualWnds.erase(strName) > 0;
}

void CNotifyPump::AddNotifyHandler(const std::wstring& type, const std::wstring& senderName,
                                   std::function<void(TNotifyUI&)> handler)
{
    m_entries.push_back({type, senderName, std::move(handler)});
}

bool CNotifyPump::LoopDispatch(TNotifyUI& msg)
{
    for (const Entry& e : m_entries) {
        if (_wcsicmp(e.type.c_str(), msg.sType.c_str()) != 0)
            continue;
        if (!e.name.empty() && (!msg.pSender || _wcsicmp(e.name.c_str(), msg.pSender->GetName().c_str()) != 0))
            continue;
        e.handler(msg);
        return true;
    }
    return false;
}

void CNotifyPump::NotifyPump(TNotifyUI& msg)
{
    if (!msg.sVirtualWnd.empty()) {
        for (auto& [name, pump] : m_virtualWnds) {
            if (_wcsicmp(name.c_str(), msg.sVirtualWnd.c_str()) == 0) {
                if (pump->LoopDispatch(msg))
                    return;
            }
        }
    }
    LoopDispatch(msg);
}

}  // namespace DuiLib
