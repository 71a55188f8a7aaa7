#include "raster/ZKeptPaint.h"

#include <cstring>

void ZKeptPaint::Fetch(ZStencil& source, const ZPaintKey& key, const std::vector<ZSpan>& spans) {
    size_t count = 0;
    for (const ZSpan& s : spans) count += s.length;
    pixels_.resize(4 * count);
    uint8_t* dst = pixels_.data();
    int32_t nextX = -1, nextY = -1;
    for (const ZSpan& s : spans) {
        if (s.x != nextX || s.y != nextY) source.Seek(s.x, s.y);
        source.FetchSpan8(dst, s.length);
        dst += 4 * size_t(s.length);
        nextX = s.x + s.length;
        nextY = s.y;
    }
    opaque_ = true;
    for (size_t i = 3; i < pixels_.size() && opaque_; i += 4) opaque_ = pixels_[i] == 255;
    key_ = key;
    at_ = pixels_.data();
}

ZStencil* ZKeptPaint::Clone() const {
    auto* copy = new ZKeptPaint;
    copy->pixels_ = pixels_;
    copy->key_ = key_;
    copy->opaque_ = opaque_;
    copy->at_ = copy->pixels_.data();
    return copy;
}

uint8_t* ZKeptPaint::NextPixel8(uint8_t* out) {
    std::memcpy(out, at_, 4);
    at_ += 4;
    return out;
}

uint16_t* ZKeptPaint::NextPixel16(uint16_t* out) {
    uint8_t pixel[4];
    ZWidenPixel(NextPixel8(pixel), out);
    return out;
}

void ZKeptPaint::FetchSpan8(uint8_t* dst, int count) {
    std::memcpy(dst, at_, 4 * size_t(count));
    at_ += 4 * size_t(count);
}
