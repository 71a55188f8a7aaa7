#include "raster/ZBevelFilter.h"

#include <algorithm>
#include <array>
#include <cstring>

void ZBevelFilter::Apply(const ZPlane& image, const ZPlane& alpha, const ZPlane& scratch) {
    if (image.Empty()) return;
    ZCopyAlpha(image, alpha);
    blur_.Apply(alpha, scratch);
    // The bevel's colour of each difference between the alpha a pixel ahead and behind.
    // Positive towards the light: the far side of the offset is deeper inside.
    std::array<uint8_t, 4> colourOf[511];
    for (int32_t difference = -255; difference <= 255; ++difference) {
        const int32_t v = difference * settings_.strength / 256;
        colourOf[difference + 255] = ramp_[size_t(std::clamp(128 - v / 2, 0, 255))];
    }
    const int32_t dx = settings_.offsetX, dy = settings_.offsetY;
    const int32_t width = image.width, height = image.height;
    // The alpha at (x, y) of a row, 0 outside the image.
    const auto at = [width](const uint8_t* row, int64_t x) -> int32_t {
        return row && x >= 0 && x < width ? row[x] : 0;
    };
    // The bevel's pixels are looked up a stretch of the row at a time, then composited.
    constexpr int32_t kStretch = 256;
    uint8_t bevel[4 * kStretch];
    for (int32_t y = 0; y < height; ++y) {
        const int64_t yAhead = int64_t(y) + dy, yBehind = int64_t(y) - dy;
        const uint8_t* ahead =
            yAhead >= 0 && yAhead < height ? alpha.Row(int32_t(yAhead)) : nullptr;
        const uint8_t* behind =
            yBehind >= 0 && yBehind < height ? alpha.Row(int32_t(yBehind)) : nullptr;
        for (int32_t from = 0; from < width; from += kStretch) {
            const int32_t count = std::min(kStretch, width - from);
            // Where both rows are there and both columns inside, [first, last), no test is
            // needed.
            int32_t first = count, last = count;
            if (ahead && behind) {
                const int64_t low = std::max<int64_t>({0, -int64_t(dx), int64_t(dx)}) - from;
                const int64_t high =
                    std::min<int64_t>({width, int64_t(width) - dx, int64_t(width) + dx}) - from;
                first = int32_t(std::clamp<int64_t>(low, 0, count));
                last = int32_t(std::clamp<int64_t>(high, first, count));
            }
            const auto colour = [&](int32_t i, int32_t difference) {
                std::memcpy(bevel + 4 * i, colourOf[difference + 255].data(), 4);
            };
            for (int32_t i = 0; i < first; ++i)
                colour(i, at(ahead, int64_t(from) + i + dx) - at(behind, int64_t(from) + i - dx));
            const int64_t fromAhead = int64_t(from) + dx, fromBehind = int64_t(from) - dx;
            for (int32_t i = first; i < last; ++i)
                colour(i, int32_t(ahead[fromAhead + i]) - int32_t(behind[fromBehind + i]));
            for (int32_t i = last; i < count; ++i)
                colour(i, at(ahead, int64_t(from) + i + dx) - at(behind, int64_t(from) + i - dx));
            ZCompositeEffects(image.Row(y) + 4 * from, bevel, count, settings_.place,
                              settings_.knockout, false);
        }
    }
}
