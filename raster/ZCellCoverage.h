// Coverage from sorted cells: each kept segment is scan-converted into cells (its
// crossings summed per pixel, ZCell), the cells of the whole fill are sorted by row and
// column, and one pass over them paints the coverage in spans.  Suits fills of any size.
#pragma once

#include "raster/ZRadixSort.h"
#include "raster/ZSegment.h"
#include "raster/ZSpanPainter.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class ZCellCoverage {
public:
    ZCellCoverage();

    // Paints the coverage of segments[0..count) (extent: theirs) on the pixels
    // [0, width) x [0, height), at bytesPerChannel 1 or 2, under the even-odd rule or the
    // non-zero rule.
    void Gather(const ZSegment* segments, size_t count, const ZSegmentExtent& extent, int32_t width,
                int32_t height, int32_t bytesPerChannel, bool evenOdd, const ZSpanSink& sink);

private:
    // Crossings as cells, to be sorted.
    void ScanSegment(const ZSegment& s);
    // Cells of a vertical edge at x (clamped, 1/256 pixel) on sub-scanlines
    // [yStart, yEnd), written from out; returns the end.
    uint64_t* ScanVertical(uint64_t* out, int64_t x, int64_t yStart, int64_t yEnd, uint64_t down);
    template <int32_t kBytesPerChannel, bool kEvenOddRule>
    void Accumulate(const uint64_t* keys, size_t count);

    // Cells of the current fill are crossings_[0..crossingCount_); the vector's size is its
    // usable room, so that the scan loop writes without growth checks.
    std::vector<uint64_t> crossings_;
    size_t crossingCount_ = 0;
    ZSortScratch sortScratch_;
    int32_t width_ = 0, height_ = 0;
    ZSpanSink sink_;
};
