#pragma once
// The user agreement and the privacy agreement: web pages in small skinned
// windows, modal over the main window, closed by "×" or "确定".
#include <windows.h>

#include <string>

#include "ui/ui_lib.h"

class CWnd_UserArg : public DuiLib::WindowImplBase {
public:
    LPCWSTR GetWindowClassName() const override { return L"wnd_user_argment"; }
    void InitWindow() override;
    void OnFinalMessage(HWND hWnd) override;
    std::wstring GetSkinFile() override;
    LRESULT ResponseDefaultKeyEvent(WPARAM wParam) override;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    void Notify(DuiLib::TNotifyUI& msg) override;
};

class CWnd_Privacy : public DuiLib::WindowImplBase {
public:
    LPCWSTR GetWindowClassName() const override { return L"wnd_user_argment"; }
    void InitWindow() override;
    void OnFinalMessage(HWND hWnd) override;
    std::wstring GetSkinFile() override;
    LRESULT ResponseDefaultKeyEvent(WPARAM wParam) override;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    void Notify(DuiLib::TNotifyUI& msg) override;
};

// Opens the agreement window over owner and returns when it has closed.
void ShowUserAgreement(HWND owner);
void ShowPrivacyAgreement(HWND owner);
