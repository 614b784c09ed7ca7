// One whole installation as a user goes through it, for scripts/run.sh
// without a display and for the benchmark: ticks the agreement, presses
// 极速安装, waits for the finish page and presses 立即体验, saving a
// picture of each page. Prints where the product went and the times.
// With --warm-desktop, Wine's desktop process is brought up before the clock
// starts, as on Windows, where the desktop is always there; without it, the
// installer's first window waits for a fresh wineserver's desktop to start.
// With --message-box, a program directory the installer refuses is tried
// first, for a picture of the custom area and of the message box.
// The driver sees the screen's own pixels at every display scale.
//   usage: kx_walkthrough.exe [--warm-desktop] [--message-box] SETUP.exe [PICTURE-FOLDER\]
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "tests/e2e/installer_view.h"

using namespace e2e;

namespace {

double Seconds(LARGE_INTEGER from)
{
    LARGE_INTEGER now, freq;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&freq);
    return static_cast<double>(now.QuadPart - from.QuadPart) / static_cast<double>(freq.QuadPart);
}

// The picture area is drawn: most of it is neither black nor unpainted white.
bool Painted(HWND main)
{
    Shot s = Grab(main);
    if (s.width < 600 || s.height < 280)
        return false;
    int blank = CountNear(s, {0, 0, 600, 280}, 0x000000, 4) + CountNear(s, {0, 0, 600, 280}, 0xFFFFFF, 4);
    return blank < 600 * 280 / 2;
}

// The first window of a Wine session starts the desktop process and waits
// for it; the pause lets that process finish its own start-up, so it does not
// share the processors with the installer's.
void WarmDesktop()
{
    GetDesktopWindow();
    DestroyWindow(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  nullptr, nullptr));
    Sleep(1000);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    SetProcessDPIAware();
    bool messageBox = false;
    for (; argc > 1 && argv[1][0] == L'-'; --argc, ++argv) {
        if (std::wstring(argv[1]) == L"--warm-desktop")
            WarmDesktop();
        else if (std::wstring(argv[1]) == L"--message-box")
            messageBox = true;
        else
            argc = 0;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: kx_walkthrough.exe [--warm-desktop] [--message-box] SETUP.exe [PICTURE-FOLDER\\]\n");
        return 2;
    }
    std::wstring pictures = argc > 2 ? argv[2] : L"";
    auto picture = [&](HWND hWnd, const wchar_t* name) {
        if (!pictures.empty()) {
            MoveMouseAway();
            SaveBitmap(Grab(hWnd), pictures + name + L".bmp");
        }
    };

    LARGE_INTEGER t0;
    QueryPerformanceCounter(&t0);
    Installer setup;
    if (!setup.proc.Start(argv[1])) {
        std::fprintf(stderr, "walkthrough: the installer did not start\n");
        return 1;
    }
    HWND main = nullptr;
    WaitFor([&] { return (main = FindWindowOf(setup.proc.Id(), kMainClass)) && Painted(main); }, 30000);
    double windowS = Seconds(t0);
    if (!main) {
        std::fprintf(stderr, "walkthrough: no main window\n");
        return 1;
    }
    setup.main = main;
    std::printf("first_painted_window_s=%.3f\n", windowS);
    // What the installer holds in memory before anything is clicked.
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(setup.proc.Handle(), &memory, sizeof(memory)))
        std::printf("resident_at_first_window_mb=%.1f\n", memory.WorkingSetSize / 1048576.0);
    picture(main, L"page0_start");
    if (messageBox) {
        // "x" is no program directory: the installer says so and stays.
        setup.TypeInstallPath(L"x");
        picture(main, L"page0_custom");
        setup.AgreeAndInstall();
        HWND box = setup.WaitBox(10000);
        if (!box) {
            std::fprintf(stderr, "walkthrough: no message box\n");
            return 1;
        }
        Sleep(300);
        picture(box, L"message_box");
        ClickBoxButton(box, 1);
        WaitFor([&] { return !IsWindow(box); }, 5000);
        setup.TypeInstallPath(DefaultProgramDir());
    } else {
        setup.ClickAt(kAgree);
        WaitFor([&] { return setup.ButtonEnabled(); }, 3000);
    }
    picture(main, L"page0_agreed");

    LARGE_INTEGER t1;
    QueryPerformanceCounter(&t1);
    setup.ClickAt(kInstallStart);
    bool shotProgress = false;
    bool finished = WaitFor(
        [&] {
            // The page as seen: a short installation may be over a moment later.
            Shot seen = Grab(main);
            Page p = setup.PageOf(seen);
            if (p == Page::Installing && !shotProgress && !pictures.empty()) {
                SaveBitmap(seen, pictures + L"page1_installing.bmp");
                shotProgress = true;
            }
            return p == Page::Finished || !setup.proc.Running();
        },
        300000);
    double installS = Seconds(t1);
    if (!finished || setup.ShownPage() != Page::Finished) {
        std::fprintf(stderr, "walkthrough: no finish page\n");
        return 1;
    }
    picture(main, L"page2_finished");
    std::printf("install_s=%.3f\n", installS);
    std::wstring dir = ReadRegString(HKEY_CURRENT_USER, L"Software\\kxVistral3", L"AppPath");
    std::printf("install_dir=%ls\n", dir.c_str());

    setup.ClickAt(kOpenProduct);
    bool ended = setup.proc.WaitExit(15000);
    bool productRuns = WaitFor([] { return FindWindowW(nullptr, L"Vistral3.0") != nullptr; }, 15000);
    std::printf("installer_ended=%s product_window=%s\n", ended ? "yes" : "no", productRuns ? "yes" : "no");
    return ended && productRuns ? 0 : 1;
}
