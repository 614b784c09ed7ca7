// Whole install jobs on the shipped stand-in payload, and the job's failures.
#include "install/install_job.h"

#include <gtest/gtest.h>
#include <process.h>

#include <optional>
#include <thread>
#include <shlobj.h>
#include <json/reader.h>
#include <wrl/client.h>

#include "install/install_progress.h"
#include "install/payload_file.h"
#include "install/shortcuts.h"
#include "recording_report.h"
#include "scratch_dir.h"
#include "system/com_owners.h"
#include "system/installer_constants.h"
#include "system/special_folders.h"
#include "system/usage_report.h"
#include "system/win_handles.h"
#include "tests/system/loopback_http_server.h"
#include "tests/system/report_decrypt.h"
#include "tests/system/running_program.h"

namespace {

// Runs the job on its own thread as the main window does; returns its
// result. What it reported is in progress.report, what it unpacked in
// progress's lists.
DWORD RunJob(InstallJobInfo* job, InstallProgress& progress)
{
    int32_t result = 0xDEAD;
    std::thread worker([&] { result = RunInstallJob(job, progress); });
    worker.join();
    return static_cast<DWORD>(result);
}

std::wstring StartMenuFolder()
{
    const std::wstring programs = SpecialFolderPath(CSIDL_COMMON_PROGRAMS);
    return !programs.empty() ? programs + L"\\" + ClientName + L"\\" : L"";
}

// Registry value as stored: type and bytes.
bool RawValue(HKEY root, const std::wstring& key, REGSAM view, const wchar_t* name, DWORD& type,
              std::vector<BYTE>& data)
{
    HKEY raw = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | view, &raw) != ERROR_SUCCESS)
        return false;
    UniqueRegKey k;
    k.Reset(raw);
    DWORD size = 4096;
    data.assign(size, 0);
    if (RegQueryValueExW(k.Get(), name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
        return false;
    data.resize(size);
    return true;
}

std::vector<BYTE> StoredForm(const std::wstring& text)  // with its terminating zero
{
    auto bytes = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
}

const std::wstring kProductKey = L"Software\\kxVistral3";
const std::wstring kUninstallKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\kxVistral3";

void ClearFootprint()
{
    RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey.c_str());
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                      KEY_ALL_ACCESS | KEY_WOW64_32KEY, &raw) == ERROR_SUCCESS) {
        UniqueRegKey k;
        k.Reset(raw);
        RegDeleteTreeW(k.Get(), L"kxVistral3");
    }
    RemoveTree(StartMenuFolder());
}

struct LinkTarget {
    std::wstring path;
    std::wstring workingDir;
};
LinkTarget ResolveLink(const std::wstring& linkPath)
{
    using Microsoft::WRL::ComPtr;
    LinkTarget target;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.GetAddressOf()))) ||
        FAILED(link.As(&file)) || FAILED(file->Load(linkPath.c_str(), STGM_READ)))
        return target;
    wchar_t buffer[MAX_PATH] = {};
    if (SUCCEEDED(link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH)))
        target.path = buffer;
    if (SUCCEEDED(link->GetWorkingDirectory(buffer, MAX_PATH)))
        target.workingDir = buffer;
    return target;
}

// Payload directories the job leaves in the temporary directory.
int PayloadDirsIn(const std::wstring& tempDir)
{
    int count = 0;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((tempDir + L"kxsetup-*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do
        ++count;
    while (FindNextFileW(find, &found));
    FindClose(find);
    return count;
}

std::wstring ProgramDataDir()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD n = GetEnvironmentVariableW(L"ProgramData", buffer, MAX_PATH + 1);
    return n == 0 || n > MAX_PATH ? L"C:\\ProgramData\\" : std::wstring(buffer) + L"\\";
}

std::wstring TempPath()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, buffer);
    return buffer;
}

constexpr unsigned short kClosedPort = 9;

// The report the job sent, decrypted: its fourteen members and "success".
void ExpectReport(LoopbackHttpServer& server, const char* success)
{
    std::optional<HttpRequest> request = server.WaitForRequest(15000);
    ASSERT_TRUE(request.has_value()) << "no report arrived";
    EXPECT_EQ(request->target, "/log/info/uploadLog.go?type=2");
    Json::Value report;
    Json::Reader reader;
    ASSERT_TRUE(reader.parse(DecryptBody(request->body), report));
    EXPECT_EQ(report.size(), 14u);
    EXPECT_EQ(report["success"], Json::Value(success));
}

class InstallJob : public testing::Test {
protected:
    void SetUp() override
    {
        // No server listens there: the report fails and the job goes on.
        SetReportServerForTesting(L"127.0.0.1", kClosedPort);
        ClearFootprint();
        job->installDir = scratch / L"Program Files\\kxVistral3\\";
        SHCreateDirectoryExW(nullptr, job->installDir.c_str(), nullptr);
    }
    void TearDown() override
    {
        ClearFootprint();
    }
    ScratchDir scratch{kInstallBase};
    RecordingReport report;  // as the main window receives the job's report
    InstallProgress progress{report};
    std::unique_ptr<InstallJobInfo> job = std::make_unique<InstallJobInfo>();
};

}  // namespace

TEST_F(InstallJob, WholeJobInstallsRegistersAndReportsInOrder)
{
    ComInitScope com;
    LoopbackHttpServer server;
    ASSERT_TRUE(server.Listening());
    SetReportServerForTesting(L"127.0.0.1", server.Port());
    const std::wstring dir = job->installDir;
    InstallJobInfo* record = job.get();
    EXPECT_EQ(RunJob(record, progress), 0u);
    ASSERT_EQ(report.FinishedCount(), 1);
    std::unique_ptr<InstallJobInfo> back(report.events.back().job);  // the window owns it now
    job.release();
    EXPECT_EQ(back.get(), record);
    EXPECT_EQ(back->result, 0);
    EXPECT_EQ(report.events.back().kind, RecordingReport::kFinished);

    // 5, 10, one value per item up to 69, then the shortcuts, registry and end.
    std::vector<int> percent = report.ProgressValues();
    ASSERT_EQ(percent.size(), 2u + 189u + 3u);
    EXPECT_EQ(percent[0], 5);
    EXPECT_EQ(percent[1], 10);
    EXPECT_EQ(percent[190], 69);
    EXPECT_EQ(std::vector<int>(percent.end() - 3, percent.end()), (std::vector<int>{74, 79, 100}));
    std::vector<std::wstring> status = report.Statuses();
    ASSERT_EQ(status.size(), 2u + 189u + 3u);
    EXPECT_EQ(status[0], L"");
    EXPECT_EQ(status[1], L"正在解压文件...");
    const std::wstring shortcutText = L"正在创建开始菜单快捷方式...";
    EXPECT_EQ(std::vector<std::wstring>(status.end() - 3, status.end()),
              (std::vector<std::wstring>{shortcutText, shortcutText, shortcutText}));

    // The product, its manifest and its channel file; the payload file gone.
    EXPECT_EQ(progress.installedDirs.size(), 19u);
    EXPECT_EQ(progress.installedFiles.size(), 170u);
    for (const std::wstring& path : progress.installedFiles)
        EXPECT_TRUE(Exists(path) && !IsDirectory(path));
    for (const std::wstring& path : progress.installedDirs)
        EXPECT_TRUE(IsDirectory(path));
    std::vector<uint8_t> manifest, channel;
    ASSERT_TRUE(ReadBytes(dir + L"Uninstall.xml", manifest));
    std::string text(manifest.begin(), manifest.end());
    size_t at = 0, entries = 0;
    for (const std::wstring& path : progress.installedFiles) {
        int n = WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string utf8(n - 1, '\0');
        WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, utf8.data(), n, nullptr, nullptr);
        at = text.find("\t\t<File path=\"" + utf8 + "\" />\n", at);
        ASSERT_NE(at, std::string::npos) << utf8;
        ++entries;
    }
    EXPECT_EQ(text.rfind("<File "), text.find("<File ", at));
    EXPECT_LT(text.rfind("<File "), text.find("<Dir "));
    size_t dirLines = 0;
    for (size_t p = text.find("\t\t<Dir path=\""); p != std::string::npos; p = text.find("\t\t<Dir path=\"", p + 1))
        ++dirLines;
    EXPECT_EQ(entries, 170u);
    EXPECT_EQ(dirLines, 19u);
    ASSERT_TRUE(ReadBytes(dir + L"source.dat", channel));
    EXPECT_EQ(std::string(channel.begin(), channel.end()), "700001");
    EXPECT_EQ(PayloadDirsIn(PayloadTempDir()), 0) << "the payload goes, and what killed runs left";

    // Both start-menu links lead to the product's programs.
    const std::wstring folder = StartMenuFolder();
    LinkTarget product = ResolveLink(folder + L"Vistral3.0.lnk");
    LinkTarget uninstaller = ResolveLink(folder + L"卸载Vistral3.0.lnk");
    EXPECT_EQ(product.path, dir + L"launcher.exe") << testing::PrintToString(product.path);
    EXPECT_EQ(uninstaller.path, dir + L"Uninstall.exe");
    EXPECT_EQ(product.workingDir, dir);
    EXPECT_EQ(uninstaller.workingDir, dir);

    // The registry, byte for byte, each key in its view.
    struct Expected {
        HKEY root;
        const std::wstring& key;
        REGSAM view;
        const wchar_t* name;
        std::wstring value;
    } values[] = {
        {HKEY_CURRENT_USER, kProductKey, 0, L"AppPath", dir},
        {HKEY_CURRENT_USER, kProductKey, 0, L"Version", L"3.01.35"},
        {HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_32KEY, L"DisplayIcon", dir + L"launcher.exe"},
        {HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_32KEY, L"DisplayName", L"Vistral3.0"},
        {HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_32KEY, L"DisplayVersion", L"3.01.35"},
        {HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_32KEY, L"Publisher", L"Norvane"},
        {HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_32KEY, L"UninstallString", L"\"" + dir + L"Uninstall.exe\""},
        {HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_32KEY, L"URLInfoAbout", CompanyUrl},
    };
    ExpectReport(server, "1");
    for (const Expected& e : values) {
        DWORD type = 0;
        std::vector<BYTE> data;
        ASSERT_TRUE(RawValue(e.root, e.key, e.view, e.name, type, data)) << testing::PrintToString(std::wstring(e.name));
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(data, StoredForm(e.value)) << testing::PrintToString(std::wstring(e.name));
    }
}

TEST_F(InstallJob, FailuresEndWithTheFinishMessageAndLeaveNoTraces)
{
    struct Case {
        const char* what;
        bool unwritableTemp;
    } cases[] = {{"temporary directory cannot be written", true}, {"extraction fails", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // What a run that was killed while it unpacked left behind.
        const std::wstring killed = PayloadTempDir() + L"kxsetup-0badc0de-0000-4000-8000-000000000000";
        ASSERT_TRUE(CreateDirectoryW(killed.c_str(), nullptr));
        ASSERT_TRUE(WriteBytes(killed + L"\\resource.7z", "77 MB, once"));
        report.events.clear();
        auto record = std::make_unique<InstallJobInfo>();
        wchar_t savedTmp[MAX_PATH + 1] = {}, savedTemp[MAX_PATH + 1] = {};
        GetEnvironmentVariableW(L"TMP", savedTmp, MAX_PATH + 1);
        GetEnvironmentVariableW(L"TEMP", savedTemp, MAX_PATH + 1);
        if (c.unwritableTemp) {
            const std::wstring missing = scratch / L"no such dir\\";
            SetEnvironmentVariableW(L"TMP", missing.c_str());
            SetEnvironmentVariableW(L"TEMP", missing.c_str());
            SetPayloadTempDirForTesting(missing);  // an elevated run would not use TMP
            record->installDir = scratch / L"dest\\";
        } else {
            // A file stands where the program directory would go.
            ASSERT_TRUE(WriteBytes(scratch / L"blocker", "x"));
            record->installDir = scratch / L"blocker\\kxVistral3\\";
        }
        LoopbackHttpServer server;
        ASSERT_TRUE(server.Listening());
        SetReportServerForTesting(L"127.0.0.1", server.Port());
        InstallJobInfo* raw = record.release();
        DWORD code = RunJob(raw, progress);
        ExpectReport(server, "0");
        SetEnvironmentVariableW(L"TMP", savedTmp);
        SetEnvironmentVariableW(L"TEMP", savedTemp);
        SetPayloadTempDirForTesting(L"");
        ASSERT_EQ(report.FinishedCount(), 1);
        std::unique_ptr<InstallJobInfo> back(report.events.back().job);
        EXPECT_EQ(back.get(), raw);
        EXPECT_NE(back->result, 0);
        EXPECT_EQ(code, static_cast<DWORD>(back->result));
        // A failed job leaves no payload, nor the killed run's (where the job
        // could open its temporary directory).
        EXPECT_EQ(PayloadDirsIn(PayloadTempDir()), c.unwritableTemp ? 1 : 0);
        RemoveTree(killed);
        if (c.unwritableTemp) {
            EXPECT_EQ(back->result, -1);
            ASSERT_EQ(report.events.size(), 4u);  // empty text, 5, empty text, finish
            EXPECT_EQ(report.Statuses(), (std::vector<std::wstring>{L"", L""}));
            EXPECT_EQ(report.ProgressValues(), (std::vector<int>{5}));
            EXPECT_FALSE(Exists(back->installDir));
        }
        EXPECT_FALSE(Exists(back->installDir + L"Uninstall.xml"));
        EXPECT_FALSE(Exists(back->installDir + L"source.dat"));
        EXPECT_FALSE(Exists(StartMenuFolder() + L"Vistral3.0.lnk"));
        DWORD type;
        std::vector<BYTE> data;
        EXPECT_FALSE(RawValue(HKEY_CURRENT_USER, kProductKey, 0, L"AppPath", type, data));
        EXPECT_FALSE(RawValue(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_32KEY, L"DisplayName", type, data));
    }
}

// SetUp aims the report at a port nobody listens on: the job still ends normally.
TEST_F(InstallJob, WhileTheWindowClosesNothingIsPostedAndEveryStepRuns)
{
    report.takes = false;
    const std::wstring dir = job->installDir;
    // The job frees the record it can no longer hand over.
    EXPECT_EQ(RunJob(job.release(), progress), 0u);
    EXPECT_TRUE(report.events.empty());
    EXPECT_TRUE(Exists(dir + L"Uninstall.xml"));
    EXPECT_TRUE(Exists(dir + L"source.dat"));
    EXPECT_TRUE(Exists(StartMenuFolder() + L"Vistral3.0.lnk"));
    DWORD type;
    std::vector<BYTE> data;
    EXPECT_TRUE(RawValue(HKEY_CURRENT_USER, kProductKey, 0, L"AppPath", type, data));
}

TEST_F(InstallJob, SomethingPlantedAtTheOldPayloadPathIsNeitherWrittenNorRead)
{
    const std::wstring fixed = TempPath() + L"resource.7z";
    RemoveTree(fixed);
    ASSERT_TRUE(WriteBytes(fixed, "planted, not an archive"));
    InstallJobInfo* raw = job.release();
    EXPECT_EQ(RunJob(raw, progress), 0u);
    ASSERT_EQ(report.FinishedCount(), 1);
    std::unique_ptr<InstallJobInfo> back(report.events.back().job);
    EXPECT_EQ(back->result, 0);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadBytes(fixed, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "planted, not an archive");
    DeleteFileW(fixed.c_str());
}

TEST_F(InstallJob, EarlierDirectoryIsRemovedOnlyWhenItIsAProductInstallation)
{
    struct Case {
        const char* what;
        std::wstring previous;
        bool product;    // holds the product's manifest
        bool removed;    // its plain file is gone afterwards
    } cases[] = {
        {"product elsewhere", scratch / L"old\\", true, true},
        {"folder without product files", scratch / L"documents\\", false, false},
        {"same directory in other letter case", scratch / L"PROGRAM FILES\\KXVISTRAL3\\", true, true},
        // Any user may make a folder there and name it in "AppPath".
        {"product files in a user's folder under ProgramData", ProgramDataDir() + L"kx_planted_" +
                                                                 std::to_wstring(GetCurrentProcessId()) + L"\\",
         true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearFootprint();
        report.events.clear();
        auto record = std::make_unique<InstallJobInfo>();
        record->installDir = job->installDir;
        record->previousDir = c.previous;
        SHCreateDirectoryExW(nullptr, c.previous.c_str(), nullptr);
        ASSERT_TRUE(WriteBytes(c.previous + L"plain.txt", "x"));
        if (c.product) {
            ASSERT_TRUE(WriteBytes(c.previous + L"Uninstall.xml", "<Uninstall />"));
        }
        // The note the window writes just before the job starts.
        ASSERT_TRUE(WriteBytes(job->installDir + L"temp_userdata.txt", "D:\\kxVistral3"));
        std::optional<RunningProgram> program;
        if (c.product && !c.removed)  // the product's program, started from there
            program.emplace(c.previous + L"kxVistral.exe");
        EXPECT_EQ(RunJob(record.release(), progress), 0u);
        ASSERT_EQ(report.FinishedCount(), 1);
        std::unique_ptr<InstallJobInfo> back(report.events.back().job);
        EXPECT_EQ(Exists(c.previous + L"plain.txt"), !c.removed);
        if (program) {
            EXPECT_TRUE(program->Started());
            EXPECT_EQ(program->ExitCode(), static_cast<DWORD>(STILL_ACTIVE)) << "a program there runs on";
            program.reset();
            EXPECT_TRUE(Exists(c.previous + L"Uninstall.xml"));
            RemoveTree(c.previous);
        }
        std::vector<uint8_t> note;
        EXPECT_TRUE(ReadBytes(job->installDir + L"temp_userdata.txt", note));
        EXPECT_EQ(std::string(note.begin(), note.end()), "D:\\kxVistral3");
        EXPECT_TRUE(Exists(job->installDir + L"launcher.exe"));
    }
}
