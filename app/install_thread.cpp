#include "app/install_thread.h"

#include "app/installer_messages.h"
#include "install/install_job.h"

unsigned __stdcall InstallThread(void* param)
{
    WindowJobReport window;
    InstallProgress progress(window);
    return static_cast<unsigned>(RunInstallJob(static_cast<InstallJobInfo*>(param), progress));
}
