// A picture in memory: red, green, blue, alpha bytes, rows top first, no padding.
#pragma once

#include "tools/swfhost/Background.h"
#include "tools/swfhost/FrameView.h"

#include <cstdint>
#include <vector>

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;

    RgbaImage() = default;
    RgbaImage(int width, int height) : width(width), height(height) {
        pixels.assign(size_t(width) * size_t(height) * 4, 0);
    }
    uint8_t* Row(int y) { return pixels.data() + size_t(y) * size_t(width) * 4; }
    const uint8_t* Row(int y) const { return pixels.data() + size_t(y) * size_t(width) * 4; }

    // The lent picture, converted row by row over `background`.
    static RgbaImage FromFrame(const FrameView& frame, const Background& background) {
        RgbaImage image(frame.width, frame.height);
        for (int y = 0; y < frame.height; ++y)
            background.ConvertRow(frame.Row(y), image.Row(y), frame.width);
        return image;
    }
};
