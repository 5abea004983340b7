#include "formats/images/ScreenDensity.h"

namespace {

const int64_t kMinDensity = 48;
const int64_t kMaxDensity = 960;
// Sizes beyond any picture's (a side is at most 2^31) are taken as this, so
// that the product below cannot wrap.
const int64_t kMaxPixels = int64_t{1} << 40;

}  // namespace

int32_t UsableDensity(int64_t density) {
    if (density <= 0)
        return kBaseDensity;
    if (density < kMinDensity)
        return static_cast<int32_t>(kMinDensity);
    return static_cast<int32_t>(density > kMaxDensity ? kMaxDensity : density);
}

int32_t ScaleToDensity(int64_t pixels, int64_t density) {
    const int64_t d = UsableDensity(density);
    const bool negative = pixels < 0;
    int64_t magnitude = negative ? (pixels < -kMaxPixels ? kMaxPixels : -pixels)
                                 : (pixels > kMaxPixels ? kMaxPixels : pixels);
    int64_t scaled = (magnitude * d + kBaseDensity / 2) / kBaseDensity;
    if (scaled > INT32_MAX)
        scaled = INT32_MAX;
    return static_cast<int32_t>(negative ? -scaled : scaled);
}
