#include "tests/e2e/driver.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>

namespace e2e {

std::wstring Env(const wchar_t* name)
{
    std::wstring value(32768, L'\0');
    DWORD n = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    value.resize(n < value.size() ? n : 0);
    return value;
}

std::wstring SetupExe() { return Env(L"KX_E2E_SETUP"); }
std::wstring ProductDir() { return Env(L"KX_E2E_PRODUCT"); }

Process::~Process()
{
    if (ours_ && Running()) {
        TerminateProcess(h_.Get(), 99);
        WaitExit(5000);
    }
}

bool Process::Start(const std::wstring& exe, const std::wstring& args)
{
    std::wstring command = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
    std::wstring dir = exe.substr(0, exe.find_last_of(L'\\') + 1);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir.empty() ? nullptr : dir.c_str(), &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    h_ = UniqueHandle(pi.hProcess);
    id_ = pi.dwProcessId;
    ours_ = true;
    return true;
}

bool Process::Attach(DWORD pid)
{
    h_ = UniqueHandle(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    id_ = h_ ? pid : 0;
    ours_ = false;
    return static_cast<bool>(h_);
}

bool Process::Running() const { return h_ && WaitForSingleObject(h_.Get(), 0) == WAIT_TIMEOUT; }

bool Process::WaitExit(DWORD ms) const
{
    return h_ && WaitForSingleObject(h_.Get(), ms) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (h_)
        GetExitCodeProcess(h_.Get(), &code);
    return code;
}

bool WaitFor(const std::function<bool()>& cond, DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (cond())
            return true;
        if (GetTickCount() - start >= ms)
            return false;
        Sleep(10);  // the progress page of a small payload shows for a moment only
    }
}

namespace {

struct WindowQuery {
    DWORD pid;
    LPCWSTR cls;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND h, LPARAM lp)
{
    auto* q = reinterpret_cast<WindowQuery*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    wchar_t cls[128] = {};
    GetClassNameW(h, cls, 128);
    if ((q->pid == 0 || pid == q->pid) && IsWindowVisible(h) && wcscmp(cls, q->cls) == 0)
        q->found.push_back(h);
    return TRUE;
}

void SendMouse(DWORD flags, int x = 0, int y = 0)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
        in.mi.dx = static_cast<LONG>((x * 65536LL + w / 2) / w);
        in.mi.dy = static_cast<LONG>((y * 65536LL + h / 2) / h);
    }
    SendInput(1, &in, sizeof(in));
}

void MoveTo(HWND hWnd, int x, int y)
{
    POINT p{x, y};
    ClientToScreen(hWnd, &p);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, p.x, p.y);
    Sleep(60);
}

void SendKey(WORD vk, bool up)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof(in));
}

}  // namespace

std::vector<HWND> Windows(DWORD pid, LPCWSTR cls)
{
    WindowQuery q{pid, cls, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&q));
    return q.found;
}

HWND FindWindowOf(DWORD pid, LPCWSTR cls)
{
    auto all = Windows(pid, cls);
    return all.empty() ? nullptr : all.front();
}

HWND WaitWindow(DWORD pid, LPCWSTR cls, DWORD ms)
{
    HWND found = nullptr;
    WaitFor([&] { return (found = FindWindowOf(pid, cls)) != nullptr; }, ms);
    if (found)
        Sleep(300);  // let it finish its first painting
    return found;
}

RECT ScreenRect(HWND hWnd)
{
    RECT rc{};
    GetWindowRect(hWnd, &rc);
    return rc;
}

SIZE Size(HWND hWnd)
{
    RECT rc = ScreenRect(hWnd);
    return {rc.right - rc.left, rc.bottom - rc.top};
}

DWORD FindProcess(const std::wstring& exeName)
{
    UniqueFileHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snap)
        return 0;
    PROCESSENTRY32W pe{};
    pe.dwSize = sizeof(pe);
    for (BOOL ok = Process32FirstW(snap.Get(), &pe); ok; ok = Process32NextW(snap.Get(), &pe))
        if (_wcsicmp(pe.szExeFile, exeName.c_str()) == 0)
            return pe.th32ProcessID;
    return 0;
}

void Click(HWND hWnd, int x, int y)
{
    MoveTo(hWnd, x, y);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(60);
    SendMouse(MOUSEEVENTF_LEFTUP);
    Sleep(250);
}

void DoubleClick(HWND hWnd, int x, int y)
{
    MoveTo(hWnd, x, y);
    for (int i = 0; i < 2; ++i) {
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        Sleep(20);
        SendMouse(MOUSEEVENTF_LEFTUP);
        Sleep(20);
    }
    Sleep(250);
}

void MoveMouseAway()
{
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 2, 2);
    Sleep(100);
}

void Keys(std::initializer_list<WORD> vks)
{
    for (WORD vk : vks) {
        SendKey(vk, false);
        Sleep(30);
    }
    for (auto it = vks.end(); it != vks.begin();) {
        SendKey(*--it, true);
        Sleep(30);
    }
    Sleep(250);
}

void Type(const std::wstring& text)
{
    for (wchar_t c : text) {
        INPUT in[2] = {};
        for (int i = 0; i < 2; ++i) {
            in[i].type = INPUT_KEYBOARD;
            in[i].ki.wScan = c;
            in[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
        }
        SendInput(2, in, sizeof(INPUT));
        Sleep(10);
    }
    Sleep(200);
}

bool Activate(HWND hWnd, int x, int y)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        Click(hWnd, x, y);
        if (WaitFor([&] { return GetForegroundWindow() == hWnd; }, 1000))
            return true;
        SetForegroundWindow(hWnd);
    }
    return GetForegroundWindow() == hWnd;
}

Shot Grab(HWND hWnd)
{
    Shot shot;
    RECT rc{};
    GetClientRect(hWnd, &rc);
    POINT origin{0, 0};
    ClientToScreen(hWnd, &origin);
    shot.width = rc.right;
    shot.height = rc.bottom;
    if (shot.width <= 0 || shot.height <= 0)
        return shot;
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = shot.width;
    bmi.bmiHeader.biHeight = -shot.height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    BitBlt(dc, 0, 0, shot.width, shot.height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    const auto* px = static_cast<const uint32_t*>(bits);
    shot.pixels.assign(px, px + static_cast<size_t>(shot.width) * shot.height);
    for (auto& p : shot.pixels)
        p &= 0xFFFFFF;
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
    ReleaseDC(nullptr, screen);
    return shot;
}

bool Near(uint32_t a, uint32_t b, int tolerance)
{
    for (int shift = 0; shift < 24; shift += 8) {
        int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(d) > tolerance)
            return false;
    }
    return true;
}

namespace {

RECT Clip(const Shot& shot, RECT rc)
{
    rc.left = rc.left < 0 ? 0 : rc.left;
    rc.top = rc.top < 0 ? 0 : rc.top;
    rc.right = rc.right > shot.width ? shot.width : rc.right;
    rc.bottom = rc.bottom > shot.height ? shot.height : rc.bottom;
    return rc;
}

}  // namespace

int CountNear(const Shot& shot, RECT rc, uint32_t colour, int tolerance)
{
    rc = Clip(shot, rc);
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            n += Near(shot.At(x, y), colour, tolerance) ? 1 : 0;
    return n;
}

int CountDiffering(const Shot& a, const Shot& b, RECT rc, int tolerance)
{
    if (a.width != b.width || a.height != b.height)
        return -1;
    rc = Clip(a, rc);
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            n += Near(a.At(x, y), b.At(x, y), tolerance) ? 0 : 1;
    return n;
}

bool SaveBitmap(const Shot& shot, const std::wstring& path)
{
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = shot.width;
    info.biHeight = -shot.height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    DWORD bytes = static_cast<DWORD>(shot.pixels.size() * 4);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + bytes;
    UniqueFileHandle out(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD done = 0;
    return out && WriteFile(out.Get(), &file, sizeof(file), &done, nullptr) &&
           WriteFile(out.Get(), &info, sizeof(info), &done, nullptr) &&
           WriteFile(out.Get(), shot.pixels.data(), bytes, &done, nullptr) && done == bytes;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring ReadUtf16File(const std::wstring& path)
{
    UniqueFileHandle in(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    if (!in)
        return {};
    std::wstring text(GetFileSize(in.Get(), nullptr) / 2, L'\0');
    DWORD done = 0;
    ReadFile(in.Get(), text.data(), static_cast<DWORD>(text.size() * 2), &done, nullptr);
    text.resize(done / 2);
    if (!text.empty() && text[0] == 0xFEFF)
        text.erase(0, 1);
    return text;
}

bool WriteRegString(HKEY root, const std::wstring& key, LPCWSTR name, const std::wstring& value)
{
    HKEY raw = nullptr;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) !=
        ERROR_SUCCESS)
        return false;
    UniqueRegKey k;
    k.Reset(raw);
    return RegSetValueExW(k.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::wstring ReadRegString(HKEY root, const std::wstring& key, LPCWSTR name, REGSAM view)
{
    wchar_t buf[1024] = {};
    DWORD size = sizeof(buf) - sizeof(wchar_t);
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ | (view == KEY_WOW64_64KEY ? RRF_SUBKEY_WOW6464KEY : 0),
                     nullptr, buf, &size) != ERROR_SUCCESS)
        return {};
    return buf;
}

std::wstring KnownFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE))
        return {};
    std::wstring s = path;
    if (!s.empty() && s.back() != L'\\')
        s += L'\\';
    return s;
}

}  // namespace e2e
