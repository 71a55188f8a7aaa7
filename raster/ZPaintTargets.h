// The planes a fill paints into (colour and mask), the channel tables, the paint modes,
// and per fill the span painter chosen for them with the job it paints.
#pragma once

#include "raster/TargetImage.h"
#include "raster/ZSpanPainter.h"

#include <cstdint>
#include <vector>

class ZStencil;

class ZPaintTargets {
public:
    // Colour target, four channels.  A change of size or pixel size drops the mask.
    void SetTarget(void* data, int32_t width, int32_t height, int32_t bytesPerChannel,
                   int32_t rowBytes);
    // Mask target, one channel of the same depth as the colour target.
    void SetMask(void* data, int32_t width, int32_t height, int32_t bytesPerChannel,
                 int32_t rowBytes);
    const TargetImage& Target() const { return colour_; }
    const TargetImage& Mask() const { return mask_; }
    // Bytes per channel of the fills: the colour target's, or the mask's without one.
    int32_t Depth() const;

    // Channel c's lookup table (0 red, 1 green, 2 blue, 3 alpha): 256 bytes at 8 bits,
    // 32769 values at 16 bits; identity until the owner writes it.  Null when the depth
    // does not match.
    uint8_t* Table8(int32_t c);
    uint16_t* Table16(int32_t c);

    void SetMaskRender(bool on) { maskRender_ = on; }
    bool MaskRender() const { return maskRender_; }
    void SetClipByMask(bool on) { clipByMask_ = on; }
    bool ClipByMask() const { return clipByMask_; }
    void SetUseTables(bool on) { useTables_ = on; }
    bool UseTables() const { return useTables_; }

    // The job of the current fill; the solid colour goes into it before PrepareJob.
    ZSpanJob& Job() { return job_; }
    // Picks the painter of a fill with stencil (solid: its colour is in the job) and the
    // area it may touch; false when nothing can be painted.
    bool PrepareJob(ZStencil* stencil, bool solid);
    // Drops the fill's stencil and area.
    void EndJob();
    ZSpanSink Sink() { return {painter_, &job_, nullptr, keptPainter_}; }
    // The area scan conversion may touch in the current fill, in pixels.
    int32_t ScanWidth() const { return scanWidth_; }
    int32_t ScanHeight() const { return scanHeight_; }

private:
    void SetDepth(int32_t bytesPerChannel);
    void ResizeScratch(int32_t width);

    TargetImage colour_;
    TargetImage mask_;
    bool hasColour_ = false;
    std::vector<uint16_t> scratch_; // one row, 4 channels, wide enough for 16 bits
    std::vector<uint16_t> memo_;    // the same, for the painters' span memo
    int32_t clipWidth_ = 0, clipHeight_ = 0;
    int32_t tableDepth_ = 0;
    std::vector<uint8_t> tables8_[4];
    std::vector<uint16_t> tables16_[4];
    bool maskRender_ = false;
    bool clipByMask_ = false;
    bool useTables_ = false;

    // Per fill: the area scan conversion may touch and the chosen painter.
    int32_t scanWidth_ = 0, scanHeight_ = 0;
    ZSpanJob job_;
    ZSpanPainter painter_ = nullptr;
    ZKeptSpansPainter keptPainter_ = nullptr;
};
