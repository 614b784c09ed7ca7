// What a keyboard user and a typist meet: the focus is marked only once the
// keyboard has been used, and the edit field behaves like a native one
// (its border whole while typing, the caret under the pointer, dragging
// selects, Ctrl+A selects all).
#include <gtest/gtest.h>

#include "ui_test_support.h"

using namespace DuiLib;
using uitest::Capture;
using uitest::Near;
using uitest::TestWindow;

namespace {

// Pixels of one row from x0 to x1 close to the colour.
int CountRow(const Capture& cap, int y, int x0, int x1, uint32_t color)
{
    int n = 0;
    for (int x = x0; x < x1; ++x)
        if (Near(cap.At(x, y), color, 40))
            ++n;
    return n;
}

void Key(HWND hWnd, UINT vk) { SendMessageW(hWnd, WM_KEYDOWN, vk, 0); }

// The installer's path row: a field with a border and a button sharing its
// right border pixel.
constexpr wchar_t kPathRow[] =
    L"<Window size='300,60'><Include source='font_test.xml'/><HorizontalLayout bkcolor='#FFFFFFFF'>"
    L"<Edit name='edit_p' width='200' height='28' padding='8,11,0,0' textpadding='10,6,0,6'"
    L" bordersize='1' bordercolor='#FFC3C8D5' borderround='3,3' textcolor='#FF1A243E'/>"
    L"<Button name='btn_b' width='30' height='28' padding='-1,11,0,0' bordersize='1'"
    L" bordercolor='#FFC3C8D5' borderround='3,3'/></HorizontalLayout></Window>";
constexpr wchar_t kLongPath[] = L"C:\\Program Files (x86)\\A rather long folder name\\kxVistral3\\";

class Window : public testing::Test {
protected:
    void Open(const wchar_t* layout)
    {
        uitest::InstallTestSkin();
        wnd = std::make_unique<TestWindow>(layout);
        ASSERT_TRUE(wnd->Open());
        hWnd = wnd->GetHWND();
        SetForegroundWindow(hWnd);
        uitest::Pump();
    }
    void TearDown() override
    {
        if (IsWindow(hWnd))
            DestroyWindow(hWnd);
    }
    std::unique_ptr<TestWindow> wnd;
    HWND hWnd = nullptr;
};

}  // namespace

TEST_F(Window, FocusIsMarkedOnlyAfterKeyboardUse)
{
    Open(L"test_main.xml");
    CControlUI* ok = wnd->Find(L"btn_ok");
    CControlUI* check = wnd->Find(L"check_agree");
    RECT rcOk = ok->GetPos(), rcCheck = check->GetPos();
    const int ringY = rcOk.top + 3;  // the button's mark row, above its text
    POINT c = uitest::Center(ok);
    uitest::Click(hWnd, c.x, c.y);
    ASSERT_EQ(wnd->PM().GetFocus(), ok);
    EXPECT_FALSE(wnd->PM().IsFocusCueShown()) << "a click alone shows no focus";
    Capture mouseOnly = uitest::CaptureWindow(hWnd);
    EXPECT_EQ(CountRow(mouseOnly, ringY, rcOk.left + 4, rcOk.right - 4, 0xFFFFFF), 0);

    Key(hWnd, VK_TAB);
    ASSERT_EQ(wnd->PM().GetFocus(), check);
    EXPECT_TRUE(wnd->PM().IsFocusCueShown());
    EXPECT_EQ(SendMessageW(hWnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, 0) << "Windows' state agrees";
    Capture afterTab = uitest::CaptureWindow(hWnd);
    // Dotted in the text colour along the text of the check box, not the picture.
    EXPECT_GT(CountRow(afterTab, rcCheck.top, rcCheck.left + 18, rcCheck.right, 0x333333), 5);
    EXPECT_EQ(CountRow(mouseOnly, rcCheck.top, rcCheck.left + 18, rcCheck.right, 0x333333), 0);
    EXPECT_EQ(CountRow(afterTab, ringY, rcOk.left + 4, rcOk.right - 4, 0xFFFFFF), 0) << "only the focus is marked";

    // Once shown, the mark follows the focus, also to a clicked control: on
    // the blue button a ring along its edge in a colour that stands out from
    // both the blue and the white window (not its white text colour), and a
    // stronger border on the edit field.
    uitest::Click(hWnd, c.x, c.y);
    Capture onButton = uitest::CaptureWindow(hWnd);
    EXPECT_GT(CountRow(onButton, rcOk.top + 1, rcOk.left + 6, rcOk.right - 6, 0x333333), 20);
    CControlUI* edit = wnd->Find(L"edit_path");
    for (int i = 0; i < 10 && wnd->PM().GetFocus() != edit; ++i)
        Key(hWnd, VK_TAB);
    ASSERT_EQ(wnd->PM().GetFocus(), edit);
    RECT rcEdit = edit->GetPos();
    int mid = (rcEdit.top + rcEdit.bottom) / 2;
    Capture onEdit = uitest::CaptureWindow(hWnd);
    EXPECT_TRUE(Near(onEdit.At(rcEdit.left + 1, mid), 0x333333)) << std::hex << onEdit.At(rcEdit.left + 1, mid);
    EXPECT_TRUE(Near(mouseOnly.At(rcEdit.left, mid), 0xC3C8D5));
}

TEST_F(Window, EditFieldBehavesLikeANativeOne)
{
    Open(kPathRow);
    auto* edit = wnd->Find<CEditUI>(L"edit_p");
    edit->SetText(kLongPath);
    RECT rc = edit->GetPos();
    const int textLeft = rc.left + 10, mid = (rc.top + rc.bottom) / 2;
    auto prefixX = [&](int chars) {
        std::wstring prefix(kLongPath, static_cast<size_t>(chars));
        return textLeft + CRenderEngine::GetTextSize(wnd->PM().GetPaintDC(), &wnd->PM(), prefix.c_str(), -1, 0).cx;
    };
    auto selection = [&] {
        DWORD start = 0, end = 0;
        SendMessageW(edit->GetNativeWindow(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return std::make_pair(static_cast<int>(start), static_cast<int>(end));
    };
    // The first click puts the caret where the pointer is in the text as shown.
    uitest::Click(hWnd, prefixX(5) + 1, mid);
    HWND native = edit->GetNativeWindow();
    ASSERT_NE(native, nullptr);
    EXPECT_EQ(selection(), std::make_pair(5, 5));

    // The native field stays inside the border it shares with the button.
    RECT nrc;
    GetWindowRect(native, &nrc);
    MapWindowPoints(nullptr, hWnd, reinterpret_cast<POINT*>(&nrc), 2);
    EXPECT_GE(nrc.left, rc.left + 1);
    EXPECT_LE(nrc.right, rc.right - 1);
    SendMessageW(native, WM_CHAR, L'x', 1);
    Capture typing = uitest::CaptureWithChildren(hWnd);
    RECT textArea = {nrc.left, nrc.top, nrc.right, nrc.bottom};
    ASSERT_GT(uitest::CountInk(typing, textArea, 0xFFFFFF), 30) << "the capture shows the native text";
    for (int y = rc.top + 3; y < rc.bottom - 3; ++y)
        EXPECT_TRUE(Near(typing.At(rc.right - 1, y), 0xC3C8D5, 12)) << "border gap at y " << y;

    // Press and drag selects from the press to the pointer, on a fresh field too.
    uitest::Click(hWnd, 150, 50);  // away: editing ends
    uitest::Pump();
    ASSERT_EQ(edit->GetNativeWindow(), nullptr);
    uitest::MouseMove(hWnd, prefixX(2) + 1, mid);
    uitest::MouseDown(hWnd, prefixX(2) + 1, mid);
    uitest::MouseMove(hWnd, prefixX(9) + 1, mid);
    uitest::MouseUp(hWnd, prefixX(9) + 1, mid);
    ASSERT_NE(edit->GetNativeWindow(), nullptr);
    EXPECT_EQ(selection(), std::make_pair(2, 9));
    uitest::MouseMove(hWnd, prefixX(4) + 1, mid);
    EXPECT_EQ(selection(), std::make_pair(2, 9)) << "moving without the button selects nothing";

    // Ctrl+A selects all.
    BYTE keys[256] = {}, saved[256] = {};
    GetKeyboardState(saved);
    memcpy(keys, saved, sizeof(keys));
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(edit->GetNativeWindow(), WM_KEYDOWN, 'A', 1);
    SendMessageW(edit->GetNativeWindow(), WM_CHAR, 1, 1);
    SetKeyboardState(saved);
    EXPECT_EQ(selection(), std::make_pair(0, static_cast<int>(edit->GetText().size())));
    EXPECT_EQ(edit->GetText().find(L'\x01'), std::wstring::npos);
}
