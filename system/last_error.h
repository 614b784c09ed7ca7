#pragma once
// The thread's last Windows error as an HRESULT, the one form every failure
// of a file or system step is reported in.
#include <windows.h>

// HRESULT_FROM_WIN32 of GetLastError (values that already are HRESULTs
// stay as they are); whenNone when the failing call set no error, so that a
// failure is never reported as success unless the caller asks for S_OK.
// The last error is only read.
HRESULT LastErrorResult(HRESULT whenNone = E_FAIL);
