// A span of paint fetched at once is exactly the paint fetched pixel by pixel, for every
// kind of stencil and under any mapping: span loops take several pixels at a time.
#include "raster/ZBitmapStencil.h"
#include "raster/ZGradientStencils.h"
#include "raster/ZLanes.h"

#include <gtest/gtest.h>

#include <bit>
#include <functional>
#include <limits>
#include <string>
#include <vector>

TEST(ZStencilSpans, FetchWhatPixelsOneByOneFetch) {
    // A 5 x 3 image of distinct texels, wider than high so that the axes cannot stand in
    // for each other.
    Held<PixelBuffer> image = Held<PixelBuffer>::Adopt(PixelBuffer::Create(5, 3, 4, 1));
    for (int32_t i = 0; i < 5 * 3 * 4; ++i) image->pixels[i] = uint8_t(17 * i + 3);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    // Device pixels onto the path box [0, 10] x [0, 6]: the image at two device pixels a
    // texel, scaled and turned, far out, and degenerate.
    std::vector<Matrix4> devices(7);
    devices[1].m[0][0] = 0.37f;
    devices[1].m[1][1] = 0.61f;
    devices[1].m[3][0] = -3.2f;
    devices[2].m[0][0] = 0.3f; // turned: both coordinates step along a row
    devices[2].m[0][1] = 0.45f;
    devices[2].m[1][0] = -0.5f;
    devices[2].m[3][1] = -1.7f;
    devices[3].m[0][0] = 4e9f; // past any image or ramp within a few pixels
    devices[3].m[3][1] = -2e9f;
    devices[4].m[0][0] = nan; // positions that are not numbers
    devices[5].m[1][1] = nan;
    devices[6].m[0][0] = 0.013f; // a gradient's rings a few pixels apart
    devices[6].m[1][1] = 0.021f;
    devices[6].m[3][0] = 4.9f;
    devices[6].m[3][1] = 2.95f;
    for (Matrix4& m : devices) m.UpdateIdentityFlag();

    // Each stencil by name, made afresh for each span.
    std::vector<std::pair<std::string, std::function<ZStencil*()>>> kinds;
    const int32_t modes[][2] = {{ZStencil::kClamp, 0},       {ZStencil::kClamp, 1},
                                {ZStencil::kRepeat, 0},      {ZStencil::kRepeat, 1},
                                {ZStencil::kTransparent, 0}, {ZStencil::kTransparent, 1}};
    // And one colour throughout, which smoothing must give back exactly wherever it samples:
    // its weights add up to one to the last bit.
    Held<PixelBuffer> flat = Held<PixelBuffer>::Adopt(PixelBuffer::Create(5, 3, 4, 1));
    for (int32_t i = 0; i < 5 * 3 * 4; ++i)
        flat->pixels[i] = uint8_t(i % 4 == 3 ? 255 : 201 - 50 * (i % 4));
    for (const auto& mode : modes)
        for (PixelBuffer* picture : {image.Get(), flat.Get()})
            kinds.emplace_back("bitmap " + std::to_string(mode[0] * 256 + mode[1]) +
                                   (picture == flat.Get() ? " flat" : ""),
                               [picture, mode] {
                                   auto* s = new ZBitmapStencil;
                                   s->SetImage(picture, 1);
                                   s->SetRepeatMode(mode[0]);
                                   s->SetSmoothing(mode[1]);
                                   return s;
                               });
    const std::pair<float, ZGradient::Spread> radials[] = {{0.0f, ZGradient::kPad},
                                                           {0.6f, ZGradient::kPad},
                                                           {0.0f, ZGradient::kReflect},
                                                           {-0.9f, ZGradient::kRepeat}};
    for (const ZGradient::Spread spread :
         {ZGradient::kPad, ZGradient::kReflect, ZGradient::kRepeat})
        kinds.emplace_back("linear " + std::to_string(spread), [spread] {
            auto* s = new ZLinearGradientStencil;
            s->AddStop({0.0f, 0.5f, 0.5f, {0, 0, 0, 255}});
            s->AddStop({0.5f, 0.5f, 0.5f, {255, 255, 255, 255}});
            s->AddStop({1.0f, 0.5f, 0.5f, {0, 9, 0, 128}});
            s->SetSpread(spread);
            return s;
        });
    for (const auto& radial : radials)
        kinds.emplace_back("radial " + std::to_string(radial.first) + " " +
                               std::to_string(radial.second),
                           [radial] {
                               auto* s = new ZRadialGradientStencil;
                               // Entries all distinct: a blend from black to white and back.
                               s->AddStop({0.0f, 0.5f, 0.5f, {0, 0, 0, 255}});
                               s->AddStop({0.5f, 0.5f, 0.5f, {255, 255, 255, 255}});
                               s->AddStop({1.0f, 0.5f, 0.5f, {0, 9, 0, 128}});
                               s->SetFocalPoint(radial.first);
                               s->SetSpread(radial.second);
                               return s;
                           });

    for (const auto& [name, make] : kinds)
        for (size_t d = 0; d < devices.size(); ++d)
            for (int32_t y = -1; y <= 7; y += 4)
                for (int32_t x = -3; x <= 4; x += 7)
                    for (int count = 1; count <= 13; ++count) {
                        Held<ZStencil> span[2];
                        for (Held<ZStencil>& s : span) {
                            s = Held<ZStencil>::Adopt(make());
                            s->SetDeviceMatrix(devices[d]);
                            s->SetBounds(0, 0, 10, 6);
                            s->Seek(x, y);
                        }
                        const bool flatImage = name.ends_with(" flat");
                        if (auto* bitmap = dynamic_cast<ZBitmapStencil*>(span[0].Get())) {
                            ASSERT_EQ(bitmap->CurrentLevel(), flatImage ? flat.Get() : image.Get());
                        }
                        std::vector<uint8_t> whole(4 * size_t(count) + 4, 0xEE), single = whole;
                        span[0]->FetchSpan8(whole.data(), count);
                        for (int i = 0; i < count; ++i) span[1]->NextPixel8(&single[4 * i]);
                        // Where a flat image is sampled at a number, it is its colour.
                        for (int i = 0; flatImage && d != 4 && d != 5 && i < count; ++i)
                            EXPECT_TRUE(whole[4 * size_t(i) + 3] != 255 ||
                                        whole[4 * size_t(i)] == 201)
                                << name << " device " << d << " pixel " << i;
                        // The walk ends where it ended pixel by pixel too.
                        span[0]->NextPixel8(&whole[4 * size_t(count)]);
                        span[1]->NextPixel8(&single[4 * size_t(count)]);
                        EXPECT_EQ(whole, single) << name << " device " << d << " at " << x << ","
                                                 << y << " count " << count;
                    }
}

// Smoothed texels are whole numbers of 2^24ths, rounded down: sums one short of a whole
// number are common where fractions are small or texels differ by one.  Spans along a row
// and slightly turned ones, over noise, at fractions down the rows from 0 to 1, give what
// pixel by pixel sampling gives, four lanes at a time and, where the processor has them,
// eight.
TEST(ZStencilSpans, SmoothedSpansAreExact) {
    constexpr int32_t kWidth = 263;
    Held<PixelBuffer> noise = Held<PixelBuffer>::Adopt(PixelBuffer::Create(kWidth, 2, 4, 1));
    uint32_t seed = 12345;
    for (int32_t i = 0; i < noise->ByteCount(); ++i) {
        seed = seed * 1103515245u + 12345u;
        noise->pixels[i] = uint8_t(seed >> 23);
    }
    const bool wide = ZWideLanes();
    for (const bool allowWide : {false, true})
        for (const float turn : {0.0f, 1e-4f})
            for (int32_t step = 0; step < 1024; ++step) {
                ZAllowWideLanes(allowWide);
                Matrix4 device;
                device.m[0][0] = 1.0137f; // texels a pixel
                device.m[0][1] = turn;
                device.m[3][1] = float(step) / 1023.5f; // fractions of every last bit
                device.UpdateIdentityFlag();
                Held<ZStencil> span[2];
                for (Held<ZStencil>& s : span) {
                    auto* bitmap = new ZBitmapStencil;
                    bitmap->SetImage(noise.Get(), 1);
                    bitmap->SetSmoothing(1);
                    s = Held<ZStencil>::Adopt(bitmap);
                    s->SetDeviceMatrix(device);
                    s->SetBounds(0, 0, float(kWidth), 2);
                    s->Seek(0, 0);
                }
                std::vector<uint8_t> whole(4 * 256), single = whole;
                span[0]->FetchSpan8(whole.data(), 256);
                for (int i = 0; i < 256; ++i) span[1]->NextPixel8(&single[4 * i]);
                ZAllowWideLanes(true);
                ASSERT_EQ(whole, single) << "turned " << turn << ", step " << step
                                         << (allowWide && wide ? ", eight lanes" : "");
            }
}

#if defined(__SSE2__)
// Span loops walk positions four pixels at a time, guessing them from the last step: every
// position must be bit for bit what one addition a pixel gives, across powers of two and
// zero, for steps that round (and tie) on the way, and for walks that meet no number.
TEST(ZStencilSpans, WalksStepAsOneAdditionAPixel) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float tiny = std::numeric_limits<float>::denorm_min();
    const struct {
        float start, step;
    } walks[] = {
        {2.0f, 1.00000286f}, // a bitmap's row at scale one: powers of two on the way
        {-0.0f, 0.0f},       // -0 stays -0 at the start, +0 after it
        {-0.0f, -0.0f},      // and -0 throughout
        {0.3f, -0.0137f},    // down through zero
        {-700.0f, 0.7f},     // up through zero, at rounded steps
        {1.0f, 0x1p-24f},    // a tie at every step: it rounds to even, not alike
        {16777216.0f, 1.0f}, // 2^24: every step ties and stays
        {3e38f, 1e37f},      // into infinity
        {1.0f, inf},         // infinity at once
        {5.0f, nan},         // no number after the start
        {nan, 1.0f},         // none at all
        {tiny, tiny},        // subnormal steps
        {1e-37f, -3e-39f},   // down through the subnormals
        {123.456f, 1e-6f},   // steps smaller than half the spacing: none moves
    };
    for (const auto& w : walks) {
        ZWalk walk(w.start, w.step);
        float p = w.start;
        for (int quad = 0; quad < 300; ++quad) {
            alignas(16) float lanes[4];
            _mm_store_ps(lanes, walk.Next());
            for (int k = 0; k < 4; ++k, p += w.step)
                ASSERT_EQ(std::bit_cast<uint32_t>(lanes[k]), std::bit_cast<uint32_t>(p))
                    << w.start << " + " << w.step << ", pixel " << 4 * quad + k;
            ASSERT_EQ(std::bit_cast<uint32_t>(walk.Position()), std::bit_cast<uint32_t>(p));
        }
    }
}
#endif
