#include "raster/ZCellCoverage.h"

#include "raster/ZSegmentWalk.h"

#include <algorithm>

ZCellCoverage::ZCellCoverage() {
    crossings_.resize(10000);
}

void ZCellCoverage::Gather(const ZSegment* segments, size_t count, const ZSegmentExtent& extent,
                           int32_t width, int32_t height, int32_t bytesPerChannel, bool evenOdd,
                           const ZSpanSink& sink) {
    width_ = width;
    height_ = height;
    sink_ = sink;
    crossingCount_ = 0;
    for (size_t i = 0; i < count; ++i) ScanSegment(segments[i]);
    const size_t n = crossingCount_;
    const uint64_t* keys =
        ZSortCrossings(crossings_.data(), n, extent.firstRow, extent.lastRow, sortScratch_);
    if (bytesPerChannel == 1)
        evenOdd ? Accumulate<1, true>(keys, n) : Accumulate<1, false>(keys, n);
    else // 16-bit targets only, which no caller of the plug-in sets
        evenOdd ? Accumulate<2, true>(keys, n) : Accumulate<2, false>(keys, n);
}

// One crossing key per sub-scanline: row << 23 | x in 1/256 pixel << 1 | downward.
void ZCellCoverage::ScanSegment(const ZSegment& s) {
    const int64_t maxX = 256 * static_cast<int64_t>(width_) - 1;
    // Most segments of curved or detailed outlines cross a single sub-scanline, at their top
    // end: its one crossing goes in without the walk, joining the previous cell as below.
    if (int64_t(s.yBottom) - s.yTop == 1 && s.yTop >= 0 && s.yTop < 8 * int64_t(height_)) {
        const uint64_t xc = uint64_t(std::clamp<int64_t>(s.xTop, 0, maxX));
        const uint64_t row = uint64_t(s.yTop >> 3), right = 255 - (xc & 0xFF);
        const uint64_t place = row << ZCell::kRowShift | (xc >> 8) << ZCell::kColumnShift | s.down;
        const uint64_t placeMask = ~uint64_t(0) << ZCell::kColumnShift | 1;
        if (crossingCount_ > 0) {
            uint64_t& last = crossings_[crossingCount_ - 1];
            if ((last & placeMask) == place && ZCell::Count(last) < 8) {
                last += right << ZCell::kRightShift | uint64_t(1) << ZCell::kCountShift;
                return;
            }
        }
        if (crossingCount_ == crossings_.size()) crossings_.resize(2 * crossings_.size());
        crossings_[crossingCount_++] =
            place | right << ZCell::kRightShift | uint64_t(1) << ZCell::kCountShift;
        sortScratch_.Count(static_cast<int32_t>(row), 1);
        return;
    }
    ZSegmentSteps st;
    if (!st.Start(s, 0, 8 * static_cast<int64_t>(height_))) return;
    const int64_t yStart = st.yStart, yEnd = st.yEnd;
    const uint64_t down = st.down;
    // At most one cell per sub-scanline.
    const size_t room = crossingCount_ + static_cast<size_t>(yEnd - yStart);
    if (room > crossings_.size()) crossings_.resize(std::max(room, 2 * crossings_.size()));
    uint64_t* out = crossings_.data() + crossingCount_;
    if (st.dx == 0) {
        crossingCount_ = static_cast<size_t>(
            ScanVertical(out, std::clamp<int64_t>(st.x, 0, maxX), yStart, yEnd, down) -
            crossings_.data());
        return;
    }
    // The crossing of each sub-scanline is at (row y >> 3, x in 1/256 pixel); neighbouring
    // crossings in one pixel are summed into one cell.  Rows are walked one at a time.
    for (int64_t y = yStart; y < yEnd;) {
        const int64_t row = y >> 3, rowEnd = std::min(yEnd, 8 * row + 8);
        const uint64_t* rowStart = out;
        int64_t column = std::clamp<int64_t>(st.x, 0, maxX) >> 8;
        uint64_t right = 0, count = 0;
        // Where the previous segment's last cell is this pixel in this direction, this
        // segment's first crossings join it: fewer cells to sort, the same sums.
        if (y == yStart && crossingCount_ > 0) {
            const uint64_t last = out[-1];
            const uint64_t place =
                uint64_t(row) << ZCell::kRowShift | uint64_t(column) << ZCell::kColumnShift | down;
            const uint64_t placeMask = ~uint64_t(0) << ZCell::kColumnShift | 1;
            const uint64_t room = 8 - uint64_t(ZCell::Count(last));
            if ((last & placeMask) == place && uint64_t(rowEnd - y) <= room) {
                --out;
                rowStart = out + 1; // already counted
                right = uint64_t(ZCell::Right(last));
                count = uint64_t(ZCell::Count(last));
            }
        }
        for (; y < rowEnd; ++y) {
            const int64_t xc = std::clamp<int64_t>(st.x, 0, maxX);
            if ((xc >> 8) != column) {
                *out++ = ZCell::Make(uint64_t(row), uint64_t(column), right, count, down);
                column = xc >> 8;
                right = count = 0;
            }
            right += 255 - uint64_t(xc & 0xFF);
            ++count;
            st.Step();
        }
        *out++ = ZCell::Make(uint64_t(row), uint64_t(column), right, count, down);
        sortScratch_.Count(static_cast<int32_t>(row), static_cast<uint32_t>(out - rowStart));
    }
    crossingCount_ = static_cast<size_t>(out - crossings_.data());
}

// A vertical edge crosses every sub-scanline of a row in the same place: one cell per row
// holds them all.
uint64_t* ZCellCoverage::ScanVertical(uint64_t* out, int64_t x, int64_t yStart, int64_t yEnd,
                                      uint64_t down) {
    const uint64_t column = uint64_t(x) >> 8, share = 255 - (uint64_t(x) & 0xFF);
    for (int64_t y = yStart; y < yEnd;) {
        const int64_t row = y >> 3, rowEnd = std::min(yEnd, 8 * row + 8);
        const uint64_t count = uint64_t(rowEnd - y);
        *out++ = ZCell::Make(uint64_t(row), column, share * count, count, down);
        sortScratch_.Count(static_cast<int32_t>(row), 1);
        y = rowEnd;
    }
    return out;
}

// One pass over the sorted cells.  A crossing adds the part of its sub-scanline right of
// it inside its pixel, and a pixel's sums do not depend on the order of its crossings, so
// a cell adds its crossings at once.  The running winding carries whole sub-scanlines into
// the pixels to its right, which are painted as one span.
template <int32_t kBytesPerChannel, bool kEvenOddRule>
void ZCellCoverage::Accumulate(const uint64_t* keys, size_t count) {
    using Sums = ZPixelSums<kBytesPerChannel, kEvenOddRule>;
    int32_t column = 0, row = 0, winding = 0, windingAtLeft = 0;
    int64_t positive = 0, negative = 0;
    const auto flush = [&] {
        const int64_t total = Sums::Total(positive, negative, windingAtLeft);
        if (total != 0) sink_.Paint(column, row, 1, Sums::Coverage(total));
    };
    for (size_t i = 0; i < count; ++i) {
        const uint64_t cell = keys[i];
        const int32_t c = ZCell::Column(cell), r = ZCell::Row(cell);
        if (c != column || r != row) {
            flush();
            windingAtLeft = winding;
            if (r != row)
                winding = windingAtLeft = 0;
            else if (winding != 0 && c > column + 1)
                sink_.Paint(column + 1, row, c - column - 1, Sums::Coverage(Sums::kLine * winding));
            column = c;
            row = r;
            positive = negative = 0;
        }
        if (ZCell::Down(cell)) {
            positive += ZCell::Right(cell);
            winding += ZCell::Count(cell);
        } else {
            negative += ZCell::Right(cell);
            winding -= ZCell::Count(cell);
        }
    }
    flush();
}
