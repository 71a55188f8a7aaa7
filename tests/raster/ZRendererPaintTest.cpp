// How the renderer paints covered pixels into the plug-in's 8-bit frames: straight-alpha
// blending, clipping by and rendering into the mask, stencil seeking and channel tables.
#include "RasterFixtures.h"
#include "raster/ZBlendMath.h"
#include "raster/ZColorStencil.h"

#include <gtest/gtest.h>

#include <array>

namespace {

enum Mode { kOver, kClip, kIntoMask };

// Colour target plus a mask of the same size, one row of `width` pixels.
struct Scene {
    Scene(int width, Mode mode) : colour(width, 1, 4), mask(width, 1, 1) {
        colour.AttachAsTarget(renderer);
        mask.AttachAsMask(renderer);
        renderer.SetClipByMask(mode == kClip);
        renderer.SetMaskRender(mode == kIntoMask);
    }
    void Fill(ZStencil& paint, float x0 = 0) {
        renderer.FillPath(RectPath(x0, 0, 3, 1), nullptr, &paint, ZRenderer::kNonZero);
    }
    ZRenderer renderer;
    Canvas colour, mask;
};

} // namespace

// Fills a 3-pixel row holding `before` (and `maskBefore` in the mask) with `paint`.
void ExpectSolidFill(const char* what, Mode mode, std::array<uint8_t, 4> paint,
                     const std::vector<Values>& before, const std::vector<Values>& after,
                     const Values& maskBefore, const Values& maskAfter) {
    SCOPED_TRACE(what);
    Scene s(3, mode);
    for (size_t x = 0; x < before.size(); ++x) {
        int channel = 0;
        for (uint32_t v : before[x]) s.colour.Set(int(x), 0, channel++, v);
        s.mask.Set(int(x), 0, 0, maskBefore[x]);
    }
    ZColorStencil stencil(paint[0], paint[1], paint[2], paint[3]); // blue, green, red, alpha
    s.Fill(stencil);
    for (size_t x = 0; x < after.size(); ++x) EXPECT_EQ(s.colour.Pixel(int(x), 0), after[x]) << x;
    const Values mask = s.mask.Row(0);
    EXPECT_EQ(Values(mask.begin(), mask.begin() + ptrdiff_t(maskAfter.size())), maskAfter);
    EXPECT_TRUE(s.colour.GuardsIntact() && s.mask.GuardsIntact());
}

TEST(ZRendererPaint, SolidColoursBlendClipAndAccumulateExactly) {
    const Values clear = {0, 0, 0, 0};
    // Over opaque: (cs * 128 + cd * 127) div 255.
    ExpectSolidFill(
        "over", kOver, {200, 100, 50, 128}, {clear, {10, 20, 30, 255}, {100, 100, 100, 100}},
        {{200, 100, 50, 128}, {105, 60, 40, 255}, {172, 100, 63, 177}}, {0, 0, 0}, {0, 0, 0});
    ExpectSolidFill("clip", kClip, {200, 100, 50, 255}, {clear, clear, clear},
                    {clear, {200, 100, 50, 255}, {200, 100, 50, 128}}, {0, 255, 128},
                    {0, 255, 128});
    // a + mul(full - a, m): 128 + 127 * 100 div 255 = 177; over full stays full.
    ExpectSolidFill("into mask", kIntoMask, {1, 2, 3, 128}, {clear, clear, clear},
                    {clear, clear, clear}, {0, 100, 255}, {128, 177, 255});
    // Transparent paint leaves every byte as it was.
    for (Mode mode : {kOver, kIntoMask})
        ExpectSolidFill("transparent", mode, {255, 255, 255, 0}, {{9, 8, 7, 6}}, {{9, 8, 7, 6}},
                        {44}, {44});
}

TEST(ZRendererPaint, ChannelTablesRemapStencilColoursInEveryMode) {
    const uint32_t alpha = 200; // halved by the table
    const auto inverted = [&](uint32_t x, uint32_t a) {
        return Values{255 - (10 + x), 255 - 20, 255 - 30, a};
    };
    Scene colour(3, kOver), clip(3, kClip), mask(3, kIntoMask);
    for (Scene* s : {&colour, &clip, &mask}) {
        // Tables that invert the colour channels and halve alpha.
        for (ZRenderer::Channel c :
             {ZRenderer::kRed, ZRenderer::kGreen, ZRenderer::kBlue, ZRenderer::kAlpha})
            for (uint32_t i = 0; i <= 255; ++i)
                s->renderer.Table8(c)[i] = uint8_t(c == ZRenderer::kAlpha ? i / 2 : 255 - i);
        s->renderer.SetUseTables(true);
    }
    ProbeStencil probe(200), clipProbe(200), maskProbe(200);
    colour.Fill(probe, 1);
    EXPECT_EQ(colour.colour.Pixel(1, 0), inverted(1, alpha / 2));
    // Clipped by the mask: a masked-out pixel is skipped, not sampled; the alpha table
    // takes mul(a, m).
    clip.mask.Set(1, 0, 0, 255);
    clip.mask.Set(2, 0, 0, 128);
    clip.Fill(clipProbe);
    EXPECT_EQ(clipProbe.skips, 1);
    EXPECT_EQ(clip.colour.Row(0, 3), (Values{0, alpha / 2, alpha / 4}));
    EXPECT_EQ(clip.colour.Pixel(2, 0), inverted(2, alpha / 4));
    mask.Fill(maskProbe); // the alpha table alone
    EXPECT_EQ(mask.mask.Row(0), Values(3, alpha / 2));
    // A solid colour never goes through the tables.
    ZColorStencil solid(1, 2, 3, 255);
    colour.Fill(solid, 2);
    EXPECT_EQ(colour.colour.Pixel(2, 0), (Values{1, 2, 3, 255}));
}

TEST(ZRendererPaint, ReciprocalQuotientsEqualDivisionOverEveryInput) {
    // The 8-bit blend divides numerators below 2^16 by totals 1..255.
    for (uint32_t d = 1; d <= 255; ++d)
        for (uint32_t n = 0; n < 65536; ++n)
            if (ZDivideSmall(n, d) != n / d) FAIL() << n << " / " << d;
}
