#include "ui/controls/label.h"

#include <string>

#include "ui/attr_parse.h"
#include "ui/paint_manager.h"
#include "ui/render.h"

namespace DuiLib {

namespace {

bool HasWord(const std::wstring& words, const wchar_t* word)
{
    size_t len = wcslen(word);
    for (size_t pos = words.find(word); pos != std::wstring::npos; pos = words.find(word, pos + 1)) {
        bool startOk = pos == 0 || !iswalpha(words[pos - 1]);
        bool endOk = pos + len == words.size() || !iswalpha(words[pos + len]);
        if (startOk && endOk)
            return true;
    }
    return false;
}

}  // namespace

UINT ApplyAlignWords(UINT style, LPCWSTR value, bool vertical)
{
    std::wstring words = value ? value : L"";
    for (wchar_t& c : words)
        c = static_cast<wchar_t>(towlower(c));
    // "center" means horizontal centring in align and vertical in valign.
    bool hLeft = HasWord(words, L"left"), hRight = HasWord(words, L"right");
    bool center = HasWord(words, L"center") || HasWord(words, L"centre");
    bool top = HasWord(words, L"top"), bottom = HasWord(words, L"bottom");
    bool vcenter = HasWord(words, L"vcenter") || (vertical && center);
    if (!vertical) {
        if (hLeft || center || hRight)
            style &= ~(DT_LEFT | DT_CENTER | DT_RIGHT);
        if (hLeft)
            style |= DT_LEFT;
        else if (center)
            style |= DT_CENTER;
        else if (hRight)
            style |= DT_RIGHT;
    }
    if (top || bottom || vcenter) {
        style &= ~(DT_TOP | DT_VCENTER | DT_BOTTOM);
        style |= top ? DT_TOP : (bottom ? DT_BOTTOM : DT_VCENTER);
    }
    if (HasWord(words, L"multiline") || HasWord(words, L"wordbreak")) {
        style &= ~DT_SINGLELINE;
        style |= DT_WORDBREAK;
    }
    if (HasWord(words, L"singleline")) {
        style &= ~DT_WORDBREAK;
        style |= DT_SINGLELINE;
    }
    return style;
}

CLabelUI::CLabelUI() = default;

LPCWSTR CLabelUI::GetClass() const { return L"LabelUI"; }

LPVOID CLabelUI::GetInterface(LPCWSTR pstrName)
{
    if (pstrName && _wcsicmp(pstrName, L"Label") == 0)
        return this;
    return CControlUI::GetInterface(pstrName);
}

void CLabelUI::SetTextStyle(UINT uStyle)
{
    m_uTextStyle = uStyle;
    Invalidate();
}

void CLabelUI::SetTextColor(DWORD dwTextColor)
{
    m_dwTextColor = dwTextColor;
    Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD dwTextColor)
{
    m_dwDisabledTextColor = dwTextColor;
    Invalidate();
}

void CLabelUI::SetFont(int index)
{
    m_iFont = index;
    Invalidate();
}

void CLabelUI::SetTextPadding(RECT rc)
{
    m_rcTextPadding = rc;
    Invalidate();
}

void CLabelUI::SetAutoCalcWidth(bool bAutoCalcWidth)
{
    m_bAutoCalcWidth = bAutoCalcWidth;
    NeedParentUpdate();
}

SIZE CLabelUI::EstimateSize(SIZE szAvailable)
{
    SIZE sz = CControlUI::EstimateSize(szAvailable);
    if (m_bAutoCalcWidth && m_pManager) {
        SIZE text = CRenderEngine::GetTextSize(m_pManager->GetPaintDC(), m_pManager, m_sText.c_str(),
                                               m_iFont, m_uTextStyle);
        // Measured in window pixels; the layout works at 96 DPI (rounded up).
        int width = UnscaleUpByDpi(text.cx, m_pManager->GetDpi());
        sz.cx = width + m_rcTextPadding.left + m_rcTextPadding.right;
    }
    return sz;
}

void CLabelUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    std::wstring_view name(pstrName);
    if (name == L"align")
        SetTextStyle(ApplyAlignWords(m_uTextStyle, pstrValue, false));
    else if (name == L"valign")
        SetTextStyle(ApplyAlignWords(m_uTextStyle, pstrValue, true));
    else if (name == L"endellipsis")
        SetTextStyle(ParseBool(pstrValue) ? (m_uTextStyle | DT_END_ELLIPSIS)
                                          : (m_uTextStyle & ~DT_END_ELLIPSIS));
    else if (name == L"multiline" || name == L"wordbreak")
        SetTextStyle(ParseBool(pstrValue) ? ((m_uTextStyle & ~DT_SINGLELINE) | DT_WORDBREAK)
                                          : ((m_uTextStyle & ~DT_WORDBREAK) | DT_SINGLELINE));
    else if (name == L"font")
        SetFont(ParseInt(pstrValue));
    else if (name == L"textcolor")
        SetTextColor(ParseColor(pstrValue));
    else if (name == L"disabledtextcolor")
        SetDisabledTextColor(ParseColor(pstrValue));
    else if (name == L"textpadding")
        SetTextPadding(ParseRect(pstrValue));
    else if (name == L"autocalcwidth")
        SetAutoCalcWidth(ParseBool(pstrValue));
    else
        CControlUI::SetAttribute(pstrName, pstrValue);
}

DWORD CLabelUI::CurrentTextColor() const
{
    if (!IsEnabled())
        return m_dwDisabledTextColor;
    return m_dwTextColor;
}

DWORD CLabelUI::FocusMarkColor() const
{
    // The text's colour stands out from the control's background by design.
    if (DWORD text = CurrentTextColor())
        return text;
    return CControlUI::FocusMarkColor();
}

RECT CLabelUI::TextRect() const
{
    return ToWindowPixels(RECT{m_rcLayout.left + m_rcTextPadding.left, m_rcLayout.top + m_rcTextPadding.top,
                               m_rcLayout.right - m_rcTextPadding.right,
                               m_rcLayout.bottom - m_rcTextPadding.bottom});
}

void CLabelUI::PaintText(HDC hDC)
{
    if (m_sText.empty())
        return;
    DWORD color = CurrentTextColor();
    if (color == 0 && m_pManager)
        color = IsEnabled() ? m_pManager->GetDefaultFontColor() : m_pManager->GetDefaultDisabledColor();
    CRenderEngine::DrawText(hDC, m_pManager, TextRect(), m_sText, color, m_iFont, m_uTextStyle);
}

CTextUI::CTextUI() { m_uTextStyle = DT_WORDBREAK; }

LPCWSTR CTextUI::GetClass() const { return L"TextUI"; }

LPVOID CTextUI::GetInterface(LPCWSTR pstrName)
{
    if (pstrName && wcscmp(pstrName, L"Text") == 0)
        return this;
    return CLabelUI::GetInterface(pstrName);
}

}  // namespace DuiLib
