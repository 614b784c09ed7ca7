#include "ui/controls/option.h"

#include <vector>

#include "ui/attr_parse.h"
#include "ui/paint_manager.h"
#include "ui/render.h"

namespace DuiLib {

namespace {

struct GroupSearch {
    const std::wstring* group;
    COptionUI* except;
    std::vector<COptionUI*> found;
};

CControlUI* CALLBACK CollectGroup(CControlUI* control, LPVOID data)
{
    auto* search = static_cast<GroupSearch*>(data);
    auto* option = static_cast<COptionUI*>(control->GetInterface(L"Option"));
    if (option && option != search->except && option->GetGroup() == *search->group)
        search->found.push_back(option);
    return nullptr;  // visit everything
}

}  // namespace

LPCWSTR COptionUI::GetClass() const { return L"OptionUI"; }

LPVOID COptionUI::GetInterface(LPCWSTR pstrName)
{
    if (pstrName && wcscmp(pstrName, L"Option") == 0)
        return this;
    return CButtonUI::GetInterface(pstrName);
}

UINT COptionUI::GetControlFlags() const
{
    // Space ticks a box; Enter goes to the window's default button.
    return CButtonUI::GetControlFlags() & ~UIFLAG_WANTRETURN;
}

bool COptionUI::Activate()
{
    if (!CButtonUI::Activate())
        return false;
    if (!m_sGroupName.empty())
        Selected(true);
    else
        Selected(!m_bSelected);
    return true;
}

void COptionUI::Selected(bool bSelected, bool bTriggerEvent)
{
    if (m_bSelected == bSelected)
        return;
    m_bSelected = bSelected;
    if (m_bSelected && !m_sGroupName.empty() && m_pManager && m_pManager->GetRoot()) {
        GroupSearch search{&m_sGroupName, this, {}};
        m_pManager->GetRoot()->FindControl(CollectGroup, &search, UIFIND_ALL);
        for (COptionUI* other : search.found)
            other->Selected(false, bTriggerEvent);
    }
    if (m_pManager)
        m_pManager->NotifyAccessibleEvent(EVENT_OBJECT_STATECHANGE, this);
    if (bTriggerEvent && m_pManager)
        m_pManager->SendNotify(this, DUI_MSGTYPE_SELECTCHANGED);
    Invalidate();
}

void COptionUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    std::wstring_view name(pstrName);
    if (name == L"group")
        SetGroup(pstrValue);
    else if (name == L"selected")
        Selected(ParseBool(pstrValue));
    else if (name == L"selectedimage")
        SetSelectedImage(pstrValue);
    else if (name == L"selectedhotimage")
        SetImage(m_sSelectedHotImage, pstrValue);
    else if (name == L"selectedpushedimage")
        SetImage(m_sSelectedPushedImage, pstrValue);
    else if (name == L"selecteddisabledimage")
        SetImage(m_sSelectedDisabledImage, pstrValue);
    else if (name == L"selectedforeimage")
        SetImage(m_sSelectedForeImage, pstrValue);
    else if (name == L"selectedbkcolor")
        m_dwSelectedBkColor = ParseColor(pstrValue);
    else if (name == L"selectedtextcolor")
        m_dwSelectedTextColor = ParseColor(pstrValue);
    else
        CButtonUI::SetAttribute(pstrName, pstrValue);
}

DWORD COptionUI::CurrentTextColor() const
{
    if (m_bSelected && IsEnabled() && m_dwSelectedTextColor)
        return m_dwSelectedTextColor;
    return CButtonUI::CurrentTextColor();
}

RECT COptionUI::FocusMarkRect() const
{
    if (m_sText.empty() || !m_pManager)
        return CButtonUI::FocusMarkRect();
    RECT text = TextRect();
    SIZE size = CRenderEngine::GetTextSize(m_pManager->GetPaintDC(), m_pManager, m_sText.c_str(),
                                           m_iFont, m_uTextStyle);
    const int margin = Scaled(2);
    RECT rc = {text.left - margin, text.top, text.left + size.cx + margin, text.bottom};
    if (m_uTextStyle & DT_CENTER)
        OffsetRect(&rc, ((text.right - text.left) - size.cx) / 2, 0);
    IntersectRect(&rc, &rc, &m_rcItem);
    return rc;
}

DWORD COptionUI::CurrentBkColor() const
{
    return m_bSelected && m_dwSelectedBkColor ? m_dwSelectedBkColor : CButtonUI::CurrentBkColor();
}

void COptionUI::PaintStatusImage(HDC hDC)
{
    if (m_bSelected && !m_sSelectedImage.empty()) {
        const std::wstring* image = &m_sSelectedImage;
        if (!IsEnabled() && !m_sSelectedDisabledImage.empty())
            image = &m_sSelectedDisabledImage;
        else if ((m_uButtonState & UISTATE_PUSHED) && !m_sSelectedPushedImage.empty())
            image = &m_sSelectedPushedImage;
        else if ((m_uButtonState & UISTATE_HOT) && !m_sSelectedHotImage.empty())
            image = &m_sSelectedHotImage;
        if (!DrawImage(hDC, *image))
            DrawImage(hDC, m_sSelectedImage);
        DrawImage(hDC, m_sSelectedForeImage.empty() ? m_sForeImage : m_sSelectedForeImage);
        return;
    }
    CButtonUI::PaintStatusImage(hDC);
}

LPCWSTR CCheckBoxUI::GetClass() const { return L"CheckBoxUI"; }

LPVOID CCheckBoxUI::GetInterface(LPCWSTR pstrName)
{
    if (pstrName && wcscmp(pstrName, L"CheckBox") == 0)
        return this;
    return COptionUI::GetInterface(pstrName);
}

}  // namespace DuiLib
