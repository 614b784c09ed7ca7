#pragma once
// Containers that stack their children: vertically (top to bottom) or
// horizontally (left to right). Fixed sizes are kept; flexible children
// share what remains; hidden children take no room; floating children sit
// at their own position.
#include "ui/controls/container.h"

namespace DuiLib {

class CVerticalLayoutUI : public CContainerUI {
public:
    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
};

class CHorizontalLayoutUI : public CContainerUI {
public:
    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
};

}  // namespace DuiLib
