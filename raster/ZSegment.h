// A path segment mapped to device space in fixed point (x in 1/256, y in 1/8 pixel), as
// the segment sketcher keeps it and the coverage gatherers walk it, and the extent of a
// fill's segments.
#pragma once

#include "raster/TargetImage.h"

#include <cstdint>
#include <limits>

struct ZSegment {
    int32_t xTop, yTop, xBottom, yBottom;
    bool down; // drawn from the top end to the bottom end
};

// The rows and (unclamped) columns the kept segments cross, and how many sub-scanlines in
// all; empty as constructed.
struct ZSegmentExtent {
    int64_t minX = std::numeric_limits<int64_t>::max();
    int64_t maxX = std::numeric_limits<int64_t>::min();
    int32_t firstRow = TargetImage::kMaxSize, lastRow = -1;
    int64_t crossings = 0;
};
