#pragma once
// The installer's one dialog: a skinned, modal message box with one or two
// buttons and one of four icons, grown to fit its text.
#include <windows.h>

#include <string>

#include "ui/ui_lib.h"

// Result codes, the system's yes, no and close values.
constexpr int kMsgBoxResultOk = 6;     // "btn_ok"
constexpr int kMsgBoxResultNo = 7;     // "btn_no"
constexpr int kMsgBoxResultClose = 8;  // "btn_close"

class CMessageBox : public DuiLib::WindowImplBase {
public:
    CMessageBox() = default;

    LPCWSTR GetWindowClassName() const override { return L"messagebox"; }
    void OnFinalMessage(HWND hWnd) override;
    void InitWindow() override;
    std::wstring GetSkinFile() override;
    LRESULT ResponseDefaultKeyEvent(WPARAM wParam) override;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    void Notify(DuiLib::TNotifyUI& msg) override;

    // Creates the window (visible, 380 x 168 at 0,0) with its layout.
    bool Open(HWND owner);
    // Buttons, icon, caption and text by the type; then fits the height to
    // the text and centres the window. Null texts are "none".
    void Prepare(LPCWSTR caption, LPCWSTR text, UINT type, LPCWSTR firstButton,
                 LPCWSTR secondButton);
    int GetResult() const { return m_nResult; }

    DuiLib::CControlUI* CaptionLabel() const { return m_pCaption; }
    DuiLib::CControlUI* IconLabel() const { return m_pIcon; }
    DuiLib::CControlUI* TipsText() const { return m_pTips; }
    DuiLib::CControlUI* TipsText1() const { return m_pTips1; }
    DuiLib::CControlUI* OkButton() const { return m_pOk; }
    DuiLib::CControlUI* NoButton() const { return m_pNo; }
    DuiLib::CControlUI* CloseButton() const { return m_pClose; }

private:
    void ApplyButtonSet(UINT type, LPCWSTR firstButton, LPCWSTR secondButton);
    void ApplyIcon(UINT type);
    void ApplyCaption(LPCWSTR caption);
    void FitHeight(LPCWSTR text);

    int m_nResult = kMsgBoxResultClose;
    DuiLib::CControlUI* m_pCaption = nullptr;
    DuiLib::CControlUI* m_pIcon = nullptr;
    DuiLib::CControlUI* m_pTips = nullptr;
    DuiLib::CControlUI* m_pTips1 = nullptr;  // the layout has none
    DuiLib::CControlUI* m_pOk = nullptr;
    DuiLib::CControlUI* m_pNo = nullptr;
    DuiLib::CControlUI* m_pClose = nullptr;
};

// Shows a modal message box and returns which button closed it: 6 first
// button, 7 second, 8 close button. Closed otherwise (Alt+F4, the system
// close command) it answers 8 when the close button could have been used
// and 7, the answer that changes nothing, when the box demands a choice.
// The owner, if any, is disabled meanwhile. Null texts are "none".
int ShowMessageBox(LPCWSTR secondButton, HWND owner, LPCWSTR caption, LPCWSTR text, UINT type,
                   LPCWSTR firstButton);
