// Scanline renderer: fills one ZPath at a time with a stencil into caller-owned pixel
// planes, anti-aliased.  It walks the path as a segment sketcher (segments mapped to
// device space in fixed point, 8 sub-scanlines per pixel row at 1/256 pixel horizontal
// resolution), gathers the coverage of the kept segments on a grid over the fill or from
// sorted cells, and paints it in spans through the painter its targets choose.
#pragma once

#include "base/ValueTypes.h"
#include "raster/TargetImage.h"
#include "raster/ZCellCoverage.h"
#include "raster/ZFillRule.h"
#include "raster/ZGridCoverage.h"
#include "raster/ZKeptFill.h"
#include "raster/ZPaintTargets.h"
#include "raster/ZSegmentSketcher.h"

#include <cstdint>
#include <vector>

class ZStencil;

class ZRenderer final : public ZSegmentSketcher {
public:
    enum Channel { kRed = 0, kGreen = 1, kBlue = 2, kAlpha = 3 };
    // The crossing cells hold 14-bit columns and rows.
    static constexpr int32_t kMaxTargetSize = TargetImage::kMaxSize;

    ZRenderer();
    ~ZRenderer() override;

    // Colour target, four channels.  A change of size or pixel size drops the mask.
    void SetTarget(void* data, int32_t width, int32_t height, int32_t bytesPerChannel,
                   int32_t rowBytes) {
        targets_.SetTarget(data, width, height, bytesPerChannel, rowBytes);
    }
    // Mask target, one channel of the same depth as the colour target.
    void SetMask(void* data, int32_t width, int32_t height, int32_t bytesPerChannel,
                 int32_t rowBytes) {
        targets_.SetMask(data, width, height, bytesPerChannel, rowBytes);
    }
    const TargetImage& Target() const { return targets_.Target(); }
    const TargetImage& Mask() const { return targets_.Mask(); }

    // Fills the path mapped by transform (null: path space is device space) under the
    // rule; every rule but kEvenOdd is non-zero.  The stencil is borrowed for the call
    // only.  A paint other than a solid colour is placed against paintBox, the path's box
    // in path space as ZMeasurePaintBox measures it (the caller has it from placing the
    // paint); without one the renderer measures it.
    // With `kept` (what an earlier fill of the path left, or room for it), a fill made for
    // what it holds takes its segments, and its spans, instead of walking and gathering;
    // the first fill of the path fills it.
    void FillPath(const ZPath& path, const Matrix4* transform, ZStencil* stencil,
                  ZFillRule fillRule, const RectF& paintBox, ZKeptFill* kept = nullptr);
    void FillPath(const ZPath& path, const Matrix4* transform, ZStencil* stencil,
                  ZFillRule fillRule);

    // Per-channel lookup tables: 256 bytes at 8 bits, 32769 values at 16 bits; identity
    // until the owner writes them.  Null when the depth does not match.
    uint8_t* Table8(Channel c) { return targets_.Table8(c); }
    uint16_t* Table16(Channel c) { return targets_.Table16(c); }

    // Has the next fill note its spans, and how many spans the last fill so asked painted
    // (0 for any other).
    void CountNextSpans() { countNext_ = true; }
    size_t LastSpanCount() const { return lastSpans_; }

    void SetMaskRender(bool on) { targets_.SetMaskRender(on); }
    bool MaskRender() const { return targets_.MaskRender(); }
    void SetClipByMask(bool on) { targets_.SetClipByMask(on); }
    bool ClipByMask() const { return targets_.ClipByMask(); }
    void SetUseTables(bool on) { targets_.SetUseTables(on); }
    bool UseTables() const { return targets_.UseTables(); }

private:
    ZPaintTargets targets_;
    ZGridCoverage grid_;
    ZCellCoverage cells_;
    std::vector<ZSpan> recorded_; // the spans of a fill whose spans are to be kept
    size_t lastSpans_ = 0;
    bool countNext_ = false;
};
