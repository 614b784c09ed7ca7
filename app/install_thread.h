#pragma once
// The install job's thread, as the main window starts it with the runtime
// library's thread start.

// Thread procedure. param is the InstallJobInfo* the window allocated; the job
// owns it until it posts WM_INSTALL_FINISHED. Returns the job's result code.
unsigned __stdcall InstallThread(void* param);
