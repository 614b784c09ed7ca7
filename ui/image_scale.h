#pragma once
// Skin pictures at display scales above 100 %: taken from the pictures drawn
// at twice their size where the skin carries them (else from the 1x ones),
// resampled to the size they are drawn at with a Catmull-Rom filter, and kept
// per picture, part and size. Nine-grid pictures are resampled part by part,
// so their corners and borders stay sharp and never bleed into each other.
#include <windows.h>

#include <string>

#include "ui/image_cache.h"

namespace DuiLib {

struct TScaledPicture {
    const TImageInfo* image = nullptr;
    RECT source = {};   // the whole scaled picture
    RECT corners = {};  // the nine-grid corners in window pixels
};

// source and corners are the description's, in 96-DPI picture pixels (source
// null: the whole picture). A picture without corners or tiling is resampled
// to destSize, the size it is drawn at; otherwise to its own size at dpi, and
// the drawing stretches its middle as at 96 DPI.
bool ScalePicture(int dpi, const std::wstring& file, const std::wstring& resType, DWORD mask,
                  const RECT* source, const RECT& corners, SIZE destSize, bool tiled,
                  TScaledPicture& out);

// Drops the resampled pictures (with the decoded ones, at Term).
void ClearScaledPictures();

}  // namespace DuiLib
