// What a screen reader and a keyboard user meet in any skinned window: the
// tree read through Active Accessibility (visible controls only, with role,
// name, state, value and place), the default action doing what a click
// does, the WinEvents that make a reader speak, and Enter going to the
// window's default button from a check box.
#include <gtest/gtest.h>

#include "open_window_test.h"
#include "tests/ui/accessible_reader.h"
#include "ui_test_support.h"

using namespace DuiLib;
using uitest::TestWindow;

namespace {

class Accessibility : public uitest::OpenWindowTest<TestWindow> {
protected:
    Accessibility() : OpenWindowTest(L"test_main.xml") {}
    void Key(UINT vk) { SendMessageW(hWnd, WM_KEYDOWN, vk, 0); }
};

struct Expected {
    const wchar_t* name;     // as read
    const wchar_t* control;  // the layout's control it stands for
    long role;
    long state;              // exactly these of the states below
    const wchar_t* value;
};

constexpr long kStates = STATE_SYSTEM_FOCUSED | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_CHECKED |
                         STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_DEFAULT;
constexpr long kFocusable = STATE_SYSTEM_FOCUSABLE;

}  // namespace

TEST_F(Accessibility, TreeHoldsTheVisibleControlsAsTheLayoutPlacesThem)
{
    wnd.Find(L"btn_ok")->SetFocus();
    wnd.PM().SetDefaultButton(wnd.Find(L"btn_ok"));
    acc::Tree tree;
    acc::Read(hWnd, tree);
    ASSERT_TRUE(tree.ok);
    EXPECT_EQ(tree.role, ROLE_SYSTEM_CLIENT);
    // In layout order; the hidden label and the hidden page are not there,
    // nor are labels without text (pictures) or layouts.
    const Expected want[] = {
        {L"标题", L"lab_title", ROLE_SYSTEM_STATICTEXT, 0, L""},
        {L"关闭", L"btn_caption", ROLE_SYSTEM_PUSHBUTTON, kFocusable, L""},  // its tooltip
        {L"确定", L"btn_ok", ROLE_SYSTEM_PUSHBUTTON,
         kFocusable | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_DEFAULT, L""},
        {L"不可用", L"btn_disabled", ROLE_SYSTEM_PUSHBUTTON, STATE_SYSTEM_UNAVAILABLE, L""},
        {L"同意", L"check_agree", ROLE_SYSTEM_CHECKBUTTON, kFocusable, L""},
        {L"A", L"opt_a", ROLE_SYSTEM_CHECKBUTTON, kFocusable | STATE_SYSTEM_CHECKED, L""},
        {L"B", L"opt_b", ROLE_SYSTEM_CHECKBUTTON, kFocusable, L""},
        {L"", L"edit_path", ROLE_SYSTEM_TEXT, kFocusable, L"C:\\abc"},
        {L"", L"pro_bar", ROLE_SYSTEM_PROGRESSBAR, kFocusable, L"50%"},
        {L"页面0", L"lab_page0", ROLE_SYSTEM_STATICTEXT, 0, L""},
        {L"文字", L"txt_text", ROLE_SYSTEM_STATICTEXT, 0, L""},
    };
    ASSERT_EQ(tree.children.size(), std::size(want)) << testing::PrintToString(acc::Describe(hWnd, tree));
    for (size_t i = 0; i < std::size(want); ++i) {
        const acc::Node& n = tree.children[i];
        const Expected& e = want[i];
        SCOPED_TRACE(testing::Message() << "child " << i + 1);
        EXPECT_EQ(n.name, e.name);
        EXPECT_EQ(n.role, e.role);
        EXPECT_EQ(n.state & kStates, e.state);
        EXPECT_EQ(n.value, e.value);
        RECT place = acc::ClientRect(hWnd, n), layout = wnd.Find(e.control)->GetPos();
        EXPECT_TRUE(EqualRect(&place, &layout)) << place.left << "," << place.top << " "
                                                << place.right << "," << place.bottom;
    }

    // Another page: its text comes, the old page's goes.
    wnd.Find<CTabLayoutUI>(L"tab_pages")->SelectItem(1);
    acc::Tree after;
    acc::Read(hWnd, after);
    EXPECT_NE(after.Find(L"页面1"), nullptr);
    EXPECT_EQ(after.Find(L"页面0"), nullptr);
}

TEST_F(Accessibility, DefaultActionDoesWhatAClickDoes)
{
    acc::Tree tree;
    acc::Read(hWnd, tree);
    ASSERT_TRUE(tree.ok);
    auto run = [&](const wchar_t* name) {
        const acc::Node* n = tree.Find(name);
        ASSERT_NE(n, nullptr) << testing::PrintToString(std::wstring(name));
        acc::DoDefault(*n);
        uitest::Pump();
    };
    run(L"同意");
    EXPECT_TRUE(wnd.Find<CCheckBoxUI>(L"check_agree")->IsSelected());
    EXPECT_EQ(wnd.Count(L"selectchanged", L"check_agree"), 1u);
    EXPECT_EQ(wnd.PM().GetFocus(), wnd.Find(L"check_agree")) << "a click focuses too";
    run(L"确定");
    EXPECT_EQ(wnd.Count(L"click", L"btn_ok"), 1u);
    run(L"不可用");
    EXPECT_EQ(wnd.Count(L"click", L"btn_disabled"), 0u) << "a disabled button does nothing";

    // An object held after its window is gone answers, but as disconnected.
    const acc::Node* ok = tree.Find(L"确定");
    ASSERT_NE(ok, nullptr);
    DestroyWindow(hWnd);
    BSTR name = nullptr;
    EXPECT_EQ(ok->object->get_accName(ok->child, &name), CO_E_OBJNOTCONNECTED);
}

TEST_F(Accessibility, WinEventsForFocusTickPageAndEachWholePercent)
{
    acc::EventLog log(hWnd);
    auto idOf = [&](const wchar_t* name) {
        acc::Tree tree;
        acc::Read(hWnd, tree);
        for (size_t i = 0; i < tree.children.size(); ++i)
            if (tree.children[i].name == name)
                return static_cast<LONG>(i + 1);
        return LONG(-2);
    };
    wnd.Find(L"btn_ok")->SetFocus();
    Key(VK_TAB);  // on to the next stop: the check box (the button between is disabled)
    wnd.Find<CCheckBoxUI>(L"check_agree")->SetCheck(true);
    auto* bar = wnd.Find<CProgressUI>(L"pro_bar");
    bar->SetMaxValue(1000);
    for (int v = 501; v <= 510; ++v)  // 50% nine times, then 51%
        bar->SetValue(v);
    wnd.Find<CTabLayoutUI>(L"tab_pages")->SelectItem(1);
    uitest::Pump(100);

    EXPECT_EQ(log.Count(EVENT_OBJECT_FOCUS, idOf(L"确定")), 1u);
    EXPECT_EQ(log.Count(EVENT_OBJECT_FOCUS, idOf(L"同意")), 1u) << "Tab moved the focus on";
    EXPECT_EQ(log.Count(EVENT_OBJECT_STATECHANGE, idOf(L"同意")), 1u);
    EXPECT_EQ(log.Count(EVENT_OBJECT_VALUECHANGE), 2u) << "once for 50%, once for 51%";
    EXPECT_EQ(log.Count(EVENT_OBJECT_REORDER, CHILDID_SELF), 1u) << "the page changed";
}

TEST_F(Accessibility, EnterPressesTheDefaultButtonUnlessAButtonHasTheFocus)
{
    auto* check = wnd.Find<CCheckBoxUI>(L"check_agree");
    // Without a default button, Enter on a check box ticks it, as before.
    check->SetFocus();
    Key(VK_RETURN);
    EXPECT_TRUE(check->IsSelected());
    EXPECT_EQ(wnd.Count(L"click", L"btn_ok"), 0u);

    wnd.PM().SetDefaultButton(wnd.Find(L"btn_ok"));
    Key(VK_SPACE);
    EXPECT_FALSE(check->IsSelected()) << "Space still ticks the box";
    Key(VK_RETURN);
    EXPECT_FALSE(check->IsSelected()) << "Enter goes to the default button";
    EXPECT_EQ(wnd.Count(L"click", L"btn_ok"), 1u);
    // A focused push button takes Enter itself.
    wnd.Find(L"btn_caption")->SetFocus();
    Key(VK_RETURN);
    EXPECT_EQ(wnd.Count(L"click", L"btn_caption"), 1u);
    EXPECT_EQ(wnd.Count(L"click", L"btn_ok"), 1u);
    // Enter in a text field presses it too, once the key is done.
    auto* edit = wnd.Find<CEditUI>(L"edit_path");
    POINT c = uitest::Center(edit);
    uitest::Click(hWnd, c.x, c.y);
    ASSERT_NE(edit->GetNativeWindow(), nullptr);
    SendMessageW(edit->GetNativeWindow(), WM_KEYDOWN, VK_RETURN, 0);
    uitest::Pump();
    EXPECT_EQ(wnd.Count(L"return", L"edit_path"), 1u);
    EXPECT_EQ(wnd.Count(L"click", L"btn_ok"), 2u);
    // A disabled default button is not pressed.
    wnd.PM().SetDefaultButton(wnd.Find(L"btn_disabled"));
    check->SetFocus();
    Key(VK_RETURN);
    EXPECT_EQ(wnd.Count(L"click", L"btn_disabled"), 0u);
    EXPECT_FALSE(check->IsSelected());
}
