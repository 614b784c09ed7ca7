// The skinned message box under Wine: size fitted to the text, icon and
// buttons per type, caption handling, centring, results of real clicks and
// of closing it without a button, and what a captured box looks like.
#include "app/message_box.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "tests/ui/ui_test_support.h"
#include "ui/skin_setup.h"

using namespace DuiLib;

namespace {

// Colours of the skin: icon discs, the blue button and the grey border.
constexpr uint32_t kErrorRed = 0xF5484A;
constexpr uint32_t kQuestionBlue = 0x2D73FF;
constexpr uint32_t kSuccessGreen = 0x1FBF76;
constexpr uint32_t kWarningOrange = 0xFF9A1F;
constexpr uint32_t kButtonBlue = 0x2D73FF;
constexpr uint32_t kBorderGrey = 0xC3C8D5;
constexpr uint32_t kWhite = 0xFFFFFF;

const wchar_t kCaption[] = L"提示";
const wchar_t kShortText[] = L"安装错误，请退出重试！";  // one line
// About 36 characters: between one and two lines of the 288-pixel text area.
const wchar_t kTwoLineText[] = L"检测到您已安装过此产品，是否将程序移动到新的安装位置？原位置的文件将被删除。";

// An open box, prepared as ShowMessageBox does, without the modal run.
struct OpenBox {
    CMessageBox box;
    OpenBox(LPCWSTR caption, LPCWSTR text, UINT type, LPCWSTR first = L"确定",
            LPCWSTR second = nullptr, HWND owner = nullptr)
    {
        ok = box.Open(owner);
        if (ok) {
            box.Prepare(caption, text, type, first, second);
            box.GetPaintManager().UpdateLayout();
            uitest::Pump(30);
        }
    }
    ~OpenBox()
    {
        if (IsWindow(box.GetHWND()))
            DestroyWindow(box.GetHWND());
    }
    SIZE WindowSize() const
    {
        RECT rc;
        GetWindowRect(box.GetHWND(), &rc);
        return {rc.right - rc.left, rc.bottom - rc.top};
    }
    bool ok = false;
};

int CountNear(const uitest::Capture& cap, const RECT& rc, uint32_t colour, int tolerance = 30)
{
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            if (uitest::Near(cap.At(x, y), colour, tolerance))
                ++n;
    return n;
}

// Which of the four icons fills the icon cell (0 none).
uint32_t IconColour(const uitest::Capture& cap, const RECT& cell)
{
    for (uint32_t c : {kErrorRed, kQuestionBlue, kSuccessGreen, kWarningOrange})
        if (CountNear(cap, cell, c) > 150)  // of 484 pixels, the disc less its white mark
            return c;
    return 0;
}

// --- running ShowMessageBox and acting inside its modal loop ---------------

bool g_watchdogFired = false;

void Later(std::function<void()> action, UINT ms = 60)
{
    uitest::RunLater(std::move(action), ms);
}

HWND FindBox() { return FindWindowW(L"messagebox", nullptr); }

CMessageBox* BoxOf(HWND hWnd)
{
    auto* wnd = reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    return dynamic_cast<CMessageBox*>(wnd);
}

// A real click: the mouse messages Windows would queue, at the control.
void PostClick(HWND hWnd, const CControlUI* control)
{
    POINT pt = uitest::Center(control);
    LPARAM at = MAKELPARAM(pt.x, pt.y);
    PostMessageW(hWnd, WM_MOUSEMOVE, 0, at);
    PostMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(hWnd, WM_LBUTTONUP, 0, at);
}

void PostAltF4(HWND hWnd)
{
    // Alt held (context bit 29), F4's scan code.
    PostMessageW(hWnd, WM_SYSKEYDOWN, VK_F4, (1 << 29) | (0x3E << 16) | 1);
}

void CALLBACK Watchdog(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (HWND box = FindBox()) {
        g_watchdogFired = true;
        DestroyWindow(box);
    }
}

// Shows a box and runs an action on it once its loop is running.
int RunBox(UINT type, LPCWSTR first, LPCWSTR second, std::function<void(HWND, CMessageBox&)> act,
           HWND owner = nullptr)
{
    g_watchdogFired = false;
    Later([act] {
        HWND hWnd = FindBox();
        CMessageBox* box = hWnd ? BoxOf(hWnd) : nullptr;
        if (box)
            act(hWnd, *box);
        else
            ADD_FAILURE() << "no message box during the modal run";
    });
    UINT_PTR dog = SetTimer(nullptr, 0, 5000, &Watchdog);
    int result = ShowMessageBox(second, owner, kCaption, kShortText, type, first);
    KillTimer(nullptr, dog);
    EXPECT_FALSE(g_watchdogFired) << "the box did not close by itself";
    EXPECT_EQ(FindBox(), nullptr);
    return result;
}

class MessageBoxTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(SetupSkinPackage(GetModuleHandleW(nullptr))); }
    void TearDown() override
    {
        uitest::CancelLater();
        uitest::Pump(10);
    }
};

}  // namespace

TEST_F(MessageBoxTest, HeightFitsTheText)
{
    {
        OpenBox b(kCaption, kShortText, 0x30);
        ASSERT_TRUE(b.ok);
        EXPECT_EQ(b.WindowSize().cx, 380);
        EXPECT_EQ(b.WindowSize().cy, 150);
        EXPECT_EQ(b.box.TipsText()->GetHeight(), 18);
    }
    {
        OpenBox b(kCaption, kTwoLineText, 0x30);
        ASSERT_TRUE(b.ok);
        EXPECT_EQ(b.WindowSize().cy, 168);
        EXPECT_EQ(b.box.TipsText()->GetHeight(), 36);
    }
    {
        std::wstring three = std::wstring(kTwoLineText) + kTwoLineText;
        OpenBox b(kCaption, three.c_str(), 0x30);
        ASSERT_TRUE(b.ok);
        EXPECT_GE(b.WindowSize().cy, 186);
        // The buttons stay inside the grown box.
        EXPECT_LE(b.box.OkButton()->GetPos().bottom, b.WindowSize().cy);
    }
    for (LPCWSTR empty : {L"", static_cast<LPCWSTR>(nullptr)}) {
        OpenBox b(kCaption, empty, 0x30);
        ASSERT_TRUE(b.ok);
        EXPECT_EQ(b.WindowSize().cx, 380);
        EXPECT_EQ(b.WindowSize().cy, 168);
    }
}

TEST_F(MessageBoxTest, TypeChoosesIconButtonsAndCloseButton)
{
    struct Case {
        UINT type;
        LPCWSTR icon;
        uint32_t colour;
        bool twoButtons;
    } cases[] = {
        {0x10, L"source='0,0,22,22'", kErrorRed, false},
        {0x30, L"source='0,66,22,88'", kWarningOrange, false},
        {0x34, L"source='0,66,22,88'", kWarningOrange, true},
        {0x44, L"source='0,22,22,44'", kQuestionBlue, true},  // 0x40 is no icon
        {0x100, L"source='0,44,22,66'", kSuccessGreen, false},
        {0x0, L"source='0,44,22,66'", kSuccessGreen, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type 0x" << std::hex << c.type);
        OpenBox b(kCaption, kShortText, c.type, L"是", c.twoButtons ? L"否" : nullptr);
        ASSERT_TRUE(b.ok);
        EXPECT_NE(b.box.IconLabel()->GetBkImage().find(c.icon), std::wstring::npos);
        uitest::Capture cap = uitest::CaptureWindow(b.box.GetHWND());
        ASSERT_GT(cap.width, 0);
        EXPECT_EQ(IconColour(cap, b.box.IconLabel()->GetPos()), c.colour);
        EXPECT_TRUE(b.box.OkButton()->IsVisible());
        EXPECT_EQ(b.box.OkButton()->GetText(), L"是");
        EXPECT_EQ(b.box.NoButton()->IsVisible(), c.twoButtons);
        if (c.twoButtons) {
            EXPECT_EQ(b.box.NoButton()->GetText(), L"否");
        }
        EXPECT_EQ(b.box.CloseButton()->IsEnabled(), !c.twoButtons);
        EXPECT_EQ(b.box.TipsText()->GetText(), kShortText);
        EXPECT_EQ(b.box.TipsText1(), nullptr);
    }
}

TEST_F(MessageBoxTest, TwoButtonTextsOnlyWhenBothAreGiven)
{
    OpenBox b(kCaption, kShortText, 0x44, L"安装", nullptr);
    ASSERT_TRUE(b.ok);
    // The layout's own (empty) texts stay.
    EXPECT_EQ(b.box.OkButton()->GetText(), L"");
    EXPECT_TRUE(b.box.NoButton()->IsVisible());
}

TEST_F(MessageBoxTest, WithoutCaptionTheCaptionIsHiddenAndTheTextMovesDown)
{
    OpenBox with(kCaption, kShortText, 0x10);
    OpenBox without(nullptr, kShortText, 0x10);
    ASSERT_TRUE(with.ok && without.ok);
    EXPECT_TRUE(with.box.CaptionLabel()->IsVisible());
    EXPECT_EQ(with.box.CaptionLabel()->GetText(), kCaption);
    EXPECT_FALSE(without.box.CaptionLabel()->IsVisible());
    EXPECT_EQ(without.box.TipsText()->GetPos().top, with.box.TipsText()->GetPos().top + 10);
    EXPECT_EQ(without.WindowSize().cy, with.WindowSize().cy);

    // The caption's ink is there only when a caption is given.
    RECT captionArea = with.box.CaptionLabel()->GetPos();
    uitest::Capture a = uitest::CaptureWindow(with.box.GetHWND());
    uitest::Capture b = uitest::CaptureWindow(without.box.GetHWND());
    EXPECT_GT(uitest::CountInk(a, captionArea, kWhite), 20);
    EXPECT_EQ(uitest::CountInk(b, captionArea, kWhite), 0);
    // And the text's first ink row is 10 pixels lower.
    auto firstInkRow = [](const uitest::Capture& cap, const RECT& area) {
        for (int y = area.top; y < area.bottom; ++y)
            if (uitest::CountInk(cap, RECT{area.left, y, area.right, y + 1}, kWhite) > 0)
                return y;
        return -1;
    };
    RECT textArea = {52, 44, 340, 110};
    int rowWith = firstInkRow(a, textArea);
    ASSERT_GE(rowWith, 0);
    EXPECT_EQ(firstInkRow(b, textArea), rowWith + 10);
}

TEST_F(MessageBoxTest, CapturedBoxShowsButtonsAndCloseStates)
{
    OpenBox one(kCaption, kShortText, 0x10, L"确定");
    OpenBox two(kCaption, kShortText, 0x44, L"是", L"否");
    ASSERT_TRUE(one.ok && two.ok);
    uitest::Capture c1 = uitest::CaptureWindow(one.box.GetHWND());
    uitest::Capture c2 = uitest::CaptureWindow(two.box.GetHWND());

    // The blue first button with its white text, at the right of the bottom row.
    RECT ok = one.box.OkButton()->GetPos();
    EXPECT_EQ(ok.right, 380 - 20);
    EXPECT_GT(CountNear(c1, ok, kButtonBlue, 12), (68 * 30) / 2);
    EXPECT_GT(CountNear(c1, ok, kWhite, 60), 10);
    // No bordered second button in the one-button box; a white one with a
    // grey border left of the blue one in the two-button box.
    RECT bottom = {0, c1.height - 50, c1.width, c1.height};
    EXPECT_EQ(CountNear(c1, bottom, kBorderGrey, 8), 0);
    RECT no = two.box.NoButton()->GetPos();
    RECT okTwo = two.box.OkButton()->GetPos();
    EXPECT_EQ(no.left, okTwo.right + 10);
    EXPECT_GT(CountNear(c2, no, kBorderGrey, 8), 2 * (68 + 30) - 20);
    EXPECT_GT(CountNear(c2, okTwo, kButtonBlue, 12), (68 * 30) / 2);

    // The close button at the top right: drawn in both, dimmer when disabled.
    RECT close = one.box.CloseButton()->GetPos();
    EXPECT_EQ(close.right, 380 - 20);
    EXPECT_GT(uitest::CountInk(c1, close, kWhite), 10);
    EXPECT_LT(CountNear(c2, close, kWhite, 2), 20 * 20);
    bool differs = false;
    for (int y = close.top; y < close.bottom && !differs; ++y)
        for (int x = close.left; x < close.right && !differs; ++x)
            differs = c1.At(x, y) != c2.At(x, y);
    EXPECT_TRUE(differs) << "disabled close button looks like the enabled one";
}

TEST_F(MessageBoxTest, ButtonsAnswerRealClicks)
{
    EXPECT_EQ(RunBox(0x10, L"确定", nullptr,
                     [](HWND h, CMessageBox& b) { PostClick(h, b.OkButton()); }),
              6);
    EXPECT_EQ(RunBox(0x10, L"确定", nullptr,
                     [](HWND h, CMessageBox& b) { PostClick(h, b.CloseButton()); }),
              8);
    EXPECT_EQ(RunBox(0x44, L"是", L"否",
                     [](HWND h, CMessageBox& b) { PostClick(h, b.NoButton()); }),
              7);
    EXPECT_EQ(RunBox(0x34, L"安装", L"取消",
                     [](HWND h, CMessageBox& b) { PostClick(h, b.OkButton()); }),
              6);
}

TEST_F(MessageBoxTest, DisabledCloseButtonIgnoresClicks)
{
    bool stillOpen = false;
    int result = RunBox(0x44, L"是", L"否", [&](HWND h, CMessageBox& b) {
        PostClick(h, b.CloseButton());
        Later([&stillOpen, h] {
            stillOpen = IsWindow(h) != FALSE;
            if (CMessageBox* box = BoxOf(h))
                PostClick(h, box->OkButton());
        });
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(result, 6);
}

TEST_F(MessageBoxTest, ClosedWithoutAButtonAnswersCloseOrNo)
{
    // One button: as its close button. Two buttons: "no", which changes nothing.
    EXPECT_EQ(RunBox(0x30, L"确定", nullptr, [](HWND h, CMessageBox&) { PostAltF4(h); }), 8);
    EXPECT_EQ(RunBox(0x34, L"安装", L"取消", [](HWND h, CMessageBox&) { PostAltF4(h); }), 7);
    EXPECT_EQ(RunBox(0x10, L"确定", nullptr,
                     [](HWND h, CMessageBox&) { PostMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0); }),
              8);
    EXPECT_EQ(RunBox(0x44, L"是", L"否",
                     [](HWND h, CMessageBox&) { PostMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0); }),
              7);
}

TEST_F(MessageBoxTest, CentredOverTheOwnerWhichIsDisabledMeanwhile)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KxMsgBoxOwner";
    RegisterClassW(&wc);
    HWND owner = CreateWindowExW(0, wc.lpszClassName, L"owner", WS_POPUP | WS_VISIBLE, 100, 80,
                                 600, 400, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(owner, nullptr);
    uitest::Pump(30);
    RECT box = {};
    BOOL ownerEnabled = TRUE;
    HWND boxOwner = nullptr;
    int result = RunBox(0x10, L"确定", nullptr,
                        [&](HWND h, CMessageBox& b) {
                            GetWindowRect(h, &box);
                            ownerEnabled = IsWindowEnabled(owner);
                            boxOwner = GetWindow(h, GW_OWNER);
                            PostClick(h, b.OkButton());
                        },
                        owner);
    EXPECT_EQ(result, 6);
    EXPECT_EQ(boxOwner, owner);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(box.right - box.left, 380);
    EXPECT_EQ(box.bottom - box.top, 150);
    EXPECT_NEAR((box.left + box.right) / 2, 100 + 300, 1);
    EXPECT_NEAR((box.top + box.bottom) / 2, 80 + 200, 1);
    DestroyWindow(owner);
}

TEST_F(MessageBoxTest, WithoutOwnerCentredOnTheWorkArea)
{
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT box = {};
    RunBox(0x10, L"确定", nullptr, [&](HWND h, CMessageBox& b) {
        GetWindowRect(h, &box);
        PostClick(h, b.OkButton());
    });
    EXPECT_NEAR((box.left + box.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((box.top + box.bottom) / 2, (work.top + work.bottom) / 2, 1);
}

TEST_F(MessageBoxTest, DoubleClickOnTheTitleAreaDoesNothing)
{
    OpenBox b(kCaption, kShortText, 0x10);
    ASSERT_TRUE(b.ok);
    RECT before;
    GetWindowRect(b.box.GetHWND(), &before);
    SendMessageW(b.box.GetHWND(), WM_NCLBUTTONDBLCLK, HTCAPTION,
                 MAKELPARAM(before.left + 100, before.top + 10));
    uitest::Pump(30);
    RECT after;
    GetWindowRect(b.box.GetHWND(), &after);
    EXPECT_FALSE(IsZoomed(b.box.GetHWND()));
    EXPECT_TRUE(EqualRect(&before, &after));
}
