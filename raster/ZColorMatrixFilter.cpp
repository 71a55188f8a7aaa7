#include "raster/ZColorMatrixFilter.h"

#include "raster/ZBlendModes.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kLimit = 1.0e6f; // beyond any useful factor; keeps the sums in range

} // namespace

ZColorMatrixFilter::ZColorMatrixFilter(const float (&matrix)[20]) {
    for (int i = 0; i < 20; ++i)
        fixed_[i] = std::llround(double(std::clamp(matrix[i], -kLimit, kLimit)) * 65536.0);
}

void ZColorMatrixFilter::Apply(const ZPlane& image) const {
    for (int32_t y = 0; y < image.height; ++y) {
        uint8_t* p = image.Row(y);
        ZUnpremultiplyRow(p, image.width);
        for (int32_t x = 0; x < image.width; ++x, p += 4) {
            const int64_t in[4] = {p[2], p[1], p[0], p[3]}; // red, green, blue, alpha
            uint8_t out[4];
            for (int row = 0; row < 4; ++row) {
                const int64_t* m = &fixed_[row * 5];
                const int64_t v = m[0] * in[0] + m[1] * in[1] + m[2] * in[2] + m[3] * in[3] + m[4];
                out[row] = uint8_t(std::clamp<int64_t>((v + 32768) >> 16, 0, 255));
            }
            p[0] = out[2];
            p[1] = out[1];
            p[2] = out[0];
            p[3] = out[3];
        }
        ZPremultiplyRow(image.Row(y), image.width);
    }
}
