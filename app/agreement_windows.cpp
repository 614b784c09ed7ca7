#include "app/agreement_windows.h"

#include "app/string_bundle.h"

using namespace DuiLib;

namespace {

constexpr DWORD kStyle =
    WS_VISIBLE | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
static_assert(kStyle == 0x12CE0000);
constexpr int kWidth = 560;
constexpr int kHeight = 360;

// Both windows: the two close buttons close it; nothing else is theirs.
bool IsCloseClick(const TNotifyUI& msg)
{
    if (_wcsicmp(msg.sType.c_str(), L"click") != 0 || !msg.pSender)
        return false;
    const std::wstring& name = msg.pSender->GetName();
    return _wcsicmp(name.c_str(), L"btn_close") == 0 ||
           _wcsicmp(name.c_str(), L"btn_closewin") == 0;
}

// A double click on the title area would maximise a framed window.
LRESULT SwallowTitleDoubleClick(UINT uMsg, BOOL& bHandled)
{
    bHandled = uMsg == WM_NCLBUTTONDBLCLK ? TRUE : FALSE;
    return 0;
}

// "确定" has the focus and is the default: Enter or Space closes the window;
// Esc presses the × as a dialog's close button.
void FocusCloseButton(CPaintManagerUI& pm)
{
    if (CControlUI* close = pm.FindControl(L"btn_close")) {
        close->SetFocus();
        pm.SetDefaultButton(close);
    }
    pm.SetCancelButton(pm.FindControl(L"btn_closewin"));
}

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

void CWnd_UserArg::InitWindow() { FocusCloseButton(m_pm); }

void CWnd_UserArg::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    delete this;
}

std::wstring CWnd_UserArg::GetSkinFile()
{
    return L"wnd_userargment_" + GetLanguageCode() + L".xml";
}

LRESULT CWnd_UserArg::ResponseDefaultKeyEvent(WPARAM wParam) { return wParam == VK_RETURN; }

LRESULT CWnd_UserArg::HandleCustomMessage(UINT uMsg, WPARAM, LPARAM, BOOL& bHandled)
{
    return SwallowTitleDoubleClick(uMsg, bHandled);
}

void CWnd_UserArg::Notify(TNotifyUI& msg)
{
    if (IsCloseClick(msg))
        Close(1);
}

void CWnd_Privacy::InitWindow() { FocusCloseButton(m_pm); }

void CWnd_Privacy::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    delete this;
}

std::wstring CWnd_Privacy::GetSkinFile() { return L"wnd_privacy_" + GetLanguageCode() + L".xml"; }

LRESULT CWnd_Privacy::ResponseDefaultKeyEvent(WPARAM wParam) { return wParam == VK_RETURN; }

LRESULT CWnd_Privacy::HandleCustomMessage(UINT uMsg, WPARAM, LPARAM, BOOL& bHandled)
{
    return SwallowTitleDoubleClick(uMsg, bHandled);
}

void CWnd_Privacy::Notify(TNotifyUI& msg)
{
    if (IsCloseClick(msg))
        Close(1);
}

void ShowUserAgreement(HWND owner) { ShowAgreement<CWnd_UserArg>(owner, L"服务协议"); }

void ShowPrivacyAgreement(HWND owner) { ShowAgreement<CWnd_Privacy>(owner, L"隐私协议"); }
