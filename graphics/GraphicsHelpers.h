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

} // namespace graphics_detail
