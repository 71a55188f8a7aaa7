// Exact quotients of the 8-bit blend without a hardware division per pixel.
#pragma once

#include <array>
#include <cstdint>

// ceil(2^31 / d) for d = 1..255; entry 0 is unused.
inline constexpr std::array<uint32_t, 256> kZReciprocals = [] {
    std::array<uint32_t, 256> r{};
    for (uint64_t d = 1; d < 256; ++d)
        r[d] = static_cast<uint32_t>(((uint64_t(1) << 31) + d - 1) / d);
    return r;
}();

// n div d for 1 <= d <= 255 and n < 2^16 (the blend's numerators stay below 255 * 256).
// With r = ceil(2^31 / d) = (2^31 + e) / d, e < d, n * r / 2^31 = n / d + n * e / (d * 2^31),
// and the second term never reaches the distance to the next whole number.
inline uint32_t ZDivideSmall(uint32_t n, uint32_t d) {
    return static_cast<uint32_t>((static_cast<uint64_t>(n) * kZReciprocals[d]) >> 31);
}
