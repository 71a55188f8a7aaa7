#include "raster/ZStencil.h"

#include <atomic>
#include <cstring>

namespace {

uint8_t ToByte(float v) {
    if (!(v > 0.0f)) return 0; // NaN included
    if (v >= 1.0f) return 255;
    return static_cast<uint8_t>(v * 255.0f);
}

} // namespace

void ZTransformPixel(const ColorTransform& cx, uint8_t* bgra) {
    const ColorRGBA in{bgra[2] / 255.0f, bgra[1] / 255.0f, bgra[0] / 255.0f, bgra[3] / 255.0f};
    const ColorRGBA out = cx.Apply(in);
    bgra[0] = ToByte(out.blue);
    bgra[1] = ToByte(out.green);
    bgra[2] = ToByte(out.red);
    bgra[3] = ToByte(out.alpha);
}

ZStencil::~ZStencil() = default;

bool ZPaintKey::operator==(const ZPaintKey& o) const {
    return source == o.source && device.SameBits(o.device) && paint.SameBits(o.paint) &&
           std::memcmp(bounds, o.bounds, sizeof bounds) == 0 && smoothing == o.smoothing &&
           repeatMode == o.repeatMode && mipMap == o.mipMap;
}

void ZStencil::PaintChanged() {
    // Hosts may open movies on several threads: the numbers stay unique across them.
    static std::atomic<uint64_t> next{0};
    source_ = next.fetch_add(1, std::memory_order_relaxed) + 1;
}

bool ZStencil::PaintKey(ZPaintKey& key) const {
    if (!KeepsPaint()) return false;
    key.source = source_;
    key.device = deviceMatrix_;
    key.paint = paintMatrix_;
    const float bounds[4] = {minX_, minY_, maxX_, maxY_};
    std::memcpy(key.bounds, bounds, sizeof bounds);
    key.smoothing = smoothing_;
    key.repeatMode = repeatMode_;
    key.mipMap = mipMap_;
    return true;
}

void ZStencil::FetchSpan8(uint8_t* dst, int count) {
    uint8_t pixel[4];
    for (int i = 0; i < count; ++i) std::memcpy(dst + 4 * i, NextPixel8(pixel), 4);
}

bool ZStencil::WalkPosition(uint64_t&) const {
    return false;
}

void ZStencil::SetWalkPosition(uint64_t) {}

void ZStencil::SetBounds(float minX, float minY, float maxX, float maxY) {
    minX_ = minX;
    minY_ = minY;
    maxX_ = maxX;
    maxY_ = maxY;
    Prepare();
}
