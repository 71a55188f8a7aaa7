#include "raster/ZBitmapStencil.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace {

using Texel = std::array<uint8_t, 4>;

// An image whose texel (x, y) is (x, y, x + y, 200) as blue, green, red, alpha.
Held<PixelBuffer> Gradient(int w, int h) {
    Held<PixelBuffer> image = Held<PixelBuffer>::Adopt(PixelBuffer::Create(w, h, 4, 1));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = image->Row(y) + 4 * x;
            p[0] = uint8_t(x);
            p[1] = uint8_t(y);
            p[2] = uint8_t(x + y);
            p[3] = 200;
        }
    return image;
}

// A stencil over the image where device pixel x samples u = x + shift, v = y + shift.
struct Sampler {
    Sampler(PixelBuffer* image, int32_t repeat, int32_t smoothing, float shift = 0) {
        stencil.SetImage(image, 10);
        Matrix4 device;
        device.m[3][0] = device.m[3][1] = shift;
        device.identity = shift == 0;
        stencil.SetDeviceMatrix(device);
        stencil.SetRepeatMode(repeat);
        stencil.SetSmoothing(smoothing);
        stencil.SetBounds(0, 0, float(image->width), float(image->height));
    }
    Texel At(int32_t x, int32_t y) {
        stencil.Seek(x, y);
        Texel t;
        stencil.NextPixel8(t.data());
        return t;
    }
    ZBitmapStencil stencil;
};

TEST(ZBitmapStencil, ReducedLevelsAreTruncatedBoxMeans) {
    Held<PixelBuffer> image = Gradient(4, 2);
    ZBitmapStencil stencil;
    stencil.SetImage(image.Get(), 10);
    PixelBuffer* half = stencil.Level(1, 1);
    ASSERT_NE(half, nullptr);
    ASSERT_EQ(half->width, 2);
    ASSERT_EQ(half->height, 1);
    const uint8_t* right = half->Row(0) + 4; // texels x 2..3, y 0..1
    EXPECT_EQ(right[0], 2);                  // (2 + 3) / 2, then (2 + 2) / 2
    EXPECT_EQ(right[1], 0);                  // (0 + 0) / 2, then (0 + 1) / 2
    EXPECT_EQ(right[3], 200);
}

TEST(ZBitmapStencil, NearestClampReturnsTexelsExactly) {
    Held<PixelBuffer> image = Gradient(5, 3);
    Sampler s(image.Get(), 0, 0);
    for (int x = 0; x < 5; ++x) EXPECT_EQ(s.At(x, 1), (Texel{uint8_t(x), 1, uint8_t(x + 1), 200}));
    EXPECT_EQ(s.At(-7, -3), (Texel{0, 0, 0, 200}));
    EXPECT_EQ(s.At(40, 9), (Texel{4, 2, 6, 200}));
}

TEST(ZBitmapStencil, TransparentOutsideTruncatesTowardZero) {
    Held<PixelBuffer> image = Gradient(5, 3);
    Sampler near(image.Get(), 2, 0, 0.6f); // device x = -2 samples u = -1.4
    EXPECT_EQ(near.At(-2, 0)[3], 200);
    Sampler far(image.Get(), 2, 0, 0.4f); // u = -1.6
    EXPECT_EQ(far.At(-2, 0), (Texel{0, 0, 0, 0}));
}

TEST(ZBitmapStencil, RepeatWrapsNegativePositions) {
    Held<PixelBuffer> image = Gradient(5, 3);
    Sampler s(image.Get(), 1, 0);
    EXPECT_EQ(s.At(-1, 0), s.At(0, 0)); // trunc(-0.5) is 0
    EXPECT_EQ(s.At(-2, -2), s.At(4, 2));
    EXPECT_EQ(s.At(12, 4), s.At(2, 1));
}

TEST(ZBitmapStencil, BilinearBlendsNeighboursAndRepeatDoesNotBleed) {
    Held<PixelBuffer> image = Gradient(4, 2); // sizes that keep the positions exact
    Sampler half(image.Get(), 0, 1, 0.5f);    // u = x + 0.5, v = y + 0.5
    const Texel mid = half.At(0, 0);          // texels (0..1, 0..1): blue 0/1, green 0/1
    EXPECT_EQ(mid[0], 0);                     // (1 x 2048 x 4096 x 2) >> 24 = 0.5 -> 0
    EXPECT_EQ(mid[2], 1);                     // red 0, 1, 1, 2 -> 1
    EXPECT_EQ(mid[3], 200);
    Sampler wrap(image.Get(), 1, 1, 0.5f);
    const Texel last = wrap.At(3, 0); // u = 3.5: column 3 blends with itself, not column 0
    EXPECT_EQ(last[0], 3);
}

} // namespace
