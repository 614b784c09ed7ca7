#pragma once
// The running install job's own state: its progress as the window sees it,
// the paths it unpacked (the uninstall manifest is written from them), and
// where it reports.
#include <string>
#include <vector>

#include "install/job_report.h"

struct InstallProgress {
    explicit InstallProgress(JobReport& to) : report(to) {}

    JobReport& report;
    // Percentage; the job and the extraction raise it in float steps.
    float percent = 0.0f;
    // Every extracted file and directory, in the order the archive presents them.
    std::vector<std::wstring> installedFiles;
    std::vector<std::wstring> installedDirs;

    void PostStatusText(const std::wstring& text) { report.Status(text); }
    // Reports the percentage truncated toward zero.
    void PostProgress() { report.Progress(static_cast<int>(percent)); }
};
