#include "raster/ZShadowFilter.h"

#include <algorithm>

void ZShadowFilter::Apply(const ZPlane& image, const ZPlane& alpha, const ZPlane& scratch) {
    if (image.Empty()) return;
    ZCopyAlpha(image, alpha);
    blur_.Apply(alpha, scratch);
    const ZEffectPlace place = settings_.inner ? ZEffectPlace::kInside : ZEffectPlace::kBehind;
    for (int32_t y = 0; y < image.height; ++y) {
        uint8_t* object = image.Row(y);
        const int32_t sy = y - settings_.offsetY;
        const bool rowInside = sy >= 0 && sy < image.height;
        const uint8_t* blurred = rowInside ? alpha.Row(sy) : nullptr;
        for (int32_t x = 0; x < image.width; ++x, object += 4) {
            const int32_t sx = x - settings_.offsetX;
            uint32_t a = rowInside && sx >= 0 && sx < image.width ? blurred[sx] : 0;
            if (settings_.inner) a = 255 - a;
            a = std::min<uint32_t>(255, (a * uint32_t(settings_.strength) + 128) >> 8);
            ZCompositeEffect(object, ramp_[a].data(), place, settings_.knockout,
                             settings_.hideObject);
        }
    }
}
