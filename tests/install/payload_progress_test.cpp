// The shipped payload unpacked as the install job does it: one status text
// and one progress step per item reported, every path recorded.
#include <gtest/gtest.h>

#include "archive_items.h"
#include "install/install_progress.h"
#include "install/pcallback.h"
#include "install/seven_zip_extractor.h"
#include "recording_report.h"
#include "scratch_dir.h"
#include "system/embedded_resource.h"

namespace {

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

    RecordingReport report;
    InstallProgress progress(report);
    progress.percent = 10.0f;  // where the install job stands when it unpacks

    SevenZip::SevenZipExtractor extractor;
    extractor.UseArchiveFile(archive);
    PCallBack callback(progress);
    int32_t result = extractor.ExtractTo(dest, &callback);
    ASSERT_EQ(result, 0);
    const std::vector<std::wstring>& unpackedFiles = progress.installedFiles;
    const std::vector<std::wstring>& unpackedDirs = progress.installedDirs;
    const std::vector<std::wstring> status = report.Statuses();
    const std::vector<int> values = report.ProgressValues();

    // The product's shape, the four programs among the files.
    EXPECT_EQ(unpackedDirs.size(), 19u);
    EXPECT_EQ(unpackedFiles.size(), 170u);
    for (const wchar_t* program : {L"kxVistral.exe", L"launcher.exe", L"updater.exe", L"Uninstall.exe"}) {
        EXPECT_TRUE(Exists(dest + program)) << testing::PrintToString(std::wstring(program));
        EXPECT_NE(std::find(unpackedFiles.begin(), unpackedFiles.end(), dest + program),
                  unpackedFiles.end());
    }

    // One status text and one progress value per item, in archive order.
    std::vector<std::wstring> names = ArchiveItemPaths(archive);
    ASSERT_EQ(names.size(), 189u);
    ASSERT_EQ(status.size(), 189u);
    std::vector<std::wstring> files, dirs;
    for (size_t i = 0; i < names.size(); ++i) {
        std::wstring path = dest + names[i];
        EXPECT_EQ(status[i], L"正在解压文件  " + path);
        (IsDirectory(path) ? dirs : files).push_back(path);
    }
    EXPECT_EQ(unpackedFiles, files);
    EXPECT_EQ(unpackedDirs, dirs);

    // 60/189 of a point per item from 10: the float sum stays below 70.
    ASSERT_EQ(values.size(), 189u);
    EXPECT_EQ(values.front(), 10);
    EXPECT_EQ(values.back(), 69);
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    EXPECT_LT(progress.percent, 70.0f);
    EXPECT_GT(progress.percent, 69.99f);
}

TEST(PayloadExtraction, NothingIsPostedWhileTheWindowCloses)
{
    ScratchDir scratch;
    std::wstring archive = scratch / L"resource.7z";
    ASSERT_TRUE(WritePayload(archive));
    RecordingReport report;
    report.takes = false;  // the window is closing
    InstallProgress progress(report);
    progress.percent = 10.0f;

    SevenZip::SevenZipExtractor extractor;
    extractor.UseArchiveFile(archive);
    PCallBack callback(progress);
    int32_t result = extractor.ExtractTo(scratch / L"dest\\", &callback);

    EXPECT_EQ(result, 0) << "the job still runs to its end";
    EXPECT_TRUE(report.events.empty());
    EXPECT_EQ(progress.installedFiles.size() + progress.installedDirs.size(), 189u);
}
