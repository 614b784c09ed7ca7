// The animated label: a label that shows its text but never its background
// picture, known only to windows whose factory creates it.
#include <gtest/gtest.h>

#include <exdisp.h>
#include <oleidl.h>

#include "ui_test_support.h"

using namespace DuiLib;
using uitest::Near;
using uitest::TestWindow;

namespace {

struct AniWindow {
    explicit AniWindow(bool knowsAniLabel) : wnd(L"test_ani.xml", knowsAniLabel)
    {
        uitest::InstallTestSkin();
        opened = wnd.Open();
        uitest::Pump();
    }
    ~AniWindow()
    {
        if (IsWindow(wnd.GetHWND()))
            DestroyWindow(wnd.GetHWND());
    }
    TestWindow wnd;
    bool opened = false;
};

}  // namespace

TEST(AniLabel, ShowsTextButNeverItsBackgroundPicture)
{
    AniWindow w(true);
    ASSERT_TRUE(w.opened);
    CControlUI* ani = w.wnd.Find(L"ani");
    ASSERT_NE(ani, nullptr);
    EXPECT_STREQ(ani->GetClass(), L"AnimationLabelUI");
    EXPECT_EQ(ani->GetText(), L"动画");
    EXPECT_EQ(ani->GetBkImage(), L"file='grid_40x20.png' source='0,0,20,20'");

    uitest::Capture cap = uitest::CaptureWindow(w.wnd.GetHWND());
    RECT rc = ani->GetPos();
    EXPECT_TRUE(Near(cap.At(rc.left + 2, rc.top + 2), 0x00FF00)) << "no bkimage under the AniLabel";
    EXPECT_GT(uitest::CountInk(cap, rc, 0x00FF00), 30) << "its text is drawn";
    RECT same = w.wnd.Find(L"lab_same")->GetPos();
    EXPECT_TRUE(Near(cap.At(same.left + 2, same.top + 2), 0xFF0000)) << "a Label shows the same bkimage";
}

TEST(AniLabel, InterfaceAndAttributes)
{
    AniWindow w(true);
    ASSERT_TRUE(w.opened);
    auto* ani = static_cast<CAniLabelUI*>(w.wnd.Find(L"ani"));
    ASSERT_NE(ani, nullptr);
    EXPECT_EQ(ani->GetInterface(L"AnimationLabelUI"), ani);
    EXPECT_EQ(ani->GetInterface(L"animationlabelui"), nullptr) << "case-sensitive";
    EXPECT_EQ(ani->GetInterface(L"Label"), ani);
    EXPECT_EQ(ani->GetInterface(L"LABEL"), ani);
    EXPECT_EQ(ani->GetAniImage(), L"file='grid_40x20.png'");
    EXPECT_EQ(ani->GetAniImageWidth(), 12) << "read as wcstol reads \" 12px\"";
    EXPECT_EQ(ani->GetAniImageHeight(), 0) << "no digits";
    ani->SetAttribute(L"aniimgheight", L"-7");
    EXPECT_EQ(ani->GetAniImageHeight(), -7);
    ani->SetAttribute(L"AniImgHeight", L"5");
    EXPECT_EQ(ani->GetAniImageHeight(), -7) << "attribute names are case-sensitive";
    EXPECT_EQ(w.wnd.Find(L"ani_lower"), nullptr) << "the lower-case tag is unknown";
}

TEST(AniLabel, UnknownToOtherWindows)
{
    AniWindow w(false);
    ASSERT_TRUE(w.opened);
    EXPECT_EQ(w.wnd.Find(L"ani"), nullptr);
    EXPECT_NE(w.wnd.Find(L"lab_same"), nullptr) << "the rest of the layout is built";
}

TEST(WebBrowser, HostedInPlaceAndTheWindowClosesNormally)
{
    OleInitialize(nullptr);
    {
        AniWindow w(true);
        ASSERT_TRUE(w.opened);
        auto* web = static_cast<CWebBrowserUI*>(w.wnd.Find(L"web"));
        ASSERT_NE(web, nullptr);
        EXPECT_EQ(web->GetHomePage(), L"http://127.0.0.1:9/none.html");
        EXPECT_TRUE(web->IsAutoNavigation());
        // The system's browser object is hosted in place over the control.
        IWebBrowser2* browser = web->GetWebBrowser2();
        ASSERT_NE(browser, nullptr);
        IOleWindow* ole = nullptr;
        ASSERT_TRUE(SUCCEEDED(browser->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&ole))));
        HWND hosted = nullptr;
        ole->GetWindow(&hosted);
        ole->Release();
        ASSERT_NE(hosted, nullptr);
        EXPECT_EQ(GetAncestor(hosted, GA_ROOT), w.wnd.GetHWND());
        RECT rc;
        GetWindowRect(hosted, &rc);
        MapWindowPoints(nullptr, w.wnd.GetHWND(), reinterpret_cast<POINT*>(&rc), 2);
        RECT pos = web->GetPos();
        EXPECT_EQ(rc.top, pos.top);
        EXPECT_EQ(rc.bottom, pos.bottom);
        EXPECT_EQ(rc.right - rc.left, pos.right - pos.left);
        w.wnd.Close(1);
        uitest::Pump(200);
        EXPECT_FALSE(IsWindow(w.wnd.GetHWND()));
    }
    OleUninitialize();
}
