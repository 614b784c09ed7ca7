#pragma once
// The caret of a native edit field at a display scale above 100 %: the EDIT
// control makes it one pixel wide at every scale; it is made as wide as a
// one-pixel line of the layout drawn at that scale.
#include <windows.h>

namespace DuiLib {

// Makes the caret that hWnd shows (if any) width pixels wide, keeping its
// place and height; nothing when it is already that wide or width is 1.
void WidenCaret(HWND hWnd, int width);

}  // namespace DuiLib
