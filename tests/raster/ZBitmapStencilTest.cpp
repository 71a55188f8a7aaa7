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

TEST(ZBitmapStencil, SamplesByRepeatModeAndSmoothing) {
    Held<PixelBuffer> image = Gradient(5, 3), even = Gradient(4, 2);
    Sampler clamp(image.Get(), 0, 0), repeat(image.Get(), 1, 0);
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(clamp.At(x, 1), (Texel{uint8_t(x), 1, uint8_t(x + 1), 200})) << x;
    EXPECT_EQ(clamp.At(-7, -3), (Texel{0, 0, 0, 200}));
    EXPECT_EQ(clamp.At(40, 9), (Texel{4, 2, 6, 200}));
    // Transparent outside: positions truncate toward zero, so u = -1.4 is still texel 0
    // and u = -1.6 is outside.
    EXPECT_EQ(Sampler(image.Get(), 2, 0, 0.6f).At(-2, 0)[3], 200);
    EXPECT_EQ(Sampler(image.Get(), 2, 0, 0.4f).At(-2, 0), (Texel{0, 0, 0, 0}));
    EXPECT_EQ(repeat.At(-1, 0), repeat.At(0, 0)); // trunc(-0.5) is 0
    EXPECT_EQ(repeat.At(-2, -2), repeat.At(4, 2));
    EXPECT_EQ(repeat.At(12, 4), repeat.At(2, 1));
    // Bilinear at u = x + 0.5, v = y + 0.5: blue (1 x 2048 x 4096 x 2) >> 24 = 0.5 -> 0,
    // red 0, 1, 1, 2 -> 1; repeating, column 3 blends with itself, not with column 0.
    EXPECT_EQ(Sampler(even.Get(), 0, 1, 0.5f).At(0, 0), (Texel{0, 0, 1, 200}));
    EXPECT_EQ(Sampler(even.Get(), 1, 1, 0.5f).At(3, 0)[0], 3);
}

} // namespace
