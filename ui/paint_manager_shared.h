#pragma once
// What the paint manager's files share inside the framework: the fonts and
// class defaults every window sees, and the manager's own posted message.
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/paint_manager.h"

namespace DuiLib::detail {

// Posted to a window to deliver its queued asynchronous notifications.
constexpr UINT kMsgAsyncNotify = WM_APP + 0x300;

struct SharedState {
    std::map<int, TFontInfo> fonts;
    std::vector<unique_hfont> retiredFonts;  // replaced shared fonts may still be selected somewhere
    std::unique_ptr<TFontInfo> defaultFont;
    std::map<std::wstring, std::wstring> defaultAttrs;
};

SharedState& Shared();

}  // namespace DuiLib::detail
