// Input through real window messages: hot and pushed looks, clicks and
// selection changes with their senders, disabled controls, the edit field,
// keyboard focus and the caption hit-test.
#include <gtest/gtest.h>

#include "open_window_test.h"
#include "ui_test_support.h"

using namespace DuiLib;
using uitest::TestWindow;

namespace {

class Interaction : public uitest::OpenWindowTest<TestWindow> {
protected:
    Interaction() : OpenWindowTest(L"test_main.xml") {}
    LRESULT HitTest(POINT client)
    {
        ClientToScreen(hWnd, &client);
        return SendMessageW(hWnd, WM_NCHITTEST, 0, MAKELPARAM(client.x, client.y));
    }
};

BOOL CALLBACK FindVisibleToolTip(HWND h, LPARAM lp)
{
    wchar_t cls[64] = {};
    GetClassNameW(h, cls, 64);
    if (_wcsicmp(cls, L"tooltips_class32") == 0 && IsWindowVisible(h)) {
        *reinterpret_cast<HWND*>(lp) = h;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

TEST_F(Interaction, ButtonGoesHotThenPushedAndClicksOnRelease)
{
    auto* ok = wnd.Find<CButtonUI>(L"btn_ok");
    POINT c = uitest::Center(ok);
    uitest::MouseMove(hWnd, c.x, c.y);
    EXPECT_TRUE(ok->GetButtonState() & UISTATE_HOT);
    EXPECT_TRUE(uitest::Near(uitest::CaptureWindow(hWnd).At(ok->GetPos().left + 4, c.y), 0x72A1FF));

    uitest::MouseDown(hWnd, c.x, c.y);
    EXPECT_TRUE(ok->GetButtonState() & UISTATE_PUSHED);
    EXPECT_EQ(GetCapture(), hWnd);
    EXPECT_TRUE(uitest::Near(uitest::CaptureWindow(hWnd).At(ok->GetPos().left + 4, c.y), 0x1E5FE2));
    // Dragged out, the button looks released; back in, pushed again.
    uitest::MouseMove(hWnd, 300, 250);
    EXPECT_FALSE(ok->GetButtonState() & UISTATE_PUSHED);
    uitest::MouseMove(hWnd, c.x, c.y);
    EXPECT_TRUE(ok->GetButtonState() & UISTATE_PUSHED);
    EXPECT_EQ(wnd.Count(L"click", L"btn_ok"), 0u) << "nothing before the release";
    uitest::MouseUp(hWnd, c.x, c.y);
    EXPECT_EQ(wnd.Count(L"click", L"btn_ok"), 1u);
    EXPECT_FALSE(ok->GetButtonState() & UISTATE_PUSHED);
    EXPECT_NE(GetCapture(), hWnd);

    // Released outside: no click.
    uitest::MouseDown(hWnd, c.x, c.y);
    uitest::MouseMove(hWnd, 300, 250);
    uitest::MouseUp(hWnd, 300, 250);
    EXPECT_EQ(wnd.Count(L"click", L"btn_ok"), 1u);
    EXPECT_FALSE(ok->GetButtonState() & UISTATE_HOT) << "the mouse left it";
}

TEST_F(Interaction, DisabledControlsSendNothing)
{
    CControlUI* disabled = wnd.Find(L"btn_disabled");
    POINT c = uitest::Center(disabled);
    uitest::Click(hWnd, c.x, c.y);
    auto* check = wnd.Find<CCheckBoxUI>(L"check_agree");
    check->SetEnabled(false);
    POINT cc = uitest::Center(check);
    uitest::Click(hWnd, cc.x, cc.y);
    EXPECT_FALSE(check->GetCheck());
    for (const auto& note : wnd.notes)
        EXPECT_TRUE(note.type != L"click" && note.type != L"selectchanged")
            << "unexpected notification from a disabled control";
    EXPECT_EQ(static_cast<CButtonUI*>(disabled)->GetButtonState(), 0u);
    // Enabled again, it works.
    disabled->SetEnabled(true);
    uitest::Click(hWnd, c.x, c.y);
    EXPECT_EQ(wnd.Count(L"click", L"btn_disabled"), 1u);
}

TEST_F(Interaction, CheckBoxAndOptionsToggle)
{
    auto* check = wnd.Find<CCheckBoxUI>(L"check_agree");
    POINT c = uitest::Center(check);
    uitest::Click(hWnd, c.x, c.y);
    EXPECT_TRUE(check->GetCheck());
    ASSERT_GE(wnd.notes.size(), 2u);
    EXPECT_EQ(wnd.Count(L"click", L"check_agree"), 1u);
    EXPECT_EQ(wnd.Count(L"selectchanged", L"check_agree"), 1u);
    uitest::Click(hWnd, c.x, c.y);
    EXPECT_FALSE(check->GetCheck());
    EXPECT_EQ(wnd.Count(L"selectchanged", L"check_agree"), 2u);
    // SetCheck notifies too, but only on a change.
    check->SetCheck(true);
    check->SetCheck(true);
    EXPECT_EQ(wnd.Count(L"selectchanged", L"check_agree"), 3u);
    check->Selected(false, false);
    EXPECT_EQ(wnd.Count(L"selectchanged", L"check_agree"), 3u);

    auto* a = wnd.Find<COptionUI>(L"opt_a");
    auto* b = wnd.Find<COptionUI>(L"opt_b");
    POINT pb = uitest::Center(b);
    uitest::Click(hWnd, pb.x, pb.y);
    EXPECT_TRUE(b->IsSelected());
    EXPECT_FALSE(a->IsSelected()) << "one option of a group at a time";
    uitest::Click(hWnd, pb.x, pb.y);
    EXPECT_TRUE(b->IsSelected()) << "clicking the selected option of a group keeps it";
    EXPECT_EQ(wnd.Count(L"selectchanged", L"opt_b"), 1u);
}

TEST_F(Interaction, EditFieldTakesTypedTextAndGivesItBack)
{
    auto* edit = wnd.Find<CEditUI>(L"edit_path");
    edit->SetText(L"C:\\");
    POINT c = uitest::Center(edit);
    uitest::Click(hWnd, c.x, c.y);
    HWND native = edit->GetNativeWindow();
    ASSERT_NE(native, nullptr);
    EXPECT_TRUE(edit->IsFocused());
    EXPECT_EQ(GetFocus(), native);
    SendMessageW(native, EM_SETSEL, 3, 3);
    for (wchar_t ch : std::wstring(L"Apps"))
        SendMessageW(native, WM_CHAR, ch, 1);
    EXPECT_EQ(edit->GetText(), L"C:\\Apps");
    EXPECT_GE(wnd.Count(L"textchanged", L"edit_path"), 4u);
    // Selection and replacement as in any edit field.
    SendMessageW(native, EM_SETSEL, 0, -1);
    SendMessageW(native, WM_CHAR, L'D', 1);
    EXPECT_EQ(edit->GetText(), L"D");

    // Clicking elsewhere ends the editing; the text stays.
    POINT t = uitest::Center(wnd.Find(L"btn_ok"));
    uitest::Click(hWnd, t.x, t.y);
    uitest::Pump();
    EXPECT_EQ(edit->GetNativeWindow(), nullptr);
    EXPECT_FALSE(IsWindow(native));
    EXPECT_EQ(edit->GetText(), L"D");
    edit->SetText(L"E:\\x\\");
    EXPECT_EQ(edit->GetText(), L"E:\\x\\");
}

TEST_F(Interaction, KeyboardFocusAndActivation)
{
    CControlUI* ok = wnd.Find(L"btn_ok");
    ok->SetFocus();
    EXPECT_EQ(wnd.PM().GetFocus(), ok);
    SendMessageW(hWnd, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(wnd.Count(L"click", L"btn_ok"), 1u);
    // Tab moves on to the next control that takes the focus.
    SendMessageW(hWnd, WM_KEYDOWN, VK_TAB, 0);
    CControlUI* next = wnd.PM().GetFocus();
    ASSERT_NE(next, nullptr);
    EXPECT_NE(next, ok);
    EXPECT_NE(next, wnd.Find(L"btn_disabled")) << "disabled controls are skipped";
    EXPECT_EQ(next, wnd.Find(L"check_agree"));
}

TEST_F(Interaction, CaptionDragsFromStaticControlsOnly)
{
    EXPECT_EQ(HitTest(uitest::Center(wnd.Find(L"lab_title"))), HTCAPTION);
    EXPECT_EQ(HitTest(POINT{250, 20}), HTCAPTION) << "the layout itself";
    EXPECT_EQ(HitTest(uitest::Center(wnd.Find(L"btn_caption"))), HTCLIENT);
    EXPECT_EQ(HitTest(uitest::Center(wnd.Find(L"lab_page0"))), HTCLIENT) << "below the caption";
    // The button in the caption area is pressed, not dragged.
    POINT c = uitest::Center(wnd.Find(L"btn_caption"));
    uitest::Click(hWnd, c.x, c.y);
    EXPECT_EQ(wnd.Count(L"click", L"btn_caption"), 1u);

    EXPECT_TRUE(wnd.IsInStaticControl(wnd.Find(L"lab_title")));
    EXPECT_TRUE(wnd.IsInStaticControl(wnd.Find(L"txt_text")));
    EXPECT_FALSE(wnd.IsInStaticControl(wnd.Find(L"btn_caption")));
    EXPECT_FALSE(wnd.IsInStaticControl(wnd.Find(L"check_agree")));
    EXPECT_FALSE(wnd.IsInStaticControl(wnd.Find(L"edit_path")));
    EXPECT_FALSE(wnd.IsInStaticControl(nullptr));
}

TEST_F(Interaction, SystemCloseCommandClosesTheWindow)
{
    // The system close command becomes WM_CLOSE, which destroys the window.
    SendMessageW(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(hWnd));
}

TEST_F(Interaction, ToolTipShowsOnHover)
{
    POINT c = uitest::Center(wnd.Find(L"btn_caption"));
    uitest::MouseMove(hWnd, c.x, c.y);
    SendMessageW(hWnd, WM_MOUSEHOVER, 0, MAKELPARAM(c.x, c.y));
    HWND tip = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindVisibleToolTip, reinterpret_cast<LPARAM>(&tip));
    ASSERT_NE(tip, nullptr);
    // The window's default font, which has the glyphs of its texts (the
    // tooltip keeps a copy of the font it is given).
    LOGFONTW tipFont = {}, defaultFont = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(tip, WM_GETFONT, 0, 0)), sizeof(tipFont), &tipFont);
    GetObjectW(wnd.PM().GetFont(-1), sizeof(defaultFont), &defaultFont);
    EXPECT_STREQ(tipFont.lfFaceName, defaultFont.lfFaceName);
    EXPECT_EQ(tipFont.lfHeight, defaultFont.lfHeight);
    uitest::MouseMove(hWnd, 200, 250);
    EXPECT_FALSE(IsWindowVisible(tip)) << "leaving the control hides it";
}
