// The window base's message handling: custom messages, system commands,
// the maximised size, the window region, icons, Enter and Escape, shared
// fonts across windows and the notification pump.
#include <gtest/gtest.h>

#include "open_window_test.h"
#include "ui_test_support.h"

using namespace DuiLib;
using uitest::TestWindow;

namespace {

constexpr wchar_t kLayout[] =
    L"<Window size='240,120' caption='0,0,0,30' roundcorner='6,6'><Include source='font_test.xml'/>"
    L"<VerticalLayout bkcolor='#FFFFFFFF'><HorizontalLayout height='30'>"
    L"<Button name='maxbtn' width='30'/><Button name='restorebtn' width='30' visible='false'/>"
    L"<Button name='btn_go' width='60'/></HorizontalLayout></VerticalLayout></Window>";

class CustomWindow : public TestWindow {
public:
    CustomWindow() : TestWindow(kLayout) {}
    int customSeen = 0;
    std::vector<WPARAM> defaultKeys;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override
    {
        if (uMsg == WM_USER + 5) {
            ++customSeen;
            bHandled = TRUE;
            return 42;
        }
        if (uMsg == WM_NCLBUTTONDBLCLK) {
            bHandled = TRUE;
            return 0;
        }
        return TestWindow::HandleCustomMessage(uMsg, wParam, lParam, bHandled);
    }
    LRESULT ResponseDefaultKeyEvent(WPARAM wParam) override
    {
        defaultKeys.push_back(wParam);
        return TRUE;
    }
};

class WindowBase : public uitest::OpenWindowTest<CustomWindow> {};

class ForwardingPump : public CNotifyPump {
public:
    ForwardingPump()
    {
        AddNotifyHandler(L"click", L"btn_go", [this](TNotifyUI&) { ++clicks; });
    }
    int clicks = 0;
};

}  // namespace

TEST_F(WindowBase, CustomMessagesGoToTheWindowFirst)
{
    EXPECT_EQ(SendMessageW(hWnd, WM_USER + 5, 0, 0), 42);
    EXPECT_EQ(wnd.customSeen, 1);
    RECT before, after;
    GetWindowRect(hWnd, &before);
    SendMessageW(hWnd, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(before.left + 100, before.top + 10));
    GetWindowRect(hWnd, &after);
    EXPECT_TRUE(EqualRect(&before, &after)) << "a swallowed double-click changes nothing";
}

TEST_F(WindowBase, MaximiseAndRestoreSwapTheirButtons)
{
    SendMessageW(hWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ASSERT_TRUE(IsZoomed(hWnd));
    EXPECT_FALSE(wnd.Find(L"maxbtn")->IsVisible());
    EXPECT_TRUE(wnd.Find(L"restorebtn")->IsVisible());
    RECT rc, work;
    GetWindowRect(hWnd, &rc);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(rc.right - rc.left, work.right - work.left) << "maximised to the work area";
    SendMessageW(hWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsZoomed(hWnd));
    EXPECT_TRUE(wnd.Find(L"maxbtn")->IsVisible());
    EXPECT_FALSE(wnd.Find(L"restorebtn")->IsVisible());
    GetWindowRect(hWnd, &rc);
    EXPECT_EQ(rc.right - rc.left, 240);
}

TEST_F(WindowBase, RoundCornersShapeTheWindow)
{
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    int kind = GetWindowRgn(hWnd, rgn);
    EXPECT_NE(kind, ERROR);
    EXPECT_FALSE(PtInRegion(rgn, 0, 0)) << "the corner is cut";
    EXPECT_TRUE(PtInRegion(rgn, 120, 60));
    EXPECT_TRUE(PtInRegion(rgn, 3, 60));
    DeleteObject(rgn);
}

TEST_F(WindowBase, WindowWithoutSizeBoxKeepsItsSize)
{
    RECT before;
    GetWindowRect(hWnd, &before);
    // Should sizing start anyway, Escape ends it rather than the test.
    uitest::RunLater([this] { PostMessageW(hWnd, WM_KEYDOWN, VK_ESCAPE, 0); }, 500);
    SendMessageW(hWnd, WM_SYSCOMMAND, SC_SIZE, 0);
    uitest::CancelLater();
    RECT after;
    GetWindowRect(hWnd, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    HMENU sys = GetSystemMenu(hWnd, FALSE);
    ASSERT_NE(sys, nullptr);
    EXPECT_TRUE(GetMenuState(sys, SC_SIZE, MF_BYCOMMAND) & MF_GRAYED);
    EnableMenuItem(sys, SC_SIZE, MF_BYCOMMAND | MF_ENABLED);  // as the system does for a sizing frame
    SendMessageW(hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sys), MAKELPARAM(0, TRUE));
    EXPECT_TRUE(GetMenuState(sys, SC_SIZE, MF_BYCOMMAND) & MF_GRAYED) << "greyed again when shown";
    // The program itself still sizes its window (the main window's custom area).
    SetWindowPos(hWnd, nullptr, 0, 0, 240, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(hWnd, &after);
    EXPECT_EQ(after.bottom - after.top, 150);
}

TEST_F(WindowBase, IconsComeFromTheIconGroup)
{
    wnd.SetIcon(103);
    EXPECT_NE(SendMessageW(hWnd, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(hWnd, WM_GETICON, ICON_SMALL, 0), 0);
}

TEST_F(WindowBase, EnterAndEscapeAreAskedAboutButStillReachTheControls)
{
    CControlUI* go = wnd.Find(L"btn_go");
    go->SetFocus();
    PostMessageW(hWnd, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(hWnd, WM_KEYDOWN, 'A', 0);
    uitest::Pump();
    ASSERT_EQ(wnd.defaultKeys.size(), 2u);
    EXPECT_EQ(wnd.defaultKeys[0], static_cast<WPARAM>(VK_RETURN));
    EXPECT_EQ(wnd.defaultKeys[1], static_cast<WPARAM>(VK_ESCAPE));
    EXPECT_EQ(wnd.Count(L"click", L"btn_go"), 1u) << "Enter still pressed the focused button";
    EXPECT_TRUE(IsWindow(hWnd)) << "Escape does not close the window";
}

TEST_F(WindowBase, SharedFontsSurviveASecondWindow)
{
    HFONT first = wnd.PM().GetFont(1);
    {
        TestWindow other{L"test_main.xml"};
        ASSERT_TRUE(other.Open());
        EXPECT_EQ(other.PM().GetFont(1), first) << "the same shared font";
        DestroyWindow(other.GetHWND());
    }
    LOGFONTW lf = {};
    EXPECT_EQ(GetObjectW(wnd.PM().GetFont(1), sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    EXPECT_EQ(lf.lfHeight, -14);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_STREQ(lf.lfFaceName, L"微软雅黑");
}

TEST(NotifyPump, DispatchesByTypeNameAndVirtualWindow)
{
    ForwardingPump own, sub;
    own.AddVirtualWnd(L"sub", &sub);
    CButtonUI button;
    button.SetName(L"BTN_GO");
    TNotifyUI msg;
    msg.sType = L"Click";
    msg.pSender = &button;
    own.NotifyPump(msg);
    EXPECT_EQ(own.clicks, 1) << "type and name compared without regard to case";
    msg.sVirtualWnd = L"SUB";
    own.NotifyPump(msg);
    EXPECT_EQ(sub.clicks, 1);
    EXPECT_EQ(own.clicks, 1);
    msg.sVirtualWnd.clear();
    msg.sType = L"selectchanged";
    own.NotifyPump(msg);
    EXPECT_EQ(own.clicks, 1);
    EXPECT_TRUE(own.RemoveVirtualWnd(L"sub"));
}
