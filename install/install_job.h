#pragma once
// The install job: everything that follows the install button, on its own
// thread. The main window starts it with the runtime library's thread start.
#include <windows.h>

// Thread procedure. param is the InstallJobInfo* the window allocated; the job
// owns it until it posts WM_INSTALL_FINISHED. Returns the job's result code.
unsigned __stdcall InstallThread(void* param);
