// The four window layouts of the embedded skin package, built through the
// real framework: window sizes, caption areas, the controls the installer
// looks up by name, and the main window's pages.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/ui_test_support.h"
#include "ui/focus_contrast.h"
#include "ui/skin_setup.h"
#include "ui/ui_lib.h"

using namespace DuiLib;

namespace {

class LayoutWindow : public WindowImplBase {
public:
    explicit LayoutWindow(std::wstring skin) : m_skin(std::move(skin)) {}
    ~LayoutWindow() override
    {
        if (IsWindow(m_hWnd))
            DestroyWindow(m_hWnd);
    }
    LPCWSTR GetWindowClassName() const override { return L"KxSkinLayoutTest"; }
    std::wstring GetSkinFile() override { return m_skin; }
    bool Open(DWORD style) { return Create(nullptr, L"", style, 0, 0, 0, 0, 0) != nullptr; }
    CControlUI* Find(LPCWSTR name) { return m_pm.FindControl(name); }
    SIZE Size() const
    {
        RECT rc;
        GetWindowRect(m_hWnd, &rc);
        return {rc.right - rc.left, rc.bottom - rc.top};
    }

private:
    std::wstring m_skin;
};

struct WindowCase {
    const wchar_t* skin;
    DWORD style;
    SIZE size;
    int captionHeight;
    std::vector<const wchar_t*> names;
};

const WindowCase kWindows[] = {
    {L"wnd_main_zh_CN.xml", 0x10CE0000, {600, 400}, 280,
     {L"lab_captionTitle", L"lab_install_percent", L"pro_install", L"edit_installpath",
      L"edit_userdata", L"check_userprot", L"check_shortcut", L"tab_install_view",
      L"hor_separator", L"hor_userdefine", L"hor_userdata", L"closebtn", L"opt_usercustom",
      L"btn_usercustom", L"btn_userprot", L"btn_privacy", L"btn_install_start", L"btn_open_kx",
      L"btn_browsepath", L"btn_browse_userdata", L"labBk", L"lab_install_tip",
      L"lab_install_completed", L"vLayout_bg"}},
    {L"messagebox_zh_CN.xml", 0x10CE0000, {380, 168}, 40,
     {L"txt_caption", L"txt_icon", L"txt_tips", L"btn_ok", L"btn_no", L"btn_close"}},
    {L"wnd_userargment_zh_CN.xml", 0x12CE0000, {560, 360}, 40, {L"btn_close", L"btn_closewin"}},
    {L"wnd_privacy_zh_CN.xml", 0x12CE0000, {560, 360}, 40, {L"btn_close", L"btn_closewin"}},
};

class SkinWindows : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        OleInitialize(nullptr);  // the agreement windows host a browser
        ASSERT_TRUE(SetupSkinPackage(GetModuleHandleW(nullptr)));
    }
    static void TearDownTestSuite() { OleUninitialize(); }
};

void Pump()
{
    MSG msg;
    for (int i = 0; i < 5; ++i) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!CPaintManagerUI::TranslateMessage(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        Sleep(5);
    }
}

}  // namespace

TEST_F(SkinWindows, EachLayoutBuildsWithItsSizeAndEveryNameTheInstallerUses)
{
    for (const WindowCase& c : kWindows) {
        SCOPED_TRACE(testing::Message() << std::string(c.skin, c.skin + wcslen(c.skin)));
        LayoutWindow wnd(c.skin);
        ASSERT_TRUE(wnd.Open(c.style));
        Pump();
        EXPECT_EQ(wnd.Size().cx, c.size.cx);
        EXPECT_EQ(wnd.Size().cy, c.size.cy);
        EXPECT_EQ(wnd.GetPaintManager().GetCaptionRect().bottom, c.captionHeight);
        EXPECT_TRUE(wnd.GetPaintManager().GetShadow() != nullptr);
        for (const wchar_t* name : c.names)
            EXPECT_NE(wnd.Find(name), nullptr)
                << std::string(name, name + wcslen(name)) << " missing";
    }
}

TEST_F(SkinWindows, MessageBoxLayoutHasNoSecondTipsText)
{
    LayoutWindow wnd(L"messagebox_zh_CN.xml");
    ASSERT_TRUE(wnd.Open(0x10CE0000));
    EXPECT_EQ(wnd.Find(L"txt_tips1"), nullptr);
    // 380 less the paddings 52 and 40: the width the box wraps its text in.
    wnd.GetPaintManager().UpdateLayout();
    EXPECT_EQ(wnd.Find(L"txt_tips")->GetWidth(), 288);
}

TEST_F(SkinWindows, MainWindowPagesAndThePictureAreaStayVisible)
{
    LayoutWindow wnd(L"wnd_main_zh_CN.xml");
    ASSERT_TRUE(wnd.Open(0x10CE0000));
    auto* tab = static_cast<CTabLayoutUI*>(wnd.Find(L"tab_install_view"));
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->GetCurSel(), 0);
    const wchar_t* perPage[] = {L"btn_install_start", L"pro_install", L"btn_open_kx"};
    for (int page = 0; page < 3; ++page) {
        SCOPED_TRACE(page);
        ASSERT_TRUE(tab->SelectItem(page));
        wnd.GetPaintManager().UpdateLayout();
        EXPECT_EQ(tab->GetCurSel(), page);
        for (int other = 0; other < 3; ++other)
            EXPECT_EQ(wnd.Find(perPage[other])->IsVisible(), other == page);
        for (const wchar_t* always : {L"labBk", L"lab_captionTitle", L"closebtn", L"vLayout_bg"}) {
            CControlUI* c = wnd.Find(always);
            EXPECT_TRUE(c->IsVisible());
            EXPECT_LT(c->GetPos().top, 280);
        }
    }
    // Page 0 at 400 pixels: the start button row and the agreement row show,
    // the custom rows are hidden until the window grows.
    tab->SelectItem(0);
    wnd.GetPaintManager().UpdateLayout();
    EXPECT_EQ(wnd.Find(L"btn_install_start")->GetPos().top, 280 + 22);
    EXPECT_LE(wnd.Find(L"check_userprot")->GetPos().bottom, 400);
    EXPECT_FALSE(wnd.Find(L"hor_userdefine")->IsVisible());
}

TEST_F(SkinWindows, FocusMarkStandsOutFromEveryButtonAndItsWindow)
{
    // Each push button of the skin, enabled, focused by keyboard: its mark,
    // on the button's top edge, against the button and the window above it.
    struct Case {
        const wchar_t* skin;
        DWORD style;
        int page;  // of the main window, or -1
        const wchar_t* button;
    } cases[] = {
        {L"wnd_main_zh_CN.xml", 0x10CE0000, 0, L"btn_install_start"},
        {L"wnd_main_zh_CN.xml", 0x10CE0000, 2, L"btn_open_kx"},
        {L"messagebox_zh_CN.xml", 0x10CE0000, -1, L"btn_ok"},
        {L"messagebox_zh_CN.xml", 0x10CE0000, -1, L"btn_no"},
        {L"wnd_userargment_zh_CN.xml", 0x12CE0000, -1, L"btn_close"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.button, c.button + wcslen(c.button)));
        LayoutWindow wnd(c.skin);
        ASSERT_TRUE(wnd.Open(c.style));
        if (c.page >= 0)
            static_cast<CTabLayoutUI*>(wnd.Find(L"tab_install_view"))->SelectItem(c.page);
        CControlUI* button = wnd.Find(c.button);
        button->SetEnabled(true);
        button->SetFocus();
        wnd.GetPaintManager().ShowFocusCues();
        Pump();
        uitest::Capture cap = uitest::CaptureWindow(wnd.GetHWND());
        RECT rc = button->GetPos();
        int cx = (rc.left + rc.right) / 2;
        DWORD mark = 0xFF000000 | cap.At(cx, rc.top + 1);
        DWORD fill = 0xFF000000 | cap.At(rc.left + 5, (rc.top + rc.bottom) / 2);
        DWORD around = 0xFF000000 | cap.At(cx, rc.top - 2);
        EXPECT_GE(ContrastRatio(mark, fill), kFocusMarkMinContrast) << std::hex << mark << " on " << fill;
        EXPECT_GE(ContrastRatio(mark, around), kFocusMarkMinContrast) << std::hex << mark << " by " << around;
    }
}
