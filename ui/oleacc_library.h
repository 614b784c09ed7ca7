#pragma once
// Active Accessibility's system library. It is no KnownDLL, so it is loaded
// at run time from the system directory, never from the program's folder.
#include <windows.h>
#include <oleacc.h>

namespace DuiLib {

struct OleAcc {
    HRESULT(WINAPI* createStdAccessibleObject)(HWND, LONG, REFIID, void**) = nullptr;
    LRESULT(WINAPI* lresultFromObject)(REFIID, WPARAM, LPUNKNOWN) = nullptr;
};

// The library's functions, or none when it cannot be loaded.
const OleAcc* LoadOleAcc();

}  // namespace DuiLib
