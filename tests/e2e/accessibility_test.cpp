// The whole road without a mouse: once with the keyboard alone (no Tab
// first: each page opens on its natural control), once only through the
// accessible tree, as a screen reader drives the installer from its own
// process, with its WinEvent hook listening.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/string_bundle.h"
#include "tests/e2e/installer_view.h"
#include "tests/ui/accessible_reader.h"

using namespace e2e;

namespace {

// Waits with the thread's messages pumped, so that WinEvents arrive.
bool PumpUntil(const std::function<bool()>& cond, DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&m);
        if (cond())
            return true;
        if (GetTickCount() - start > ms)
            return false;
        Sleep(10);
    }
}

void Print(const wchar_t* title, HWND hWnd, const acc::Tree& tree)
{
    std::wstring text = std::wstring(title) + L":\n" + acc::Describe(hWnd, tree);
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), n, nullptr, nullptr);
    std::fputs(utf8.c_str(), stdout);
}

struct Row {
    const wchar_t* name;
    long role;
    long state;  // exactly these of focused, focusable, checked, unavailable, default
    RECT place;  // from the main layout
};
constexpr long kStates = STATE_SYSTEM_FOCUSED | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_CHECKED |
                         STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_DEFAULT | STATE_SYSTEM_EXPANDED |
                         STATE_SYSTEM_COLLAPSED;
constexpr long kFocusable = STATE_SYSTEM_FOCUSABLE;

// Page 0 as it opens: the caption, ×, the disabled default button, the
// agreement box with the focus, the links and 自定义安装, one button that
// unfolds the custom area (the arrow beside it is the mouse's).
const Row kStartPage[] = {
    {L"安装Vistral3.0", ROLE_SYSTEM_STATICTEXT, 0, {46, 16, 196, 36}},
    {L"关闭", ROLE_SYSTEM_PUSHBUTTON, kFocusable, {564, 16, 584, 36}},
    {L"极速安装", ROLE_SYSTEM_PUSHBUTTON, STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_DEFAULT, {220, 302, 380, 348}},
    {L"已阅读并同意", ROLE_SYSTEM_CHECKBUTTON, kFocusable | STATE_SYSTEM_FOCUSED, {16, 372, 116, 388}},
    {L"《Vistral3.0服务协议》", ROLE_SYSTEM_LINK, kFocusable, {121, 372, 271, 388}},
    {L"和", ROLE_SYSTEM_STATICTEXT, 0, {276, 372, 289, 388}},
    {L"《隐私协议》", ROLE_SYSTEM_LINK, kFocusable, {294, 372, 374, 388}},
    {L"自定义安装", ROLE_SYSTEM_PUSHBUTTON, kFocusable | STATE_SYSTEM_COLLAPSED, {504, 372, 564, 388}},
};

const acc::Node* Named(const acc::Tree& tree, const wchar_t* name, long role)
{
    for (const acc::Node& n : tree.children)
        if (n.name == name && n.role == role)
            return &n;
    return nullptr;
}

// The state of the named node, or -1 when the tree has none.
long StateOf(HWND hWnd, const wchar_t* name, long role)
{
    acc::Tree tree;
    acc::Read(hWnd, tree);
    const acc::Node* n = Named(tree, name, role);
    return n ? n->state : -1;
}


}  // namespace

TEST(Accessibility, KeyboardOnlyRoad)
{
    Installer setup;
    ASSERT_TRUE(setup.Start());
    ASSERT_EQ(setup.ShownPage(), Page::Start);
    ASSERT_TRUE(Activate(setup.main, kInert.x, kInert.y));  // the title area: no control
    Keys({VK_SPACE});  // the agreement box has the focus
    ASSERT_TRUE(WaitFor([&] { return setup.ButtonEnabled(); }, 3000)) << "Space ticked the box";
    Keys({VK_RETURN});  // the install button is the default
    ASSERT_TRUE(setup.WaitPage(Page::Finished, 60000));
    Keys({VK_RETURN});  // 立即体验 has the focus
    EXPECT_EQ(setup.WaitExitCode(), 0u);
    EXPECT_TRUE(WaitFor([] { return FindProcess(L"kxVistral.exe") != 0; }, 15000));
    Process product;
    if (product.Attach(FindProcess(L"kxVistral.exe")))
        TerminateProcess(product.Handle(), 0);
}

TEST(Accessibility, ScreenReaderRoad)
{
    CoInitialize(nullptr);
    Installer setup;
    ASSERT_TRUE(setup.Start());
    ASSERT_EQ(setup.ShownPage(), Page::Start);
    acc::EventLog log(setup.main);
    {
        acc::Tree tree;
        acc::Read(setup.main, tree);
        ASSERT_TRUE(tree.ok);
        Print(L"page 0", setup.main, tree);
        ASSERT_EQ(tree.children.size(), std::size(kStartPage));
        for (size_t i = 0; i < std::size(kStartPage); ++i) {
            const acc::Node& n = tree.children[i];
            const Row& r = kStartPage[i];
            SCOPED_TRACE(testing::Message() << "child " << i + 1);
            EXPECT_EQ(n.name, r.name);
            EXPECT_EQ(n.role, r.role);
            EXPECT_EQ(n.state & kStates, r.state);
            RECT place = acc::ClientRect(setup.main, n);
            EXPECT_TRUE(EqualRect(&place, &r.place));
        }
        acc::DoDefault(*Named(tree, L"已阅读并同意", ROLE_SYSTEM_CHECKBUTTON));
    }
    ASSERT_TRUE(WaitFor([&] { return setup.ButtonEnabled(); }, 3000)) << "the box was ticked";
    {
        acc::Tree tree;
        acc::Read(setup.main, tree);
        const acc::Node* box = Named(tree, L"已阅读并同意", ROLE_SYSTEM_CHECKBUTTON);
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->state & STATE_SYSTEM_CHECKED);
        const acc::Node* install = Named(tree, L"极速安装", ROLE_SYSTEM_PUSHBUTTON);
        ASSERT_NE(install, nullptr);
        EXPECT_FALSE(install->state & STATE_SYSTEM_UNAVAILABLE);
        EXPECT_EQ(acc::DoDefault(*install), S_OK);
    }
    ASSERT_TRUE(PumpUntil([&] { return setup.ShownPage() == Page::Finished; }, 60000));
    PumpUntil([&] { return log.Count(EVENT_OBJECT_FOCUS) >= 3; }, 2000);
    acc::Tree done;
    acc::Read(setup.main, done);
    Print(L"page 2", setup.main, done);
    const acc::Node* open = Named(done, L"立即体验", ROLE_SYSTEM_PUSHBUTTON);
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->state & kStates, kFocusable | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_DEFAULT);
    const acc::Node* shortcut = Named(done, L"创建桌面快捷方式", ROLE_SYSTEM_CHECKBUTTON);
    ASSERT_NE(shortcut, nullptr);
    EXPECT_TRUE(shortcut->state & STATE_SYSTEM_CHECKED);
    EXPECT_NE(Named(done, L"安装完成", ROLE_SYSTEM_STATICTEXT), nullptr);
    EXPECT_EQ(Named(done, L"极速安装", ROLE_SYSTEM_PUSHBUTTON), nullptr) << "page 0 is gone";

    // The hook heard the box ticked, two pages change, the progress bar
    // take the focus on the progress page and 立即体验 on the finish page.
    EXPECT_GE(log.Count(EVENT_OBJECT_STATECHANGE), 1u);
    EXPECT_EQ(log.Count(EVENT_OBJECT_REORDER, CHILDID_SELF), 2u);
    EXPECT_GE(log.Count(EVENT_OBJECT_VALUECHANGE), 1u);
    EXPECT_LE(log.Count(EVENT_OBJECT_VALUECHANGE), 101u);
    EXPECT_GE(log.Count(EVENT_OBJECT_FOCUS), 2u);

    EXPECT_EQ(acc::DoDefault(*open), S_OK);
    EXPECT_EQ(setup.WaitExitCode(), 0u);
    EXPECT_TRUE(WaitFor([] { return FindProcess(L"kxVistral.exe") != 0; }, 15000));
    Process product;
    if (product.Attach(FindProcess(L"kxVistral.exe")))
        TerminateProcess(product.Handle(), 0);
}

TEST(Accessibility, CustomAreaMessageBoxAndProgressAsAReaderHearsThem)
{
    CoInitialize(nullptr);
    Installer setup;
    // Thousands of files: the progress page stays long enough to be read.
    ASSERT_TRUE(setup.Start(Env(L"KX_E2E_LARGE_SETUP")));
    {
        acc::Tree tree;
        acc::Read(setup.main, tree);
        const acc::Node* custom = Named(tree, L"自定义安装", ROLE_SYSTEM_PUSHBUTTON);
        ASSERT_NE(custom, nullptr);
        EXPECT_EQ(acc::DoDefault(*custom), S_OK);
    }
    ASSERT_TRUE(WaitFor([&] { return Size(setup.main).cy == setup.Scaled(450); }, 3000)) << "unfolded";
    {
        acc::Tree tree;
        acc::Read(setup.main, tree);
        Print(L"page 0, custom area unfolded", setup.main, tree);
        const acc::Node* custom = Named(tree, L"自定义安装", ROLE_SYSTEM_PUSHBUTTON);
        ASSERT_NE(custom, nullptr);
        EXPECT_EQ(custom->state & (STATE_SYSTEM_EXPANDED | STATE_SYSTEM_COLLAPSED), STATE_SYSTEM_EXPANDED);
        EXPECT_NE(Named(tree, L"安装位置：", ROLE_SYSTEM_TEXT), nullptr) << "the field, by its label";
        EXPECT_NE(Named(tree, L"选择安装位置", ROLE_SYSTEM_PUSHBUTTON), nullptr) << "the folder button, by its purpose";
        EXPECT_EQ(Named(tree, L"安装位置：", ROLE_SYSTEM_PUSHBUTTON), nullptr);
    }

    // A refused directory: the box is announced by its caption, Esc closes
    // it as its close button, and the focus is back in the field to fix.
    setup.TypeInstallPath(L"kxVistral3");
    setup.AgreeAndInstall();
    HWND box = setup.WaitBox();
    ASSERT_NE(box, nullptr);
    wchar_t title[64] = {};
    GetWindowTextW(box, title, 64);
    EXPECT_EQ(std::wstring(title), GetString(L"MESSAGEBOX_CAPITON"));
    {
        acc::Tree tree;
        acc::Read(box, tree);
        Print(L"message box", box, tree);
    }
    ASSERT_TRUE(Activate(box, 10, 10));  // its caption area: no control
    Keys({VK_ESCAPE});
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }, 5000)) << "Esc closed the box";
    EXPECT_TRUE(WaitFor([&] { return StateOf(setup.main, L"安装位置：", ROLE_SYSTEM_TEXT) & STATE_SYSTEM_FOCUSED; },
                        3000))
        << "the focus is back in the directory field";
    EXPECT_EQ(setup.ShownPage(), Page::Start);

    setup.TypeInstallPath(DefaultProgramDir());
    setup.ClickAt(kInstallStart);  // the box is ticked already
    ASSERT_TRUE(setup.WaitPage(Page::Installing, 10000));
    {
        acc::Tree tree;
        acc::Read(setup.main, tree);
        Print(L"page 1", setup.main, tree);
        EXPECT_NE(Named(tree, L"安装进度", ROLE_SYSTEM_PROGRESSBAR), nullptr) << "the bar, by what it shows";
    }
    // Ended from outside mid-installation: the payload leaves with it.
    ASSERT_TRUE(WaitFor([] { return Exists(DefaultProgramDir() + L"filler00"); }, 20000)) << "unpacking";
    EXPECT_EQ(PayloadFilesLeft(), 1) << "the payload is being read";
    TerminateProcess(setup.proc.Handle(), 1);
    EXPECT_EQ(WaitForSingleObject(setup.proc.Handle(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(PayloadFilesLeft(), 0) << "no payload is left in the Windows directory's Temp";
}
