#pragma once
// Containers that stack their children: vertically (top to bottom) or
// horizontally (left to right). Fixed sizes are kept; flexible children
// share what remains; hidden children take no room; floating children sit
// at their own position.
#include "ui/controls/container.h"

namespace DuiLib {

// Lays the children out one after the other along one axis.
class CStackLayoutUI : public CContainerUI {
protected:
    void StackChildren(RECT rc, bool bNeedInvalidate, bool vertical);
};

class CVerticalLayoutUI : public CStackLayoutUI {
public:
    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
};

class CHorizontalLayoutUI : public CStackLayoutUI {
public:
    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
};

}  // namespace DuiLib
