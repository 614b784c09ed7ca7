// The floor of the first-paint figure: the least a Win32 program does to show
// a painted window of the installer's class and size under the same Wine
// prefix and the same measurement (scripts/walkthrough.sh). It paints the
// picture area a plain blue and leaves after a second, so the walkthrough
// stops waiting for the pages that follow.
//   usage: kx_paint_floor.exe
#include <windows.h>

namespace {

constexpr UINT_PTR kLeaveTimer = 1;

LRESULT CALLBACK FloorProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        HBRUSH blue = CreateSolidBrush(RGB(0x2D, 0x73, 0xFF));
        FillRect(dc, &ps.rcPaint, blue);
        DeleteObject(blue);
        EndPaint(hwnd, &ps);
        SetTimer(hwnd, kLeaveTimer, 1000, nullptr);
        return 0;
    }
    case WM_TIMER:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    WNDCLASSW wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = FloorProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = L"kxVistralInstaller";  // the class the walkthrough looks for
    if (!RegisterClassW(&wc))
        return 1;
    int x = (GetSystemMetrics(SM_CXSCREEN) - 600) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - 400) / 2;
    HWND hwnd = CreateWindowExW(WS_EX_APPWINDOW, wc.lpszClassName, L"floor", WS_POPUP | WS_VISIBLE,
                                x, y, 600, 400, nullptr, nullptr, instance, nullptr);
    if (!hwnd)
        return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
