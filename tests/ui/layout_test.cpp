// Layout rules beyond the test layout (inset, child padding, limits,
// rounding), controls added and removed at run time, control timers,
// posted notifications and the edit field's keys and limits.
#include <gtest/gtest.h>

#include "ui_test_support.h"

using namespace DuiLib;
using uitest::TestWindow;

namespace {

constexpr wchar_t kLayout[] =
    L"<Window size='300,200'><Include source='font_test.xml'/>"
    L"<VerticalLayout name='root' inset='10,10,10,10' childpadding='5' bkcolor='#FFFFFFFF'>"
    L"<Control name='a' height='20'/>"
    L"<Control name='b' maxheight='30'/>"
    L"<Control name='c'/>"
    L"<HorizontalLayout name='row' height='30' childpadding='4'>"
    L"<Control name='h1'/><Control name='h2' minwidth='150'/><Control name='h3'/></HorizontalLayout>"
    L"<HorizontalLayout name='edits' height='30'>"
    L"<Edit name='e1' width='100'/><Edit name='e2' width='100'/></HorizontalLayout>"
    L"</VerticalLayout></Window>";

class Layout : public testing::Test {
protected:
    void SetUp() override
    {
        uitest::InstallTestSkin();
        ASSERT_TRUE(wnd.Open());
        SetForegroundWindow(wnd.GetHWND());
        wnd.PM().UpdateLayout();
    }
    void TearDown() override
    {
        if (IsWindow(wnd.GetHWND()))
            DestroyWindow(wnd.GetHWND());
    }
    RECT Pos(LPCWSTR name) { return wnd.Find(name)->GetPos(); }
    TestWindow wnd{kLayout};
};

}  // namespace

TEST_F(Layout, InsetChildPaddingAndLimits)
{
    // 180 inner pixels: a 20, row 30, edits 30, four gaps of 5: 80 left for b and c.
    RECT a = Pos(L"a"), b = Pos(L"b"), c = Pos(L"c");
    EXPECT_EQ(a.left, 10);
    EXPECT_EQ(a.top, 10);
    EXPECT_EQ(a.right, 290);
    EXPECT_EQ(b.top, 35);
    EXPECT_EQ(b.bottom - b.top, 30) << "capped by maxheight";
    EXPECT_EQ(c.top, 70);
    EXPECT_EQ(c.bottom - c.top, 50) << "c takes what b's limit leaves";
    EXPECT_EQ(Pos(L"edits").bottom, 190) << "the column is filled exactly";
    // 280 wide, two gaps of 4: h2 keeps its minimum, h1 and h3 share the rest.
    RECT h1 = Pos(L"h1"), h2 = Pos(L"h2"), h3 = Pos(L"h3");
    EXPECT_EQ(h2.right - h2.left, 150);
    EXPECT_EQ(h1.right - h1.left, 61);
    EXPECT_EQ(h3.right, 290) << "the row does not overflow";
    EXPECT_EQ(h2.left, h1.right + 4);
    EXPECT_EQ(h3.left, h2.right + 4);
}

TEST_F(Layout, ControlsAddedAndRemovedAtRunTime)
{
    auto* row = wnd.Find<CHorizontalLayoutUI>(L"row");
    auto* extra = new CButtonUI;
    extra->SetName(L"btn_extra");
    extra->SetFixedWidth(20);
    ASSERT_TRUE(row->Add(extra));
    EXPECT_EQ(wnd.Find(L"btn_extra"), extra);
    EXPECT_EQ(wnd.PM().FindSubControlByName(row, L"btn_extra"), extra);
    EXPECT_EQ(wnd.PM().FindSubControlByName(wnd.Find(L"edits"), L"btn_extra"), nullptr);
    wnd.PM().UpdateLayout();
    EXPECT_EQ(Pos(L"btn_extra").right, 290);
    POINT c = uitest::Center(extra);
    uitest::Click(wnd.GetHWND(), c.x, c.y);
    EXPECT_EQ(wnd.Count(L"click", L"btn_extra"), 1u);
    ASSERT_TRUE(row->Remove(extra));
    EXPECT_EQ(wnd.Find(L"btn_extra"), nullptr);
    EXPECT_EQ(wnd.PM().GetHoverControl(), nullptr) << "no pointer to the removed control is kept";
    uitest::MouseMove(wnd.GetHWND(), c.x, c.y);
}

TEST_F(Layout, TimersAndPostedNotifications)
{
    CControlUI* a = wnd.Find(L"a");
    ASSERT_TRUE(wnd.PM().SetTimer(a, 7, 10));
    uitest::Pump(120);
    EXPECT_GE(wnd.Count(L"timer", L"a"), 1u);
    EXPECT_TRUE(wnd.PM().KillTimer(a, 7));
    size_t ticks = wnd.Count(L"timer", L"a");
    uitest::Pump(60);
    EXPECT_EQ(wnd.Count(L"timer", L"a"), ticks);

    wnd.PM().SendNotify(a, L"custom", 0, 0, true);
    EXPECT_EQ(wnd.Count(L"custom", L"a"), 0u) << "posted, not sent";
    uitest::Pump();
    EXPECT_EQ(wnd.Count(L"custom", L"a"), 1u);
}

TEST_F(Layout, EditKeysAndLimits)
{
    auto* e1 = wnd.Find<CEditUI>(L"e1");
    auto* e2 = wnd.Find<CEditUI>(L"e2");
    e1->SetMaxChar(4);
    e1->SetText(L"abcdefgh");
    EXPECT_EQ(e1->GetText(), L"abcd");
    e1->SetFocus();
    HWND native = e1->GetNativeWindow();
    ASSERT_NE(native, nullptr);
    SendMessageW(native, WM_CHAR, L'z', 1);
    EXPECT_EQ(e1->GetText(), L"abcd") << "the limit holds while typing";
    SendMessageW(native, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(wnd.Count(L"return", L"e1"), 1u);
    SendMessageW(native, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(wnd.PM().GetFocus(), e2) << "Tab moves on from the edit field";
    uitest::Pump();
    EXPECT_EQ(e1->GetNativeWindow(), nullptr);
    EXPECT_NE(e2->GetNativeWindow(), nullptr);
    e2->SetReadOnly(true);
    SendMessageW(e2->GetNativeWindow(), WM_CHAR, L'q', 1);
    EXPECT_EQ(e2->GetText(), L"");
    e2->SetEnabled(false);
    EXPECT_EQ(e2->GetNativeWindow(), nullptr);
}
