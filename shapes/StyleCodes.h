// The codes of fill and line style records that shapes and morph shapes both read.
#pragma once

#include "base/FlashParser.h"

#include <cstdint>

namespace UT {

enum FillType : uint8_t {
    kGradientBit = 0x10,
    kLinearGradient = 0x10,
    kRadialGradient = 0x12,
    kFocalGradient = 0x13,
    kBitmapBit = 0x40,
    // Of the bitmap kinds 0x40 to 0x43: clipped (0x41, 0x43), unsmoothed (0x42, 0x43).
    kClippedBit = 0x01,
    kUnsmoothedBit = 0x02,
};

// The count byte of a gradient: the spread in its top two bits, then the interpolation,
// then the number of records (as movies from Flash 8 on write it).
constexpr uint32_t kStopCountMask = 0x0F;

// The join code of LINESTYLE2 that carries a miter limit.
constexpr uint32_t kJoinMiter = 2;

// A style array's count: one byte, or 255 and then two.
inline uint32_t ReadStyleCount(FlashParser& reader) {
    const uint32_t count = reader.ReadUI8();
    return count == 255 ? reader.ReadUI16() : count;
}

} // namespace UT
