// The 16-bit painters: only 16-bit targets reach them, and no caller of the plug-in sets one;
// kept as the renderer's specified second depth.
#include "raster/ZSpanPainterTemplates.h"

#include <algorithm>

namespace {

// 16 bits: full is 32768 and products shift by 15.  Values read from buffers or stencils
// are limited to full so that no arithmetic below can wrap or index past a table.
struct Depth16 {
    using Channel = uint16_t;
    using Wide = uint64_t;
    static constexpr uint32_t kFull = 32768;

    static uint32_t Mul(uint32_t a, uint32_t b) { return a * b >> 15; }
    static uint32_t Limit(uint32_t v) { return std::min(v, kFull); }
    static uint32_t DestShare(uint32_t ad, uint32_t a) { return ad * (kFull - a) >> 15; }
    static uint32_t Divide(uint64_t n, uint32_t total) {
        // Over an opaque pixel, a division by a constant the compiler turns into a product.
        return static_cast<uint32_t>(total == kFull ? n / kFull : n / total);
    }
    static const Channel* Solid(const ZSpanJob& job) { return job.solid16; }
    static const Channel* Table(const ZSpanJob& job, int i) { return job.tables16[i]; }
    static Channel* Scratch(const ZSpanJob& job) { return job.scratch; }
    static Channel* Next(ZStencil* s, Channel* out) { return s->NextPixel16(out); }
    static void Fetch(ZStencil* s, Channel* dst, int32_t n) { s->FetchSpan16(dst, n); }
};

} // namespace

ZSpanPainter ZChooseSpanPainter16(int row, int column) {
    return kPainters<Depth16>[row][column];
}

void ZBlendOver(uint16_t* dst, const uint16_t* src, uint32_t a) {
    if (a != 0) Painters<Depth16>::Over(dst, src, a);
}
