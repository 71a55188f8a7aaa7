// The pixels a stencil gave for the kept spans of a fill, kept with the key they were
// fetched under.  While those spans are painted again it stands in for the stencil: the
// renderer points it at each span's pixels in turn, and it gives them out as they came.
#pragma once

#include "raster/ZSpanPainter.h"
#include "raster/ZStencil.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class ZKeptPaint final : public ZStencil {
public:
    // 8-bit pixels of `spans`, fetched from `source` (prepared for the fill) as the painters
    // fetch them: a span that starts where the one before ended continues the walk, any
    // other seeks first.
    void Fetch(ZStencil& source, const ZPaintKey& key, const std::vector<ZSpan>& spans);
    bool Holds(const ZPaintKey& key) const { return key == key_; }
    size_t Bytes() const { return pixels_.size(); }
    // The next pixel given out is the `pixel`th fetched.
    void MoveTo(size_t pixel) { at_ = pixels_.data() + 4 * pixel; }

    ZStencil* Clone() const override;
    void ApplyColorTransform(const ColorTransform&) override {}
    void Seek(int32_t, int32_t) override {}
    uint8_t* NextPixel8(uint8_t* out) override;
    uint16_t* NextPixel16(uint16_t* out) override;
    void Skip() override { at_ += 4; }
    void FetchSpan8(uint8_t* dst, int count) override;
    bool IsSolidColor() const override { return false; }
    bool IsOpaque() const override { return opaque_; }

private:
    std::vector<uint8_t> pixels_;
    ZPaintKey key_;
    bool opaque_ = false;
    const uint8_t* at_ = nullptr;
};
