#pragma once
// The resampling of a skin picture for a display scale, by itself so that it
// alone is built for speed: the rest of the scaling is built for size.
#include <memory>

#include "ui/image_cache.h"

namespace DuiLib {

// A new picture of xd[3] x yd[3] pixels from the source pixels xs[0]..xs[3]
// x ys[0]..ys[3] of from, part by part (the nine grid: edges 0..1, 1..2 and
// 2..3 of each axis map onto the same parts of the output), with a
// Catmull-Rom filter that widens when it reduces; null when it fails.
std::unique_ptr<TImageInfo> Resample(const TImageInfo& from, const int (&xs)[4], const int (&ys)[4],
                                     const int (&xd)[4], const int (&yd)[4]);

}  // namespace DuiLib
