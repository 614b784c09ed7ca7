// Unpacks an archive as the install job does and prints how long ExtractTo
// took and the process's peak memory.
//   usage: kx_extract_bench ARCHIVE DESTDIR [WRITERS]
// WRITERS sets the number of writer threads instead of the processor count.
#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "bench/no_window_report.h"
#include "install/install_progress.h"
#include "install/item_writers.h"
#include "install/pcallback.h"
#include "install/seven_zip_extractor.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: kx_extract_bench ARCHIVE DESTDIR [WRITERS]\n");
        return 2;
    }
    if (argc == 4)
        SevenZip::intl::SetWriterThreadsForTesting(static_cast<unsigned>(_wtoi(argv[3])));
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);

    // No main window: the callback formats its texts, the reports are dropped.
    NoWindowReport noWindow;
    InstallProgress progress(noWindow);
    progress.percent = 10.0f;
    ::QueryPerformanceCounter(&start);
    int32_t result;
    {
        SevenZip::SevenZipExtractor extractor;
        extractor.UseArchiveFile(argv[1]);
        PCallBack callback(progress);
        result = extractor.ExtractTo(argv[2], &callback);
    }
    ::QueryPerformanceCounter(&end);
    double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory));
    std::printf("result=%ld writers=%u files=%u dirs=%u extract_s=%.3f peak_working_set_mb=%.1f peak_pagefile_mb=%.1f\n",
                static_cast<long>(result), SevenZip::intl::WriterThreadCount(),
                static_cast<unsigned>(progress.installedFiles.size()),
                static_cast<unsigned>(progress.installedDirs.size()), seconds,
                static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0),
                static_cast<double>(memory.PeakPagefileUsage) / (1024.0 * 1024.0));
    return result == 0 ? 0 : 1;
}
