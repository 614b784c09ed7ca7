#pragma once
// Ending one product process that the user agreed to end.
#include <windows.h>

// Ends the process with exit code 0xFFFFFFFF and waits until it is gone.
// A process that cannot be opened is left alone, silently.
void EndProcessAndWait(DWORD processId);
