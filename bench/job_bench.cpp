// Times one whole install job (InstallThread on a job record) as the main
// window starts it, and prints how long it took.
//   usage: kx_job_bench --embed ARCHIVE OUT.EXE   copy of this program carrying
//                                                 ARCHIVE as its payload (7Z/101)
//          kx_job_bench DESTDIR                   one job into DESTDIR
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/installer_messages.h"
#include "install/install_job.h"
#include "install/install_progress.h"
#include "system/usage_report.h"

namespace {

int Embed(const wchar_t* archive, const wchar_t* out)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (!CopyFileW(self, out, FALSE))
        return 1;
    HANDLE file = CreateFileW(archive, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    std::vector<char> bytes(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    bool read = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) && got == bytes.size();
    CloseHandle(file);
    if (!read)
        return 1;
    HANDLE update = BeginUpdateResourceW(out, FALSE);
    if (!update)
        return 1;
    bool ok = UpdateResourceW(update, L"7Z", MAKEINTRESOURCEW(101), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                              bytes.data(), static_cast<DWORD>(bytes.size()));
    return EndUpdateResourceW(update, !ok) && ok ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 4 && std::wstring(argv[1]) == L"--embed")
        return Embed(argv[2], argv[3]);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kx_job_bench --embed ARCHIVE OUT.EXE | kx_job_bench DESTDIR\n");
        return 2;
    }
    // No main window: the posts are skipped. The report goes to a loopback
    // port nobody listens on, so no statistics server is reached.
    SetReportServerForTesting(L"127.0.0.1", 9);
    auto job = std::make_unique<InstallJobInfo>();
    job->flag1 = 1;
    job->installDir = argv[1];
    if (job->installDir.back() != L'\\')
        job->installDir += L'\\';

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    // Nobody takes the record back without a window: the job frees it.
    unsigned result = InstallThread(job.release());
    QueryPerformanceCounter(&end);
    double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    std::printf("result=%d files=%u dirs=%u job_s=%.3f\n", static_cast<int>(result),
                static_cast<unsigned>(g_installedFiles.size()), static_cast<unsigned>(g_installedDirs.size()), seconds);
    return result == 0 ? 0 : 1;
}
