// What the two coverage gatherers share: the walk of a kept segment down the sub-scanlines
// it crosses, and the coverage of a pixel from the sums of its crossings.
#pragma once

#include "raster/ZSegment.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

// A segment's walk down the sub-scanlines it crosses inside a window of rows.  Each
// sub-scanline adds dx to the error and moves x by as many whole dy as bring the error back
// into (0, dy]: dx div dy, plus one when the remainders carry.  rest is error - 1, in
// [0, dy).
struct ZSegmentSteps {
    int64_t yStart = 0, yEnd = 0; // sub-scanlines [yStart, yEnd)
    int64_t x = 0;                // 1/256 pixel, on sub-scanline yStart
    int64_t dx = 0, dy = 0, whole = 0, part = 0, rest = 0, xStep = 0;
    int64_t partLessDy = 0; // part - dy
    uint64_t down = 0;

    void Step() {
        // The carry without a branch (it follows the slope, which no predictor can), and
        // both candidates for the next rest worked out from this one, so that one step
        // waits for the last only as long as a select takes.
        const int64_t kept = rest + part, carried = rest + partLessDy;
        const bool carry = carried >= 0;
        rest = carry ? carried : kept;
        x += whole + (xStep & -static_cast<int64_t>(carry));
    }

    // Starts the walk of s over the sub-scanlines [yLow, yHigh); false when it crosses
    // none.
    [[gnu::always_inline]] inline bool Start(const ZSegment& s, int64_t yLow, int64_t yHigh);
};

[[gnu::always_inline]] inline bool ZSegmentSteps::Start(const ZSegment& s, int64_t yLow,
                                                        int64_t yHigh) {
    int64_t first = s.yTop;
    const int64_t last = std::min<int64_t>(s.yBottom, yHigh);
    xStep = s.xBottom > s.xTop ? 1 : -1;
    down = s.down;
    const int64_t width = std::abs(static_cast<int64_t>(s.xBottom) - s.xTop);
    const int64_t height = int64_t(s.yBottom) - s.yTop;
    if (std::max(first, yLow) >= last) return false;
    int64_t error = height, at = s.xTop;
    if (first < yLow) {
        // The sub-scanlines above the window, stepped in one go: after n steps the
        // Bresenham walk has advanced ceil(n * dx / dy) and its error is what remains.
        const int64_t n = yLow - first, advance = (n * width + height - 1) / height;
        at += advance * xStep;
        error = height + n * width - advance * height;
        first = yLow;
    }
    // Both fit in 32 bits (positions are clamped to 2^30), and a steep edge needs no
    // division at all.  A single sub-scanline takes no step that matters: no division
    // then either.
    int64_t wholeSteps = 0, partStep = width;
    if (width >= height && last - first > 1) {
        const uint32_t dx32 = static_cast<uint32_t>(width), dy32 = static_cast<uint32_t>(height);
        wholeSteps = static_cast<int64_t>(dx32 / dy32) * xStep;
        partStep = dx32 % dy32;
    }
    yStart = first;
    yEnd = last;
    x = at;
    dx = width;
    dy = height;
    whole = wholeSteps;
    part = partStep;
    rest = error - 1;
    partLessDy = partStep - height;
    return true;
}

// The coverage of a pixel from its sums: the right parts of its downward and upward
// crossings (each up to 255 per sub-scanline) and the winding carried in from its left.
template <int32_t kBytesPerChannel, bool kEvenOddRule> struct ZPixelSums {
    static constexpr int64_t kScale = kBytesPerChannel == 1 ? 256 : 65536;
    static constexpr int64_t kLine = kScale / 8; // one full sub-scanline

    static int64_t Total(int64_t positive, int64_t negative, int32_t windingAtLeft) {
        return kScale * positive / 2040 - kScale * negative / 2040 + kLine * windingAtLeft;
    }
    static uint32_t Coverage(int64_t total) {
        if constexpr (kBytesPerChannel == 1) {
            if constexpr (kEvenOddRule)
                return (total & 0x100) ? 255 - (total & 0xFF) : (total & 0xFF);
            return static_cast<uint32_t>(std::min<int64_t>(std::llabs(total), 255));
        } else { // 16-bit targets only, which no caller of the plug-in sets
            if constexpr (kEvenOddRule) {
                const int64_t folded =
                    (total & 0x10000) ? 65535 - (total & 0xFFFF) : (total & 0xFFFF);
                return static_cast<uint32_t>(folded * 32768 / 65535);
            }
            return static_cast<uint32_t>(
                std::min<int64_t>(std::llabs(total) * 32768 / 65535, 32768));
        }
    }
};
