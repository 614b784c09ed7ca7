// The application's message loop, the managers of all windows, shutdown.
#include "ui/paint_manager.h"

#include <algorithm>

#include "ui/attr_parse.h"
#include "ui/control.h"
#include "ui/image_cache.h"
#include "ui/image_scale.h"
#include "ui/paint_manager_shared.h"
#include "ui/render.h"
#include "ui/shadow.h"
#include "ui/tooltip.h"

namespace DuiLib {

using detail::kMsgAsyncNotify;
using detail::Shared;

std::vector<CPaintManagerUI*>& CPaintManagerUI::Managers()
{
    static std::vector<CPaintManagerUI*> managers;
    return managers;
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
    ClearScaledPictures();
    CImageCache::Clear();
    RemoveAllSharedFonts();
    Shared().defaultAttrs.clear();
    CResourceManager::GetInstance()->Release();
    CResourceStore::CloseResourceZip();
}

}  // namespace DuiLib
