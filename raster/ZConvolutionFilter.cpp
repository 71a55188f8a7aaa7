#include "raster/ZConvolutionFilter.h"

#include "raster/ZBlendModes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kLimit = 1.0e6;

int64_t Fixed(double v) {
    return std::llround(std::clamp(v, -kLimit, kLimit) * 65536.0);
}

} // namespace

ZConvolutionFilter::ZConvolutionFilter(const ZFilter& f)
    : columns_(f.columns), rows_(f.rows), clamp_(f.clamp), preserveAlpha_(f.preserveAlpha) {
    const double divisor = f.divisor != 0.0f ? double(f.divisor) : 1.0;
    weights_.resize(f.kernel.size());
    for (size_t i = 0; i < f.kernel.size(); ++i) weights_[i] = Fixed(double(f.kernel[i]) / divisor);
    bias_ = Fixed(double(f.bias));
    outside_[0] = f.defaultColor.blue;
    outside_[1] = f.defaultColor.green;
    outside_[2] = f.defaultColor.red;
    outside_[3] = f.defaultColor.alpha;
}

void ZConvolutionFilter::Apply(const ZPlane& image, const ZPlane& source) const {
    if (image.Empty() || weights_.empty() || size_t(columns_) * size_t(rows_) != weights_.size())
        return;
    for (int32_t y = 0; y < image.height; ++y) {
        std::memcpy(source.Row(y), image.Row(y), size_t(image.width) * 4);
        ZUnpremultiplyRow(source.Row(y), image.width);
    }
    const int32_t cx = columns_ / 2, cy = rows_ / 2;
    for (int32_t y = 0; y < image.height; ++y) {
        uint8_t* out = image.Row(y);
        for (int32_t x = 0; x < image.width; ++x, out += 4) {
            int64_t sum[4] = {bias_, bias_, bias_, bias_};
            for (int32_t j = 0; j < rows_; ++j) {
                int32_t sy = y + j - cy;
                const bool rowOut = sy < 0 || sy >= image.height;
                if (rowOut && clamp_) sy = std::clamp(sy, 0, image.height - 1);
                for (int32_t i = 0; i < columns_; ++i) {
                    int32_t sx = x + i - cx;
                    const bool out_ = rowOut || sx < 0 || sx >= image.width;
                    if (out_ && clamp_) sx = std::clamp(sx, 0, image.width - 1);
                    const uint8_t* p =
                        out_ && !clamp_ ? outside_ : source.Row(sy) + int64_t(sx) * 4;
                    const int64_t w = weights_[size_t(j) * columns_ + i];
                    for (int c = 0; c < 4; ++c) sum[c] += w * p[c];
                }
            }
            uint8_t v[4];
            for (int c = 0; c < 4; ++c)
                v[c] = uint8_t(std::clamp<int64_t>((sum[c] + 32768) >> 16, 0, 255));
            if (preserveAlpha_) v[3] = source.Row(y)[x * 4 + 3];
            std::memcpy(out, v, 4);
            ZPremultiplyRow(out, 1);
        }
    }
}
