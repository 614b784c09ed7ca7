#pragma once
// The fixture of the framework tests that work on one open test window.
#include <gtest/gtest.h>

#include <utility>

#include "ui_test_support.h"

namespace uitest {

// A test of one open window of the test skin, in the foreground, with the
// notifications of its opening dropped; destroyed after the test.
template <class Window>
class OpenWindowTest : public testing::Test {
protected:
    template <class... Args>
    explicit OpenWindowTest(Args&&... args) : wnd(std::forward<Args>(args)...)
    {
    }
    void SetUp() override
    {
        InstallTestSkin();
        ASSERT_TRUE(wnd.Open());
        hWnd = wnd.GetHWND();
        SetForegroundWindow(hWnd);
        Pump();
        wnd.notes.clear();
    }
    void TearDown() override
    {
        if (IsWindow(hWnd))
            DestroyWindow(hWnd);
    }
    Window wnd;
    HWND hWnd = nullptr;
};

}  // namespace uitest
