// Test fixtures for the renderer: guarded pixel planes, rectangle paths and a stencil
// whose colours tell where it was sampled.
#pragma once

#include "raster/ZPath.h"
#include "raster/ZRenderer.h"
#include "raster/ZStencil.h"

#include <cstring>
#include <vector>

// A pixel plane with a one-pixel margin of guard bytes on every side and at row ends, so
// that tests can prove nothing was written outside it.
class Canvas {
public:
    static constexpr uint8_t kGuard = 0x5A;

    Canvas(int width, int height, int channels, int bytesPerChannel)
        : width_(width), height_(height), channels_(channels), depth_(bytesPerChannel),
          bytesPerPixel_(channels * bytesPerChannel), rowBytes_((width + 2) * bytesPerPixel_),
          storage_((rowBytes_ * (height + 2) + 1) / 2) {
        std::memset(Bytes(), kGuard, rowBytes_ * (height + 2));
        for (int y = 0; y < height; ++y)
            std::memset(Data() + y * rowBytes_, 0, width * bytesPerPixel_);
    }

    uint8_t* Data() { return Bytes() + rowBytes_ + bytesPerPixel_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int RowBytes() const { return rowBytes_; }
    int Depth() const { return depth_; }

    uint32_t Get(int x, int y, int c = 0) {
        uint8_t* p = Data() + y * rowBytes_ + x * bytesPerPixel_ + c * depth_;
        if (depth_ == 1) return *p;
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    void Set(int x, int y, int c, uint32_t v) {
        uint8_t* p = Data() + y * rowBytes_ + x * bytesPerPixel_ + c * depth_;
        if (depth_ == 1) {
            *p = static_cast<uint8_t>(v);
        } else {
            const uint16_t w = static_cast<uint16_t>(v);
            std::memcpy(p, &w, 2);
        }
    }
    void SetPixel(int x, int y, std::initializer_list<uint32_t> channels) {
        int c = 0;
        for (uint32_t v : channels) Set(x, y, c++, v);
    }
    void FillAll(std::initializer_list<uint32_t> channels) {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) SetPixel(x, y, channels);
    }
    std::vector<uint32_t> Pixel(int x, int y) {
        std::vector<uint32_t> v;
        for (int c = 0; c < channels_; ++c) v.push_back(Get(x, y, c));
        return v;
    }
    // Channel c of row y, left to right.
    std::vector<uint32_t> Row(int y, int c = 0) {
        std::vector<uint32_t> v;
        for (int x = 0; x < width_; ++x) v.push_back(Get(x, y, c));
        return v;
    }
    std::vector<uint8_t> Snapshot() {
        return std::vector<uint8_t>(Bytes(), Bytes() + rowBytes_ * (height_ + 2));
    }
    bool GuardsIntact() {
        const uint8_t* b = Bytes();
        for (int row = 0; row < height_ + 2; ++row)
            for (int i = 0; i < rowBytes_; ++i) {
                const bool inside = row >= 1 && row <= height_ && i >= bytesPerPixel_ &&
                                    i < (width_ + 1) * bytesPerPixel_;
                if (!inside && b[row * rowBytes_ + i] != kGuard) return false;
            }
        return true;
    }

    void AttachAsTarget(ZRenderer& r) { r.SetTarget(Data(), width_, height_, depth_, rowBytes_); }
    void AttachAsMask(ZRenderer& r) { r.SetMask(Data(), width_, height_, depth_, rowBytes_); }

private:
    uint8_t* Bytes() { return reinterpret_cast<uint8_t*>(storage_.data()); }

    int width_, height_, channels_, depth_, bytesPerPixel_, rowBytes_;
    std::vector<uint16_t> storage_;
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

// Colours that say where they were sampled: 8-bit (10 + x, 20 + y, 30, alpha), 16-bit
// (1000 + x, 2000 + y, 3000, alpha16).  Counts seeks and skips.
class ProbeStencil : public ZStencil {
public:
    ProbeStencil(uint8_t alpha, uint16_t alpha16) : alpha_(alpha), alpha16_(alpha16) {}

    ZStencil* Clone() const override { return new ProbeStencil(alpha_, alpha16_); }
    void ApplyColorTransform(const ColorTransform&) override {}
    void Seek(int32_t x, int32_t y) override {
        x_ = x;
        y_ = y;
        seeks.push_back({x, y});
    }
    uint8_t* NextPixel8(uint8_t* out) override {
        out[0] = static_cast<uint8_t>(10 + x_);
        out[1] = static_cast<uint8_t>(20 + y_);
        out[2] = 30;
        out[3] = alpha_;
        ++x_;
        return out;
    }
    uint16_t* NextPixel16(uint16_t* out) override {
        out[0] = static_cast<uint16_t>(1000 + x_);
        out[1] = static_cast<uint16_t>(2000 + y_);
        out[2] = 3000;
        out[3] = alpha16_;
        ++x_;
        return out;
    }
    void Skip() override {
        ++x_;
        ++skips;
    }
    bool IsSolidColor() const override { return false; }

    struct Position {
        int32_t x, y;
    };
    std::vector<Position> seeks;
    int skips = 0;

private:
    uint8_t alpha_;
    uint16_t alpha16_;
    int32_t x_ = 0, y_ = 0;
};
