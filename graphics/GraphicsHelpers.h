// Small helpers shared by the graphics context's source files.
#pragma once

#include "base/ValueTypes.h"

#include <cstdint>

namespace graphics_detail {

constexpr float kDegreesToRadians = 0.01745329238474369f;
constexpr int32_t kFullAlpha16 = 32768;

inline float Clamp01(float v) {
    return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f;
}

inline bool SamePoint(const Point3& a, const Point3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// Colour bytes blue, green, red, alpha with truncation, as clears use them.
inline void PackTruncated(const ColorRGBA& c, uint8_t* bgra) {
    bgra[0] = uint8_t(Clamp01(c.blue) * 255.0f);
    bgra[1] = uint8_t(Clamp01(c.green) * 255.0f);
    bgra[2] = uint8_t(Clamp01(c.red) * 255.0f);
    bgra[3] = uint8_t(Clamp01(c.alpha) * 255.0f);
}

inline void PackTruncated16(const ColorRGBA& c, uint16_t* bgra) {
    bgra[0] = uint16_t(Clamp01(c.blue) * kFullAlpha16);
    bgra[1] = uint16_t(Clamp01(c.green) * kFullAlpha16);
    bgra[2] = uint16_t(Clamp01(c.red) * kFullAlpha16);
    bgra[3] = uint16_t(Clamp01(c.alpha) * kFullAlpha16);
}

} // namespace graphics_detail
