#include "ui/accessible_describe.h"

#include <oleacc.h>

#include "ui/control.h"
#include "ui/controls/button.h"
#include "ui/controls/container.h"
#include "ui/controls/option.h"
#include "ui/controls/progress.h"
#include "ui/paint_manager.h"

namespace DuiLib {

namespace {

bool Is(CControlUI* control, LPCWSTR what) { return control->GetInterface(what) != nullptr; }

// The option whose selection says whether the control's area is unfolded.
COptionUI* ExpandedBy(CControlUI* control)
{
    CControlUI* by = control->GetAccessibleExpandedBy();
    return by ? static_cast<COptionUI*>(by->GetInterface(L"Option")) : nullptr;
}

bool IsLink(CControlUI* control)
{
    auto* button = static_cast<CButtonUI*>(control->GetInterface(L"Button"));
    return button && !Is(control, L"Option") && !ExpandedBy(control) && button->LooksLikeLink();
}

// The text of the nearest earlier label or button of the same parent.
std::wstring NameFromBefore(CControlUI* control)
{
    auto* parent = control->GetParent()
                       ? static_cast<CContainerUI*>(control->GetParent()->GetInterface(L"Container"))
                       : nullptr;
    if (!parent)
        return {};
    for (int i = parent->GetItemIndex(control) - 1; i >= 0; --i) {
        CControlUI* before = parent->GetItemAt(i);
        if (!before || Is(before, L"Edit") || !Is(before, L"Label"))
            continue;
        std::wstring text = before->GetText();
        if (!text.empty())
            return text;
    }
    return {};
}

}  // namespace

bool IsAccessibleControl(CControlUI* control)
{
    if (!control || !control->IsVisible() || control->IsAccessibleHidden())
        return false;
    if (Is(control, L"Button") || Is(control, L"Edit") || Is(control, L"Progress"))
        return true;
    return Is(control, L"Label") && !control->GetText().empty();
}

long AccessibleRole(CControlUI* control)
{
    if (ExpandedBy(control))
        return ROLE_SYSTEM_PUSHBUTTON;
    if (Is(control, L"Option"))
        return ROLE_SYSTEM_CHECKBUTTON;
    if (Is(control, L"Button"))
        return IsLink(control) ? ROLE_SYSTEM_LINK : ROLE_SYSTEM_PUSHBUTTON;
    if (Is(control, L"Edit"))
        return ROLE_SYSTEM_TEXT;
    if (Is(control, L"Progress"))
        return ROLE_SYSTEM_PROGRESSBAR;
    return ROLE_SYSTEM_STATICTEXT;
}

std::wstring AccessibleName(CControlUI* control)
{
    if (!control->GetAccessibleName().empty())
        return control->GetAccessibleName();
    if (!Is(control, L"Edit")) {
        if (std::wstring text = control->GetText(); !text.empty())
            return text;
        if (std::wstring tip = control->GetToolTip(); !tip.empty())
            return tip;
    }
    return NameFromBefore(control);
}

long AccessibleState(CControlUI* control)
{
    long state = 0;
    if (!control->IsVisible())
        state |= STATE_SYSTEM_INVISIBLE;
    if (!control->IsEnabled())
        state |= STATE_SYSTEM_UNAVAILABLE;
    const UINT flags = control->GetControlFlags();
    if (control->IsEnabled() && (flags & (UIFLAG_TABSTOP | UIFLAG_PAGEFOCUS)))
        state |= STATE_SYSTEM_FOCUSABLE;
    if (control->IsFocused())
        state |= STATE_SYSTEM_FOCUSED;
    if (auto* option = static_cast<COptionUI*>(control->GetInterface(L"Option")); option && option->IsSelected())
        state |= STATE_SYSTEM_CHECKED;
    if (IsLink(control))
        state |= STATE_SYSTEM_LINKED;
    if (COptionUI* by = ExpandedBy(control))
        state |= by->IsSelected() ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
    if (CPaintManagerUI* pm = control->GetManager(); pm && pm->GetDefaultButton() == control)
        state |= STATE_SYSTEM_DEFAULT;
    long role = AccessibleRole(control);
    if (role == ROLE_SYSTEM_STATICTEXT || role == ROLE_SYSTEM_PROGRESSBAR)
        state |= STATE_SYSTEM_READONLY;
    return state;
}

std::wstring AccessibleValue(CControlUI* control)
{
    if (Is(control, L"Edit"))
        return control->GetText();
    if (auto* bar = static_cast<CProgressUI*>(control->GetInterface(L"Progress")))
        return std::to_wstring(bar->Percent()) + L"%";
    return {};
}

std::wstring DefaultActionName(CControlUI* control)
{
    // The words Windows uses in Chinese for these actions.
    if (COptionUI* by = ExpandedBy(control))
        return by->IsSelected() ? L"折叠" : L"展开";
    switch (AccessibleRole(control)) {
    case ROLE_SYSTEM_PUSHBUTTON:
        return L"按";
    case ROLE_SYSTEM_LINK:
        return L"跳转";
    case ROLE_SYSTEM_CHECKBUTTON:
        return static_cast<COptionUI*>(control->GetInterface(L"Option"))->IsSelected() ? L"清除"
                                                                                      : L"选中";
    default:
        return {};
    }
}

}  // namespace DuiLib
