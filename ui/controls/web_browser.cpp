#include "ui/controls/web_browser.h"

#include <exdisp.h>
#include <ole2.h>
#include <oleidl.h>

#include <utility>

#include "system/com_object.h"
#include "ui/attr_parse.h"
#include "ui/paint_manager.h"

namespace DuiLib {

using Microsoft::WRL::ComPtr;

namespace {

// Asks a COM object for another of its interfaces; empty when it has none.
template <class Want>
ComPtr<Want> QueryFor(IUnknown* object, REFIID iid)
{
    ComPtr<Want> result;
    if (object)
        object->QueryInterface(iid, reinterpret_cast<void**>(result.GetAddressOf()));
    return result;
}

}  // namespace

// The container side of the in-place browser: client site, in-place site and
// frame in one object, all answering for the paint manager's window.
// Creating it counts as its first reference.
class CBrowserSite final
    : public ComObject<1, ComAnswer<IOleClientSite, IID_IUnknown, IID_IOleClientSite>,
                       ComAnswer<IOleInPlaceSite, IID_IOleWindow, IID_IOleInPlaceSite>,
                       ComAnswer<IOleInPlaceFrame, IID_IOleInPlaceFrame, IID_IOleInPlaceUIWindow>> {
public:
    explicit CBrowserSite(HWND hWnd) : m_hWnd(hWnd) {}

    void SetRect(const RECT& rc) { m_rc = rc; }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** ppmk) override
    {
        if (ppmk)
            *ppmk = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** ppContainer) override
    {
        if (ppContainer)
            *ppContainer = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (shared by the site and the frame)
    STDMETHODIMP GetWindow(HWND* phwnd) override
    {
        if (!phwnd)
            return E_POINTER;
        *phwnd = m_hWnd;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                  LPRECT lprcPosRect, LPRECT lprcClipRect,
                                  LPOLEINPLACEFRAMEINFO lpFrameInfo) override
    {
        if (ppFrame) {
            *ppFrame = this;
            AddRef();
        }
        if (ppDoc)
            *ppDoc = nullptr;
        if (lprcPosRect)
            *lprcPosRect = m_rc;
        if (lprcClipRect)
            *lprcClipRect = m_rc;
        if (lpFrameInfo) {
            lpFrameInfo->fMDIApp = FALSE;
            lpFrameInfo->hwndFrame = m_hWnd;
            lpFrameInfo->haccel = nullptr;
            lpFrameInfo->cAccelEntries = 0;
        }
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow / IOleInPlaceFrame
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    ~CBrowserSite() override = default;

    HWND m_hWnd;
    RECT m_rc = {};
};

CWebBrowserUI::CWebBrowserUI() = default;

CWebBrowserUI::~CWebBrowserUI()
{
    if (m_pManager)
        m_pManager->RemoveTranslateAccelerator(this);
    ReleaseBrowser();
}

LPCWSTR CWebBrowserUI::GetClass() const { return L"WebBrowserUI"; }

LPVOID CWebBrowserUI::GetInterface(LPCWSTR pstrName)
{
    if (pstrName && wcscmp(pstrName, L"WebBrowser") == 0)
        return this;
    return CControlUI::GetInterface(pstrName);
}

void CWebBrowserUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (wcscmp(pstrName, L"homepage") == 0)
        SetHomePage(pstrValue);
    else if (wcscmp(pstrName, L"autonavi") == 0)
        SetAutoNavigation(ParseBool(pstrValue));
    else
        CControlUI::SetAttribute(pstrName, pstrValue);
}

void CWebBrowserUI::DoInit()
{
    if (!CreateBrowser())
        return;
    m_pManager->AddTranslateAccelerator(this);
    if (m_bAutoNavi && !m_sHomePage.empty())
        NavigateHomePage();
}

LRESULT CWebBrowserUI::TranslateAccelerator(MSG* pMsg)
{
    if (!m_pWebBrowser || !pMsg || pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST)
        return S_FALSE;
    auto active = QueryFor<IOleInPlaceActiveObject>(m_pWebBrowser.Get(), IID_IOleInPlaceActiveObject);
    if (!active)
        return S_FALSE;
    HRESULT hr = S_FALSE;
    HWND browserWnd = nullptr;
    // Only keys aimed at the page itself.
    if (SUCCEEDED(active->GetWindow(&browserWnd)) && browserWnd &&
        (pMsg->hwnd == browserWnd || IsChild(browserWnd, pMsg->hwnd)))
        hr = active->TranslateAccelerator(pMsg);
    return hr;
}

bool CWebBrowserUI::CreateBrowser()
{
    if (m_pWebBrowser || m_bTriedCreate || !m_pManager || !m_pManager->GetPaintWindow())
        return m_pWebBrowser.Get() != nullptr;
    m_bTriedCreate = true;
    ComPtr<IOleObject> ole;
    if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(ole.GetAddressOf()))) ||
        !ole)
        return false;
    m_pSite.Attach(new CBrowserSite(m_pManager->GetPaintWindow()));
    m_pSite->SetRect(m_rcItem);
    ComPtr<IWebBrowser2> browser;
    bool ok = SUCCEEDED(ole->SetClientSite(m_pSite.Get())) &&
              SUCCEEDED(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, m_pSite.Get(), 0,
                                    m_pManager->GetPaintWindow(), &m_rcItem)) &&
              (browser = QueryFor<IWebBrowser2>(ole.Get(), IID_IWebBrowser2));
    if (!ok) {
        ole->Close(OLECLOSE_NOSAVE);
        ole->SetClientSite(nullptr);
        m_pSite.Reset();
        return false;
    }
    // The browser interface keeps the object alive.
    m_pWebBrowser = std::move(browser);
    m_pWebBrowser->put_Silent(VARIANT_TRUE);  // no script error dialogs
    UpdateBrowserRect();
    return true;
}

void CWebBrowserUI::ReleaseBrowser()
{
    if (m_pWebBrowser) {
        if (auto inplace = QueryFor<IOleInPlaceObject>(m_pWebBrowser.Get(), IID_IOleInPlaceObject))
            inplace->InPlaceDeactivate();
        if (auto ole = QueryFor<IOleObject>(m_pWebBrowser.Get(), IID_IOleObject)) {
            ole->Close(OLECLOSE_NOSAVE);
            ole->SetClientSite(nullptr);
        }
        m_pWebBrowser.Reset();
    }
    m_pSite.Reset();
}

bool CWebBrowserUI::Navigate2(LPCWSTR lpszUrl)
{
    if (!m_pWebBrowser || !lpszUrl || !*lpszUrl)
        return false;
    VARIANT url;
    VariantInit(&url);
    url.vt = VT_BSTR;
    url.bstrVal = SysAllocString(lpszUrl);
    if (!url.bstrVal)
        return false;
    VARIANT empty;
    VariantInit(&empty);
    HRESULT hr = m_pWebBrowser->Navigate2(&url, &empty, &empty, &empty, &empty);
    VariantClear(&url);
    return SUCCEEDED(hr);
}

void CWebBrowserUI::UpdateBrowserRect()
{
    if (!m_pWebBrowser)
        return;
    if (m_pSite)
        m_pSite->SetRect(m_rcItem);
    if (auto inplace = QueryFor<IOleInPlaceObject>(m_pWebBrowser.Get(), IID_IOleInPlaceObject)) {
        inplace->SetObjectRects(&m_rcItem, &m_rcItem);
        HWND hWnd = nullptr;
        if (SUCCEEDED(inplace->GetWindow(&hWnd)) && hWnd)
            ShowWindow(hWnd, IsVisible() ? SW_SHOWNOACTIVATE : SW_HIDE);
    }
}

void CWebBrowserUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    CControlUI::SetPos(rc, bNeedInvalidate);
    UpdateBrowserRect();
}

void CWebBrowserUI::SetVisible(bool bVisible)
{
    CControlUI::SetVisible(bVisible);
    UpdateBrowserRect();
}

void CWebBrowserUI::SetInternVisible(bool bVisible)
{
    CControlUI::SetInternVisible(bVisible);
    UpdateBrowserRect();
}

}  // namespace DuiLib
