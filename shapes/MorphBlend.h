// The weights of a morph shape at one ratio: with b = ratio / 65535 and a = 1 - b, every
// value is start * a + end * b.  Ratio 0 gives the start values and 65535 the end values
// exactly.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace UT {

class MorphBlend {
public:
    explicit MorphBlend(uint16_t ratio)
        : a((65535 - ratio) / 65535.0), b(ratio / 65535.0), ratio(ratio) {}

    double Value(double start, double end) const {
        // The exact ends are taken as they are, so that no product of a huge value with 0
        // can disturb them.
        return ratio == 0 ? start : ratio == 65535 ? end : start * a + end * b;
    }
    // Positions, widths and fixed-point fields: to the nearest unit.
    int64_t Rounded(double start, double end) const {
        return static_cast<int64_t>(std::floor(Value(start, end) + 0.5));
    }
    // A field stored in 31 signed bits (record coordinates, matrix elements), rounded.
    int32_t Field(double start, double end) const {
        constexpr int64_t kLimit = (int64_t{1} << 30) - 1;
        return static_cast<int32_t>(std::clamp<int64_t>(Rounded(start, end), -kLimit, kLimit));
    }
    // Colour channels and gradient positions: truncated to 8 bits.
    uint8_t Byte(uint8_t start, uint8_t end) const {
        return static_cast<uint8_t>(std::min(255.0, Value(start, end)));
    }
    uint16_t Ratio() const { return ratio; }

private:
    double a;
    double b;
    uint16_t ratio;
};

} // namespace UT
