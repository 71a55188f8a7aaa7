// The layers open in a graphics context and the pool of buffers behind them: one colour
// and one mask buffer per nesting depth, kept between frames and grown only when a
// larger picture needs them, so drawing allocates nothing once warmed up.
#pragma once

#include "base/PixelBuffer.h"
#include "base/RefCountBase.h"
#include "base/ValueTypes.h"
#include "graphics/LayerFilters.h"
#include "raster/ZFilter.h"

#include <cstdint>
#include <vector>

// What an object drawn into a layer of its own asks for.
struct LayerRequest {
    ZBlendMode mode = ZBlendMode::kNormal;
    const ZFilterList* filters = nullptr; // must outlive the layer
    bool hasBackground = false;
    ColorRGBA background; // filled behind the object's pixels
};

// A box of whole pixels; right and bottom exclusive.
struct PixelBox {
    int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool Empty() const { return x1 <= x0 || y1 <= y0; }
    void Add(const PixelBox& b) {
        if (b.Empty()) return;
        if (Empty()) {
            *this = b;
            return;
        }
        x0 = x0 < b.x0 ? x0 : b.x0;
        y0 = y0 < b.y0 ? y0 : b.y0;
        x1 = x1 > b.x1 ? x1 : b.x1;
        y1 = y1 > b.y1 ? y1 : b.y1;
    }
    PixelBox Clipped(int32_t width, int32_t height) const {
        PixelBox b{x0 < 0 ? 0 : x0, y0 < 0 ? 0 : y0, x1 > width ? width : x1,
                   y1 > height ? height : y1};
        return b.Empty() ? PixelBox{} : b;
    }
};

struct LayerStack {
    // Deeper nesting is drawn without layers.
    static constexpr size_t kMaxDepth = 16;
    // How far a layer reaches beyond the picture on each side, at most.
    static constexpr int32_t kMaxMargin = 256;

    struct Slot {
        Held<PixelBuffer> colour; // straight while drawn, premultiplied when filtered
        Held<PixelBuffer> mask;
        bool colourDirty = false; // pixels left from an abandoned layer
        bool maskDirty = false;
    };
    struct Frame {
        LayerRequest request;
        int32_t originX = 0, originY = 0; // the layer's pixel (0, 0) on the picture
        int32_t width = 0, height = 0;
        FilterReach reach;
        float zoomX = 1, zoomY = 1;
        bool filtered = false;
        bool parentMaskTest = false;
        PixelBox drawn;  // layer pixels touched, with a margin for anti-aliasing
        PixelBox bounds; // the drawn shapes' boxes out to whole pixels (backgrounds)
    };

    // Filtering a frame stops (later layers are drawn unfiltered) once it has cost this many
    // pixel passes: a hostile movie cannot make one frame take minutes.
    static constexpr int64_t kFrameFilterBudget = int64_t(1) << 28;

    std::vector<Slot> slots;
    std::vector<Frame> frames;
    FilterWorkspace work;
    int64_t filterWork = 0; // pixel passes spent on the current frame
};
