// Test fixtures for the renderer: guarded pixel planes, rectangle paths and a stencil
// whose colours tell where it was sampled.
#pragma once

#include "raster/ZPath.h"
#include "raster/ZRenderer.h"

#include <cstring>
#include <vector>

using Values = std::vector<uint32_t>;

// An 8-bit pixel plane, as the plug-in draws, with a one-pixel margin of guard bytes on
// every side, so that tests can prove nothing was written outside it.
class Canvas {
public:
    static constexpr uint8_t kGuard = 0x5A;

    Canvas(int width, int height, int channels)
        : width_(width), height_(height), channels_(channels), rowBytes_((width + 2) * channels),
          storage_(size_t(rowBytes_) * (height + 2), kGuard) {
        for (int y = 0; y < height; ++y) std::memset(Data() + y * rowBytes_, 0, width * channels);
    }

    uint8_t* Data() { return storage_.data() + rowBytes_ + channels_; }
    uint32_t Get(int x, int y, int c = 0) { return Data()[y * rowBytes_ + x * channels_ + c]; }
    // Channel c of row y, left to right.
    Values Row(int y, int c = 0) {
        Values v;
        for (int x = 0; x < width_; ++x) v.push_back(Get(x, y, c));
        return v;
    }
    bool GuardsIntact() const {
        for (int row = 0; row < height_ + 2; ++row)
            for (int i = 0; i < rowBytes_; ++i) {
                const bool inside =
                    row >= 1 && row <= height_ && i >= channels_ && i < (width_ + 1) * channels_;
                if (!inside && storage_[size_t(row * rowBytes_ + i)] != kGuard) return false;
            }
        return true;
    }

    void AttachAsTarget(ZRenderer& r) { r.SetTarget(Data(), width_, height_, 1, rowBytes_); }
    void AttachAsMask(ZRenderer& r) { r.SetMask(Data(), width_, height_, 1, rowBytes_); }

private:
    int width_, height_, channels_, rowBytes_;
    std::vector<uint8_t> storage_;
};

// Clockwise in y-down device space.
inline void AddRect(ZPath& p, float x0, float y0, float x1, float y1) {
    p.MoveTo(x0, y0);
    p.LineTo(x1, y0);
    p.LineTo(x1, y1);
    p.LineTo(x0, y1);
    p.Close();
}

inline ZPath RectPath(float x0, float y0, float x1, float y1) {
    ZPath p;
    AddRect(p, x0, y0, x1, y1);
    return p;
}
