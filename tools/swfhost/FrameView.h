// A picture as the plug-in lends it: 32-bit blue, green, red, alpha (straight alpha).
// ReadFrame hands out the address of row 0, the top row, and the negated row pitch;
// the rows themselves lie top first in memory, so row y is at row 0 + y * pitch.
#pragma once

#include <cstddef>
#include <cstdint>

struct FrameView {
    const uint8_t* top = nullptr;
    std::ptrdiff_t pitch = 0; // bytes from one row to the next one down
    int width = 0;
    int height = 0;

    const uint8_t* Row(int y) const { return top + std::ptrdiff_t(y) * pitch; }

    static FrameView FromLent(const void* pixels, int32_t stride, int width, int height) {
        return {static_cast<const uint8_t*>(pixels), -std::ptrdiff_t(stride), width, height};
    }
};
