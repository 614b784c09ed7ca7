#pragma once
// The user agreement and the privacy agreement: web pages in small skinned
// windows, modal over the main window, closed by "×" or "确定".
#include <windows.h>

#include <string>

#include "ui/ui_lib.h"

// The skin files the two windows load (with the language code and ".xml").
inline constexpr wchar_t kUserAgreementSkin[] = L"wnd_userargment_";
inline constexpr wchar_t kPrivacyAgreementSkin[] = L"wnd_privacy_";

// Both agreement windows: they differ only in the skin file they load.
template <const wchar_t* SkinPrefix>
class CAgreementWnd : public DuiLib::WindowImplBase {
public:
    LPCWSTR GetWindowClassName() const override { return L"wnd_user_argment"; }
    void InitWindow() override;
    void OnFinalMessage(HWND hWnd) override;
    std::wstring GetSkinFile() override;
    LRESULT ResponseDefaultKeyEvent(WPARAM wParam) override;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    void Notify(DuiLib::TNotifyUI& msg) override;
};

using CWnd_UserArg = CAgreementWnd<kUserAgreementSkin>;
using CWnd_Privacy = CAgreementWnd<kPrivacyAgreementSkin>;

// Opens the agreement window over owner and returns when it has closed.
void ShowUserAgreement(HWND owner);
void ShowPrivacyAgreement(HWND owner);
