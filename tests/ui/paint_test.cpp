// Pixels of a painted test window, captured from its own drawing: fills,
// rounded corners, PNG cells blended with their alpha, text in its
// rectangle, the progress fill, repaint economy and the drop shadow.
#include <gtest/gtest.h>

#include "ui_test_support.h"

using namespace DuiLib;
using uitest::Capture;
using uitest::Near;
using uitest::TestWindow;

namespace {

class Paint : public testing::Test {
protected:
    void SetUp() override
    {
        uitest::InstallTestSkin();
        ASSERT_TRUE(wnd.Open());
        uitest::Pump();
    }
    void TearDown() override
    {
        if (IsWindow(wnd.GetHWND()))
            DestroyWindow(wnd.GetHWND());
    }
    Capture Shot() { return uitest::CaptureWindow(wnd.GetHWND()); }
    TestWindow wnd{L"test_main.xml"};
};

}  // namespace

TEST_F(Paint, FillsBordersAndRoundedCorners)
{
    Capture cap = Shot();
    ASSERT_EQ(cap.width, 400);
    EXPECT_TRUE(Near(cap.At(200, 5), 0xEEEEEE)) << "caption band colour";
    EXPECT_TRUE(Near(cap.At(15, 70), 0x2D73FF)) << "button background";
    EXPECT_TRUE(Near(cap.At(105, 70), 0xC3C8D5)) << "disabled background";
    EXPECT_TRUE(Near(cap.At(10, 55), 0xFFFFFF, 40)) << "rounded corner mostly unpainted" << std::hex << cap.At(10, 55);
    EXPECT_TRUE(Near(cap.At(50, 55), 0x2D73FF)) << "the straight edge is painted";
    EXPECT_TRUE(Near(cap.At(10, 110), 0xC3C8D5)) << "edit border";
    EXPECT_TRUE(Near(cap.At(50, 195), 0x888888));
    EXPECT_TRUE(Near(cap.At(150, 195), 0xAAAAAA));
    EXPECT_TRUE(Near(cap.At(250, 195), 0xFFFFFF)) << "flexible control's padding";
}

TEST_F(Paint, PictureCellsAreDrawnAtTheirPlaceWithAlpha)
{
    Capture cap = Shot();
    // lab_red: the opaque red cell, described with blanks around "=".
    EXPECT_TRUE(Near(cap.At(61, 211), 0xFF0000));
    EXPECT_TRUE(Near(cap.At(79, 229), 0xFF0000));
    EXPECT_TRUE(Near(cap.At(81, 215), 0x00FF00)) << "nothing beyond the control";
    // lab_cell: the half-transparent blue cell stretched over the green row.
    uint32_t blended = cap.At(30, 230);
    EXPECT_TRUE(Near(blended, 0x007F80, 8)) << std::hex << blended;
    // lab_float: a colour with alpha at its float position.
    EXPECT_TRUE(Near(cap.At(320, 215), 0x807F00, 8)) << std::hex << cap.At(320, 215);
    EXPECT_TRUE(Near(cap.At(345, 215), 0x00FF00));
    // Check box: the unchecked cell in its dest rectangle, then the checked one.
    RECT check = wnd.Find(L"check_agree")->GetPos();
    EXPECT_TRUE(Near(cap.At(check.left + 8, check.top + 8), 0x808080));
    wnd.Find<CCheckBoxUI>(L"check_agree")->SetCheck(true);
    EXPECT_TRUE(Near(Shot().At(check.left + 8, check.top + 8), 0x000000));
    // The same picture without blanks in its description.
    wnd.Find(L"lab_cell")->SetBkImage(L"file='grid_40x20.png' source='0,0,20,20'");
    EXPECT_TRUE(Near(Shot().At(30, 230), 0xFF0000));
}

TEST_F(Paint, TextStaysInItsRectangle)
{
    Capture cap = Shot();
    RECT text = wnd.Find(L"txt_text")->GetPos();
    EXPECT_GT(uitest::CountInk(cap, text, 0x00FF00), 30);
    RECT right = {text.right + 2, text.top, 295, text.bottom};
    EXPECT_EQ(uitest::CountInk(cap, right, 0x00FF00), 0);
    // Text centred: no ink in the left and right margins of the rectangle.
    RECT leftMargin = {text.left, text.top, text.left + 20, text.bottom};
    EXPECT_EQ(uitest::CountInk(cap, leftMargin, 0x00FF00), 0);
    RECT title = wnd.Find(L"lab_title")->GetPos();
    EXPECT_GT(uitest::CountInk(cap, title, 0xEEEEEE), 20);
}

TEST_F(Paint, ProgressFillFollowsTheValue)
{
    auto* bar = wnd.Find<CProgressUI>(L"pro_bar");
    RECT rc = bar->GetPos();  // 150 px wide, value 50 of 100
    Capture cap = Shot();
    EXPECT_TRUE(Near(cap.At(rc.left + 10, rc.top + 3), 0xFF0000));
    EXPECT_TRUE(Near(cap.At(rc.left + 80, rc.top + 3), 0xEAEBED));
    bar->SetValue(100);
    EXPECT_EQ(bar->GetValue(), 100);
    EXPECT_TRUE(Near(Shot().At(rc.right - 2, rc.top + 3), 0xFF0000));
    bar->SetValue(101);
    bar->SetValue(-1);
    EXPECT_EQ(bar->GetValue(), 100) << "values outside min..max are ignored";
}

TEST_F(Paint, EqualBackgroundDescriptionDoesNotRepaint)
{
    HWND hWnd = wnd.GetHWND();
    UpdateWindow(hWnd);
    CControlUI* cell = wnd.Find(L"lab_cell");
    unsigned before = wnd.PM().GetPaintCount();
    cell->SetBkImage(cell->GetBkImage().c_str());
    RECT dirty;
    EXPECT_FALSE(GetUpdateRect(hWnd, &dirty, FALSE));
    UpdateWindow(hWnd);
    EXPECT_EQ(wnd.PM().GetPaintCount(), before);
    cell->SetBkImage(L"file='grid_40x20.png' source='0,0,20,20'");
    EXPECT_TRUE(GetUpdateRect(hWnd, &dirty, FALSE));
    EXPECT_EQ(dirty.left, 10);
    EXPECT_EQ(dirty.top, 210);
    UpdateWindow(hWnd);
    EXPECT_EQ(wnd.PM().GetPaintCount(), before + 1);
}

TEST_F(Paint, ShadowSurroundsAndFollowsTheWindow)
{
    CShadowUI* shadow = wnd.PM().GetShadow();
    ASSERT_NE(shadow, nullptr);
    ASSERT_NE(shadow->GetHWND(), nullptr);
    EXPECT_TRUE(IsWindowVisible(shadow->GetHWND()));
    EXPECT_TRUE(shadow->IsDrawn());
    auto rectOf = [](HWND h) {
        RECT rc;
        GetWindowRect(h, &rc);
        return rc;
    };
    struct Step {
        const char* what;
        int x, y, cx, cy;  // the window's new place
    } steps[] = {
        {"moved", 100, 120, 400, 300},
        {"moved again", 140, 90, 400, 300},
        {"resized", 140, 90, 460, 320},
        {"back to its size", 60, 70, 400, 300},
    };
    for (const Step& s : steps) {
        SetWindowPos(wnd.GetHWND(), nullptr, s.x, s.y, s.cx, s.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        uitest::Pump();
        RECT rc = rectOf(shadow->GetHWND());
        EXPECT_EQ(rc.left, s.x - 12) << s.what;
        EXPECT_EQ(rc.top, s.y - 12) << s.what;
        EXPECT_EQ(rc.right - rc.left, s.cx + 24) << s.what;
        EXPECT_EQ(rc.bottom - rc.top, s.cy + 24) << s.what;
    }
    EXPECT_TRUE(GetWindowLongW(shadow->GetHWND(), GWL_EXSTYLE) & WS_EX_TRANSPARENT) << "clicks go through";
    ShowWindow(wnd.GetHWND(), SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(shadow->GetHWND()));
    SetWindowPos(wnd.GetHWND(), nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(wnd.GetHWND(), SW_SHOWNOACTIVATE);
    uitest::Pump();
    EXPECT_TRUE(IsWindowVisible(shadow->GetHWND())) << "shown again with the window";
    EXPECT_EQ(rectOf(shadow->GetHWND()).left, 18) << "where the window is now";
    HWND shadowWnd = shadow->GetHWND();
    DestroyWindow(wnd.GetHWND());
    EXPECT_FALSE(IsWindow(shadowWnd));
}

TEST(PaintShadow, ShowsOnceTheWindowHasPaintedItself)
{
    uitest::InstallTestSkin();
    TestWindow wnd{L"test_main.xml"};
    ASSERT_TRUE(wnd.Open());
    CShadowUI* shadow = wnd.PM().GetShadow();
    ASSERT_NE(shadow, nullptr);
    ASSERT_TRUE(IsWindowVisible(wnd.GetHWND()));
    SetWindowPos(wnd.GetHWND(), nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_FALSE(shadow->IsDrawn()) << "not before the window's own first picture";
    EXPECT_EQ(shadow->GetHWND(), nullptr) << "nor is its window made";
    UpdateWindow(wnd.GetHWND());
    EXPECT_TRUE(shadow->IsDrawn());
    EXPECT_TRUE(IsWindowVisible(shadow->GetHWND()));
    RECT rc;
    GetWindowRect(shadow->GetHWND(), &rc);
    EXPECT_EQ(rc.left, 38) << "around the window where it is when it painted";
    EXPECT_EQ(rc.top, 48);
    DestroyWindow(wnd.GetHWND());
}

TEST(PaintText, LongChineseTextWrapsInAMultiLineText)
{
    uitest::InstallTestSkin();
    TestWindow wnd{
        L"<Window size='200,100'><Include source='font_test.xml'/><VerticalLayout bkcolor='#FFFFFFFF'>"
        L"<Text name='txt_wrap' width='100' height='80' align='left-top-multiline' textcolor='#FF000000'"
        L" text='这是一段很长的中文文字需要换行显示' /></VerticalLayout></Window>"};
    ASSERT_TRUE(wnd.Open());
    Capture cap = uitest::CaptureWindow(wnd.GetHWND());
    RECT rc = wnd.Find(L"txt_wrap")->GetPos();
    int lineHeight = wnd.PM().GetFontInfo(-1)->tm.tmHeight;
    ASSERT_GT(lineHeight, 10);
    RECT first = {rc.left, rc.top, rc.right, rc.top + lineHeight};
    RECT second = {rc.left, rc.top + lineHeight, rc.right, rc.top + 2 * lineHeight};
    RECT beyond = {rc.right, rc.top, 200, rc.bottom};
    EXPECT_GT(uitest::CountInk(cap, first, 0xFFFFFF), 20);
    EXPECT_GT(uitest::CountInk(cap, second, 0xFFFFFF), 20) << "the text goes on in a second line";
    EXPECT_EQ(uitest::CountInk(cap, beyond, 0xFFFFFF), 0);
    SIZE one = CRenderEngine::GetTextSize(wnd.PM().GetPaintDC(), &wnd.PM(), L"这是一段很长的中文文字需要换行显示", -1, 0);
    EXPECT_GT(one.cx, 150) << "measured as one line";
    EXPECT_EQ(one.cy, lineHeight);
    DestroyWindow(wnd.GetHWND());
}

TEST(PaintRound, RoundedCornersAndBordersAreAntiAliased)
{
    uitest::InstallTestSkin();
    TestWindow wnd{
        L"<Window size='100,60'><Include source='font_test.xml'/><VerticalLayout bkcolor='#FFFFFFFF'>"
        L"<Control name='ctl_round' width='80' height='40' padding='10,10,0,0' bkcolor='#FF0000FF'"
        L" bordersize='2' bordercolor='#FFFF0000' borderround='20,20' /></VerticalLayout></Window>"};
    ASSERT_TRUE(wnd.Open());
    Capture cap = uitest::CaptureWindow(wnd.GetHWND());
    RECT rc = wnd.Find(L"ctl_round")->GetPos();
    EXPECT_TRUE(Near(cap.At(rc.left, rc.top), 0xFFFFFF)) << "outside the curve";
    EXPECT_TRUE(Near(cap.At(rc.left + 40, rc.top), 0xFF0000)) << "straight border";
    EXPECT_TRUE(Near(cap.At(rc.left + 40, rc.top + 20), 0x0000FF)) << "fill";
    // Along the curve, pixels take part of the border's colour: neither the
    // background nor the full border, in more than a few places.
    int partial = 0;
    for (int y = rc.top; y < rc.top + 10; ++y)
        for (int x = rc.left; x < rc.left + 10; ++x) {
            uint32_t px = cap.At(x, y);
            if (!Near(px, 0xFFFFFF, 30) && !Near(px, 0xFF0000, 30) && !Near(px, 0x0000FF, 30))
                ++partial;
        }
    EXPECT_GE(partial, 8);
    DestroyWindow(wnd.GetHWND());
}
