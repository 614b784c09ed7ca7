#pragma once
// The benchmarks run the job without a main window: what it reports is
// dropped, and its record is not taken, as while the window closes.
#include <string>

#include "install/job_report.h"

class NoWindowReport final : public JobReport {
public:
    void Status(const std::wstring&) override {}
    void Progress(int) override {}
    bool Finished(InstallJobInfo*) override { return false; }
};
