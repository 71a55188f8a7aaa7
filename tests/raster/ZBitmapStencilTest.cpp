// A span of texels fetched at once is exactly the texels fetched pixel by pixel, in every
// sampling mode and under any mapping: span loops take several pixels at a time.
#include "raster/ZBitmapStencil.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

TEST(ZBitmapStencil, SpansFetchWhatPixelsOneByOneFetch) {
    // A 5 x 3 image of distinct texels, wider than high so that the axes cannot stand in
    // for each other.
    Held<PixelBuffer> image = Held<PixelBuffer>::Adopt(PixelBuffer::Create(5, 3, 4, 1));
    for (int32_t i = 0; i < 5 * 3 * 4; ++i) image->pixels[i] = uint8_t(17 * i + 3);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    // Device pixels onto the path box [0, 10] x [0, 6]: the image at two device pixels a
    // texel, scaled and turned, far out, and degenerate.
    std::vector<Matrix4> devices(6);
    devices[1].m[0][0] = 0.37f;
    devices[1].m[1][1] = 0.61f;
    devices[1].m[3][0] = -3.2f;
    devices[2].m[0][0] = 0.3f; // turned: both coordinates step along a row
    devices[2].m[0][1] = 0.45f;
    devices[2].m[1][0] = -0.5f;
    devices[2].m[3][1] = -1.7f;
    devices[3].m[0][0] = 4e9f; // past any image within a few pixels
    devices[3].m[3][1] = -2e9f;
    devices[4].m[0][0] = nan; // positions that are not numbers
    devices[5].m[1][1] = nan;
    for (Matrix4& m : devices) m.UpdateIdentityFlag();

    const int32_t modes[][2] = {{ZStencil::kClamp, 0},       {ZStencil::kClamp, 1},
                                {ZStencil::kRepeat, 0},      {ZStencil::kRepeat, 1},
                                {ZStencil::kTransparent, 0}, {ZStencil::kTransparent, 1}};
    const auto stencilFor = [&](const int32_t* mode, const Matrix4& device) {
        auto* s = new ZBitmapStencil;
        s->SetImage(image.Get(), 1);
        s->SetRepeatMode(mode[0]);
        s->SetSmoothing(mode[1]);
        s->SetDeviceMatrix(device);
        s->SetBounds(0, 0, 10, 6);
        return Held<ZBitmapStencil>::Adopt(s);
    };
    for (const auto& mode : modes)
        for (size_t d = 0; d < devices.size(); ++d)
            for (int32_t y = -1; y <= 7; y += 4)
                for (int32_t x = -3; x <= 4; x += 7)
                    for (int count = 1; count <= 13; ++count) {
                        const Held<ZBitmapStencil> span = stencilFor(mode, devices[d]);
                        const Held<ZBitmapStencil> single = stencilFor(mode, devices[d]);
                        span->Seek(x, y);
                        single->Seek(x, y);
                        ASSERT_EQ(span->CurrentMode(), mode[0] * 256 + mode[1]);
                        ASSERT_EQ(span->CurrentLevel(), image.Get());
                        std::vector<uint8_t> spanPixels(4 * size_t(count) + 4, 0xEE);
                        std::vector<uint8_t> singlePixels(spanPixels.size(), 0xEE);
                        span->FetchSpan8(spanPixels.data(), count);
                        for (int i = 0; i < count; ++i) single->NextPixel8(&singlePixels[4 * i]);
                        // The walk ends where it ended pixel by pixel too.
                        span->NextPixel8(&spanPixels[4 * size_t(count)]);
                        single->NextPixel8(&singlePixels[4 * size_t(count)]);
                        EXPECT_EQ(spanPixels, singlePixels)
                            << "mode " << mode[0] << "/" << mode[1] << " device " << d << " at "
                            << x << "," << y << " count " << count;
                    }
}
