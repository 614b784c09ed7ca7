// The shipped payload unpacked as the install job does it: one status text
// and one progress step per item, every path recorded.
#include <gtest/gtest.h>

#include "app/installer_messages.h"
#include "app/string_bundle.h"
#include "archive_items.h"
#include "install/install_progress.h"
#include "install/pcallback.h"
#include "install/seven_zip_extractor.h"
#include "scratch_dir.h"
#include "system/embedded_resource.h"
#include "ui/window_wnd.h"

namespace {

// Stands in for the main window: keeps the progress values and status texts
// posted to it, and frees the texts as the window does.
class RecordingWindow : public DuiLib::CWindowWnd {
public:
    std::vector<WPARAM> progress;
    std::vector<std::wstring> status;

protected:
    LPCWSTR GetWindowClassName() const override { return L"KxPayloadTestWnd"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_INSTALL_PROGRESS) {
            progress.push_back(wParam);
            return 0;
        }
        if (msg == WM_INSTALL_STATUS) {
            auto* text = reinterpret_cast<std::wstring*>(lParam);
            status.push_back(*text);
            delete text;
            return 0;
        }
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }
};

void PumpPending()
{
    MSG m;
    while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&m);
        ::DispatchMessageW(&m);
    }
}

// Writes resource 7Z/101 of this executable to a file, as the install job
// does with the installer's own.
bool WritePayload(const std::wstring& path)
{
    std::span<const uint8_t> payload = EmbeddedResource(nullptr, MAKEINTRESOURCEW(101), L"7Z");
    return !payload.empty() && WriteBytes(path, std::string(payload.begin(), payload.end()));
}

}  // namespace

TEST(PayloadExtraction, ProgressStatusAndRecordedPathsFollowTheItems)
{
    ScratchDir scratch;
    std::wstring archive = scratch / L"resource.7z";
    ASSERT_TRUE(WritePayload(archive)) << "no payload resource 7Z/101";
    std::wstring dest = scratch / L"kxVistral3\\";

    RecordingWindow wnd;
    ASSERT_NE(wnd.Create(nullptr, L"test", WS_OVERLAPPEDWINDOW, 0), nullptr);
    g_pMainWnd = &wnd;
    g_bClosing = 0;
    g_installedFiles.clear();
    g_installedDirs.clear();
    g_installProgress = 10.0f;  // where the install job stands when it unpacks

    SevenZip::SevenZipExtractor extractor;
    extractor.UseArchiveFile(archive);
    PCallBack callback;
    int32_t result = extractor.ExtractTo(dest, &callback);
    PumpPending();
    g_pMainWnd = nullptr;
    ::DestroyWindow(wnd.GetHWND());
    ASSERT_EQ(result, 0);

    // The product's shape, the four programs among the files.
    EXPECT_EQ(g_installedDirs.size(), 19u);
    EXPECT_EQ(g_installedFiles.size(), 170u);
    for (const wchar_t* program : {L"kxVistral.exe", L"launcher.exe", L"updater.exe", L"Uninstall.exe"}) {
        EXPECT_TRUE(Exists(dest + program)) << testing::PrintToString(std::wstring(program));
        EXPECT_NE(std::find(g_installedFiles.begin(), g_installedFiles.end(), dest + program),
                  g_installedFiles.end());
    }

    // One status text and one progress value per item, in archive order.
    std::vector<std::wstring> names = ArchiveItemPaths(archive);
    ASSERT_EQ(names.size(), 189u);
    ASSERT_EQ(wnd.status.size(), 189u);
    std::vector<std::wstring> files, dirs;
    for (size_t i = 0; i < names.size(); ++i) {
        std::wstring path = dest + names[i];
        EXPECT_EQ(wnd.status[i], L"正在解压文件  " + path);
        (IsDirectory(path) ? dirs : files).push_back(path);
    }
    EXPECT_EQ(g_installedFiles, files);
    EXPECT_EQ(g_installedDirs, dirs);

    // 60/189 of a point per item from 10: the float sum stays below 70.
    ASSERT_EQ(wnd.progress.size(), 189u);
    EXPECT_EQ(wnd.progress.front(), 10u);
    EXPECT_EQ(wnd.progress.back(), 69u);
    EXPECT_TRUE(std::is_sorted(wnd.progress.begin(), wnd.progress.end()));
    EXPECT_LT(g_installProgress, 70.0f);
    EXPECT_GT(g_installProgress, 69.99f);
}

TEST(PayloadExtraction, NothingIsPostedWhileTheWindowCloses)
{
    ScratchDir scratch;
    std::wstring archive = scratch / L"resource.7z";
    ASSERT_TRUE(WritePayload(archive));
    RecordingWindow wnd;
    ASSERT_NE(wnd.Create(nullptr, L"test", WS_OVERLAPPEDWINDOW, 0), nullptr);
    g_pMainWnd = &wnd;
    g_bClosing = 1;
    g_installedFiles.clear();
    g_installedDirs.clear();
    g_installProgress = 10.0f;

    SevenZip::SevenZipExtractor extractor;
    extractor.UseArchiveFile(archive);
    PCallBack callback;
    int32_t result = extractor.ExtractTo(scratch / L"dest\\", &callback);
    PumpPending();
    g_pMainWnd = nullptr;
    g_bClosing = 0;
    ::DestroyWindow(wnd.GetHWND());

    EXPECT_EQ(result, 0) << "the job still runs to its end";
    EXPECT_TRUE(wnd.progress.empty());
    EXPECT_TRUE(wnd.status.empty());
    EXPECT_EQ(g_installedFiles.size() + g_installedDirs.size(), 189u);
}
