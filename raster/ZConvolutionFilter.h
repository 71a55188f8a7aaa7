// The convolution filter: each straight colour channel replaced by the weighted sum of its
// neighbours (the matrix centred on the pixel, row by row), divided, biased and clamped.
#pragma once

#include "raster/ZFilter.h"
#include "raster/ZPlane.h"

#include <cstdint>
#include <vector>

class ZConvolutionFilter {
public:
    explicit ZConvolutionFilter(const ZFilter& filter);
    // `source` is a copy of the image (straight colour is made from it); pixels beyond the
    // image take the nearest edge pixel with clamping on, the default colour without.
    void Apply(const ZPlane& image, const ZPlane& source) const;

private:
    int32_t columns_, rows_;
    std::vector<int64_t> weights_; // 1/65536, the divisor taken in
    int64_t bias_;                 // 1/65536 of a channel step
    bool clamp_, preserveAlpha_;
    uint8_t outside_[4]; // straight bytes blue, green, red, alpha
};
