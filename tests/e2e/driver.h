#pragma once
// Drives the real installer as a user would, from a program running in the
// same Wine prefix: starts kxVistralSetup.exe, finds its windows by class,
// clicks and types through SendInput (real input: Wine routes it like a
// hardware event, through hit-testing, capture and focus), and looks at the
// screen, files, registry and processes.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "system/win_handles.h"

namespace e2e {

// Window classes of the installer: the main window, its message box, both
// agreement windows and the shell's folder browser.
constexpr wchar_t kMainClass[] = L"kxVistralInstaller";
constexpr wchar_t kBoxClass[] = L"messagebox";
constexpr wchar_t kAgreementClass[] = L"wnd_user_argment";
constexpr wchar_t kDialogClass[] = L"#32770";

// Set by the case runner (tests/e2e/run-cases.sh): the installer under test
// (others in KX_E2E_DAMAGED_SETUP, with a payload that does not unpack, and
// KX_E2E_LARGE_SETUP, with thousands of small files) and the built stand-in product
// programs (folder with a trailing backslash).
std::wstring Env(const wchar_t* name);
std::wstring SetupExe();
std::wstring ProductDir();

class Process {
public:
    Process() = default;
    Process(Process&&) = default;
    Process& operator=(Process&&) = default;
    ~Process();  // ends it if it still runs: a failed case leaves nothing behind
    bool Start(const std::wstring& exe, const std::wstring& args = L"");
    // Takes a process found running (no ownership of its end).
    bool Attach(DWORD pid);
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return h_.Get(); }
    bool Running() const;
    bool WaitExit(DWORD ms) const;
    DWORD ExitCode() const;

private:
    UniqueHandle h_;
    DWORD id_ = 0;
    bool ours_ = false;
};

// Waits until cond holds (checked every 10 ms); false after ms.
bool WaitFor(const std::function<bool()>& cond, DWORD ms);
// Visible top-level windows of a process (0: any process) with a class.
std::vector<HWND> Windows(DWORD pid, LPCWSTR cls);
HWND FindWindowOf(DWORD pid, LPCWSTR cls);
HWND WaitWindow(DWORD pid, LPCWSTR cls, DWORD ms = 20000);
RECT ScreenRect(HWND hWnd);
SIZE Size(HWND hWnd);
// Any process running an executable of this file name.
DWORD FindProcess(const std::wstring& exeName);

// Real input. Coordinates are in the window's client area.
void Click(HWND hWnd, int x, int y);
void DoubleClick(HWND hWnd, int x, int y);
void MoveMouseAway();
// Presses the keys in order and releases them in reverse (a chord).
void Keys(std::initializer_list<WORD> vks);
void Type(const std::wstring& text);
// Brings the window to the front by clicking an inert spot of it; true when
// it has the focus, so that keys go to it.
bool Activate(HWND hWnd, int x, int y);

// The window's client area as the screen shows it (0x00RRGGBB).
struct Shot {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Shot Grab(HWND hWnd);
bool Near(uint32_t a, uint32_t b, int tolerance = 24);
int CountNear(const Shot& shot, RECT rc, uint32_t colour, int tolerance = 24);
// Pixels that differ in rc between two shots of the same size.
int CountDiffering(const Shot& a, const Shot& b, RECT rc, int tolerance = 8);
bool SaveBitmap(const Shot& shot, const std::wstring& path);

// Files and registry.
bool Exists(const std::wstring& path);
std::wstring ReadUtf16File(const std::wstring& path);  // without its byte-order mark
bool WriteRegString(HKEY root, const std::wstring& key, LPCWSTR name, const std::wstring& value);
std::wstring ReadRegString(HKEY root, const std::wstring& key, LPCWSTR name, REGSAM view = 0);
std::wstring KnownFolder(int csidl);  // with a trailing backslash

}  // namespace e2e
