#include "app/agreement_windows.h"

#include "app/string_bundle.h"

using namespace DuiLib;

namespace {

constexpr DWORD kStyle =
    WS_VISIBLE | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
static_assert(kStyle == 0x12CE0000);
constexpr int kWidth = 560;
constexpr int kHeight = 360;

// The window deletes itself once its native window is gone (OnFinalMessage).
template <class Window>
void ShowAgreement(HWND owner, const wchar_t* title)
{
    auto* wnd = new Window;
    // A window destroyed during its creation has deleted itself already.
    if (!wnd->Create(owner, title, kStyle, 0, 0, 0, kWidth, kHeight))
        return;
    wnd->CenterWindow();
    wnd->ShowModal();
}

}  // namespace

// "确定" has the focus and is the default: Enter or Space closes the window;
// Esc presses the × as a dialog's close button.
template <const wchar_t* SkinPrefix>
void CAgreementWnd<SkinPrefix>::InitWindow()
{
    if (CControlUI* close = m_pm.FindControl(L"btn_close")) {
        close->SetFocus();
        m_pm.SetDefaultButton(close);
    }
    m_pm.SetCancelButton(m_pm.FindControl(L"btn_closewin"));
}

template <const wchar_t* SkinPrefix>
void CAgreementWnd<SkinPrefix>::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    delete this;
}

template <const wchar_t* SkinPrefix>
std::wstring CAgreementWnd<SkinPrefix>::GetSkinFile()
{
    return SkinPrefix + GetLanguageCode() + L".xml";
}

template <const wchar_t* SkinPrefix>
LRESULT CAgreementWnd<SkinPrefix>::ResponseDefaultKeyEvent(WPARAM wParam)
{
    return wParam == VK_RETURN;
}

// A double click on the title area would maximise a framed window.
template <const wchar_t* SkinPrefix>
LRESULT CAgreementWnd<SkinPrefix>::HandleCustomMessage(UINT uMsg, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = uMsg == WM_NCLBUTTONDBLCLK ? TRUE : FALSE;
    return 0;
}

// The two close buttons close it; nothing else is theirs.
template <const wchar_t* SkinPrefix>
void CAgreementWnd<SkinPrefix>::Notify(TNotifyUI& msg)
{
    if (_wcsicmp(msg.sType.c_str(), L"click") != 0 || !msg.pSender)
        return;
    const std::wstring& name = msg.pSender->GetName();
    if (_wcsicmp(name.c_str(), L"btn_close") == 0 || _wcsicmp(name.c_str(), L"btn_closewin") == 0)
        Close(1);
}

template class CAgreementWnd<kUserAgreementSkin>;
template class CAgreementWnd<kPrivacyAgreementSkin>;

void ShowUserAgreement(HWND owner) { ShowAgreement<CWnd_UserArg>(owner, L"服务协议"); }

void ShowPrivacyAgreement(HWND owner) { ShowAgreement<CWnd_Privacy>(owner, L"隐私协议"); }
