#pragma once
// Pictures of the skin decoded once (PNG and BMP through stb_image) into
// 32-bit premultiplied DIB sections, shared by every window until Term.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "system/win_handles.h"

namespace DuiLib {

struct TImageInfo {
    unique_hbitmap hBitmap;
    uint32_t* pBits = nullptr;  // top-down, premultiplied BGRA
    int nX = 0;
    int nY = 0;
    bool bAlpha = false;  // some pixel is not opaque
};

class CImageCache {
public:
    // The picture of that skin file, or null when missing or undecodable.
    static const TImageInfo* Get(const std::wstring& file, const std::wstring& resType = {},
                                 DWORD mask = 0);
    // Decodes bytes into a picture of the caller's own.
    static std::unique_ptr<TImageInfo> Decode(const uint8_t* data, size_t size, DWORD mask);
    // An empty (transparent) picture of that size, or null.
    static std::unique_ptr<TImageInfo> NewPicture(int width, int height);
    static void Clear();
};

}  // namespace DuiLib
