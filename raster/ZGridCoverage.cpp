#include "raster/ZGridCoverage.h"

#include "raster/ZSegmentWalk.h"

#include <algorithm>
#include <bit>

// A pixel gets at most one crossing per segment and sub-scanline, so with few segments (or
// few crossings in all) the grid's fields cannot overflow.  Fills with so few crossings for
// their pixels that sweeping the grid would cost more than sorting them go through sorted
// cells instead.
bool ZGridCoverage::Fits(size_t count, const ZSegmentExtent& extent, int32_t width) {
    constexpr int64_t kMaxCrossings = 32767; // the winding field holds -32768..32767
    constexpr int64_t kPixelsPerCrossing = 16;
    if (std::min<int64_t>(extent.crossings, 8 * static_cast<int64_t>(count)) > kMaxCrossings)
        return false;
    return Columns(extent, width) * (int64_t(extent.lastRow) - extent.firstRow + 1) <=
           kPixelsPerCrossing * extent.crossings;
}

int64_t ZGridCoverage::Columns(const ZSegmentExtent& extent, int32_t width) {
    const int64_t maxX = 256 * static_cast<int64_t>(width) - 1;
    return (std::clamp<int64_t>(extent.maxX, 0, maxX) >> 8) -
           (std::clamp<int64_t>(extent.minX, 0, maxX) >> 8) + 1;
}

void ZGridCoverage::Gather(const ZSegment* segments, size_t count, const ZSegmentExtent& extent,
                           int32_t width, int32_t bytesPerChannel, bool evenOdd,
                           const ZSpanSink& sink) {
    sink_ = sink;
    if (bytesPerChannel == 1)
        evenOdd ? GatherAt<1, true>(segments, count, extent, width)
                : GatherAt<1, false>(segments, count, extent, width);
    else // 16-bit targets only, which no caller of the plug-in sets
        evenOdd ? GatherAt<2, true>(segments, count, extent, width)
                : GatherAt<2, false>(segments, count, extent, width);
}

template <int32_t kBytesPerChannel, bool kEvenOddRule>
void ZGridCoverage::GatherAt(const ZSegment* segments, size_t count, const ZSegmentExtent& extent,
                             int32_t width) {
    // The grid covers a band of rows at a time, so that it stays within the cache.
    constexpr int64_t kBandPixels = int64_t(1) << 16;
    width_ = width;
    const int64_t maxX = 256 * static_cast<int64_t>(width) - 1;
    gridColumn_ = static_cast<int32_t>(std::clamp<int64_t>(extent.minX, 0, maxX) >> 8);
    gridColumns_ = static_cast<int32_t>(Columns(extent, width));
    const int32_t bandRows = static_cast<int32_t>(std::clamp<int64_t>(
        kBandPixels / gridColumns_, 1, int64_t(extent.lastRow) - extent.firstRow + 1));
    const size_t cells = static_cast<size_t>(bandRows) * static_cast<size_t>(gridColumns_);
    if (grid_.size() < cells) grid_.resize(cells);
    gridWords_ = (gridColumns_ + 63) / 64;
    const size_t words = static_cast<size_t>(bandRows) * static_cast<size_t>(gridWords_);
    if (gridTouched_.size() < words) gridTouched_.resize(words);
    const bool inside = extent.minX >= 0 && extent.maxX <= maxX;
    for (int32_t band = extent.firstRow; band <= extent.lastRow; band += bandRows) {
        gridRow_ = band;
        gridRows_ = std::min(bandRows, extent.lastRow - band + 1);
        const int64_t yLow = 8 * int64_t(band), yHigh = 8 * (int64_t(band) + gridRows_);
        for (size_t i = 0; i < count; ++i) {
            const ZSegment& s = segments[i];
            if (s.yBottom > yLow && s.yTop < yHigh)
                inside ? ScanIntoGrid<false>(s, yLow, yHigh) : ScanIntoGrid<true>(s, yLow, yHigh);
        }
        SweepGrid<kBytesPerChannel, kEvenOddRule>();
    }
}

// The same crossings as sorted cells are made of, added into their pixels: a downward
// crossing adds its right part to the low field and one to the winding, an upward one its
// right part to the middle field and minus one (the sums cannot overflow: Fits).
template <bool kClamp>
void ZGridCoverage::ScanIntoGrid(const ZSegment& s, int64_t yLow, int64_t yHigh) {
    const int shift = s.down ? 0 : 24;
    const uint64_t unit = s.down ? uint64_t(1) << 48 : uint64_t(0xFFFF) << 48;
    const int64_t maxX = 256 * static_cast<int64_t>(width_) - 1;
    // Fills inside the target's width need no clamping.
    const auto clampX = [maxX](int64_t x) { return kClamp ? std::clamp<int64_t>(x, 0, maxX) : x; };
    const auto crossing = [&](int64_t y, int64_t x) {
        const int64_t xc = clampX(x);
        const size_t gridRow = static_cast<size_t>((y >> 3) - gridRow_);
        const int64_t column = (xc >> 8) - gridColumn_;
        grid_[gridRow * static_cast<size_t>(gridColumns_) + static_cast<size_t>(column)] +=
            ((255 - uint64_t(xc & 0xFF)) << shift) + unit;
        gridTouched_[gridRow * static_cast<size_t>(gridWords_) +
                     static_cast<size_t>(column >> 6)] |= uint64_t(1) << (column & 63);
    };
    // Most segments of curved or detailed outlines cross one or two sub-scanlines: those
    // go in without the walk.  The first crossing is at the top end (the band holds it:
    // GatherAt), and a second, when the band holds it too, is where the walk's one step
    // takes it: ceil(width / 2) on.
    const int64_t height = int64_t(s.yBottom) - s.yTop;
    if (height == 1) {
        crossing(s.yTop, s.xTop);
        return;
    }
    if (height == 2 && s.yTop >= yLow && s.yBottom <= yHigh) {
        const int64_t width = int64_t(s.xBottom) - s.xTop;
        crossing(s.yTop, s.xTop);
        crossing(s.yTop + 1, s.xTop + (width >= 0 ? (width + 1) >> 1 : -((1 - width) >> 1)));
        return;
    }
    ZSegmentSteps st;
    if (!st.Start(s, yLow, yHigh)) return;
    for (int64_t y = st.yStart; y < st.yEnd;) {
        const int64_t row = y >> 3, rowEnd = std::min(st.yEnd, 8 * row + 8);
        const size_t gridRow = static_cast<size_t>(row - gridRow_);
        uint64_t* line = grid_.data() + gridRow * static_cast<size_t>(gridColumns_);
        uint64_t* touched = gridTouched_.data() + gridRow * static_cast<size_t>(gridWords_);
        const auto add = [&](int64_t column, uint64_t sum) {
            line[column] += sum;
            touched[column >> 6] |= uint64_t(1) << (column & 63);
        };
        int64_t column = (clampX(st.x) >> 8) - gridColumn_;
        uint64_t sum = 0;
        if (st.dx == 0) {
            const uint64_t count = uint64_t(rowEnd - y);
            const uint64_t share = 255 - (uint64_t(clampX(st.x)) & 0xFF);
            sum = (share << shift) * count + unit * count;
            y = rowEnd;
        }
        for (; y < rowEnd; ++y) {
            const int64_t xc = clampX(st.x);
            if ((xc >> 8) - gridColumn_ != column) {
                add(column, sum);
                column = (xc >> 8) - gridColumn_;
                sum = 0;
            }
            sum += ((255 - uint64_t(xc & 0xFF)) << shift) + unit;
            st.Step();
        }
        add(column, sum);
    }
}

// Row by row over the pixels with crossings, as the sorted cells are walked: such a pixel
// adds its sums to the winding carried from the left, the pixels between carry the winding
// alone.  Neighbouring pixels of equal coverage are painted as one span.  The grid and its
// marks are left zero.
template <int32_t kBytesPerChannel, bool kEvenOddRule> void ZGridCoverage::SweepGrid() {
    using Sums = ZPixelSums<kBytesPerChannel, kEvenOddRule>;
    for (int32_t r = 0; r < gridRows_; ++r) {
        const int32_t row = gridRow_ + r;
        uint64_t* line = grid_.data() + static_cast<size_t>(r) * static_cast<size_t>(gridColumns_);
        uint64_t* touched =
            gridTouched_.data() + static_cast<size_t>(r) * static_cast<size_t>(gridWords_);
        int32_t runX = 0, runLength = 0;
        uint32_t runCoverage = 0;
        const auto add = [&](int32_t x, int32_t n, uint32_t coverage) {
            if (coverage == runCoverage && x == runX + runLength) {
                runLength += n;
                return;
            }
            sink_.Paint(gridColumn_ + runX, row, runLength, runCoverage);
            runX = x;
            runLength = n;
            runCoverage = coverage;
        };
        int32_t winding = 0, last = -1;
        for (int32_t w = 0; w < gridWords_; ++w) {
            for (uint64_t marks = touched[w]; marks != 0; marks &= marks - 1) {
                const int32_t x = 64 * w + std::countr_zero(marks);
                if (x > last + 1 && last >= 0)
                    add(last + 1, x - last - 1, Sums::Coverage(Sums::kLine * winding));
                const uint64_t v = line[x];
                line[x] = 0;
                const int64_t positive = int64_t(v & 0xFFFFFF);
                const int64_t negative = int64_t((v >> 24) & 0xFFFFFF);
                add(x, 1, Sums::Coverage(Sums::Total(positive, negative, winding)));
                winding += static_cast<int16_t>(v >> 48);
                last = x;
            }
            touched[w] = 0;
        }
        sink_.Paint(gridColumn_ + runX, row, runLength, runCoverage);
    }
}
