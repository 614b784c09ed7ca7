#pragma once
// Builds a control tree from an XML layout of the skin: the root "Window"
// element's attributes, fonts and class defaults go to the paint manager,
// "Include" pulls in another layout file, every other element is a control
// (standard tags here, others asked of the callback).
#include <windows.h>

#include "ui/interfaces.h"

namespace pugi { class xml_node; }

namespace DuiLib {

class CControlUI;
class CPaintManagerUI;

class CDialogBuilder {
public:
    // xml is a skin file name when type is empty, a resource (name or id)
    // of that type otherwise, or the layout text itself when it starts with
    // "<". Returns the first control built, or null when the layout cannot
    // be read or parsed or holds no control.
    CControlUI* Create(LPCWSTR xml, LPCWSTR type = nullptr, IDialogBuilderCallback* pCallback = nullptr,
                       CPaintManagerUI* pManager = nullptr, CControlUI* pParent = nullptr);

    // The framework's own control for a tag (case-sensitive), or null.
    static CControlUI* CreateStandardControl(LPCWSTR pstrClass);

private:
    CControlUI* Parse(const pugi::xml_node& node, CControlUI* pParent, CPaintManagerUI* pManager);
    void ApplyWindowResources(const pugi::xml_node& root, CPaintManagerUI* pManager);

    IDialogBuilderCallback* m_pCallback = nullptr;
    int m_depth = 0;
};

}  // namespace DuiLib
