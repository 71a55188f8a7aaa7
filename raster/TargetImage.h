// Descriptor of a pixel plane the renderer paints into.  Row y starts at
// data + y * rowBytes; pixel x of a row at x * bytesPerPixel.
#pragma once

#include <cstdint>

struct TargetImage {
    // The renderer's crossing cells hold 14-bit columns and rows.
    static constexpr int32_t kMaxSize = 16384;

    uint8_t* data = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t rowBytes = 0;
    int32_t channels = 0;        // 4 for colour, 1 for a mask
    int32_t bytesPerChannel = 0; // 1, or 2 with 32768 as full
    int32_t bytesPerPixel = 0;

    uint8_t* Row(int32_t y) const { return data + static_cast<intptr_t>(y) * rowBytes; }
};
