// A view of premultiplied pixels that the layer filters and blends work on: 4 channels
// (bytes blue, green, red, alpha) or 1 (alpha alone), rows `pitch` bytes apart.
#pragma once

#include <cstdint>

struct ZPlane {
    uint8_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t pitch = 0;
    int32_t channels = 4;

    uint8_t* Row(int32_t y) const { return pixels + int64_t(y) * pitch; }
    bool Empty() const { return !pixels || width <= 0 || height <= 0; }
    // The part from (x, y) of the given size; the caller keeps it inside.
    ZPlane Part(int32_t x, int32_t y, int32_t w, int32_t h) const {
        return {pixels + int64_t(y) * pitch + int64_t(x) * channels, w, h, pitch, channels};
    }
};

// The alpha channel of a 4-channel plane into a 1-channel plane of its size.
inline void ZCopyAlpha(const ZPlane& image, const ZPlane& alpha) {
    for (int32_t y = 0; y < image.height; ++y) {
        const uint8_t* in = image.Row(y);
        uint8_t* out = alpha.Row(y);
        for (int32_t x = 0; x < image.width; ++x) out[x] = in[x * 4 + 3];
    }
}

// x / 255 rounded to nearest, for 0 <= x <= 255 * 255 + 255.
inline uint32_t ZDiv255(uint32_t x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}
