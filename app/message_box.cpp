#include "app/message_box.h"

#include <cmath>
#include <cwchar>

#include "app/string_bundle.h"

using namespace DuiLib;

namespace {

constexpr DWORD kStyle = 0x10CE0000;
constexpr int kWidth = 380;
constexpr int kHeight = 168;
// The text area is the width less the paddings 52 and 40; the box assumes
// 18-pixel lines and 132 pixels around the text.
constexpr double kTextWidth = 288.0;
constexpr int kLineHeight = 18;
constexpr int kHeightWithoutText = 132;
constexpr int kNoCaptionShift = 10;

constexpr UINT kButtonSetMask = 0x0F;
constexpr UINT kOneButton = 0x0;
constexpr UINT kTwoButtons = 0x4;

constexpr wchar_t kErrorIcon[] = L"file='messagebox_icon_22x22.png' source='0,0,22,22'";
constexpr wchar_t kQuestionIcon[] = L"file='messagebox_icon_22x22.png' source='0,22,22,44'";
constexpr wchar_t kSuccessIcon[] = L"file='messagebox_icon_22x22.png' source='0,44,22,66'";
constexpr wchar_t kWarningIcon[] = L"file='messagebox_icon_22x22.png' source='0,66,22,88'";

bool Given(LPCWSTR text) { return text != nullptr; }

}  // namespace

void CMessageBox::OnFinalMessage(HWND hWnd)
{
    // The object lives on its caller's stack: nothing to delete.
    WindowImplBase::OnFinalMessage(hWnd);
}

void CMessageBox::InitWindow()
{
    m_pCaption = m_pm.FindControl(L"txt_caption");
    m_pIcon = m_pm.FindControl(L"txt_icon");
    m_pTips = m_pm.FindControl(L"txt_tips");
    m_pTips1 = m_pm.FindControl(L"txt_tips1");
    m_pOk = m_pm.FindControl(L"btn_ok");
    m_pNo = m_pm.FindControl(L"btn_no");
    m_pClose = m_pm.FindControl(L"btn_close");
    // A keyboard user answers with Enter or Space at once: the first button
    // has the focus and is the default, as in a system message box.
    if (m_pOk) {
        m_pOk->SetFocus();
        m_pm.SetDefaultButton(m_pOk);
    }
    // Esc does what the close button does, and nothing while it is disabled.
    m_pm.SetCancelButton(m_pClose);
}

std::wstring CMessageBox::GetSkinFile() { return L"messagebox_" + GetLanguageCode() + L".xml"; }

LRESULT CMessageBox::ResponseDefaultKeyEvent(WPARAM wParam)
{
    return wParam == VK_RETURN ? TRUE : FALSE;
}

LRESULT CMessageBox::HandleCustomMessage(UINT uMsg, WPARAM, LPARAM, BOOL& bHandled)
{
    // A double click on the title area would otherwise maximise the box.
    bHandled = uMsg == WM_NCLBUTTONDBLCLK ? TRUE : FALSE;
    return 0;
}

void CMessageBox::Notify(TNotifyUI& msg)
{
    if (_wcsicmp(msg.sType.c_str(), DUI_MSGTYPE_CLICK) != 0 || !msg.pSender)
        return;
    const wchar_t* name = msg.pSender->GetName().c_str();
    if (_wcsicmp(name, L"btn_close") == 0)
        m_nResult = kMsgBoxResultClose;
    else if (_wcsicmp(name, L"btn_ok") == 0)
        m_nResult = kMsgBoxResultOk;
    else if (_wcsicmp(name, L"btn_no") == 0)
        m_nResult = kMsgBoxResultNo;
    else
        return;
    Close(1);
}

bool CMessageBox::Open(HWND owner)
{
    return Create(owner, L"", kStyle, 0, 0, 0, kWidth, kHeight) != nullptr;
}

void CMessageBox::Prepare(LPCWSTR caption, LPCWSTR text, UINT type, LPCWSTR firstButton,
                          LPCWSTR secondButton)
{
    ApplyButtonSet(type, firstButton, secondButton);
    ApplyIcon(type);
    ApplyCaption(caption);
    if (m_pTips)
        m_pTips->SetText(text ? text : L"");
    FitHeight(text);
    CenterWindow();
    // Closed without one of its buttons, the box answers as its close
    // button would; a box that demands a choice answers "no", which changes
    // nothing.
    m_nResult = (m_pClose && !m_pClose->IsEnabled()) ? kMsgBoxResultNo : kMsgBoxResultClose;
    // A screen reader reads the box out as it appears, then its first button.
    m_pm.NotifyAccessibleEvent(EVENT_SYSTEM_ALERT, nullptr);
    if (CControlUI* focus = m_pm.GetFocus())
        m_pm.NotifyAccessibleEvent(EVENT_OBJECT_FOCUS, focus);
}

void CMessageBox::ApplyButtonSet(UINT type, LPCWSTR firstButton, LPCWSTR secondButton)
{
    switch (type & kButtonSetMask) {
    case kOneButton:
        if (m_pOk)
            m_pOk->SetText(firstButton ? firstButton : L"");
        if (m_pIcon)
            m_pIcon->SetBkImage(kSuccessIcon);
        if (m_pNo)
            m_pNo->SetVisible(false);
        break;
    case kTwoButtons:
        if (m_pClose)
            m_pClose->SetEnabled(false);
        if (m_pIcon)
            m_pIcon->SetBkImage(kQuestionIcon);
        if (Given(firstButton) && Given(secondButton)) {
            if (m_pOk)
                m_pOk->SetText(firstButton);
            if (m_pNo)
                m_pNo->SetText(secondButton);
        }
        break;
    default:
        break;  // the buttons stay as the layout has them
    }
}

void CMessageBox::ApplyIcon(UINT type)
{
    if (!m_pIcon)
        return;
    switch (type & ~kButtonSetMask) {
    case 0x10: m_pIcon->SetBkImage(kErrorIcon); break;
    case 0x20: m_pIcon->SetBkImage(kQuestionIcon); break;
    case 0x30: m_pIcon->SetBkImage(kWarningIcon); break;
    case 0x100: m_pIcon->SetBkImage(kSuccessIcon); break;
    default: break;  // the button set's icon stays
    }
}

void CMessageBox::ApplyCaption(LPCWSTR caption)
{
    if (Given(caption)) {
        if (m_pCaption)
            m_pCaption->SetText(caption);
        // The title a screen reader announces the box by; never drawn.
        ::SetWindowTextW(m_hWnd, caption);
        return;
    }
    if (m_pCaption)
        m_pCaption->SetVisible(false);
    if (m_pTips) {
        RECT padding = m_pTips->GetPadding();
        padding.top += kNoCaptionShift;
        m_pTips->SetPadding(padding);
    }
}

void CMessageBox::FitHeight(LPCWSTR text)
{
    if (!m_pTips)
        return;
    int font = -1;
    if (auto* label = static_cast<CLabelUI*>(m_pTips->GetInterface(L"Label")))
        font = label->GetFont();
    SIZE size = CRenderEngine::GetTextSize(m_pm.GetPaintDC(), &m_pm, text ? text : L"", font,
                                           DT_SINGLELINE);
    // Measured in the font at the window's DPI, against the text area at
    // that DPI; the heights are the layout's, at 96 DPI.
    const int w = size.cx;
    const int lines = static_cast<int>(std::ceil(w / (kTextWidth * m_pm.GetDpi() / kDesignDpi)));
    if (w <= 2)
        return;
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    ::MoveWindow(m_hWnd, rc.left, rc.top, m_pm.Scale(kWidth),
                 m_pm.Scale(kHeightWithoutText + kLineHeight * lines), TRUE);
    m_pTips->SetFixedHeight(kLineHeight * lines);
}

int ShowMessageBox(LPCWSTR secondButton, HWND owner, LPCWSTR caption, LPCWSTR text, UINT type,
                   LPCWSTR firstButton)
{
    CMessageBox box;
    if (!box.Open(owner))
        return kMsgBoxResultClose;
    box.Prepare(caption, text, type, firstButton, secondButton);
    box.ShowModal();
    return box.GetResult();
}
