#pragma once
// The callback interfaces a window implements for its paint manager and the
// layout builder.
#include <windows.h>

#include "ui/ui_types.h"

namespace DuiLib {

class CControlUI;

class INotifyUI {
public:
    virtual void Notify(TNotifyUI& msg) = 0;

protected:
    ~INotifyUI() = default;
};

class IMessageFilterUI {
public:
    virtual LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) = 0;

protected:
    ~IMessageFilterUI() = default;
};

class IDialogBuilderCallback {
public:
    // Asked for every layout tag the framework does not know; null skips it.
    virtual CControlUI* CreateControl(LPCWSTR pstrClass) = 0;

protected:
    ~IDialogBuilderCallback() = default;
};

class IQueryControlText {
public:
    virtual LPCWSTR QueryControlText(LPCWSTR lpstrId, LPCWSTR lpstrType) = 0;

protected:
    ~IQueryControlText() = default;
};

// Offered each message of the loop before it is translated and dispatched.
class ITranslateAccelerator {
public:
    virtual LRESULT TranslateAccelerator(MSG* pMsg) = 0;

protected:
    ~ITranslateAccelerator() = default;
};

}  // namespace DuiLib
