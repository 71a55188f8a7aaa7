#include "raster/ZShadowFilter.h"

#include <algorithm>
#include <array>
#include <cstring>

void ZShadowFilter::Apply(const ZPlane& image, const ZPlane& alpha, const ZPlane& scratch) {
    if (image.Empty()) return;
    ZCopyAlpha(image, alpha);
    blur_.Apply(alpha, scratch);
    const ZEffectPlace place = settings_.inner ? ZEffectPlace::kInside : ZEffectPlace::kBehind;
    // The shadow's colour of each blurred alpha, worked out once.
    std::array<uint8_t, 4> colourOf[256];
    for (uint32_t blurred = 0; blurred < 256; ++blurred) {
        const uint32_t a = settings_.inner ? 255 - blurred : blurred;
        colourOf[blurred] =
            ramp_[std::min<uint32_t>(255, (a * uint32_t(settings_.strength) + 128) >> 8)];
    }
    // The shadow's pixels are looked up a stretch of the row at a time, then composited.
    constexpr int32_t kStretch = 256;
    uint8_t shadow[4 * kStretch];
    const int32_t width = image.width;
    for (int32_t y = 0; y < image.height; ++y) {
        const int32_t sy = y - settings_.offsetY;
        const bool rowInside = sy >= 0 && sy < image.height;
        const uint8_t* blurred = rowInside ? alpha.Row(sy) : nullptr;
        for (int32_t from = 0; from < width; from += kStretch) {
            const int32_t count = std::min(kStretch, width - from);
            // Pixels whose source lies in the row [first, last), the rest outside the image.
            const int64_t shift = int64_t(from) - settings_.offsetX;
            const int32_t first =
                rowInside ? int32_t(std::clamp<int64_t>(-shift, 0, count)) : count;
            const int32_t last =
                rowInside ? int32_t(std::clamp<int64_t>(width - shift, first, count)) : count;
            for (int32_t i = 0; i < first; ++i) std::memcpy(shadow + 4 * i, colourOf[0].data(), 4);
            for (int32_t i = first; i < last; ++i)
                std::memcpy(shadow + 4 * i, colourOf[blurred[shift + i]].data(), 4);
            for (int32_t i = last; i < count; ++i)
                std::memcpy(shadow + 4 * i, colourOf[0].data(), 4);
            ZCompositeEffects(image.Row(y) + 4 * from, shadow, count, place, settings_.knockout,
                              settings_.hideObject);
        }
    }
}
