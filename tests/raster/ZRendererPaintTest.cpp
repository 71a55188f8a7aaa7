#include "RasterFixtures.h"
#include "raster/ZBlendMath.h"
#include "raster/ZColorStencil.h"

#include <gtest/gtest.h>

namespace {

using Values = std::vector<uint32_t>;

constexpr uint32_t Full(int depth) {
    return depth == 1 ? 255 : 32768;
}

// Colour target plus an optional mask of the same size, attached in that order.
struct Scene {
    Scene(int width, int height, int depth)
        : colour(width, height, 4, depth), mask(width, height, 1, depth) {
        colour.AttachAsTarget(renderer);
        mask.AttachAsMask(renderer);
    }
    ZRenderer renderer;
    Canvas colour;
    Canvas mask;
};

// Tables that invert the colour channels and halve alpha.
void InvertingTables(ZRenderer& r, int depth) {
    const ZRenderer::Channel colours[] = {ZRenderer::kRed, ZRenderer::kGreen, ZRenderer::kBlue};
    const uint32_t full = Full(depth);
    for (ZRenderer::Channel c : colours)
        for (uint32_t i = 0; i <= full; ++i) {
            if (depth == 1) r.Table8(c)[i] = static_cast<uint8_t>(full - i);
            if (depth == 2) r.Table16(c)[i] = static_cast<uint16_t>(full - i);
        }
    for (uint32_t i = 0; i <= full; ++i) {
        if (depth == 1) r.Table8(ZRenderer::kAlpha)[i] = static_cast<uint8_t>(i / 2);
        if (depth == 2) r.Table16(ZRenderer::kAlpha)[i] = static_cast<uint16_t>(i / 2);
    }
}

} // namespace

TEST(ZRendererPaint, SolidColourIsBlendedStraightAlphaOver) {
    // Colour (blue 200, green 100, red 50, alpha 128) over a clear pixel, an opaque one and
    // one of alpha 100.  Over opaque: (cs * 128 + cd * 127) div 255.
    Scene s8(3, 1, 1);
    s8.colour.SetPixel(1, 0, {10, 20, 30, 255});
    s8.colour.SetPixel(2, 0, {100, 100, 100, 100});
    ZColorStencil colour(200, 100, 50, 128);
    s8.renderer.FillPath(RectPath(0, 0, 3, 1), nullptr, &colour, ZRenderer::kNonZero);
    EXPECT_EQ(s8.colour.Pixel(0, 0), (Values{200, 100, 50, 128}));
    EXPECT_EQ(s8.colour.Pixel(1, 0), (Values{105, 60, 40, 255}));
    EXPECT_EQ(s8.colour.Pixel(2, 0), (Values{172, 100, 63, 177}));

    // 16 bits: the colour widens to (25700, 12850, 6425, 16448); shares shift by 15.
    Scene s16(3, 1, 2);
    s16.colour.SetPixel(1, 0, {1000, 2000, 3000, 32768});
    s16.colour.SetPixel(2, 0, {1000, 2000, 3000, 16000});
    s16.renderer.FillPath(RectPath(0, 0, 3, 1), nullptr, &colour, ZRenderer::kNonZero);
    EXPECT_EQ(s16.colour.Pixel(0, 0), (Values{25700, 12850, 6425, 16448}));
    EXPECT_EQ(s16.colour.Pixel(1, 0), (Values{13398, 7446, 4719, 32768}));
    EXPECT_EQ(s16.colour.Pixel(2, 0), (Values{17639, 9309, 5307, 24416}));
    EXPECT_TRUE(s8.colour.GuardsIntact());
    EXPECT_TRUE(s16.colour.GuardsIntact());
}

TEST(ZRendererPaint, TransparentSolidLeavesTheBufferByteIdentical) {
    for (int depth : {1, 2}) {
        Scene s(5, 3, depth);
        s.colour.SetPixel(2, 1, {9, 8, 7, 6});
        s.mask.Set(1, 1, 0, 44);
        const std::vector<uint8_t> colourBefore = s.colour.Snapshot();
        const std::vector<uint8_t> maskBefore = s.mask.Snapshot();
        ZColorStencil clear(255, 255, 255, 0);
        for (bool maskRender : {false, true}) {
            s.renderer.SetMaskRender(maskRender);
            s.renderer.FillPath(RectPath(-1, -1, 9, 9), nullptr, &clear, ZRenderer::kNonZero);
        }
        EXPECT_EQ(s.colour.Snapshot(), colourBefore);
        EXPECT_EQ(s.mask.Snapshot(), maskBefore);
    }
}

TEST(ZRendererPaint, SolidClippedByMaskScalesByTheMaskValue) {
    for (int depth : {1, 2}) {
        const uint32_t f = Full(depth), half = depth == 1 ? 128 : 16384;
        Scene s(3, 1, depth);
        s.mask.Set(1, 0, 0, f);
        s.mask.Set(2, 0, 0, half);
        s.renderer.SetClipByMask(true);
        ZColorStencil opaque(200, 100, 50, 255);
        s.renderer.FillPath(RectPath(0, 0, 3, 1), nullptr, &opaque, ZRenderer::kNonZero);
        const Values colour = depth == 1 ? Values{200, 100, 50} : Values{25700, 12850, 6425};
        EXPECT_EQ(s.colour.Pixel(0, 0), (Values{0, 0, 0, 0}));
        EXPECT_EQ(s.colour.Pixel(1, 0), (Values{colour[0], colour[1], colour[2], f}));
        EXPECT_EQ(s.colour.Pixel(2, 0), (Values{colour[0], colour[1], colour[2], half}));
    }
}

TEST(ZRendererPaint, MaskRenderAccumulatesAlphaIntoTheMask) {
    // a + mul(full - a, m): 128 + 127 * 100 div 255 = 177; over full stays full.
    struct Case {
        int depth;
        Values before, after;
    } cases[] = {{1, {0, 100, 255}, {128, 177, 255}},
                 {2, {0, 10000, 32768}, {16448, 21428, 32768}}};
    for (const Case& c : cases) {
        Scene s(3, 1, c.depth);
        for (int x = 0; x < 3; ++x) s.mask.Set(x, 0, 0, c.before[x]);
        s.renderer.SetMaskRender(true);
        ZColorStencil halfAlpha(1, 2, 3, 128);
        s.renderer.FillPath(RectPath(0, 0, 3, 1), nullptr, &halfAlpha, ZRenderer::kNonZero);
        EXPECT_EQ(s.mask.Row(0), c.after);
        EXPECT_EQ(s.colour.Pixel(0, 0), (Values{0, 0, 0, 0}));
        EXPECT_TRUE(s.mask.GuardsIntact());
    }
}

TEST(ZRendererPaint, StencilIsSeekedOnlyWhereASpanDoesNotContinueTheLastOne) {
    for (int depth : {1, 2}) {
        Scene s(8, 2, depth);
        ProbeStencil probe(255, 32768);
        // Row 0 and 1: pixel 1 alone, then the run 2..3 continues it; pixel 4 is empty,
        // so the second rectangle starting at 5 needs a new seek.
        ZPath path = RectPath(1, 0, 4, 2);
        AddRect(path, 5, 0, 7, 2);
        s.renderer.FillPath(path, nullptr, &probe, ZRenderer::kNonZero);
        ASSERT_EQ(probe.seeks.size(), 4u);
        const int xs[] = {1, 5, 1, 5}, ys[] = {0, 0, 1, 1};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(probe.seeks[i].x, xs[i]);
            EXPECT_EQ(probe.seeks[i].y, ys[i]);
        }
        const uint32_t f = Full(depth), base = depth == 1 ? 10 : 1000, g = depth == 1 ? 20 : 2000,
                       r = depth == 1 ? 30 : 3000;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 8; ++x) {
                const bool painted = (x >= 1 && x <= 3) || (x >= 5 && x <= 6);
                const Values expected =
                    painted ? Values{base + x, g + y, r, f} : Values{0, 0, 0, 0};
                EXPECT_EQ(s.colour.Pixel(x, y), expected) << depth << " " << x << "," << y;
            }
    }
}

TEST(ZRendererPaint, ChannelTablesRemapStencilColoursInEveryMode) {
    for (int depth : {1, 2}) {
        const uint32_t f = Full(depth), half = depth == 1 ? 128 : 16384;
        const uint32_t b = depth == 1 ? 10 : 1000, g = depth == 1 ? 20 : 2000,
                       r = depth == 1 ? 30 : 3000;
        const uint32_t alpha = depth == 1 ? 200 : 20000;
        // Colour only: alpha 200 -> table 100; colours inverted.
        Scene colour(2, 1, depth);
        InvertingTables(colour.renderer, depth);
        colour.renderer.SetUseTables(true);
        ProbeStencil probe(200, 20000);
        colour.renderer.FillPath(RectPath(0, 0, 2, 1), nullptr, &probe, ZRenderer::kNonZero);
        EXPECT_EQ(colour.colour.Pixel(1, 0), (Values{f - (b + 1), f - g, f - r, alpha / 2}));

        // Clipped by the mask: a masked-out pixel is skipped, not sampled.
        Scene clip(3, 1, depth);
        InvertingTables(clip.renderer, depth);
        clip.renderer.SetUseTables(true);
        clip.renderer.SetClipByMask(true);
        clip.mask.Set(1, 0, 0, f);
        clip.mask.Set(2, 0, 0, half);
        ProbeStencil clipProbe(200, 20000);
        clip.renderer.FillPath(RectPath(0, 0, 3, 1), nullptr, &clipProbe, ZRenderer::kNonZero);
        EXPECT_EQ(clipProbe.skips, 1);
        EXPECT_EQ(clip.colour.Pixel(0, 0), (Values{0, 0, 0, 0}));
        EXPECT_EQ(clip.colour.Pixel(1, 0), (Values{f - (b + 1), f - g, f - r, alpha / 2}));
        const uint32_t halfAlpha = depth == 1 ? 100 / 2 : 10000 / 2; // table of mul(a, m)
        EXPECT_EQ(clip.colour.Pixel(2, 0), (Values{f - (b + 2), f - g, f - r, halfAlpha}));

        // Into the mask: the alpha table alone.
        Scene mask(2, 1, depth);
        InvertingTables(mask.renderer, depth);
        mask.renderer.SetUseTables(true);
        mask.renderer.SetMaskRender(true);
        ProbeStencil maskProbe(200, 20000);
        mask.renderer.FillPath(RectPath(0, 0, 2, 1), nullptr, &maskProbe, ZRenderer::kNonZero);
        EXPECT_EQ(mask.mask.Row(0), (Values{alpha / 2, alpha / 2}));

        // A solid colour never goes through the tables.
        ZColorStencil solid(1, 2, 3, 255);
        colour.renderer.FillPath(RectPath(0, 0, 1, 1), nullptr, &solid, ZRenderer::kNonZero);
        EXPECT_EQ(colour.colour.Pixel(0, 0)[3], f);
        EXPECT_EQ(colour.colour.Pixel(0, 0)[0], depth == 1 ? 1u : 129u);
    }
}

TEST(ZRendererPaint, MisfitTargetsArePaintedOnlyWhereTheyAreValid) {
    // A mask smaller than the colour target: clipping by it never reads past it.
    ZRenderer r;
    Canvas colour(6, 4, 4, 1), mask(3, 2, 1, 1);
    colour.AttachAsTarget(r);
    mask.AttachAsMask(r);
    mask.FillAll({255});
    r.SetClipByMask(true);
    ZColorStencil opaque(1, 2, 3, 255);
    r.FillPath(RectPath(-2, -2, 20, 20), nullptr, &opaque, ZRenderer::kNonZero);
    EXPECT_EQ(colour.Pixel(2, 1), (Values{1, 2, 3, 255}));
    EXPECT_EQ(colour.Pixel(3, 1), (Values{0, 0, 0, 0}));
    EXPECT_TRUE(colour.GuardsIntact());
    EXPECT_TRUE(mask.GuardsIntact());

    // No target at all, or an unsupported depth: nothing happens.
    ZRenderer empty;
    empty.FillPath(RectPath(0, 0, 4, 4), nullptr, &opaque, ZRenderer::kNonZero);
    Canvas odd(4, 4, 4, 1);
    ZRenderer wrongDepth;
    wrongDepth.SetTarget(odd.Data(), 4, 4, 3, odd.RowBytes());
    wrongDepth.FillPath(RectPath(0, 0, 4, 4), nullptr, &opaque, ZRenderer::kNonZero);
    EXPECT_EQ(odd.Pixel(1, 1), (Values{0, 0, 0, 0}));
    EXPECT_EQ(wrongDepth.Table8(ZRenderer::kRed), nullptr);
}

TEST(ZRendererPaint, ReciprocalQuotientsEqualDivisionOverEveryInput) {
    // The 8-bit blend divides numerators below 2^16 by totals 1..255.
    for (uint32_t d = 1; d <= 255; ++d)
        for (uint32_t n = 0; n < 65536; ++n)
            if (ZDivideSmall(n, d) != n / d) FAIL() << n << " / " << d;
}
