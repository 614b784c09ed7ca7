#pragma once
// Hosts the system's web browser control (CLSID_WebBrowser, through COM)
// in the control's rectangle and navigates to its home page when
// "autonavi" is true. Where no browser engine can be created the control
// shows an empty area and the window works as usual.
#include <windows.h>

#include <string>

#include <wrl/client.h>

#include "ui/control.h"
#include "ui/interfaces.h"

struct IWebBrowser2;

namespace DuiLib {

class CBrowserSite;

class CWebBrowserUI : public CControlUI, public ITranslateAccelerator {
public:
    CWebBrowserUI();
    ~CWebBrowserUI() override;
    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;

    void SetHomePage(LPCWSTR lpszUrl) { m_sHomePage = lpszUrl ? lpszUrl : L""; }
    const std::wstring& GetHomePage() const { return m_sHomePage; }
    void SetAutoNavigation(bool bAuto) { m_bAutoNavi = bAuto; }
    bool IsAutoNavigation() const { return m_bAutoNavi; }
    // Navigates the hosted browser; false when there is none.
    bool Navigate2(LPCWSTR lpszUrl);
    bool NavigateHomePage() { return Navigate2(m_sHomePage.c_str()); }
    // The hosted browser, or null where none could be created.
    IWebBrowser2* GetWebBrowser2() const { return m_pWebBrowser.Get(); }

    void DoInit() override;
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    void SetVisible(bool bVisible = true) override;
    void SetInternVisible(bool bVisible = true) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    // Keys typed into the page go to the browser first (Tab, copy, ...).
    LRESULT TranslateAccelerator(MSG* pMsg) override;

private:
    bool CreateBrowser();
    void ReleaseBrowser();
    void UpdateBrowserRect();

    std::wstring m_sHomePage;
    bool m_bAutoNavi = false;
    bool m_bTriedCreate = false;
    Microsoft::WRL::ComPtr<CBrowserSite> m_pSite;
    Microsoft::WRL::ComPtr<IWebBrowser2> m_pWebBrowser;
};

}  // namespace DuiLib
