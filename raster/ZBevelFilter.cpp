#include "raster/ZBevelFilter.h"

#include <algorithm>

void ZBevelFilter::Apply(const ZPlane& image, const ZPlane& alpha, const ZPlane& scratch) {
    if (image.Empty()) return;
    ZCopyAlpha(image, alpha);
    blur_.Apply(alpha, scratch);
    auto at = [&](int32_t x, int32_t y) -> int32_t {
        return x >= 0 && y >= 0 && x < image.width && y < image.height ? alpha.Row(y)[x] : 0;
    };
    const int32_t dx = settings_.offsetX, dy = settings_.offsetY;
    for (int32_t y = 0; y < image.height; ++y) {
        uint8_t* object = image.Row(y);
        for (int32_t x = 0; x < image.width; ++x, object += 4) {
            // Positive towards the light: the far side of the offset is deeper inside.
            const int32_t v = (at(x + dx, y + dy) - at(x - dx, y - dy)) * settings_.strength / 256;
            const int32_t index = std::clamp(128 - v / 2, 0, 255);
            ZCompositeEffect(object, ramp_[size_t(index)].data(), settings_.place,
                             settings_.knockout, false);
        }
    }
}
