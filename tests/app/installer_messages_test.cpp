#include "app/installer_messages.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ui/window_wnd.h"

namespace {

struct Received {
    UINT msg;
    WPARAM wParam;
    std::wstring status;
    InstallJobInfo* job;
};

// A real window standing in for the main window: records what it receives
// and takes ownership of the posted objects, as the main window does.
class RecordingWindow : public DuiLib::CWindowWnd {
public:
    std::vector<Received> got;

protected:
    LPCWSTR GetWindowClassName() const override { return L"KxMessagesTestWnd"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        switch (msg) {
        case WM_INSTALL_PROGRESS:
            got.push_back({msg, wParam, {}, nullptr});
            return 0;
        case WM_INSTALL_STATUS: {
            auto* text = reinterpret_cast<std::wstring*>(lParam);
            got.push_back({msg, wParam, *text, nullptr});
            delete text;
            return 0;
        }
        case WM_INSTALL_FINISHED:
            got.push_back({msg, wParam, {}, reinterpret_cast<InstallJobInfo*>(lParam)});
            ::PostQuitMessage(0);
            return 0;
        }
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }
};

void PumpUntilQuit()
{
    MSG m;
    while (::GetMessageW(&m, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&m);
        ::DispatchMessageW(&m);
    }
}

class InstallerMessages : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(wnd.Create(nullptr, L"test", WS_OVERLAPPEDWINDOW, 0), nullptr);
        g_pMainWnd = &wnd;
        g_bClosing = 0;
    }
    void TearDown() override
    {
        g_pMainWnd = nullptr;
        g_bClosing = 0;
        ::DestroyWindow(wnd.GetHWND());
    }
    RecordingWindow wnd;
};

}  // namespace

TEST(InstallerMessageValues, MatchTheProductsNumbers)
{
    EXPECT_EQ(WM_INSTALL_PROGRESS, 0x0464u);
    EXPECT_EQ(WM_INSTALL_STATUS, 0x0465u);
    EXPECT_EQ(WM_INSTALL_FINISHED, 0x0466u);
    EXPECT_EQ(WM_SHOW_USER_AGREEMENT, 0x0467u);
    EXPECT_EQ(WM_SHOW_PRIVACY_AGREEMENT, 0x046Bu);

    InstallJobInfo job;
    EXPECT_EQ(job.startMenuShortcuts, 1);
    EXPECT_EQ(job.quickLaunchShortcut, 0);
    EXPECT_EQ(job.result, 0);
    EXPECT_TRUE(job.installDir.empty() && job.previousDir.empty());
}

TEST_F(InstallerMessages, ArriveFromTheWorkerInPostingOrderWithTheirObjects)
{
    auto* job = new InstallJobInfo;
    job->installDir = L"C:\\Program Files\\kxVistral3\\";
    std::thread worker([job] {
        for (int p : {5, 10, 40})
            PostInstallerMessage(WM_INSTALL_PROGRESS, p, 0);
        PostInstallerStatus(L"正在解压文件  a.dll");
        PostInstallerMessage(WM_INSTALL_PROGRESS, 100, 0);
        job->result = 7;
        PostInstallerFinished(job);
    });
    PumpUntilQuit();
    worker.join();

    ASSERT_EQ(wnd.got.size(), 6u);
    EXPECT_EQ(wnd.got[0].wParam, 5u);
    EXPECT_EQ(wnd.got[1].wParam, 10u);
    EXPECT_EQ(wnd.got[2].wParam, 40u);
    EXPECT_EQ(wnd.got[3].msg, WM_INSTALL_STATUS);
    EXPECT_EQ(wnd.got[3].status, L"正在解压文件  a.dll");
    EXPECT_EQ(wnd.got[4].wParam, 100u);
    EXPECT_EQ(wnd.got[5].msg, WM_INSTALL_FINISHED);
    EXPECT_EQ(wnd.got[5].job, job) << "the record that started the job comes back";
    EXPECT_EQ(wnd.got[5].job->result, 7);
    delete job;
}

TEST_F(InstallerMessages, NothingIsPostedOnceClosing)
{
    g_bClosing = 1;
    auto* job = new InstallJobInfo;
    std::thread worker([job] {
        EXPECT_FALSE(PostInstallerMessage(WM_INSTALL_PROGRESS, 50, 0));
        PostInstallerStatus(L"dropped");
        EXPECT_FALSE(PostInstallerFinished(job)) << "the job keeps its record";
    });
    worker.join();

    MSG m;
    int queued = 0;
    while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
        queued += m.message >= WM_INSTALL_PROGRESS && m.message <= WM_SHOW_PRIVACY_AGREEMENT;
    EXPECT_EQ(queued, 0);
    EXPECT_TRUE(wnd.got.empty());
    delete job;  // still ours: freed exactly once
}

TEST_F(InstallerMessages, APostToAVanishedWindowReportsNotQueued)
{
    ::DestroyWindow(wnd.GetHWND());
    auto* job = new InstallJobInfo;
    EXPECT_FALSE(PostInstallerFinished(job));
    PostInstallerStatus(L"no window");  // must not leak or crash
    delete job;
}

TEST(InstallerMessagesNoWindow, WithoutAMainWindowNothingIsPosted)
{
    g_pMainWnd = nullptr;
    EXPECT_FALSE(PostInstallerMessage(WM_INSTALL_PROGRESS, 1, 0));
}

// The install job's report reaches the window as the installer's messages,
// with their objects, and nothing of it once the window is closing.
TEST_F(InstallerMessages, TheJobsReportArrivesAsMessagesUntilClosing)
{
    struct Case {
        const char* what;
        int32_t closing;
        bool taken;
    } cases[] = {{"open window", 0, true}, {"closing window", 1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        wnd.got.clear();
        g_bClosing = c.closing;
        auto job = std::make_unique<InstallJobInfo>();
        bool taken = !c.taken;
        std::thread worker([&] {
            WindowJobReport window;
            JobReport& report = window;
            report.Status(L"正在解压文件...");
            report.Progress(69);
            taken = report.Finished(job.get());
        });
        worker.join();
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&m);

        EXPECT_EQ(taken, c.taken);
        if (!c.taken) {
            EXPECT_TRUE(wnd.got.empty());
            continue;
        }
        ASSERT_EQ(wnd.got.size(), 3u);
        EXPECT_EQ(wnd.got[0].msg, WM_INSTALL_STATUS);
        EXPECT_EQ(wnd.got[0].status, L"正在解压文件...");
        EXPECT_EQ(wnd.got[1].msg, WM_INSTALL_PROGRESS);
        EXPECT_EQ(wnd.got[1].wParam, 69u);
        EXPECT_EQ(wnd.got[2].msg, WM_INSTALL_FINISHED);
        EXPECT_EQ(wnd.got[2].job, job.get());
    }
}
