// The rule that turns a fill's winding into coverage.  kNonZero has the code the graphics
// context has always stored for it; the renderer reads every value but kEvenOdd (0) as
// non-zero, so a code converted from an integer keeps its old meaning.
#pragma once

#include <cstdint>

enum class ZFillRule : int32_t {
    kEvenOdd = 0,
    kNonZero = 2,
};
