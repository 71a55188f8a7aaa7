// Coverage on a grid: the crossings of each kept segment are summed in place into the
// pixels of a band of the fill's rows, and a sweep over the pixels with crossings paints
// the coverage in spans.  For fills with few segments, or few crossings in all, whose sums
// fit the grid's fields and whose crossings are dense enough for a sweep to pay.
#pragma once

#include "raster/ZSegment.h"
#include "raster/ZSpanPainter.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class ZGridCoverage {
public:
    // Whether segments[0..count), with that extent, on a target width pixels wide, go on
    // the grid.
    static bool Fits(size_t count, const ZSegmentExtent& extent, int32_t width);

    // Paints the coverage of segments[0..count) (extent: theirs, and Fits) on the pixels
    // [0, width) x [0, height), at bytesPerChannel 1 or 2, under the even-odd rule or the
    // non-zero rule.
    void Gather(const ZSegment* segments, size_t count, const ZSegmentExtent& extent, int32_t width,
                int32_t bytesPerChannel, bool evenOdd, const ZSpanSink& sink);

private:
    static int64_t Columns(const ZSegmentExtent& extent, int32_t width);
    template <int32_t kBytesPerChannel, bool kEvenOddRule>
    void GatherAt(const ZSegment* segments, size_t count, const ZSegmentExtent& extent,
                  int32_t width);
    template <bool kClamp> void ScanIntoGrid(const ZSegment& s, int64_t yLow, int64_t yHigh);
    template <int32_t kBytesPerChannel, bool kEvenOddRule> void SweepGrid();

    // The grid over a band of the fill's rows: per pixel the crossings' right parts,
    // downward ones in bits 0-23, upward ones in bits 24-47, and the winding change in bits
    // 48-63; and a mark per pixel that has crossings, gridWords_ words per row.  Both are
    // zero between bands.
    std::vector<uint64_t> grid_;
    std::vector<uint64_t> gridTouched_;
    int32_t gridRow_ = 0, gridRows_ = 0, gridColumn_ = 0, gridColumns_ = 0, gridWords_ = 0;
    int32_t width_ = 0;
    ZSpanSink sink_;
};
