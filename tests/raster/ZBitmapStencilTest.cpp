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

// A repeating, unsmoothed stencil over the image, as shapes paint bitmaps: device pixel
// x samples u = x.
Texel At(PixelBuffer* image, int32_t x, int32_t y) {
    ZBitmapStencil stencil;
    stencil.SetImage(image, 10);
    stencil.SetDeviceMatrix(Matrix4());
    stencil.SetSmoothing(0);
    stencil.SetRepeatMode(1);
    stencil.SetBounds(0, 0, float(image->width), float(image->height));
    stencil.Seek(x, y);
    Texel t;
    stencil.NextPixel8(t.data());
    return t;
}

TEST(ZBitmapStencil, SamplesTexelsAndWrapsAround) {
    Held<PixelBuffer> image = Gradient(5, 3);
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(At(image.Get(), x, 1), (Texel{uint8_t(x), 1, uint8_t(x + 1), 200})) << x;
    EXPECT_EQ(At(image.Get(), -1, 0), At(image.Get(), 0, 0)); // trunc(-0.5) is 0
    EXPECT_EQ(At(image.Get(), -2, -2), At(image.Get(), 4, 2));
    EXPECT_EQ(At(image.Get(), 12, 4), At(image.Get(), 2, 1));
}

} // namespace
