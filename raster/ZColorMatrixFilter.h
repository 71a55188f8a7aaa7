// The colour matrix filter: straight colour mapped by a 4 x 5 matrix (the fifth column an
// offset in 0..255), clamped, on premultiplied pixels.
#pragma once

#include "raster/ZPlane.h"

#include <cstdint>

class ZColorMatrixFilter {
public:
    // Rows red, green, blue, alpha; columns red, green, blue, alpha, offset.
    explicit ZColorMatrixFilter(const float (&matrix)[20]);
    void Apply(const ZPlane& image) const;

private:
    int64_t fixed_[20]; // 1/65536
};
