#pragma once
// What a screen reader is told about a control: whether it is in the
// window's accessible tree, and its role, name, state, value and default
// action, in Active Accessibility's terms.
#include <windows.h>

#include <string>

namespace DuiLib {

class CControlUI;

// Visible buttons, options, edits, progress bars, and labels with text.
bool IsAccessibleControl(CControlUI* control);
long AccessibleRole(CControlUI* control);
// The text; for a control without one (a picture button) its tooltip, else
// the text of the label or button before it in its row, as a dialog's
// static text names the control after it. An edit's text is its value, so
// an edit is always named by what stands before it.
std::wstring AccessibleName(CControlUI* control);
long AccessibleState(CControlUI* control);
// The edit's text, a progress bar's percentage; empty for the others.
std::wstring AccessibleValue(CControlUI* control);
// What the default action is called; empty for controls without one.
std::wstring DefaultActionName(CControlUI* control);

}  // namespace DuiLib
