#pragma once
// Where the install job reports: its status texts, its progress and its end.
// The installer's window takes them as its posted messages
// (app/installer_messages.h); a test or a benchmark records or drops them.
#include <string>

struct InstallJobInfo;

class JobReport {
public:
    virtual void Status(const std::wstring& text) = 0;
    virtual void Progress(int percent) = 0;
    // Hands the finished record over. False when nobody takes it (the window
    // is closing): the job still owns it.
    virtual bool Finished(InstallJobInfo* job) = 0;

protected:
    ~JobReport() = default;
};
