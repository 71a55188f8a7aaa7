// A colour frame with its graphics context, cleared to transparent, and its pixels read
// back as blue, green, red, alpha.
#pragma once

#include "base/PixelBuffer.h"
#include "base/RefCountBase.h"
#include "graphics/GraphicsContext.h"

#include <array>
#include <cstdint>

using Bgra = std::array<uint8_t, 4>;

struct Canvas {
    Held<PixelBuffer> target;
    GraphicsContext context;

    Canvas(int32_t width, int32_t height, int32_t bytesPerChannel = 1)
        : target(Held<PixelBuffer>::Adopt(PixelBuffer::Create(width, height, 4, bytesPerChannel))) {
        context.SetTarget(target.Get());
        context.Reset();
        context.Clear({0, 0, 0, 0});
    }
    // Blue, green, red, alpha at (x, y).
    Bgra Pixel(int32_t x, int32_t y) const {
        const uint8_t* p = target->Row(y) + 4 * x;
        return {p[0], p[1], p[2], p[3]};
    }
    bool AllClear() const {
        for (int64_t i = 0; i < target->ByteCount(); ++i)
            if (target->pixels[i]) return false;
        return true;
    }
};
