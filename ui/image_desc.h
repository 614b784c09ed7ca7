#pragma once
// An image description: blank-separated key='value' pairs (file, source,
// dest, corner, mask, fade, hole, xtiled, ytiled, res, restype), blanks
// allowed around "=". A description without "=" is a plain file name.
#include <windows.h>

#include <string>

namespace DuiLib {

struct TDrawInfo {
    std::wstring sFile;
    std::wstring sResType;
    RECT rcSource = {};
    RECT rcDest = {};
    RECT rcCorner = {};
    bool bHasSource = false;
    bool bHasDest = false;
    DWORD dwMask = 0;
    BYTE uFade = 255;
    bool bHole = false;
    bool bTiledX = false;
    bool bTiledY = false;

    // Reads a description; later keys override earlier ones, so a
    // modification string can be parsed on top of the base description.
    void Parse(const wchar_t* desc);
};

}  // namespace DuiLib
