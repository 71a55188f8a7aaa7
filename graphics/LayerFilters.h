// A display object's filter list applied to its layer, with lengths at the host's zoom.
#pragma once

#include "raster/ZBoxBlur.h"
#include "raster/ZFilter.h"
#include "raster/ZPlane.h"

#include <cstdint>
#include <vector>

// How far the list's pictures reach beyond what the object draws, in device pixels.
struct FilterReach {
    int32_t x = 0, y = 0;
};

// Scratch planes the filters share; they only grow.
struct FilterWorkspace {
    std::vector<uint8_t> colour; // 4 channels
    std::vector<uint8_t> alpha;  // 1 channel
    std::vector<uint8_t> spare;  // 1 channel
    ZBoxBlur blur;
};

class LayerFilters {
public:
    // Flash's limits for a filtered layer: larger layers are drawn unfiltered.
    static constexpr int32_t kMaxSide = 8191;
    static constexpr int64_t kMaxPixels = 16777215;

    LayerFilters(const ZFilterList& filters, float zoomX, float zoomY)
        : filters_(filters), zoomX_(zoomX), zoomY_(zoomY) {}

    FilterReach Reach() const;
    // Roughly what filtering a picture of this many pixels costs, in pixel passes.
    int64_t Work(int64_t pixels) const;
    // Filters `image` (premultiplied) in list order.  The object's own pixels lie in the
    // part from (x, y) of size w x h; each filter acts on that part grown by the reach of
    // the filters before it, within the image.
    void Apply(const ZPlane& image, int32_t x, int32_t y, int32_t w, int32_t h,
               FilterWorkspace& work) const;

private:
    FilterReach ReachOf(const ZFilter& f) const;
    void ApplyOne(const ZFilter& f, const ZPlane& image, FilterWorkspace& work) const;

    const ZFilterList& filters_;
    float zoomX_, zoomY_;
};
