#include "ui/edit_caret.h"

namespace DuiLib {

void WidenCaret(HWND hWnd, int width)
{
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof(gui);
    if (width <= 1 || !GetGUIThreadInfo(GetCurrentThreadId(), &gui) || gui.hwndCaret != hWnd)
        return;
    const RECT at = gui.rcCaret;
    if (at.right - at.left >= width || at.bottom <= at.top)
        return;
    // A new caret replaces the old one hidden: shown once, as the EDIT had it.
    if (CreateCaret(hWnd, nullptr, width, at.bottom - at.top)) {
        SetCaretPos(at.left, at.top);
        ShowCaret(hWnd);
    }
}

}  // namespace DuiLib
