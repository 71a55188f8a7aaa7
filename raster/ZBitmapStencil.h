// Paints a decoded image into a fill: each device pixel centre is mapped through the
// device and paint matrices into the image, which occupies [-0.5, 0.5]^2 of paint space,
// and sampled nearest or bilinear, clamped, repeated or transparent outside.  Minified
// fills may sample a box-filtered reduction from a grid of levels built on first use.
#pragma once

#include "base/PixelBuffer.h"
#include "base/RefCountBase.h"
#include "raster/ZStencil.h"

#include <cstdint>

class ZBitmapStencil : public ZStencil {
public:
    static constexpr int kMaxLevels = 10;

    // Mode = repeat mode x 256 + smoothing.
    enum Mode : int32_t {
        kClampNearest = 0,
        kClampBilinear = 1,
        kRepeatNearest = 256,
        kRepeatBilinear = 257,
        kTransparentNearest = 512,
        kTransparentBilinear = 513,
    };

    ZBitmapStencil() = default;
    ~ZBitmapStencil() override;

    // Makes `image` level (0, 0), dropping every other level, and sizes the grid: each
    // further level halves one dimension, until it would reach 0 or `maxLevels` (at most
    // 10).  Images whose texels are not 4 channels are widened to blue, green, red, alpha.
    void SetImage(PixelBuffer* image, int32_t maxLevels);

    ZStencil* Clone() const override;
    bool IsVectorPaint() const override { return false; }
    // Colour transforms reach bitmaps through the renderer's channel tables.
    void ApplyColorTransform(const ColorTransform&) override {}
    void Prepare() override;
    void Seek(int32_t x, int32_t y) override;
    uint8_t* NextPixel8(uint8_t* out) override;
    uint16_t* NextPixel16(uint16_t* out) override;
    void Skip() override {
        u_ += du_;
        v_ += dv_;
    }
    void FetchSpan8(uint8_t* dst, int count) override;
    bool IsSolidColor() const override { return false; }
    // An image without a translucent texel, read from itself and not from a reduction,
    // and not left transparent outside.
    bool IsOpaque() const override;
    bool KeepsPaint() const override { return true; }

    uint32_t LevelWidth(int i) const { return widths_[Index(i)]; }
    uint32_t LevelHeight(int j) const { return heights_[Index(j)]; }
    int32_t XLevelCount() const { return xLevels_; }
    int32_t YLevelCount() const { return yLevels_; }
    // Level (i, j), built from its neighbours first when missing; null outside the grid.
    PixelBuffer* Level(int i, int j);
    // The level chosen for the current fill, or null before the first Seek.
    PixelBuffer* CurrentLevel() const { return current_; }
    int32_t CurrentMode() const { return mode_; }

private:
    static int Index(int i) { return i < 0 ? 0 : i >= kMaxLevels ? kMaxLevels - 1 : i; }
    // The current level's texels, copied out of the image for the span loops.
    struct Texels {
        const uint8_t* pixels;
        int32_t pitch;
        int32_t width, height;
        // Where the tiles of the last repeated position start, on each axis: positions
        // along a span mostly stay in one tile, and those need no division to wrap.
        mutable int64_t xTile = 0, yTile = 0;
    };
    void ChooseLevel(int32_t x, int32_t y, const Point3& a);
    Texels CurrentTexels() const;
    template <class T, int32_t Mode>
    [[gnu::always_inline]] static inline void SampleAt(const Texels& level, float u, float v,
                                                       T* out);
    template <class T> void Sample(T* out) const;
    template <int32_t Mode> void FetchSpanOf8(uint8_t* dst, int count);
    // SSE2 builds: the span loops of three modes, whole groups of four at a time; each
    // returns how many pixels it fetched.
    static int ClampNearestQuads(const Texels& level, float& u, float& v, float du, float dv,
                                 float vBelow, uint8_t* dst, int count);
    static int ClampBilinearQuads(const Texels& level, float& u, float& v, float du, float dv,
                                  float vBelow, uint8_t* dst, int count);
    static int RepeatBilinearQuads(const Texels& level, float& u, float& v, float du, float dv,
                                   uint8_t* dst, int count);
    // Their groups that take the one-pixel path: four positions in lanes.
    template <int32_t Mode, class Lanes>
    static void SampleFour(const Texels& level, Lanes us, Lanes vs, uint8_t* dst);

    Held<PixelBuffer> levels_[kMaxLevels][kMaxLevels];
    uint32_t widths_[kMaxLevels] = {};
    uint32_t heights_[kMaxLevels] = {};
    int32_t xLevels_ = 0, yLevels_ = 0;
    int32_t depth_ = 0;
    bool opaque_ = false; // level (0, 0) is 8-bit and every texel's alpha is 255
    PixelBuffer* current_ = nullptr;
    int32_t currentWidth_ = 0, currentHeight_ = 0;
    int32_t mode_ = kClampNearest;
    float u_ = 0, du_ = 0, v_ = 0, dv_ = 0;
    float rowStep_ = 0; // texel rows a device row down, where the next row reads
};
