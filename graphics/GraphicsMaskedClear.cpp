// Clearing the target through the mask layer: only Clear with the mask test on reaches it, and
// no drawing part clears with it on; kept as the context's specified Clear.
#include "graphics/GraphicsContext.h"

#include "graphics/GraphicsHelpers.h"
#include "raster/ZSpanPainter.h"

#include <cstring>

using namespace graphics_detail;

namespace {

// Full mask coverage writes the colour; partial coverage blends it over with the
// coverage-scaled alpha.
template <class T, uint32_t kFull>
void PaintColourThroughMask(PixelBuffer& target, const PixelBuffer& mask, const T* colour) {
    for (int32_t y = 0; y < target.height; ++y) {
        const T* cover = reinterpret_cast<const T*>(mask.Row(y));
        T* px = reinterpret_cast<T*>(target.Row(y));
        for (int32_t x = 0; x < target.width; ++x, px += 4) {
            if (cover[x] >= kFull)
                std::memcpy(px, colour, 4 * sizeof(T));
            else if (cover[x] != 0)
                ZBlendOver(px, colour, uint32_t(cover[x]) * colour[3] / kFull);
        }
    }
}

} // namespace

void GraphicsContext::PaintThroughMask(const ColorRGBA& color) {
    PixelBuffer& t = *target_;
    const PixelBuffer& m = *mask_;
    if (!t.pixels || !m.pixels || t.width != m.width || t.height != m.height) return;
    if (t.bytesPerChannel == 2) {
        uint16_t words[4];
        PackTruncated16(color, words);
        PaintColourThroughMask<uint16_t, kFullAlpha16>(t, m, words);
    } else {
        uint8_t bytes[4];
        PackTruncated(color, bytes);
        PaintColourThroughMask<uint8_t, 255>(t, m, bytes);
    }
}
