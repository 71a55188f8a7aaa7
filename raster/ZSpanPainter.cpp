#include "raster/ZSpanPainter.h"

#include "raster/ZBlendMath.h"
#include "raster/ZSpanPainterTemplates.h"

void ZSpanJob::SeekFor(int32_t x, int32_t y, int32_t length) {
    if (x != nextX || y != nextY) stencil->Seek(x, y);
    nextX = x + length;
    nextY = y;
}

namespace {

// Channel arithmetic of one depth.  8 bits: full is 255 and products divide by 255.
struct Depth8 {
    using Channel = uint8_t;
    using Wide = uint32_t;
    static constexpr uint32_t kFull = 255;

    static uint32_t Mul(uint32_t a, uint32_t b) { return a * b / 255; }
    static uint32_t Limit(uint32_t v) { return v; }
    static uint32_t DestShare(uint32_t ad, uint32_t a) { return ad * (255 - a) / 255; }
    // Numerators of the blend stay below 255 * 256, where the reciprocal is exact.
    static uint32_t Divide(uint32_t n, uint32_t total) { return ZDivideSmall(n, total); }
    static const Channel* Solid(const ZSpanJob& job) { return job.solid8; }
    static const Channel* Table(const ZSpanJob& job, int i) { return job.tables8[i]; }
    static Channel* Scratch(const ZSpanJob& job) { return reinterpret_cast<uint8_t*>(job.scratch); }
    static Channel* Next(ZStencil* s, Channel* out) { return s->NextPixel8(out); }
    static void Fetch(ZStencil* s, Channel* dst, int32_t n) { s->FetchSpan8(dst, n); }
};

} // namespace

ZSpanPainter ChooseSpanPainter(int32_t bytesPerChannel, ZPaintMode mode, bool solid, bool tables) {
    const int row = static_cast<int>(mode);
    const int column = solid ? 0 : (tables ? 2 : 1);
    if (bytesPerChannel == 1) return kPainters<Depth8>[row][column];
    if (bytesPerChannel == 2) return ZChooseSpanPainter16(row, column);
    return nullptr;
}

ZKeptSpansPainter ChooseKeptSpansPainter(int32_t bytesPerChannel, ZPaintMode mode, bool solid) {
    if (bytesPerChannel == 1 && mode == ZPaintMode::kColour && solid)
        return Painters<Depth8>::ColourSolidSpans;
    return nullptr;
}

void ZBlendOver(uint8_t* dst, const uint8_t* src, uint32_t a) {
    if (a != 0) Painters<Depth8>::Over(dst, src, a);
}
