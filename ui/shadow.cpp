#include "ui/shadow.h"

#include <cstdint>

#include "system/win_handles.h"
#include "ui/image_cache.h"
#include "ui/image_desc.h"
#include "ui/image_scale.h"
#include "ui/paint_manager.h"
#include "ui/render.h"

namespace DuiLib {

namespace {

constexpr wchar_t kShadowClass[] = L"DuiShadowWindow";

bool RegisterShadowClass()
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = CPaintManagerUI::GetInstance();
    wc.lpszClassName = kShadowClass;
    return RegisterClassExW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

CShadowUI::~CShadowUI()
{
    if (m_hWnd && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
}

bool CShadowUI::Create(CPaintManagerUI* pManager)
{
    if (m_pManager || !m_bIsShowShadow || !pManager || !RegisterShadowClass())
        return false;
    m_pManager = pManager;
    m_hWndOwner = pManager->GetPaintWindow();
    return true;
}

bool CShadowUI::MakeWindow()
{
    // Owned by the window's own owner, so it can stay below the window.
    HWND owner = GetWindow(m_hWndOwner, GW_OWNER);
    m_hWnd = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                             kShadowClass, nullptr, WS_POPUP, 0, 0, 0, 0, owner, nullptr,
                             CPaintManagerUI::GetInstance(), nullptr);
    return m_hWnd != nullptr;
}

bool CShadowUI::ParentShown() const
{
    return IsWindowVisible(m_hWndOwner) && !IsIconic(m_hWndOwner) && !IsZoomed(m_hWndOwner);
}

void CShadowUI::OnParentPainted()
{
    if (m_bParentPainted)
        return;
    m_bParentPainted = true;
    if (m_pManager && MakeWindow() && ParentShown())
        Update();
}

void CShadowUI::Hide()
{
    if (m_hWnd)
        ShowWindow(m_hWnd, SW_HIDE);
    m_szDrawn = {};
}

void CShadowUI::OnParentMessage(UINT uMsg, WPARAM /*wParam*/, LPARAM lParam)
{
    if (!m_hWnd)
        return;
    switch (uMsg) {
    case WM_WINDOWPOSCHANGED: {
        auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if ((pos->flags & SWP_HIDEWINDOW) || !ParentShown())
            Hide();
        else
            Update();
        break;
    }
    case WM_DESTROY:
        DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
        break;
    default:
        break;
    }
}

int CShadowUI::ScaledSize() const { return m_pManager ? m_pManager->Scale(m_nSize) : m_nSize; }

POINT CShadowUI::ScaledOffset() const
{
    return m_pManager ? POINT{m_pManager->Scale(m_ptOffset.x), m_pManager->Scale(m_ptOffset.y)} : m_ptOffset;
}

void CShadowUI::Update()
{
    RECT rcWnd;
    GetWindowRect(m_hWndOwner, &rcWnd);
    const int size = ScaledSize();
    const POINT offset = ScaledOffset();
    int w = rcWnd.right - rcWnd.left + 2 * size, h = rcWnd.bottom - rcWnd.top + 2 * size;
    if (w <= 0 || h <= 0 || size <= 0 || !m_bParentPainted)
        return;
    // A window that only moved keeps its shadow's picture: drawing it costs
    // far more than moving it, and a window moves several times while it is
    // created and centred.
    if (m_szDrawn.cx != w || m_szDrawn.cy != h)
        Draw(rcWnd, w, h);
    // Just below the window it belongs to.
    SetWindowPos(m_hWnd, m_hWndOwner, rcWnd.left - size + offset.x, rcWnd.top - size + offset.y, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CShadowUI::Draw(const RECT& rcWnd, int w, int h)
{
    void* bits = nullptr;
    unique_hbitmap bmp = NewTopDownBitmap(w, h, &bits);
    if (!bmp)
        return;
    HDC screen = GetDC(nullptr);
    unique_hdc memDC(CreateCompatibleDC(screen));
    HDC mem = memDC.Get();
    HGDIOBJ old = SelectObject(mem, bmp.Get());
    RECT all = {0, 0, w, h};
    bool drawn = false;
    if (!m_sShadowImage.empty()) {
        TDrawInfo info;
        info.Parse(m_sShadowImage.c_str());
        const int dpi = m_pManager->GetDpi();
        TScaledPicture scaled;
        if (dpi != kDesignDpi) {
            // The picture resampled for the scale, its corners by themselves.
            if (ScalePicture(dpi, info.sFile, info.sResType, info.dwMask,
                             info.bHasSource ? &info.rcSource : nullptr, m_rcShadowCorner, SIZE{w, h},
                             false, scaled)) {
                CRenderEngine::DrawBitmap(mem, *scaled.image, all, all, scaled.source, scaled.corners, 255,
                                          true, false, false);
                drawn = true;
            }
        } else if (const TImageInfo* image = m_pManager->GetImage(info.sFile, info.sResType, info.dwMask)) {
            RECT src = info.bHasSource ? info.rcSource : RECT{0, 0, image->nX, image->nY};
            // The window covers the middle; only the frame of the picture shows.
            CRenderEngine::DrawBitmap(mem, *image, all, all, src, m_rcShadowCorner, 255, true, false,
                                      false);
            drawn = true;
        }
    }
    const int size = ScaledSize();  // the frame in window pixels
    if (!drawn) {
        // A soft frame of the shadow colour fading outwards.
        auto* px = static_cast<uint32_t*>(bits);
        BYTE baseAlpha = static_cast<BYTE>(m_dwColor >> 24);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                int dx = x < size ? size - x : (x >= w - size ? x - (w - size - 1) : 0);
                int dy = y < size ? size - y : (y >= h - size ? y - (h - size - 1) : 0);
                int d = dx > dy ? dx : dy;
                if (d == 0)
                    continue;
                uint32_t a = baseAlpha * static_cast<uint32_t>(size - d + 1) / (size + 1);
                uint32_t r = ((m_dwColor >> 16) & 0xFF) * a / 255, g = ((m_dwColor >> 8) & 0xFF) * a / 255,
                         b = (m_dwColor & 0xFF) * a / 255;
                px[y * w + x] = (a << 24) | (r << 16) | (g << 8) | b;
            }
        }
    }
    const POINT offset = ScaledOffset();
    POINT ptDst = {rcWnd.left - size + offset.x, rcWnd.top - size + offset.y};
    POINT ptSrc = {0, 0};
    SIZE drawnSize = {w, h};
    BLENDFUNCTION bf = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(m_hWnd, screen, &ptDst, &drawnSize, mem, &ptSrc, 0, &bf, ULW_ALPHA);
    SelectObject(mem, old);
    ReleaseDC(nullptr, screen);
    m_bDrawn = true;
    m_szDrawn = drawnSize;
}

}  // namespace DuiLib
