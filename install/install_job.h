#pragma once
// The install job: everything that follows the install button. The main
// window runs it on a thread of its own and takes its report.
#include <cstdint>
#include <string>

#include "install/install_progress.h"

// One installation, handed from the window to the job and back. Only what
// the job reads or writes.
struct InstallJobInfo {
    uint8_t startMenuShortcuts = 1;
    uint8_t quickLaunchShortcut = 0;  // never set by the window
    std::wstring installDir;   // absolute, ends with a backslash
    std::wstring previousDir;  // earlier installation to end and remove, or empty
    int32_t result = 0;        // 0 success, otherwise an error code
};

// Runs the installation job describes on the calling thread, reporting
// through progress.report and filling progress's lists of unpacked paths;
// sets job->result, hands the record over with report.Finished (and frees
// it when nobody takes it), then sends the usage report. The job owns the
// record from the call on. Returns the result code.
int32_t RunInstallJob(InstallJobInfo* job, InstallProgress& progress);
