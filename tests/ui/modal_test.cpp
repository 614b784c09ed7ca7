// Modal runs: the result of Close, the owner's state during and after the
// run, WM_QUIT ending the run and the outer loop, the default "closebtn".
#include <gtest/gtest.h>

#include <functional>

#include "ui_test_support.h"

using namespace DuiLib;
using uitest::TestWindow;

namespace {

void Later(std::function<void()> action)
{
    uitest::RunLater(std::move(action), 30);
}

constexpr wchar_t kSmallLayout[] =
    L"<Window size='160,80' caption='0,0,0,20'><VerticalLayout bkcolor='#FFFFFFFF'>"
    L"<Button name='closebtn' height='20' text='x' /><Button name='btn_other' height='20' />"
    L"</VerticalLayout></Window>";

class Modal : public testing::Test {
protected:
    void SetUp() override
    {
        uitest::InstallTestSkin();
        ASSERT_TRUE(owner.Open());
        SetForegroundWindow(owner.GetHWND());
        uitest::Pump();
    }
    void TearDown() override
    {
        if (IsWindow(owner.GetHWND()))
            DestroyWindow(owner.GetHWND());
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    TestWindow owner{L"test_main.xml"};
};

}  // namespace

TEST_F(Modal, CloseResultComesBackAndTheOwnerIsEnabledAndFocused)
{
    TestWindow dialog{kSmallLayout};
    ASSERT_NE(dialog.Create(owner.GetHWND(), L"", 0x10CE0000, 0, 0, 0, 0, 0), nullptr);
    dialog.CenterWindow();
    BOOL ownerEnabledDuringRun = TRUE;
    Later([&] {
        ownerEnabledDuringRun = IsWindowEnabled(owner.GetHWND());
        dialog.Close(7);
    });
    UINT result = dialog.ShowModal();
    EXPECT_EQ(result, 7u);
    EXPECT_FALSE(ownerEnabledDuringRun);
    EXPECT_FALSE(IsWindow(dialog.GetHWND()));
    EXPECT_TRUE(IsWindowEnabled(owner.GetHWND()));
    EXPECT_EQ(GetFocus(), owner.GetHWND());
}

TEST_F(Modal, CloseButtonByDefaultClosesWithOne)
{
    TestWindow dialog{kSmallLayout};
    ASSERT_NE(dialog.Create(owner.GetHWND(), L"", 0x10CE0000, 0, 0, 0, 0, 0), nullptr);
    Later([&] {
        POINT c = uitest::Center(dialog.Find(L"closebtn"));
        uitest::Click(dialog.GetHWND(), c.x, c.y);
    });
    EXPECT_EQ(dialog.ShowModal(), 1u);
    EXPECT_EQ(dialog.Count(L"click", L"closebtn"), 1u);
}

TEST_F(Modal, QuitEndsTheRunAndThenTheOuterLoop)
{
    TestWindow dialog{kSmallLayout};
    ASSERT_NE(dialog.Create(owner.GetHWND(), L"", 0x10CE0000, 0, 0, 0, 0, 0), nullptr);
    Later([] { PostQuitMessage(3); });
    EXPECT_EQ(dialog.ShowModal(), 0u) << "never closed by WM_CLOSE";
    EXPECT_TRUE(IsWindowEnabled(owner.GetHWND()));
    EXPECT_TRUE(IsWindow(dialog.GetHWND()));
    // The quit was posted again: the application loop ends at once.
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    CPaintManagerUI::MessageLoop();
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    DestroyWindow(dialog.GetHWND());
}

TEST_F(Modal, CenteredOverTheOwnerInsideTheWorkArea)
{
    SetWindowPos(owner.GetHWND(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    TestWindow dialog{kSmallLayout};
    ASSERT_NE(dialog.Create(owner.GetHWND(), L"", 0x10CE0000, 0, 0, 0, 0, 0), nullptr);
    dialog.CenterWindow();
    RECT o, d;
    GetWindowRect(owner.GetHWND(), &o);
    GetWindowRect(dialog.GetHWND(), &d);
    EXPECT_NEAR((d.left + d.right) / 2, (o.left + o.right) / 2, 1);
    EXPECT_NEAR((d.top + d.bottom) / 2, (o.top + o.bottom) / 2, 1);
    // An owner near the screen's corner: the window stays on the work area.
    SetWindowPos(owner.GetHWND(), nullptr, -300, -250, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dialog.CenterWindow();
    GetWindowRect(dialog.GetHWND(), &d);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_GE(d.left, work.left);
    EXPECT_GE(d.top, work.top);
    DestroyWindow(dialog.GetHWND());
}
