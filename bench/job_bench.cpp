// Times one whole install job (RunInstallJob on a job record) as the main
// window's install thread runs it, and prints how long it took.
//   usage: kx_job_bench --embed ARCHIVE OUT.EXE   copy of this program carrying
//                                                 ARCHIVE as its payload (7Z/101)
//          kx_job_bench DESTDIR                   one job into DESTDIR
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/embed_payload.h"
#include "bench/no_window_report.h"
#include "install/install_job.h"
#include "install/install_progress.h"
#include "system/usage_report.h"

namespace {

// This program once more, carrying ARCHIVE as the installer carries its payload.
int Embed(const wchar_t* archive, const wchar_t* out)
{
    wchar_t self[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length == MAX_PATH)
        return 1;
    return EmbedPayload(self, archive, out, L"7Z", 101) ? 0 : 1;
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
    // No main window: the reports are dropped. The usage report goes to a loopback
    // port nobody listens on, so no statistics server is reached.
    SetReportServerForTesting(L"127.0.0.1", 9);
    auto job = std::make_unique<InstallJobInfo>();
    job->installDir = argv[1];
    if (job->installDir.back() != L'\\')
        job->installDir += L'\\';

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    // Nobody takes the record back without a window: the job frees it.
    NoWindowReport noWindow;
    InstallProgress progress(noWindow);
    int32_t result = RunInstallJob(job.release(), progress);
    QueryPerformanceCounter(&end);
    double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    std::printf("result=%d files=%u dirs=%u job_s=%.3f peak_working_set_mb=%.1f\n", static_cast<int>(result),
                static_cast<unsigned>(progress.installedFiles.size()), static_cast<unsigned>(progress.installedDirs.size()), seconds,
                static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0));
    return result == 0 ? 0 : 1;
}
