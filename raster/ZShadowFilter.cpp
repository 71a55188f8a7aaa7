#include "raster/ZShadowFilter.h"

#include <algorithm>
#include <cstring>

void ZShadowFilter::Apply(const ZPlane& image, const ZPlane& alpha, const ZPlane& scratch) {
    if (image.Empty()) return;
    ZCopyAlpha(image, alpha);
    blur_.Apply(alpha, scratch);
    const ZEffectPlace place = settings_.inner ? ZEffectPlace::kInside : ZEffectPlace::kBehind;
    // The shadow's pixels are looked up a stretch of the row at a time, then composited.
    constexpr int32_t kStretch = 256;
    uint8_t shadow[4 * kStretch];
    for (int32_t y = 0; y < image.height; ++y) {
        const int32_t sy = y - settings_.offsetY;
        const bool rowInside = sy >= 0 && sy < image.height;
        const uint8_t* blurred = rowInside ? alpha.Row(sy) : nullptr;
        for (int32_t from = 0; from < image.width; from += kStretch) {
            const int32_t count = std::min(kStretch, image.width - from);
            for (int32_t i = 0; i < count; ++i) {
                const int32_t sx = from + i - settings_.offsetX;
                uint32_t a = rowInside && sx >= 0 && sx < image.width ? blurred[sx] : 0;
                if (settings_.inner) a = 255 - a;
                a = std::min<uint32_t>(255, (a * uint32_t(settings_.strength) + 128) >> 8);
                std::memcpy(shadow + 4 * i, ramp_[a].data(), 4);
            }
            ZCompositeEffects(image.Row(y) + 4 * from, shadow, count, place, settings_.knockout,
                              settings_.hideObject);
        }
    }
}
