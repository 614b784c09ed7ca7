#include "ui/image_cache.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

// Only the formats a skin carries (its pictures are PNG; layouts may name BMP
// files): each further decoder would add its code to the installer.
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <stb_image.h>
#pragma GCC diagnostic pop

#include "ui/render.h"
#include "ui/resource_store.h"

namespace DuiLib {

namespace {

std::map<std::wstring, std::unique_ptr<TImageInfo>>& Cache()
{
    static std::map<std::wstring, std::unique_ptr<TImageInfo>> cache;
    return cache;
}

}  // namespace

std::unique_ptr<TImageInfo> CImageCache::Decode(const uint8_t* data, size_t size, DWORD mask)
{
    if (!data || size == 0 || size > 0x7FFFFFFF)
        return nullptr;
    int w = 0, h = 0, channels = 0;
    stbi_uc* rgba = stbi_load_from_memory(data, static_cast<int>(size), &w, &h, &channels, 4);
    if (!rgba)
        return nullptr;
    std::unique_ptr<stbi_uc, decltype(&stbi_image_free)> pixels(rgba, &stbi_image_free);
    auto info = NewPicture(w, h);
    if (!info)
        return nullptr;
    const DWORD maskRgb = mask & 0x00FFFFFF;
    for (int i = 0; i < w * h; ++i) {
        uint32_t r = rgba[i * 4], g = rgba[i * 4 + 1], b = rgba[i * 4 + 2], a = rgba[i * 4 + 3];
        if (mask && ((r << 16) | (g << 8) | b) == maskRgb)
            a = 0;
        if (a < 255)
            info->bAlpha = true;
        // GdiAlphaBlend wants premultiplied colours.
        r = r * a / 255;
        g = g * a / 255;
        b = b * a / 255;
        info->pBits[i] = (a << 24) | (r << 16) | (g << 8) | b;
    }
    return info;
}

std::unique_ptr<TImageInfo> CImageCache::NewPicture(int width, int height)
{
    void* bits = nullptr;
    unique_hbitmap bmp = NewTopDownBitmap(width, height, &bits);
    if (!bmp)
        return nullptr;
    auto info = std::make_unique<TImageInfo>();
    info->hBitmap = std::move(bmp);
    info->pBits = static_cast<uint32_t*>(bits);
    info->nX = width;
    info->nY = height;
    return info;
}

const TImageInfo* CImageCache::Get(const std::wstring& file, const std::wstring& resType, DWORD mask)
{
    if (file.empty())
        return nullptr;
    std::wstring key = file + L"|" + resType + L"|" + std::to_wstring(mask);
    for (wchar_t& c : key)
        c = static_cast<wchar_t>(towlower(c));
    auto it = Cache().find(key);
    if (it != Cache().end())
        return it->second.get();
    std::vector<uint8_t> bytes;
    // A resource type names a module resource, whatever the skin's own kind.
    bool loaded = resType.empty() ? CResourceStore::LoadFile(file.c_str(), bytes)
                                  : CResourceStore::LoadModuleResource(file.c_str(), resType.c_str(), bytes);
    if (!loaded)
        return nullptr;
    std::unique_ptr<TImageInfo> image = Decode(bytes.data(), bytes.size(), mask);
    if (!image)
        return nullptr;
    const TImageInfo* shown = image.get();
    Cache()[key] = std::move(image);
    return shown;
}

void CImageCache::Clear() { Cache().clear(); }

}  // namespace DuiLib
