#pragma once
// A job report that keeps, in order, what the install job reports, as the
// main window would receive it; or, as a closing window, takes nothing.
#include <algorithm>
#include <string>
#include <vector>

#include "install/install_job.h"
#include "install/job_report.h"

class RecordingReport final : public JobReport {
public:
    enum Kind { kStatus, kProgress, kFinished };
    struct Event {
        Kind kind;
        int progress;
        std::wstring status;
        InstallJobInfo* job;
    };
    std::vector<Event> events;
    bool takes = true;  // false: nothing is taken, as while the window closes

    void Status(const std::wstring& text) override
    {
        if (takes)
            events.push_back({kStatus, 0, text, nullptr});
    }
    void Progress(int percent) override
    {
        if (takes)
            events.push_back({kProgress, percent, {}, nullptr});
    }
    bool Finished(InstallJobInfo* job) override
    {
        if (takes)
            events.push_back({kFinished, 0, {}, job});
        return takes;
    }

    std::vector<int> ProgressValues() const
    {
        std::vector<int> values;
        for (const Event& e : events)
            if (e.kind == kProgress)
                values.push_back(e.progress);
        return values;
    }
    std::vector<std::wstring> Statuses() const
    {
        std::vector<std::wstring> texts;
        for (const Event& e : events)
            if (e.kind == kStatus)
                texts.push_back(e.status);
        return texts;
    }
    int FinishedCount() const
    {
        return static_cast<int>(
            std::count_if(events.begin(), events.end(), [](const Event& e) { return e.kind == kFinished; }));
    }
};
