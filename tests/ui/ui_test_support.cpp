#include "ui_test_support.h"

#include <cstdlib>

#include "ui/skin_setup.h"

namespace uitest {

namespace {

std::function<void()> g_later;

void CALLBACK RunLaterAction(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (g_later) {
        auto action = std::move(g_later);
        g_later = nullptr;
        action();
    }
}

}  // namespace

void RunLater(std::function<void()> action, UINT ms)
{
    g_later = std::move(action);
    SetTimer(nullptr, 0, ms, &RunLaterAction);
}

void CancelLater()
{
    g_later = nullptr;
}

void InstallTestSkin() { SetupSkinPackage(GetModuleHandleW(nullptr)); }

bool TestWindow::Open(HWND owner)
{
    return Create(owner, L"", 0x10CE0000, 0, 0, 0, 0, 0) != nullptr;
}

size_t TestWindow::Count(LPCWSTR type, LPCWSTR sender) const
{
    size_t n = 0;
    for (const Note& note : notes)
        if (note.type == type && note.sender == sender)
            ++n;
    return n;
}

void TestWindow::Notify(DuiLib::TNotifyUI& msg)
{
    notes.push_back({msg.sType, msg.pSender ? msg.pSender->GetName() : L""});
    WindowImplBase::Notify(msg);
}

DuiLib::CControlUI* TestWindow::CreateControl(LPCWSTR pstrClass)
{
    if (m_knowsAniLabel && wcscmp(pstrClass, L"AniLabel") == 0)
        return new DuiLib::CAniLabelUI;
    return nullptr;
}

void Pump(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            if (!DuiLib::CPaintManagerUI::TranslateMessage(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        Sleep(5);
    } while (GetTickCount() - start < milliseconds);
}

void MouseMove(HWND hWnd, int x, int y) { SendMessageW(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }

void MouseDown(HWND hWnd, int x, int y)
{
    SendMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

void MouseUp(HWND hWnd, int x, int y) { SendMessageW(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }

void Click(HWND hWnd, int x, int y)
{
    MouseMove(hWnd, x, y);
    MouseDown(hWnd, x, y);
    MouseUp(hWnd, x, y);
}

POINT Center(const DuiLib::CControlUI* control)
{
    const RECT& rc = control->GetPos();
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

namespace {

// What a window draws of its client area through WM_PRINTCLIENT.
Capture PrintClient(HWND hWnd)
{
    Capture cap;
    RECT rc;
    GetClientRect(hWnd, &rc);
    cap.width = rc.right;
    cap.height = rc.bottom;
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cap.width;
    bmi.bmiHeader.biHeight = -cap.height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp)
        return cap;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    SendMessageW(hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    GdiFlush();
    const auto* px = static_cast<const uint32_t*>(bits);
    cap.pixels.assign(px, px + static_cast<size_t>(cap.width) * cap.height);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
    return cap;
}

// Copies each visible child's own drawing over the capture at its place.
BOOL CALLBACK PrintChild(HWND child, LPARAM lp)
{
    auto* cap = reinterpret_cast<Capture*>(lp);
    if (!IsWindowVisible(child))
        return TRUE;
    RECT rc;
    GetWindowRect(child, &rc);
    MapWindowPoints(nullptr, GetAncestor(child, GA_PARENT), reinterpret_cast<POINT*>(&rc), 2);
    Capture part = PrintClient(child);
    for (int y = 0; y < part.height; ++y)
        for (int x = 0; x < part.width; ++x) {
            int cx = rc.left + x, cy = rc.top + y;
            if (cx >= 0 && cy >= 0 && cx < cap->width && cy < cap->height)
                cap->pixels[static_cast<size_t>(cy) * cap->width + cx] = part.pixels[static_cast<size_t>(y) * part.width + x];
        }
    return TRUE;
}

}  // namespace

Capture CaptureWindow(HWND hWnd) { return PrintClient(hWnd); }

Capture CaptureWithChildren(HWND hWnd)
{
    Capture cap = PrintClient(hWnd);
    EnumChildWindows(hWnd, PrintChild, reinterpret_cast<LPARAM>(&cap));
    return cap;
}

bool Near(uint32_t a, uint32_t b, int tolerance)
{
    for (int shift = 0; shift < 24; shift += 8) {
        int ca = static_cast<int>((a >> shift) & 0xFF), cb = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(ca - cb) > tolerance)
            return false;
    }
    return true;
}

int CountInk(const Capture& cap, const RECT& rc, uint32_t background)
{
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            if (!Near(cap.At(x, y), background, 60))
                ++n;
    return n;
}

}  // namespace uitest
