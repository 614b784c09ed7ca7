// Building windows from layouts of the test package: window attributes,
// every control tag, attributes, class defaults, layout and tab pages.
#include <gtest/gtest.h>

#include "ui/attr_parse.h"
#include "ui_test_support.h"

using namespace DuiLib;
using uitest::TestWindow;

namespace {

class Builder : public testing::Test {
protected:
    void SetUp() override
    {
        uitest::InstallTestSkin();
        ASSERT_TRUE(wnd.Open());
        wnd.PM().UpdateLayout();
    }
    void TearDown() override
    {
        if (IsWindow(wnd.GetHWND()))
            DestroyWindow(wnd.GetHWND());
    }
    RECT Pos(LPCWSTR name)
    {
        CControlUI* c = wnd.Find(name);
        return c ? c->GetPos() : RECT{-1, -1, -1, -1};
    }
    TestWindow wnd{L"test_main.xml"};
};

void ExpectRect(const RECT& rc, LONG l, LONG t, LONG r, LONG b)
{
    EXPECT_EQ(rc.left, l);
    EXPECT_EQ(rc.top, t);
    EXPECT_EQ(rc.right, r);
    EXPECT_EQ(rc.bottom, b);
}

}  // namespace

TEST_F(Builder, RootElementSetsTheWindow)
{
    RECT rc;
    GetWindowRect(wnd.GetHWND(), &rc);
    EXPECT_EQ(rc.right - rc.left, 400);
    EXPECT_EQ(rc.bottom - rc.top, 300);
    GetClientRect(wnd.GetHWND(), &rc);
    EXPECT_EQ(rc.right, 400) << "the whole window is client area";
    RECT caption = wnd.PM().GetCaptionRect();
    EXPECT_EQ(caption.bottom, 40);
    LONG style = GetWindowLongW(wnd.GetHWND(), GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, 0);
    EXPECT_EQ(style & (WS_CLIPCHILDREN | WS_CLIPSIBLINGS), WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
    EXPECT_EQ(wnd.GetStyle() & WS_CAPTION, 0);
    EXPECT_EQ(wnd.PM().GetDefaultFontColor(), 0xFF333333u);
    ASSERT_NE(wnd.PM().GetShadow(), nullptr);
    EXPECT_TRUE(wnd.PM().GetShadow()->IsShowShadow());
    EXPECT_EQ(wnd.initCount, 1);
}

TEST_F(Builder, EveryTagBuildsItsControl)
{
    struct { LPCWSTR name; LPCWSTR cls; } expected[] = {
        {L"vLayout_root", L"VerticalLayoutUI"}, {L"hor_caption", L"HorizontalLayoutUI"},
        {L"lab_title", L"LabelUI"},             {L"btn_caption", L"ButtonUI"},
        {L"check_agree", L"CheckBoxUI"},        {L"opt_a", L"OptionUI"},
        {L"edit_path", L"EditUI"},              {L"pro_bar", L"ProgressUI"},
        {L"tab_pages", L"TabLayoutUI"},         {L"txt_text", L"TextUI"},
        {L"ctl_fixed", L"ControlUI"},
    };
    for (const auto& e : expected) {
        CControlUI* c = wnd.Find(e.name);
        ASSERT_NE(c, nullptr) << "missing " << testing::PrintToString(std::wstring(e.name));
        EXPECT_STREQ(c->GetClass(), e.cls);
        EXPECT_EQ(c->GetName(), e.name);
    }
    EXPECT_EQ(wnd.Find(L"no_such_control"), nullptr);
    EXPECT_NE(wnd.Find(L"hor_buttons")->GetInterface(L"Container"), nullptr);
}

TEST_F(Builder, AttributesReachTheControls)
{
    auto* ok = wnd.Find<CButtonUI>(L"btn_ok");
    EXPECT_EQ(ok->GetText(), L"确定");
    EXPECT_EQ(ok->GetBkColor(), 0xFF2D73FFu);
    EXPECT_EQ(ok->GetBorderRound().cx, 5);
    EXPECT_EQ(ok->GetTextColor(), 0xFFFFFFFFu);
    EXPECT_FALSE(wnd.Find(L"btn_disabled")->IsEnabled());
    EXPECT_FALSE(wnd.Find(L"lab_hidden")->IsVisible());
    EXPECT_TRUE(wnd.Find<COptionUI>(L"opt_a")->IsSelected());
    EXPECT_FALSE(wnd.Find<COptionUI>(L"opt_b")->IsSelected());
    EXPECT_FALSE(wnd.Find<CCheckBoxUI>(L"check_agree")->GetCheck());
    auto* bar = wnd.Find<CProgressUI>(L"pro_bar");
    EXPECT_EQ(bar->GetMinValue(), 0);
    EXPECT_EQ(bar->GetMaxValue(), 100);
    EXPECT_EQ(bar->GetValue(), 50);
    EXPECT_EQ(wnd.Find<CLabelUI>(L"lab_title")->GetFont(), 1);
    EXPECT_EQ(wnd.Find<CLabelUI>(L"txt_text")->GetTextStyle() & (DT_CENTER | DT_VCENTER),
              static_cast<UINT>(DT_CENTER | DT_VCENTER));
    EXPECT_EQ(wnd.Find<CEditUI>(L"edit_path")->GetText(), L"C:\\abc");
    EXPECT_EQ(wnd.Find(L"btn_caption")->GetToolTip(), L"关闭");
    EXPECT_EQ(wnd.Find(L"check_agree")->GetPadding().left, 10);
    EXPECT_EQ(wnd.Find<CLabelUI>(L"check_agree")->GetTextPadding().left, 20);
    // A class default applies unless the element sets the attribute itself.
    EXPECT_EQ(wnd.Find<CLabelUI>(L"lab_page0")->GetTextColor(), 0xFF101010u);
    EXPECT_EQ(wnd.Find<CLabelUI>(L"lab_title")->GetTextColor(), 0xFF000000u);
    // Fonts of the included font table: size in pixels, bold.
    const TFontInfo* font = wnd.PM().GetFontInfo(1);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->iSize, 14);
    EXPECT_TRUE(font->bBold);
    EXPECT_EQ(wnd.PM().GetFontInfo(99), wnd.PM().GetFontInfo(-1)) << "unknown ids use the default";
    EXPECT_EQ(wnd.PM().GetFontInfo(-1)->iSize, 12);
}

TEST_F(Builder, LayoutPlacesFixedFlexibleHiddenAndFloatingControls)
{
    ExpectRect(Pos(L"hor_caption"), 0, 0, 400, 40);
    ExpectRect(Pos(L"btn_caption"), 370, 10, 390, 30);  // after a flexible spacer
    ExpectRect(Pos(L"btn_ok"), 10, 55, 90, 85);
    ExpectRect(Pos(L"btn_disabled"), 100, 55, 180, 85);  // the hidden label takes no room
    ExpectRect(Pos(L"ctl_fixed"), 0, 190, 100, 200);
    ExpectRect(Pos(L"ctl_flex1"), 100, 190, 245, 200);
    ExpectRect(Pos(L"ctl_flex2"), 255, 190, 400, 200);
    ExpectRect(Pos(L"lab_float"), 300, 205, 340, 225);
    ExpectRect(Pos(L"pro_bar"), 220, 117, 370, 123);

    // Hiding a control gives its room to the next ones; padding moves them.
    wnd.Find(L"btn_ok")->SetVisible(false);
    wnd.PM().UpdateLayout();
    EXPECT_EQ(Pos(L"btn_disabled").left, 10);
    wnd.Find(L"btn_ok")->SetVisible(true);
    wnd.Find(L"btn_ok")->SetPadding(RECT{30, 15, 0, 0});
    wnd.PM().UpdateLayout();
    EXPECT_EQ(Pos(L"btn_ok").left, 30);
    EXPECT_EQ(Pos(L"btn_disabled").left, 120);
    wnd.Find(L"hor_flex")->SetFixedHeight(20);
    wnd.PM().UpdateLayout();
    EXPECT_EQ(Pos(L"ctl_fixed").bottom, 210);
    EXPECT_EQ(Pos(L"lab_float").top, 215);
}

TEST_F(Builder, TabLayoutShowsOnePage)
{
    auto* tab = wnd.Find<CTabLayoutUI>(L"tab_pages");
    EXPECT_EQ(tab->GetCurSel(), 0);
    EXPECT_TRUE(wnd.Find(L"lab_page0")->IsVisible());
    EXPECT_FALSE(wnd.Find(L"lab_page1")->IsVisible());
    EXPECT_TRUE(tab->SelectItem(1));
    wnd.PM().UpdateLayout();
    EXPECT_EQ(tab->GetCurSel(), 1);
    EXPECT_FALSE(wnd.Find(L"page0")->IsVisible());
    EXPECT_TRUE(wnd.Find(L"lab_page1")->IsVisible());
    ExpectRect(Pos(L"page1"), 0, 140, 400, 190);
    EXPECT_FALSE(tab->SelectItem(2));
    EXPECT_FALSE(tab->SelectItem(-1));
    EXPECT_EQ(tab->GetCurSel(), 1);
    EXPECT_EQ(wnd.Count(L"tabselect", L"tab_pages"), 1u);
    // A point on the hidden page finds the shown one.
    POINT pt = {20, 150};
    EXPECT_EQ(wnd.PM().FindControl(pt), wnd.Find(L"lab_page1"));
}

TEST_F(Builder, RuntimeSettersChangeWhatIsShown)
{
    CControlUI* title = wnd.Find(L"lab_title");
    title->SetText(L"安装Vistral3.0");
    EXPECT_EQ(title->GetText(), L"安装Vistral3.0");
    title->SetEnabled(false);
    EXPECT_FALSE(title->IsEnabled());
    auto* edit = wnd.Find<CEditUI>(L"edit_path");
    edit->SetText(L"D:\\Games\\kxVistral3\\");
    EXPECT_EQ(edit->GetText(), L"D:\\Games\\kxVistral3\\");
}

TEST(BuilderInput, MalformedLayoutsBuildNothing)
{
    uitest::InstallTestSkin();
    CPaintManagerUI pm;
    CDialogBuilder builder;
    EXPECT_EQ(builder.Create(L"no_such_layout.xml", nullptr, nullptr, &pm), nullptr);
    EXPECT_EQ(builder.Create(L"<Window><VerticalLayout></Window>", nullptr, nullptr, &pm), nullptr);
    EXPECT_EQ(builder.Create(L"<Window size='10,10'/>", nullptr, nullptr, &pm), nullptr);
    // A layout given as text, pulling in the font table.
    CControlUI* built = builder.Create(L"<Window><Include source='font_test.xml'/><Label name='x'/></Window>",
                                       nullptr, nullptr, &pm);
    ASSERT_NE(built, nullptr);
    EXPECT_STREQ(built->GetClass(), L"LabelUI");
    delete built;
}
