// The installer's windows at the display scales users run: Wine reports the
// scale set in its registry (HKCU\Control Panel\Desktop, LogPixels), read
// when a process starts. This process, at 96 DPI, records every window's
// layout and runs itself once per scale with the DpiChild tests, which check
// that each window is that layout scaled, that no text is clipped, and that
// the pictures are the double-size drawings. A move between monitors of
// different scales is a WM_DPICHANGED, tested here directly.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/message_box.h"
#include "system/embedded_resource.h"
#include "system/installer_constants.h"
#include "system/processes.h"
#include "tests/ui/ui_test_support.h"
#include "ui/controls/edit.h"
#include "ui/dpi.h"
#include "ui/image_cache.h"
#include "ui/skin_setup.h"
#include "ui/ui_lib.h"
#include "ui/zip_package.h"

using namespace DuiLib;

namespace {

constexpr int kScales[] = {120, 144, 192};
constexpr wchar_t kChildDpiVar[] = L"KX_DPI_CHILD";
constexpr wchar_t kReferenceVar[] = L"KX_DPI_REFERENCE";
// A two-line message (between 288 and 576 pixels at 96 DPI).
constexpr wchar_t kTwoLines[] =
    L"检测到Vistral3.0正在运行，继续安装将关闭正在运行的程序，是否继续安装？请保存好您的数据。";

class LayoutWindow : public WindowImplBase {
public:
    explicit LayoutWindow(std::wstring skin) : m_skin(std::move(skin)) {}
    ~LayoutWindow() override
    {
        if (IsWindow(m_hWnd))
            DestroyWindow(m_hWnd);
    }
    LPCWSTR GetWindowClassName() const override { return L"KxDpiLayoutTest"; }
    std::wstring GetSkinFile() override { return m_skin; }

private:
    std::wstring m_skin;
};

struct WindowCase {
    const wchar_t* skin;
    DWORD style;
    SIZE size;  // at 96 DPI
};
const WindowCase kWindows[] = {
    {L"wnd_main_zh_CN.xml", 0x10CE0000, {600, 400}},
    {L"messagebox_zh_CN.xml", 0x10CE0000, {380, 168}},
    {L"wnd_userargment_zh_CN.xml", 0x12CE0000, {560, 360}},
    {L"wnd_privacy_zh_CN.xml", 0x12CE0000, {560, 360}},
};

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

int EnvInt(const wchar_t* name)
{
    wchar_t buf[32] = {};
    return GetEnvironmentVariableW(name, buf, 32) ? _wtoi(buf) : 0;
}

std::wstring EnvText(const wchar_t* name)
{
    wchar_t buf[MAX_PATH] = {};
    return GetEnvironmentVariableW(name, buf, MAX_PATH) ? buf : L"";
}

void Settle(HWND hWnd)
{
    uitest::Pump(60);
    UpdateWindow(hWnd);
}

struct Named {
    CControlUI* control;
    std::wstring key;  // name, numbered when a name repeats
};

CControlUI* CALLBACK Collect(CControlUI* c, LPVOID data)
{
    static_cast<std::vector<CControlUI*>*>(data)->push_back(c);
    return nullptr;
}

std::vector<CControlUI*> AllControls(CPaintManagerUI& pm)
{
    std::vector<CControlUI*> all;
    pm.GetRoot()->FindControl(Collect, &all, UIFIND_ALL);
    return all;
}

// Every control whose rectangle is compared: named ones, by name.
std::vector<Named> NamedControls(CPaintManagerUI& pm)
{
    std::vector<Named> out;
    std::map<std::wstring, int> seen;
    for (CControlUI* c : AllControls(pm)) {
        if (c->GetName().empty() || !c->IsVisible())
            continue;
        int n = seen[c->GetName()]++;
        out.push_back({c, c->GetName() + (n ? L"#" + std::to_wstring(n) : L"")});
    }
    return out;
}

// The layouts' rectangles at 96 DPI, as "skin key left top right bottom".
std::wstring ReferenceFile()
{
    wchar_t dir[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + L"kx_dpi_reference.txt";
}

void WriteReference(const std::wstring& path)
{
    std::ofstream out(Narrow(path));
    for (const WindowCase& c : kWindows) {
        LayoutWindow wnd(c.skin);
        ASSERT_NE(wnd.Create(nullptr, L"", c.style, 0, 0, 0, 0, 0), nullptr);
        Settle(wnd.GetHWND());
        wnd.GetPaintManager().UpdateLayout();
        for (const Named& n : NamedControls(wnd.GetPaintManager())) {
            RECT r = n.control->GetPos();
            out << Narrow(c.skin) << ' ' << Narrow(n.key) << ' ' << r.left << ' ' << r.top << ' '
                << r.right << ' ' << r.bottom << '\n';
        }
    }
}

std::map<std::string, RECT> ReadReference(const std::wstring& path)
{
    std::map<std::string, RECT> out;
    std::ifstream in(Narrow(path));
    std::string skin, key;
    RECT r;
    while (in >> skin >> key >> r.left >> r.top >> r.right >> r.bottom)
        out[skin + " " + key] = r;
    return out;
}

// Text that does not fit its control: measured in the window's font, against
// the text area (one rounding pixel allowed, as edges are rounded on their own).
void ExpectTextFits(CPaintManagerUI& pm, const char* where)
{
    for (CControlUI* c : AllControls(pm)) {
        auto* label = static_cast<CLabelUI*>(c->GetInterface(L"Label"));
        if (!label || !c->IsVisible() || c->GetText().empty() || c->GetInterface(L"Edit"))
            continue;
        RECT pad = label->GetTextPadding();
        RECT layout = c->GetLayoutPos();
        RECT text = pm.ScaleRect({layout.left + pad.left, layout.top + pad.top, layout.right - pad.right,
                                  layout.bottom - pad.bottom});
        HDC dc = pm.GetPaintDC();
        HGDIOBJ old = SelectObject(dc, pm.GetFont(label->GetFont()));
        RECT need = {0, 0, text.right - text.left, 0};
        std::wstring s = c->GetText();
        bool multi = (label->GetTextStyle() & DT_WORDBREAK) != 0;
        DrawTextW(dc, s.c_str(), static_cast<int>(s.size()), &need,
                  DT_CALCRECT | DT_NOPREFIX | (multi ? DT_WORDBREAK : DT_SINGLELINE));
        SelectObject(dc, old);
        EXPECT_LE(need.right - need.left, text.right - text.left + 1)
            << where << ' ' << Narrow(c->GetName()) << " text too wide";
        EXPECT_LE(need.bottom - need.top, text.bottom - text.top + 1)
            << where << ' ' << Narrow(c->GetName()) << " text too high";
    }
}

// The double-size picture of a skin file, reduced to the scale by averaging
// the area each pixel covers: an independent reference.
struct Picture {
    int w = 0, h = 0;
    std::vector<uint32_t> px;  // 0x00RRGGBB over white
};

Picture DoubleSizeReference(const wchar_t* file, int dpi, RECT part = {})
{
    Picture out;
    auto zip = EmbeddedResource(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(109), L"ZIPRES");
    CZipPackage package;
    std::vector<uint8_t> bytes;
    if (zip.empty() || !package.Open(zip.data(), zip.size()) || !package.Read(file, bytes))
        return out;
    auto image = CImageCache::Decode(bytes.data(), bytes.size(), 0);
    if (!image)
        return out;
    if (IsRectEmpty(&part))
        part = {0, 0, image->nX / 2, image->nY / 2};
    const int x0 = 2 * part.left, y0 = 2 * part.top;
    const int x1 = 2 * part.right, y1 = 2 * part.bottom;
    out.w = MulDiv(part.right - part.left, dpi, kDesignDpi);
    out.h = MulDiv(part.bottom - part.top, dpi, kDesignDpi);
    // Source pixels per output pixel, for the whole size drawn.
    const double fx = static_cast<double>(x1 - x0) / out.w, fy = static_cast<double>(y1 - y0) / out.h;
    out.px.resize(static_cast<size_t>(out.w) * out.h);
    for (int y = 0; y < out.h; ++y) {
        for (int x = 0; x < out.w; ++x) {
            double acc[3] = {}, area = 0;
            const double top = y0 + y * fy, bottom = std::min<double>(y1, y0 + (y + 1) * fy);
            const double left = x0 + x * fx, right = std::min<double>(x1, x0 + (x + 1) * fx);
            for (int sy = static_cast<int>(top); sy < static_cast<int>(std::ceil(bottom)); ++sy) {
                double hy = std::min<double>(sy + 1, bottom) - std::max<double>(sy, top);
                for (int sx = static_cast<int>(left); sx < static_cast<int>(std::ceil(right)); ++sx) {
                    double wx = std::min<double>(sx + 1, right) - std::max<double>(sx, left);
                    uint32_t p = image->pBits[static_cast<size_t>(sy) * image->nX + sx];
                    uint32_t a = p >> 24;
                    for (int ch = 0; ch < 3; ++ch)  // premultiplied, over white
                        acc[ch] += wx * hy * (((p >> (8 * ch)) & 0xFF) + (255 - a));
                    area += wx * hy;
                }
            }
            uint32_t v = 0;
            for (int ch = 0; ch < 3; ++ch)
                v |= static_cast<uint32_t>(std::lround(acc[ch] / area)) << (8 * ch);
            out.px[static_cast<size_t>(y) * out.w + x] = v;
        }
    }
    return out;
}

// Compares the window's pixels inside area (at its top-left the reference's
// origin) with the reference, leaving out the rectangles in skip.
void ExpectMatches(const uitest::Capture& cap, RECT area, const Picture& ref,
                   const std::vector<RECT>& skip, const char* what)
{
    ASSERT_GT(ref.w, 0) << what << ": no double-size picture";
    long long sum = 0, count = 0, distant = 0;
    for (int y = area.top; y < std::min<LONG>(area.bottom, cap.height); ++y) {
        for (int x = area.left; x < std::min<LONG>(area.right, cap.width); ++x) {
            int rx = x - area.left, ry = y - area.top;
            if (rx >= ref.w || ry >= ref.h)
                continue;
            POINT pt = {x, y};
            if (std::any_of(skip.begin(), skip.end(), [&](const RECT& r) { return PtInRect(&r, pt); }))
                continue;
            uint32_t a = cap.At(x, y), b = ref.px[static_cast<size_t>(ry) * ref.w + rx];
            int worst = 0;
            for (int ch = 0; ch < 24; ch += 8)
                worst = std::max(worst, std::abs(static_cast<int>((a >> ch) & 0xFF) - static_cast<int>((b >> ch) & 0xFF)));
            sum += worst;
            distant += worst > 24;
            ++count;
        }
    }
    ASSERT_GT(count, 0) << what;
    // The two filters differ a little at sharp edges (a mean below 2 on the
    // small icon, no pixel far off); the 1x pictures enlarged instead leave
    // 1 % of the picture area and 9 % of the icon far off.
    EXPECT_LT(static_cast<double>(sum) / count, 3.0) << what << ": mean difference";
    EXPECT_LT(static_cast<double>(distant) / count, 0.005) << what << ": pixels far from the reference";
}

class DisplayScale : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        OleInitialize(nullptr);  // the agreement windows host a browser
        ASSERT_TRUE(SetupSkinPackage(GetModuleHandleW(nullptr)));
    }
    static void TearDownTestSuite() { OleUninitialize(); }
};

class DpiChild : public DisplayScale {
protected:
    void SetUp() override
    {
        m_dpi = EnvInt(kChildDpiVar);
        if (m_dpi == 0)
            GTEST_SKIP() << "run by DisplayScale.EveryWindowAtEveryScale";
    }
    int m_dpi = 0;
};

// HKCU\Control Panel\Desktop LogPixels, the scale Wine reports to new processes.
struct LogPixels {
    HKEY key = nullptr;
    DWORD old = 0;
    bool had = false;
    LogPixels()
    {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_READ | KEY_WRITE,
                        nullptr, &key, nullptr);
        DWORD size = sizeof(old);
        had = key && RegQueryValueExW(key, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&old),
                                      &size) == ERROR_SUCCESS;
    }
    void Set(DWORD dpi) { RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<BYTE*>(&dpi), sizeof(dpi)); }
    ~LogPixels()
    {
        if (had)
            Set(old);
        else
            RegDeleteValueW(key, L"LogPixels");
        RegCloseKey(key);
    }
};

DWORD RunChild(int dpi, const std::wstring& reference)
{
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring cmd = L"\"" + std::wstring(exe) + L"\" --gtest_filter=DpiChild.*";
    SetEnvironmentVariableW(kChildDpiVar, std::to_wstring(dpi).c_str());
    SetEnvironmentVariableW(kReferenceVar, reference.c_str());
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    BOOL ok = CreateProcessW(exe, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableW(kChildDpiVar, nullptr);
    if (!ok)
        return 0xFFFFFFFF;
    DWORD code = 0xFFFFFFFE;
    if (WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, code);  // leaves no window for the next test
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

}  // namespace

TEST_F(DisplayScale, EveryWindowAtEveryScale)
{
    const std::wstring reference = ReferenceFile();
    WriteReference(reference);
    LogPixels logPixels;
    ASSERT_NE(logPixels.key, nullptr);
    for (int dpi : kScales) {
        logPixels.Set(static_cast<DWORD>(dpi));
        EXPECT_EQ(RunChild(dpi, reference), 0u) << "at " << dpi << " DPI (its failures above)";
    }
    DeleteFileW(reference.c_str());
}

TEST_F(DpiChild, WindowsAreTheirLayoutScaledWithNoTextClipped)
{
    const auto reference = ReadReference(EnvText(kReferenceVar));
    ASSERT_FALSE(reference.empty());
    for (const WindowCase& c : kWindows) {
        const std::string skin = Narrow(c.skin);
        LayoutWindow wnd(c.skin);
        ASSERT_NE(wnd.Create(nullptr, L"", c.style, 0, 0, 0, 0, 0), nullptr);
        Settle(wnd.GetHWND());
        CPaintManagerUI& pm = wnd.GetPaintManager();
        ASSERT_EQ(pm.GetDpi(), m_dpi) << skin << ": the window does not see the scale set";
        RECT client;
        GetClientRect(wnd.GetHWND(), &client);
        EXPECT_NEAR(client.right, MulDiv(c.size.cx, m_dpi, 96), 1) << skin;
        EXPECT_NEAR(client.bottom, MulDiv(c.size.cy, m_dpi, 96), 1) << skin;
        pm.UpdateLayout();
        size_t compared = 0;
        for (const Named& n : NamedControls(pm)) {
            auto it = reference.find(skin + " " + Narrow(n.key));
            if (it == reference.end())
                continue;
            ++compared;
            RECT want = pm.ScaleRect(it->second), got = n.control->GetPos();
            EXPECT_TRUE(std::abs(got.left - want.left) <= 1 && std::abs(got.top - want.top) <= 1 &&
                        std::abs(got.right - want.right) <= 1 && std::abs(got.bottom - want.bottom) <= 1)
                << skin << ' ' << Narrow(n.key) << ": " << got.left << ',' << got.top << ',' << got.right
                << ',' << got.bottom << " for " << want.left << ',' << want.top << ',' << want.right << ','
                << want.bottom;
        }
        EXPECT_GT(compared, 3u) << skin;
        ExpectTextFits(pm, skin.c_str());
    }
}

TEST_F(DpiChild, MainAndFinishPagesShowTheDoubleSizePictures)
{
    LayoutWindow wnd(L"wnd_main_zh_CN.xml");
    ASSERT_NE(wnd.Create(nullptr, L"", 0x10CE0000, 0, 0, 0, 0, 0), nullptr);
    Settle(wnd.GetHWND());
    CPaintManagerUI& pm = wnd.GetPaintManager();
    CControlUI* bk = pm.FindControl(L"labBk");
    ASSERT_NE(bk, nullptr);
    // What is drawn over the picture area: title icon and text, close button.
    std::vector<RECT> over;
    for (CControlUI* c : AllControls(pm))
        if (c->IsFloat() && c->IsVisible())
            over.push_back(c->GetPos());
    struct Page {
        const wchar_t* picture;
        const char* what;
    };
    for (Page page : {Page{L"install_img_01.png", "main page"}, Page{L"install_img_03.png", "finish page"}}) {
        bk->SetBkImage((L"file='" + std::wstring(page.picture) + L"'").c_str());
        pm.UpdateLayout();
        uitest::Capture cap = uitest::CaptureWindow(wnd.GetHWND());
        ExpectMatches(cap, bk->GetPos(), DoubleSizeReference(page.picture, m_dpi), over, page.what);
    }
}

TEST_F(DpiChild, TwoLineMessageBoxFitsItsTextAndShowsTheDoubleSizeIcon)
{
    CMessageBox box;
    ASSERT_TRUE(box.Open(nullptr));
    box.Prepare(L"安装Vistral3.0", kTwoLines, 0x30, L"确定", nullptr);
    Settle(box.GetHWND());
    CPaintManagerUI& pm = box.GetPaintManager();
    ASSERT_EQ(pm.GetDpi(), m_dpi);
    RECT client;
    GetClientRect(box.GetHWND(), &client);
    EXPECT_NEAR(client.bottom, MulDiv(132 + 2 * 18, m_dpi, 96), 1) << "two lines at this scale";
    ExpectTextFits(pm, "message box");
    CControlUI* icon = pm.FindControl(L"txt_icon");
    ASSERT_NE(icon, nullptr);
    // The warning mark: the fourth 22-pixel cell.
    Picture warning = DoubleSizeReference(L"messagebox_icon_22x22.png", m_dpi, {0, 66, 22, 88});
    uitest::Capture cap = uitest::CaptureWindow(box.GetHWND());
    ExpectMatches(cap, icon->GetPos(), warning, {}, "warning icon");
    DestroyWindow(box.GetHWND());
}

TEST_F(DpiChild, CustomAreaKeepsTheTopLeftCornerAtThisScale)
{
    // The window offers to end a running product first: not with a test's.
    DWORD running = 0;
    if (FindProcessByName(MainExeName, running) && running != 0)
        GTEST_SKIP() << "a product process runs";
    auto* main = new CWnd_Main;  // deletes itself when its window goes
    HWND hWnd = main->Create(nullptr, L"", 0x10CE0000, 0x00060000, 0, 0, 500, 400);
    ASSERT_NE(hWnd, nullptr);
    SetWindowPos(hWnd, nullptr, 50, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Settle(hWnd);
    for (int height : {450, 400, 450}) {
        main->ToggleCustomArea();
        Settle(hWnd);
        RECT rc, client;
        GetWindowRect(hWnd, &rc);
        GetClientRect(hWnd, &client);
        EXPECT_EQ(rc.left, 50);
        EXPECT_EQ(rc.top, 40);
        EXPECT_NEAR(client.right, MulDiv(600, m_dpi, 96), 1);
        EXPECT_NEAR(client.bottom, MulDiv(height, m_dpi, 96), 1);
    }
    // Unfolded, the program directory field shows whole inside the window.
    CControlUI* field = main->GetPaintManager().FindControl(L"edit_installpath");
    ASSERT_NE(field, nullptr);
    main->GetPaintManager().UpdateLayout();
    RECT client;
    GetClientRect(hWnd, &client);
    EXPECT_TRUE(field->IsVisible());
    EXPECT_LE(field->GetPos().bottom, client.bottom);
    DestroyWindow(hWnd);
    uitest::Pump(30);
}

TEST_F(DpiChild, FieldCaretIsAsWideAsALineAtThisScale)
{
    LayoutWindow wnd(L"wnd_main_zh_CN.xml");
    ASSERT_NE(wnd.Create(nullptr, L"", 0x10CE0000, 0, 0, 0, 0, 0), nullptr);
    CPaintManagerUI& pm = wnd.GetPaintManager();
    pm.FindControl(L"hor_userdefine")->SetVisible(true);
    SetWindowPos(wnd.GetHWND(), nullptr, 0, 0, pm.Scale(600), pm.Scale(450), SWP_NOMOVE | SWP_NOZORDER);
    SetForegroundWindow(wnd.GetHWND());
    Settle(wnd.GetHWND());
    auto* field = static_cast<CEditUI*>(pm.FindControl(L"edit_installpath"));
    ASSERT_NE(field, nullptr);
    // The EDIT makes its caret when it gains the focus and when its font
    // changes (a move to another scale): each time one pixel wide.
    struct Step {
        const char* what;
        void (*make)(CEditUI&, CPaintManagerUI&);
    };
    const Step steps[] = {
        {"on focus", [](CEditUI& f, CPaintManagerUI&) { f.SetFocus(); }},
        {"after a new font", [](CEditUI& f, CPaintManagerUI& m) {
             SendMessageW(f.GetNativeWindow(), WM_SETFONT, reinterpret_cast<WPARAM>(m.GetFont(-1)), TRUE);
         }},
    };
    for (const Step& step : steps) {
        step.make(*field, pm);
        uitest::Pump(30);
        ASSERT_NE(field->GetNativeWindow(), nullptr) << step.what;
        GUITHREADINFO gui = {};
        gui.cbSize = sizeof(gui);
        ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &gui)) << step.what;
        EXPECT_EQ(gui.hwndCaret, field->GetNativeWindow()) << step.what;
        EXPECT_EQ(gui.rcCaret.right - gui.rcCaret.left, ScaleLineByDpi(1, m_dpi)) << step.what;
        EXPECT_GT(gui.rcCaret.bottom - gui.rcCaret.top, pm.Scale(10)) << step.what << ": a text line high";
    }
    DestroyWindow(wnd.GetHWND());
}

TEST_F(DisplayScale, MovingToAnotherScaleLaysTheWindowOutAgain)
{
    LayoutWindow wnd(L"wnd_main_zh_CN.xml");
    ASSERT_NE(wnd.Create(nullptr, L"", 0x10CE0000, 0, 0, 0, 0, 0), nullptr);
    Settle(wnd.GetHWND());
    CPaintManagerUI& pm = wnd.GetPaintManager();
    const int start = pm.GetDpi();
    CControlUI* button = pm.FindControl(L"btn_install_start");
    const RECT design = button->GetLayoutPos();
    for (int dpi : {144, 192, 120, start}) {
        RECT suggested = {40, 30, 40 + MulDiv(600, dpi, 96), 30 + MulDiv(400, dpi, 96)};
        SendMessageW(wnd.GetHWND(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        Settle(wnd.GetHWND());
        pm.UpdateLayout();
        RECT rc, client;
        GetWindowRect(wnd.GetHWND(), &rc);
        GetClientRect(wnd.GetHWND(), &client);
        EXPECT_EQ(pm.GetDpi(), dpi);
        EXPECT_EQ(rc.left, 40) << dpi;
        EXPECT_EQ(rc.top, 30) << dpi;
        EXPECT_NEAR(client.right, MulDiv(600, dpi, 96), 1) << dpi;
        EXPECT_NEAR(client.bottom, MulDiv(400, dpi, 96), 1) << dpi;
        RECT want = ScaleRectByDpi(design, dpi), got = button->GetPos();
        EXPECT_TRUE(EqualRect(&want, &got)) << dpi << ": the start button is not laid out again";
    }
}
