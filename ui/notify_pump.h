#pragma once
// Dispatches notifications by type (and optionally sender name) to
// registered handlers, or on to a named virtual window's pump.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/ui_types.h"

namespace DuiLib {

class CNotifyPump {
public:
    CNotifyPump() = default;
    CNotifyPump(const CNotifyPump&) = delete;
    CNotifyPump& operator=(const CNotifyPump&) = delete;

    bool AddVirtualWnd(const std::wstring& strName, CNotifyPump* pObject);
    bool RemoveVirtualWnd(const std::wstring& strName);
    void NotifyPump(TNotifyUI& msg);
    // True when a handler took the notification.
    bool LoopDispatch(TNotifyUI& msg);

protected:
    ~CNotifyPump() = default;
    // Types compare without regard to case; an empty name matches any sender.
    void AddNotifyHandler(const std::wstring& type, const std::wstring& senderName,
                          std::function<void(TNotifyUI&)> handler);

private:
    struct Entry {
        std::wstring type;
        std::wstring name;
        std::function<void(TNotifyUI&)> handler;
    };
    std::map<std::wstring, CNotifyPump*> m_virtualWnds;
    std::vector<Entry> m_entries;
};

}  // namespace DuiLib
