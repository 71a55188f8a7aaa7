#include "raster/ZBevelFilter.h"

#include <algorithm>
#include <cstring>

void ZBevelFilter::Apply(const ZPlane& image, const ZPlane& alpha, const ZPlane& scratch) {
    if (image.Empty()) return;
    ZCopyAlpha(image, alpha);
    blur_.Apply(alpha, scratch);
    auto at = [&](int32_t x, int32_t y) -> int32_t {
        return x >= 0 && y >= 0 && x < image.width && y < image.height ? alpha.Row(y)[x] : 0;
    };
    const int32_t dx = settings_.offsetX, dy = settings_.offsetY;
    // The bevel's pixels are looked up a stretch of the row at a time, then composited.
    constexpr int32_t kStretch = 256;
    uint8_t bevel[4 * kStretch];
    for (int32_t y = 0; y < image.height; ++y) {
        for (int32_t from = 0; from < image.width; from += kStretch) {
            const int32_t count = std::min(kStretch, image.width - from);
            for (int32_t i = 0; i < count; ++i) {
                const int32_t x = from + i;
                // Positive towards the light: the far side of the offset is deeper inside.
                const int32_t v =
                    (at(x + dx, y + dy) - at(x - dx, y - dy)) * settings_.strength / 256;
                const int32_t index = std::clamp(128 - v / 2, 0, 255);
                std::memcpy(bevel + 4 * i, ramp_[size_t(index)].data(), 4);
            }
            ZCompositeEffects(image.Row(y) + 4 * from, bevel, count, settings_.place,
                              settings_.knockout, false);
        }
    }
}
