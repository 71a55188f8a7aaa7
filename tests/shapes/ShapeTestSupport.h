// Movies for the shape and bitmap tests: a writer with a placement helper, parsing into a
// FlashScript, and rendering one frame into a 32-bit canvas.
#pragma once

#include "base/PixelBuffer.h"
#include "graphics/GraphicsContext.h"
#include "platform/Win32.h"
#include "support/ShapeWriter.h"
#include "support/SwfWriter.h"
#include "swf/FlashScript.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace shapetest {

using Bgra = std::array<uint8_t, 4>;

constexpr uint16_t kPlaceObject2 = 26;

// PlaceObject2 of a character at a depth, with an optional matrix.
inline std::vector<uint8_t> Place(uint16_t id, uint16_t depth,
                                  const swftest::MatrixRecord* matrix = nullptr) {
    swftest::BitWriter body;
    body.UI8(matrix ? 0x06 : 0x02).UI16(depth).UI16(id);
    if (matrix) body.Matrix(*matrix);
    return body.Data();
}

// Scale in 16.16 and translation in pixels.
inline swftest::MatrixRecord Transform(double scale, int32_t dxPixels, int32_t dyPixels) {
    swftest::MatrixRecord m;
    m.hasScale = scale != 1.0;
    m.scaleX = m.scaleY = int32_t(scale * 65536);
    m.translateX = dxPixels * 20;
    m.translateY = dyPixels * 20;
    return m;
}

// Copies the bytes into a global block, which the movie takes over.
inline bool Load(UT::FlashScript& movie, const std::vector<uint8_t>& bytes) {
    auto* image = static_cast<uint8_t*>(GlobalAlloc(GPTR, bytes.size() ? bytes.size() : 1));
    if (!bytes.empty()) std::memcpy(image, bytes.data(), bytes.size());
    return movie.Parse(image, uint32_t(bytes.size()));
}

// A cleared target and a context drawing into it.
struct Canvas {
    Canvas(int32_t width, int32_t height)
        : buffer(Held<PixelBuffer>::Adopt(PixelBuffer::Create(width, height, 4, 1))) {
        context.SetTarget(buffer.Get());
        context.Reset();
        context.Clear({0, 0, 0, 0});
    }
    Bgra Pixel(int32_t x, int32_t y) const {
        const uint8_t* p = buffer->Row(y) + 4 * x;
        return {p[0], p[1], p[2], p[3]};
    }

    Held<PixelBuffer> buffer;
    GraphicsContext context;
};

// The movie parsed and moved to `frame`, and that frame drawn into a new canvas.
struct Rendered {
    Rendered(const std::vector<uint8_t>& bytes, int32_t width, int32_t height, int32_t frame = 0)
        : canvas(width, height) {
        loaded = Load(movie, bytes);
        movie.GotoFrame(frame);
        movie.RenderDisplayList(canvas.context);
    }
    Bgra Pixel(int32_t x, int32_t y) const { return canvas.Pixel(x, y); }

    UT::FlashScript movie;
    Canvas canvas;
    bool loaded = false;
};

} // namespace shapetest
