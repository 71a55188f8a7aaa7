// Scanline renderer: fills one ZPath at a time with a stencil into caller-owned pixel
// planes, anti-aliased.  Segments are mapped to device space and scan-converted into
// crossings on 8 sub-scanlines per pixel row at 1/256 pixel horizontal resolution; the
// crossings, summed per pixel (on a grid over the fill, or per edge into cells that are
// then sorted), yield per-pixel coverage under the even-odd or non-zero rule, painted in
// horizontal spans.
#pragma once

#include "base/ValueTypes.h"
#include "raster/TargetImage.h"
#include "raster/ZRadixSort.h"
#include "raster/ZSketcher.h"
#include "raster/ZSpanPainter.h"

#include <cstdint>
#include <limits>
#include <vector>

class ZStencil;

class ZRenderer final : public ZSketcher {
public:
    // FillPath reads every code but kEvenOdd as non-zero winding.
    enum FillRule : int32_t { kEvenOdd = 0, kNonZero = 1 };
    enum Channel { kRed = 0, kGreen = 1, kBlue = 2, kAlpha = 3 };
    // The crossing key format holds 14-bit columns and rows.
    static constexpr int32_t kMaxTargetSize = 16384;

    ZRenderer();
    ~ZRenderer() override;

    // Colour target, four channels.  A change of size or pixel size drops the mask.
    void SetTarget(void* data, int32_t width, int32_t height, int32_t bytesPerChannel,
                   int32_t rowBytes);
    // Mask target, one channel of the same depth as the colour target.
    void SetMask(void* data, int32_t width, int32_t height, int32_t bytesPerChannel,
                 int32_t rowBytes);
    const TargetImage& Target() const { return colour_; }
    const TargetImage& Mask() const { return mask_; }

    // Fills the path mapped by transform (null: path space is device space).  fillRule 0
    // is even-odd, anything else non-zero.  The stencil is borrowed for the call only.
    void FillPath(const ZPath& path, const Matrix4* transform, ZStencil* stencil, int32_t fillRule);

    // Per-channel lookup tables: 256 bytes at 8 bits, 32769 values at 16 bits; identity
    // until the owner writes them.  Null when the depth does not match.
    uint8_t* Table8(Channel c);
    uint16_t* Table16(Channel c);

    void SetMaskRender(bool on) { maskRender_ = on; }
    bool MaskRender() const { return maskRender_; }
    void SetClipByMask(bool on) { clipByMask_ = on; }
    bool ClipByMask() const { return clipByMask_; }
    void SetUseTables(bool on) { useTables_ = on; }
    bool UseTables() const { return useTables_; }

    void LineTo(float x, float y) override;
    // Lines to each of the n points in turn, as n calls of LineTo would draw them.
    void LineRun(const ZPathElement* points, size_t n);
    void SubdivideQuad(float x0, float y0, float cx, float cy, float x1, float y1) override;

private:
    int32_t Depth() const;
    void SetDepth(int32_t bytesPerChannel);
    void ResizeScratch(int32_t width);
    bool PrepareJob(bool solid);
    Point3 ToDevice(float x, float y) const;
    // A path point and, when its device position is a number, its scaled fixed-point
    // position (x in 1/256, y in 1/8 pixel).  Small, so that it stays in registers.
    struct DevicePoint {
        float x = 0, y = 0; // path space
        int32_t fixedX = 0, fixedY = 0;
        bool isNumber = false;
    };
    DevicePoint Map(float x, float y) const;
    // Makes lastEnd_ the segment start (x, y), kept when the previous segment ended there.
    void MapStart(float x, float y);
    void KeepEnd(const DevicePoint& p);
    void GrowBounds(float minX, float minY, float maxX, float maxY);
    // A segment between two mapped points (fixed point), kept until the whole path has
    // been walked: the extent of all of them decides how their crossings are gathered.
    struct Segment {
        int32_t xTop, yTop, xBottom, yBottom;
        bool down; // drawn from the top end to the bottom end
    };
    struct SegmentSteps;
    // The rows and (unclamped) columns the kept segments cross, and how many sub-scanlines
    // in all; empty as constructed.
    struct SegmentExtent {
        int64_t minX = std::numeric_limits<int64_t>::max();
        int64_t maxX = std::numeric_limits<int64_t>::min();
        int32_t firstRow = kMaxTargetSize, lastRow = -1;
        int64_t crossings = 0;
    };
    // Room for n more segments after segmentCount_.
    void ReserveSegments(size_t n);
    // Keeps the segment in segments[count] (room for it is there) when it crosses the
    // target's sub-scanlines [0, limitY).
    static void AddSegment(const DevicePoint& p0, const DevicePoint& p1, int32_t limitY,
                           Segment* segments, size_t& count, SegmentExtent& extent);
    // The walk of s over the sub-scanlines [yLow, yHigh); false when it crosses none.
    bool StartSteps(const Segment& s, int64_t yLow, int64_t yHigh, SegmentSteps& steps) const;
    // Crossings as cells, to be sorted.
    void ScanSegment(const Segment& s);
    // Cells of a vertical edge at x (clamped, 1/256 pixel) on sub-scanlines
    // [yStart, yEnd), written from out; returns the end.
    uint64_t* ScanVertical(uint64_t* out, int64_t x, int64_t yStart, int64_t yEnd, uint64_t down);
    template <int32_t kBytesPerChannel, bool kEvenOddRule>
    void Accumulate(const uint64_t* keys, size_t count);
    // Crossings summed in place on a grid over the fill's pixels, a band of rows at a time,
    // for fills whose sums fit the grid's fields.
    bool FitsGrid() const;
    int64_t GridColumns() const;
    template <bool kClamp> void ScanIntoGrid(const Segment& s, int64_t yLow, int64_t yHigh);
    template <int32_t kBytesPerChannel, bool kEvenOddRule> void SweepGrid();
    template <int32_t kBytesPerChannel, bool kEvenOddRule> void Gather();
    void Paint(int32_t x, int32_t y, int32_t length, uint32_t coverage) {
        if (coverage != 0) painter_(job_, x, y, length, coverage);
    }

    const Matrix4* transform_ = nullptr;
    ZStencil* stencil_ = nullptr;
    // Cells of the current fill (crossing keys summed per edge and pixel, ZCell) are
    // crossings_[0..crossingCount_); the vector's size is its usable room, so that the
    // scan loop writes without growth checks.
    std::vector<uint64_t> crossings_;
    size_t crossingCount_ = 0;
    ZSortScratch sortScratch_;
    // The segments of the current fill, segments_[0..segmentCount_), and their extent.
    std::vector<Segment> segments_;
    size_t segmentCount_ = 0;
    SegmentExtent extent_;
    // The grid over a band of the fill's rows: per pixel the crossings' right parts,
    // downward ones in bits 0-23, upward ones in bits 24-47, and the winding change in bits
    // 48-63; and a mark per pixel that has crossings, gridWords_ words per row.  Both are
    // zero between bands.
    std::vector<uint64_t> grid_;
    std::vector<uint64_t> gridTouched_;
    int32_t gridRow_ = 0, gridRows_ = 0, gridColumn_ = 0, gridColumns_ = 0, gridWords_ = 0;
    // Consecutive segments share their joint: it is mapped once.
    DevicePoint lastEnd_;
    bool lastEndKnown_ = false;
    TargetImage colour_;
    TargetImage mask_;
    bool hasColour_ = false;
    std::vector<uint16_t> scratch_; // one row, 4 channels, wide enough for 16 bits
    std::vector<uint16_t> memo_;    // the same, for the painters' span memo
    int32_t clipWidth_ = 0, clipHeight_ = 0;
    int32_t fillRule_ = kNonZero;
    float minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0;
    bool trackBounds_ = true; // only stencils that are not a solid colour read the box
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
};
