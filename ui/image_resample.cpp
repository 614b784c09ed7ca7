#include "ui/image_resample.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace DuiLib {

namespace {

double CatmullRom(double x)
{
    x = std::fabs(x);
    if (x < 1.0)
        return (1.5 * x - 2.5) * x * x + 1.0;
    if (x < 2.0)
        return ((-0.5 * x + 2.5) * x - 4.0) * x + 2.0;
    return 0.0;
}

// The taps of one output pixel: first source index and weights.
struct Taps {
    int first = 0;
    std::vector<float> weights;
};

// Maps the source pixels [a, b) onto the output pixels [c, d), the taps
// staying inside [a, b).
void SegmentTaps(int a, int b, int c, int d, std::vector<Taps>& out)
{
    if (b <= a || d <= c)
        return;
    const double ratio = static_cast<double>(d - c) / (b - a);  // output per source pixel
    const double widen = ratio < 1.0 ? 1.0 / ratio : 1.0;      // reduction widens the filter
    const double support = 2.0 * widen;
    for (int i = c; i < d; ++i) {
        double centre = a + (i - c + 0.5) / ratio;
        int lo = std::max(a, static_cast<int>(std::floor(centre - support)));
        int hi = std::min(b - 1, static_cast<int>(std::ceil(centre + support)));
        Taps taps;
        taps.first = lo;
        double sum = 0;
        for (int j = lo; j <= hi; ++j) {
            double w = CatmullRom((j + 0.5 - centre) / widen);
            taps.weights.push_back(static_cast<float>(w));
            sum += w;
        }
        if (sum != 0)
            for (float& w : taps.weights)
                w = static_cast<float>(w / sum);
        out.push_back(std::move(taps));
    }
}

// Output taps of one axis: the source edges and the output edges, part by part.
std::vector<Taps> AxisTaps(const int (&src)[4], const int (&dst)[4])
{
    std::vector<Taps> taps;
    for (int part = 0; part < 3; ++part)
        SegmentTaps(src[part], src[part + 1], dst[part], dst[part + 1], taps);
    return taps;
}

uint32_t Pack(const float (&px)[4])
{
    auto clamp = [](float v, float hi) { return static_cast<uint32_t>(std::clamp(v + 0.5f, 0.0f, hi)); };
    uint32_t a = clamp(px[3], 255.0f);
    float top = static_cast<float>(a);  // premultiplied: no channel above alpha
    return (a << 24) | (clamp(px[2], top) << 16) | (clamp(px[1], top) << 8) | clamp(px[0], top);
}

}  // namespace

std::unique_ptr<TImageInfo> Resample(const TImageInfo& from, const int (&xs)[4], const int (&ys)[4],
                                     const int (&xd)[4], const int (&yd)[4])
{
    const int w = xd[3], h = yd[3];
    std::vector<Taps> cols = AxisTaps(xs, xd), rows = AxisTaps(ys, yd);
    if (static_cast<int>(cols.size()) != w || static_cast<int>(rows.size()) != h)
        return nullptr;
    auto out = CImageCache::NewPicture(w, h);
    if (!out)
        return nullptr;

    // Columns first, over the source rows the output needs.
    const int rowLo = ys[0], rowHi = ys[3];
    std::vector<float> across(static_cast<size_t>(rowHi - rowLo) * w * 4);
    for (int y = rowLo; y < rowHi; ++y) {
        const uint32_t* line = from.pBits + static_cast<size_t>(y) * from.nX;
        float* dst = &across[static_cast<size_t>(y - rowLo) * w * 4];
        for (int x = 0; x < w; ++x) {
            float acc[4] = {};
            const Taps& t = cols[static_cast<size_t>(x)];
            for (size_t k = 0; k < t.weights.size(); ++k) {
                uint32_t p = line[t.first + static_cast<int>(k)];
                float wgt = t.weights[k];
                for (int ch = 0; ch < 4; ++ch)
                    acc[ch] += wgt * static_cast<float>((p >> (8 * ch)) & 0xFF);
            }
            std::copy(acc, acc + 4, dst + x * 4);
        }
    }
    for (int y = 0; y < h; ++y) {
        const Taps& t = rows[static_cast<size_t>(y)];
        for (int x = 0; x < w; ++x) {
            float acc[4] = {};
            for (size_t k = 0; k < t.weights.size(); ++k) {
                const float* src = &across[(static_cast<size_t>(t.first - rowLo + static_cast<int>(k)) * w + x) * 4];
                for (int ch = 0; ch < 4; ++ch)
                    acc[ch] += t.weights[k] * src[ch];
            }
            uint32_t p = Pack(acc);
            out->pBits[static_cast<size_t>(y) * w + x] = p;
            if ((p >> 24) < 255)
                out->bAlpha = true;
        }
    }
    return out;
}

}  // namespace DuiLib
