#pragma once
// Shared helpers of the framework tests: the test skin package (embedded as
// ZIPRES 102), a skinned test window that records its notifications, a
// message pump, mouse input, and a capture of the window's own drawing.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/ui_lib.h"

namespace uitest {

// Hands the embedded test package to the framework, as the installer does.
void InstallTestSkin();

struct Note {
    std::wstring type;
    std::wstring sender;
};

class TestWindow : public DuiLib::WindowImplBase {
public:
    explicit TestWindow(std::wstring skin, bool knowsAniLabel = false)
        : m_skin(std::move(skin)), m_knowsAniLabel(knowsAniLabel)
    {
    }
    std::vector<Note> notes;
    int initCount = 0;

    // Creates the window with the installer's style; true when it exists.
    bool Open(HWND owner = nullptr);
    template <class T = DuiLib::CControlUI>
    T* Find(LPCWSTR name)
    {
        return static_cast<T*>(m_pm.FindControl(name));
    }
    size_t Count(LPCWSTR type, LPCWSTR sender) const;
    DuiLib::CPaintManagerUI& PM() { return m_pm; }

    LPCWSTR GetWindowClassName() const override { return L"KxUiTestWnd"; }
    std::wstring GetSkinFile() override { return m_skin; }
    void InitWindow() override { ++initCount; }
    void Notify(DuiLib::TNotifyUI& msg) override;
    DuiLib::CControlUI* CreateControl(LPCWSTR pstrClass) override;

private:
    std::wstring m_skin;
    bool m_knowsAniLabel;
};

// Runs an action after ms milliseconds from the thread's own message loop
// (a modal loop included), through a thread timer. One action at a time.
void RunLater(std::function<void()> action, UINT ms);
// Drops an action that has not run yet.
void CancelLater();

// Dispatches queued messages (through the framework) for a while.
void Pump(DWORD milliseconds = 50);

// Mouse input as Windows delivers it, in client coordinates.
void MouseMove(HWND hWnd, int x, int y);
void MouseDown(HWND hWnd, int x, int y);
void MouseUp(HWND hWnd, int x, int y);
void Click(HWND hWnd, int x, int y);
POINT Center(const DuiLib::CControlUI* control);

// The window's drawing, captured through WM_PRINTCLIENT.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF; }
};
Capture CaptureWindow(HWND hWnd);
// The same with the native child windows (the edit field while typing)
// drawn over it at their places, as the screen shows them.
Capture CaptureWithChildren(HWND hWnd);
// True when the two colours differ by at most tolerance per channel.
bool Near(uint32_t a, uint32_t b, int tolerance = 6);
// Counts pixels in rc whose colour is far from the given background.
int CountInk(const Capture& cap, const RECT& rc, uint32_t background);

}  // namespace uitest
