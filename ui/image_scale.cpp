#include "ui/image_scale.h"

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <map>
#include <memory>
#include <vector>

#include "ui/dpi.h"
#include "ui/image_resample.h"
#include "ui/resource_store.h"

namespace DuiLib {

namespace {

std::map<std::wstring, std::unique_ptr<TImageInfo>>& Scaled()
{
    static std::map<std::wstring, std::unique_ptr<TImageInfo>> cache;
    return cache;
}

// The double-size picture of a skin file when the skin carries one of
// exactly twice the 1x picture's size; cached like the 1x pictures.
const TImageInfo* DoubleSize(const std::wstring& file, DWORD mask, const TImageInfo& single)
{
    wchar_t maskText[16];
    std::swprintf(maskText, std::size(maskText), L"|%lu", mask);
    std::wstring key = L"2x|" + file + maskText;
    for (wchar_t& c : key)
        c = static_cast<wchar_t>(towlower(c));
    auto it = Scaled().find(key);
    if (it == Scaled().end()) {
        std::vector<uint8_t> bytes;
        std::unique_ptr<TImageInfo> image;
        if (CResourceStore::LoadDoubleSizePicture(file.c_str(), bytes))
            image = CImageCache::Decode(bytes.data(), bytes.size(), mask);
        if (image && (image->nX != 2 * single.nX || image->nY != 2 * single.nY))
            image.reset();  // not the same drawing: the 1x picture serves
        it = Scaled().emplace(key, std::move(image)).first;
    }
    return it->second.get();
}

}  // namespace

bool ScalePicture(int dpi, const std::wstring& file, const std::wstring& resType, DWORD mask,
                  const RECT* source, const RECT& corners, SIZE destSize, bool tiled,
                  TScaledPicture& out)
{
    const TImageInfo* single = CImageCache::Get(file, resType, mask);
    if (!single)
        return false;
    RECT src = {0, 0, single->nX, single->nY};
    if (source) {
        src.left = std::clamp<LONG>(source->left, 0, single->nX);
        src.right = std::clamp<LONG>(source->right, src.left, single->nX);
        src.top = std::clamp<LONG>(source->top, 0, single->nY);
        src.bottom = std::clamp<LONG>(source->bottom, src.top, single->nY);
    }
    const int sw = src.right - src.left, sh = src.bottom - src.top;
    RECT cn = corners;
    const bool nineGrid = cn.left > 0 || cn.top > 0 || cn.right > 0 || cn.bottom > 0;
    // Without corners the picture is resampled to the size it is drawn at;
    // with them (or tiled) to its own size at dpi, corners by themselves.
    RECT tc = {};
    int w = destSize.cx, h = destSize.cy;
    if (nineGrid || tiled) {
        w = ScaleByDpi(sw, dpi);
        h = ScaleByDpi(sh, dpi);
        tc = {ScaleByDpi(cn.left, dpi), ScaleByDpi(cn.top, dpi), ScaleByDpi(cn.right, dpi),
              ScaleByDpi(cn.bottom, dpi)};
    } else {
        cn = {};
    }
    if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0 || cn.left + cn.right > sw || cn.top + cn.bottom > sh ||
        tc.left + tc.right > w || tc.top + tc.bottom > h)
        return false;

    const TImageInfo* from = single;
    int factor = 1;
    if (dpi > kDesignDpi && resType.empty()) {
        if (const TImageInfo* twice = DoubleSize(file, mask, *single)) {
            from = twice;
            factor = 2;
        }
    }
    // Fourteen numbers of at most 11 characters each with their separators.
    wchar_t numbers[200];
    std::swprintf(numbers, std::size(numbers), L"|%lu|%d|%ld,%ld,%ld,%ld|%ld,%ld,%ld,%ld|%d,%d|%ld,%ld,%ld,%ld",
                  mask, factor, src.left, src.top, src.right, src.bottom, cn.left, cn.top, cn.right, cn.bottom,
                  w, h, tc.left, tc.top, tc.right, tc.bottom);
    std::wstring key = file + L"|" + resType + numbers;
    for (wchar_t& c : key)
        c = static_cast<wchar_t>(towlower(c));
    auto it = Scaled().find(key);
    if (it == Scaled().end()) {
        const int xs[4] = {factor * src.left, factor * (src.left + cn.left), factor * (src.right - cn.right),
                           factor * src.right};
        const int ys[4] = {factor * src.top, factor * (src.top + cn.top), factor * (src.bottom - cn.bottom),
                           factor * src.bottom};
        const int xd[4] = {0, tc.left, w - tc.right, w};
        const int yd[4] = {0, tc.top, h - tc.bottom, h};
        it = Scaled().emplace(key, Resample(*from, xs, ys, xd, yd)).first;
    }
    if (!it->second)
        return false;
    out.image = it->second.get();
    out.source = {0, 0, w, h};
    out.corners = tc;
    return true;
}

void ClearScaledPictures() { Scaled().clear(); }

}  // namespace DuiLib
