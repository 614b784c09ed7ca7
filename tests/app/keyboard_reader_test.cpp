// The installer's own windows for a keyboard user and a screen-reader user:
// each message box and agreement window opens with the focus on its first
// button, Enter and Space answer at once, the tree a screen reader reads
// matches the layout, and the box announces itself.
#include <gtest/gtest.h>

#include <functional>

#include "app/agreement_windows.h"
#include "app/message_box.h"
#include "tests/ui/accessible_reader.h"
#include "tests/ui/ui_test_support.h"
#include "ui/skin_setup.h"

using namespace DuiLib;

namespace {

constexpr long kStates = STATE_SYSTEM_FOCUSED | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_CHECKED |
                         STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_DEFAULT;
constexpr long kFocusable = STATE_SYSTEM_FOCUSABLE;
constexpr long kFirstButton = kFocusable | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_DEFAULT;

const wchar_t kCaption[] = L"安装Vistral3.0";
const wchar_t kText[] = L"安装错误，请退出重试！";

struct Expected {
    const wchar_t* name;
    const wchar_t* control;
    long role;
    long state;
};

// The tree of the window against the controls of its layout.
void ExpectTree(HWND hWnd, CPaintManagerUI& pm, const wchar_t* windowName,
                std::initializer_list<Expected> want)
{
    acc::Tree tree;
    acc::Read(hWnd, tree);
    ASSERT_TRUE(tree.ok);
    EXPECT_EQ(tree.name, windowName);
    ASSERT_EQ(tree.children.size(), want.size()) << testing::PrintToString(acc::Describe(hWnd, tree));
    size_t i = 0;
    for (const Expected& e : want) {
        const acc::Node& n = tree.children[i++];
        SCOPED_TRACE(testing::Message() << "child " << i);
        EXPECT_EQ(n.name, e.name);
        EXPECT_EQ(n.role, e.role);
        EXPECT_EQ(n.state & kStates, e.state);
        RECT place = acc::ClientRect(hWnd, n), layout = pm.FindControl(e.control)->GetPos();
        EXPECT_TRUE(EqualRect(&place, &layout));
    }
}

HWND FindBox() { return FindWindowW(L"messagebox", nullptr); }

bool g_closedByDog = false;

void CALLBACK CloseBox(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (HWND box = FindBox()) {
        g_closedByDog = true;
        PostMessageW(box, WM_CLOSE, 0, 0);
    }
}

// Shows a box, presses a key in it once its loop runs, returns its answer;
// -1 when the key left the box open.
int AnswerWithKey(UINT type, LPCWSTR first, LPCWSTR second, UINT vk)
{
    g_closedByDog = false;
    uitest::RunLater(
        [vk] {
            if (HWND box = FindBox()) {
                PostMessageW(box, WM_KEYDOWN, vk, 0);
                PostMessageW(box, WM_KEYUP, vk, 0);
            }
        },
        100);
    // Should the key do nothing, the box is closed with its own result.
    UINT_PTR dog = SetTimer(nullptr, 0, 3000, &CloseBox);
    int result = ShowMessageBox(second, nullptr, kCaption, kText, type, first);
    KillTimer(nullptr, dog);
    return g_closedByDog ? -1 : result;
}

class KeyboardAndReader : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        OleInitialize(nullptr);  // the agreement windows host a browser
        ASSERT_TRUE(SetupSkinPackage(GetModuleHandleW(nullptr)));
    }
    static void TearDownTestSuite() { OleUninitialize(); }
    void TearDown() override
    {
        uitest::CancelLater();
        uitest::Pump(10);
    }
};

class OpenBox : public CMessageBox {
public:
    OpenBox(UINT type, LPCWSTR first, LPCWSTR second)
    {
        if (Open(nullptr))
            Prepare(kCaption, kText, type, first, second);
        uitest::Pump(30);
    }
    ~OpenBox() override
    {
        if (IsWindow(m_hWnd))
            DestroyWindow(m_hWnd);
    }
    CPaintManagerUI& PM() { return m_pm; }
};

}  // namespace

TEST_F(KeyboardAndReader, KeysAnswerABoxAsItsButtonsWould)
{
    // Enter and Space: the first button at once. Esc: the close button, so
    // nothing where the box demands a choice and its close button is disabled.
    struct Case {
        UINT type;
        LPCWSTR first, second;
        UINT vk;
        int answer;
    } cases[] = {{0x10, L"确定", nullptr, VK_RETURN, kMsgBoxResultOk},
                 {0x34, L"安装", L"取消", VK_RETURN, kMsgBoxResultOk},
                 {0x44, L"是", L"否", VK_SPACE, kMsgBoxResultOk},
                 {0x10, L"确定", nullptr, VK_ESCAPE, kMsgBoxResultClose},
                 {0x30, L"确定", nullptr, VK_ESCAPE, kMsgBoxResultClose},
                 {0x34, L"安装", L"取消", VK_ESCAPE, -1},
                 {0x44, L"是", L"否", VK_ESCAPE, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(AnswerWithKey(c.type, c.first, c.second, c.vk), c.answer)
            << "type " << c.type << " key " << c.vk;
}

TEST_F(KeyboardAndReader, MessageBoxTreeAsAScreenReaderReadsIt)
{
    {
        OpenBox box(0x34, L"安装", L"取消");
        wchar_t title[64] = {};
        GetWindowTextW(box.GetHWND(), title, 64);
        EXPECT_STREQ(title, kCaption) << "a reader announces the box by its window's title";
        ExpectTree(box.GetHWND(), box.PM(), kCaption,
                   {{kCaption, L"txt_caption", ROLE_SYSTEM_STATICTEXT, 0},
                    {L"关闭", L"btn_close", ROLE_SYSTEM_PUSHBUTTON, STATE_SYSTEM_UNAVAILABLE},
                    {kText, L"txt_tips", ROLE_SYSTEM_STATICTEXT, 0},
                    {L"安装", L"btn_ok", ROLE_SYSTEM_PUSHBUTTON, kFirstButton},
                    {L"取消", L"btn_no", ROLE_SYSTEM_PUSHBUTTON, kFocusable}});
    }
    OpenBox box(0x10, L"确定", nullptr);  // the second button hidden, × available
    ExpectTree(box.GetHWND(), box.PM(), kCaption,
               {{kCaption, L"txt_caption", ROLE_SYSTEM_STATICTEXT, 0},
                {L"关闭", L"btn_close", ROLE_SYSTEM_PUSHBUTTON, kFocusable},
                {kText, L"txt_tips", ROLE_SYSTEM_STATICTEXT, 0},
                {L"确定", L"btn_ok", ROLE_SYSTEM_PUSHBUTTON, kFirstButton}});
}

TEST_F(KeyboardAndReader, ABoxAnnouncesItselfAndItsFocusedButton)
{
    acc::EventLog log;  // every window: the box does not exist yet
    HWND seen = nullptr;
    uitest::RunLater(
        [&seen] {
            seen = FindBox();
            if (seen)
                PostMessageW(seen, WM_KEYDOWN, VK_RETURN, 0);
        },
        150);
    UINT_PTR dog = SetTimer(nullptr, 0, 3000, &CloseBox);
    EXPECT_EQ(ShowMessageBox(L"取消", nullptr, kCaption, kText, 0x34, L"安装"), kMsgBoxResultOk);
    KillTimer(nullptr, dog);
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(log.Count(EVENT_SYSTEM_ALERT, CHILDID_SELF), 1u);
    EXPECT_GE(log.Count(EVENT_OBJECT_FOCUS, 4), 1u) << "安装, the fourth child, has the focus";
}

TEST_F(KeyboardAndReader, AgreementWindowOpensOnItsCloseButtonAndEnterOrEscClosesIt)
{
    for (UINT vk : {VK_RETURN, VK_ESCAPE}) {
        SCOPED_TRACE(testing::Message() << "key " << vk);
        auto* wnd = new CWnd_UserArg;  // deletes itself when its window is gone
        HWND hWnd = wnd->Create(nullptr, L"服务协议", 0x12CE0000, 0, 0, 0, 560, 360);
        ASSERT_NE(hWnd, nullptr);
        uitest::Pump(50);
        ExpectTree(hWnd, wnd->GetPaintManager(), L"服务协议",
                   {{L"服务协议", L"label_title", ROLE_SYSTEM_STATICTEXT, 0},
                    {L"关闭", L"btn_closewin", ROLE_SYSTEM_PUSHBUTTON, kFocusable},
                    {L"确定", L"btn_close", ROLE_SYSTEM_PUSHBUTTON, kFirstButton}});
        PostMessageW(hWnd, WM_KEYDOWN, vk, 0);
        uitest::Pump(100);
        EXPECT_FALSE(IsWindow(hWnd)) << "the key closed it";
        if (IsWindow(hWnd))
            DestroyWindow(hWnd);
    }
}
