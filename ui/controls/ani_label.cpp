#include "ui/controls/ani_label.h"

#include <cwchar>

namespace DuiLib {

LPCWSTR CAniLabelUI::GetClass() const { return L"AnimationLabelUI"; }

LPVOID CAniLabelUI::GetInterface(LPCWSTR pstrName)
{
    if (pstrName && wcscmp(pstrName, L"AnimationLabelUI") == 0)
        return this;
    return CLabelUI::GetInterface(pstrName);
}

void CAniLabelUI::DoEvent(TEventUI& event) { CLabelUI::DoEvent(event); }

void CAniLabelUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (wcscmp(pstrName, L"aniimage") == 0) {
        m_sAniImage = pstrValue ? pstrValue : L"";
        Invalidate();
    } else if (wcscmp(pstrName, L"aniimgwidth") == 0) {
        m_nAniImgWidth = static_cast<int>(std::wcstol(pstrValue, nullptr, 10));
    } else if (wcscmp(pstrName, L"aniimgheight") == 0) {
        m_nAniImgHeight = static_cast<int>(std::wcstol(pstrValue, nullptr, 10));
    } else {
        CLabelUI::SetAttribute(pstrName, pstrValue);
    }
}

void CAniLabelUI::PaintBkImage(HDC) {}

}  // namespace DuiLib
