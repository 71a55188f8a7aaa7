// How the renderer paints covered pixels into the plug-in's 8-bit frames: straight-alpha
// blending, clipping by and rendering into the mask, and the blend's division.
#include "RasterFixtures.h"
#include "raster/ZBitmapStencil.h"
#include "raster/ZBlendMath.h"
#include "raster/ZColorStencil.h"
#include "raster/ZSpanPainter.h"
#include "support/Hex.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include <string>

namespace {

using swftest::FromHex;
using swftest::ToHex;

} // namespace

TEST(ZRendererPaint, SolidColoursBlendClipAndAccumulateExactly) {
    // A BGRA row holding `before` (its mask `maskBefore`, a byte a pixel) filled with
    // `paint`.
    const struct {
        const char* what;
        bool clip, intoMask;
        const char *paint, *before, *after, *maskBefore, *maskAfter;
    } cases[] = {
        // Over opaque: (cs * 128 + cd * 127) div 255.
        {"over", false, false, "c8643280", "00000000 0a141eff 64646464",
         "c8643280 693c28ff ac643fb1", "000000", "000000"},
        {"clip", true, false, "c86432ff", "00000000 00000000 00000000",
         "00000000 c86432ff c8643280", "00ff80", "00ff80"},
        // Where the mask is full the paint's own alpha, where it is 128 half of it.
        {"translucent clip", true, false, "c8643280", "0a141eff 0a141eff 64646464",
         "693c28ff 693c28ff 92644c8a", "ffff80", "ffff80"},
        // Runs the mask holds back, eight pixels long and shorter, between pixels it lets through.
        {"clip past nothing", true, false, "c86432ff",
         "01010101 01010101 01010101 01010101 01010101 01010101 01010101 01010101 01010101 "
         "01010101 01010101 01010101 01010101 01010101 01010101 01010101 01010101 01010101",
         "01010101 01010101 01010101 01010101 01010101 01010101 01010101 01010101 c86432ff "
         "01010101 01010101 01010101 01010101 01010101 01010101 c86432ff 01010101 c86432ff",
         "0000000000000000ff000000000000ff00ff", "0000000000000000ff000000000000ff00ff"},
        // Runs longer than sixteen: held back, let through, then a pixel at half.
        {"long clip runs", true, false, "c86432ff",
         "01010101 01010101 01010101 01010101 01010101 01010101 01010101 01010101 01010101 "
         "01010101 01010101 01010101 01010101 01010101 01010101 01010101 01010101 01010101 "
         "01010101 01010101 01010101 01010101 01010101 01010101 01010101 01010101 01010101 "
         "01010101 01010101 01010101 01010101 01010101 01010101 01010101 01010101 01010101",
         "01010101 01010101 01010101 01010101 01010101 01010101 01010101 01010101 01010101 "
         "01010101 01010101 01010101 01010101 01010101 01010101 01010101 01010101 c86432ff "
         "c86432ff c86432ff c86432ff c86432ff c86432ff c86432ff c86432ff c86432ff c86432ff "
         "c86432ff c86432ff c86432ff c86432ff c86432ff c86432ff c86432ff c8643280 c86432ff",
         "0000000000000000000000000000000000ffffffffffffffffffffffffffffffffff80ff",
         "0000000000000000000000000000000000ffffffffffffffffffffffffffffffffff80ff"},
        // a + mul(full - a, m): 128 + 127 * 100 div 255 = 177; over full stays full.
        {"into mask", false, true, "01020380", "00000000 00000000 00000000",
         "00000000 00000000 00000000", "0064ff", "80b1ff"},
        // Transparent paint leaves every byte as it was.
        {"transparent", false, false, "ffffff00", "09080706 00000000 00000000",
         "09080706 00000000 00000000", "2c0000", "2c0000"},
        {"transparent into mask", false, true, "ffffff00", "09080706 00000000 00000000",
         "09080706 00000000 00000000", "2c0000", "2c0000"},
    };
    for (const auto& c : cases) {
        ZRenderer renderer;
        const auto width = uint8_t(std::string_view(c.maskBefore).size() / 2);
        Canvas colour(width, 1, 4), mask(width, 1, 1);
        colour.AttachAsTarget(renderer);
        mask.AttachAsMask(renderer);
        renderer.SetClipByMask(c.clip);
        renderer.SetMaskRender(c.intoMask);
        const std::vector<uint8_t> before = FromHex(c.before), maskBefore = FromHex(c.maskBefore),
                                   paint = FromHex(c.paint);
        std::copy(before.begin(), before.end(), colour.Data());
        std::copy(maskBefore.begin(), maskBefore.end(), mask.Data());
        ZColorStencil stencil(paint[0], paint[1], paint[2], paint[3]);
        renderer.FillPath(RectPath(0, 0, float(width), 1), nullptr, &stencil, ZFillRule::kNonZero);
        EXPECT_EQ(ToHex(colour.Data(), 4 * size_t(width), 4), c.after) << c.what;
        EXPECT_EQ(ToHex(mask.Data(), size_t(width), size_t(width)), c.maskAfter) << c.what;
        EXPECT_TRUE(colour.GuardsIntact() && mask.GuardsIntact()) << c.what;
    }
}

namespace {

// A paint of given pixels, one a device pixel along the row from x = 0.
class RowStencil final : public ZStencil {
public:
    explicit RowStencil(std::vector<uint8_t> pixels) : pixels_(std::move(pixels)) {}
    ZStencil* Clone() const override { return new RowStencil(pixels_); }
    void ApplyColorTransform(const ColorTransform&) override {}
    void Seek(int32_t x, int32_t) override { x_ = x; }
    uint8_t* NextPixel8(uint8_t* out) override {
        std::memcpy(out, &pixels_[4 * size_t(x_++)], 4);
        return out;
    }
    uint16_t* NextPixel16(uint16_t* out) override { return out; }
    void Skip() override { ++x_; }
    bool IsSolidColor() const override { return false; }
    // Spans are fetched once and kept, as walked paints are.
    bool WalkPosition(uint64_t& position) const override {
        position = uint64_t(x_);
        return true;
    }
    void SetWalkPosition(uint64_t position) override { x_ = int32_t(position); }

private:
    std::vector<uint8_t> pixels_;
    int32_t x_ = 0;
};

} // namespace

// Paint pixels of every alpha over opaque, translucent and clear pixels, under full and
// partial coverage, blend exactly as each pixel blends alone.
TEST(ZRendererPaint, StencilRowsBlendAsTheirPixelsAlone) {
    constexpr int32_t kWidth = 40;
    std::vector<uint8_t> paint, before;
    for (int32_t x = 0; x < kWidth; ++x) {
        const uint8_t alphas[] = {0, 1, 128, 254, 255, 77, 255, 3};
        paint.insert(paint.end(),
                     {uint8_t(37 * x), uint8_t(255 - 11 * x), uint8_t(x * x), alphas[x % 8]});
        // Opaque targets, but for one translucent pixel in the fifth group of four, and
        // clear ones (whose colours clear paint leaves) in the next three groups, one of
        // them opaque in the last.
        const bool clear = x >= 20 && x < 32 && x != 30;
        before.insert(before.end(), {uint8_t(90 + x), uint8_t(7 * x), 200,
                                     uint8_t(x == 18 ? 99
                                             : clear ? 0
                                                     : 255)});
    }
    for (const float height : {1.0f, 0.5f}) {
        ZRenderer renderer;
        Canvas colour(kWidth, 1, 4);
        colour.AttachAsTarget(renderer);
        std::copy(before.begin(), before.end(), colour.Data());
        RowStencil stencil(paint);
        renderer.FillPath(RectPath(0, 0, float(kWidth), height), nullptr, &stencil,
                          ZFillRule::kNonZero);
        const uint32_t coverage = height == 1.0f ? 255 : 128;
        std::vector<uint8_t> expected = before;
        for (size_t i = 0; i < size_t(kWidth); ++i) {
            const uint32_t a =
                coverage < 255 ? paint[4 * i + 3] * coverage / 255 : paint[4 * i + 3];
            if (a == 255)
                std::memcpy(&expected[4 * i], &paint[4 * i], 4);
            else
                ZBlendOver(&expected[4 * i], &paint[4 * i], a);
        }
        EXPECT_EQ(ToHex(colour.Data(), 4 * kWidth, 4), ToHex(expected.data(), 4 * kWidth, 4))
            << "height " << height;
    }
    // Opaque paint is stored as it comes, unless one pixel of the span, in a group of four
    // or in the three left over, is translucent.
    for (const int32_t translucent : {-1, 9, 38}) {
        constexpr int32_t kSpan = 39;
        std::vector<uint8_t> opaque(paint.begin(), paint.begin() + 4 * kSpan);
        for (int32_t x = 0; x < kSpan; ++x)
            opaque[4 * size_t(x) + 3] = x == translucent ? 128 : 255;
        ZRenderer renderer;
        Canvas colour(kSpan, 1, 4);
        colour.AttachAsTarget(renderer);
        std::copy(before.begin(), before.begin() + 4 * kSpan, colour.Data());
        RowStencil stencil(opaque);
        renderer.FillPath(RectPath(0, 0, float(kSpan), 1), nullptr, &stencil, ZFillRule::kNonZero);
        std::vector<uint8_t> expected = opaque;
        if (translucent >= 0) {
            const size_t at = 4 * size_t(translucent);
            std::copy(before.begin() + at, before.begin() + at + 4, expected.begin() + at);
            ZBlendOver(&expected[at], &opaque[at], 128);
        }
        EXPECT_EQ(ToHex(colour.Data(), 4 * kSpan, 4), ToHex(expected.data(), 4 * kSpan, 4))
            << "translucent pixel " << translucent;
    }
}

// An opaque image goes straight into the pixels it covers wholly, and wherever the
// repeat mode leaves nothing outside it, the target stays: the image covers the middle
// half of the row, and each pixel is what the image gives there one by one, or the target
// where that is clear.
TEST(ZRendererPaint, OpaqueImagesPaintWhatTheyGive) {
    // Opaque, and with one translucent texel (premultiplied), which must be blended.
    Held<PixelBuffer> images[2];
    for (Held<PixelBuffer>& image : images) {
        image = Held<PixelBuffer>::Adopt(PixelBuffer::Create(4, 1, 4, 1));
        for (int32_t i = 0; i < 16; ++i) image->pixels[i] = uint8_t(i % 4 == 3 ? 255 : 40 * i + 7);
    }
    std::memcpy(images[1]->pixels + 8, "\x30\x20\x10\x80", 4);
    Matrix4 half;
    half.m[0][0] = 2.0f;
    half.UpdateIdentityFlag();
    for (const Held<PixelBuffer>& image : images)
        for (const int32_t mode : {ZStencil::kClamp, ZStencil::kRepeat, ZStencil::kTransparent})
            for (const int32_t smoothing : {0, 1}) {
                const auto make = [&] {
                    auto* stencil = new ZBitmapStencil;
                    stencil->SetImage(image.Get(), 1);
                    stencil->SetRepeatMode(mode);
                    stencil->SetSmoothing(smoothing);
                    stencil->SetPaintMatrix(half);
                    return Held<ZBitmapStencil>::Adopt(stencil);
                };
                ZRenderer renderer;
                Canvas colour(16, 1, 4);
                colour.AttachAsTarget(renderer);
                for (int32_t i = 0; i < 64; ++i)
                    colour.Data()[i] = uint8_t(i % 4 == 3 ? 255 : 3 * i);
                const std::vector<uint8_t> before(colour.Data(), colour.Data() + 64);
                Held<ZBitmapStencil> stencil = make();
                renderer.FillPath(RectPath(0, 0, 16, 1), nullptr, stencil.Get(),
                                  ZFillRule::kNonZero);
                Held<ZBitmapStencil> alone = make();
                alone->SetBounds(0, 0, 16, 1);
                alone->Seek(0, 0);
                std::vector<uint8_t> expected = before;
                for (size_t x = 0; x < 16; ++x) {
                    uint8_t px[4];
                    alone->NextPixel8(px);
                    if (px[3] == 255)
                        std::memcpy(&expected[4 * x], px, 4);
                    else if (px[3] != 0)
                        ZBlendOver(&expected[4 * x], px, px[3]);
                }
                EXPECT_EQ(ToHex(colour.Data(), 64, 4), ToHex(expected.data(), 64, 4))
                    << "mode " << mode << " smoothing " << smoothing << " image "
                    << (image.Get() == images[0].Get() ? "opaque" : "translucent");
            }
}

TEST(ZRendererPaint, ReciprocalQuotientsEqualDivisionOverEveryInput) {
    // The 8-bit blend divides numerators below 2^16 by totals 1..255.
    for (uint32_t d = 1; d <= 255; ++d)
        for (uint32_t n = 0; n < 65536; ++n)
            if (ZDivideSmall(n, d) != n / d) FAIL() << n << " / " << d;
    // Onto an opaque pixel the total is 255: every channel pair at every alpha.
    for (uint32_t a = 1; a < 255; ++a)
        for (uint32_t s = 0; s < 256; ++s)
            for (uint32_t d = 0; d < 256; ++d) {
                uint8_t pixel[4] = {uint8_t(d), 0, 0, 255};
                const uint8_t paint[4] = {uint8_t(s), 0, 0, uint8_t(a)};
                ZBlendOver(pixel, paint, a);
                if (pixel[0] != (s * a + d * (255 - a)) / 255 || pixel[3] != 255)
                    FAIL() << s << " over " << d << " at " << a;
            }
}
