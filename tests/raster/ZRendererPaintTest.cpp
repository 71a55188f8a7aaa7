// How the renderer paints covered pixels: straight-alpha blending, clipping by and
// rendering into the mask, stencil seeking and channel tables, at 8 and 16 bits.
#include "RasterFixtures.h"
#include "raster/ZBlendMath.h"
#include "raster/ZColorStencil.h"

#include <gtest/gtest.h>

#include <array>

namespace {

enum Mode { kOver, kClip, kIntoMask };

// Colour target plus a mask of the same size, one row of `width` pixels.
struct Scene {
    Scene(int width, int depth, Mode mode) : colour(width, 1, 4, depth), mask(width, 1, 1, depth) {
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

// Tables that invert the colour channels and halve alpha; full is 255 or 32768.
void InvertingTables(ZRenderer& r, int depth) {
    const uint32_t full = depth == 1 ? 255 : 32768;
    for (ZRenderer::Channel c :
         {ZRenderer::kRed, ZRenderer::kGreen, ZRenderer::kBlue, ZRenderer::kAlpha})
        for (uint32_t i = 0; i <= full; ++i) {
            const uint32_t v = c == ZRenderer::kAlpha ? i / 2 : full - i;
            if (depth == 1) r.Table8(c)[i] = uint8_t(v);
            if (depth == 2) r.Table16(c)[i] = uint16_t(v);
        }
}

} // namespace

struct SolidCase {
    SolidCase(const char* what, int depth, Mode mode, std::array<uint8_t, 4> paint,
              std::vector<Values> before, std::vector<Values> after, Values maskBefore,
              Values maskAfter)
        : what(what), depth(depth), mode(mode), paint(paint), before(before), after(after),
          maskBefore(maskBefore), maskAfter(maskAfter) {}
    const char* what;
    int depth;
    Mode mode;
    std::array<uint8_t, 4> paint; // blue, green, red, alpha
    std::vector<Values> before, after;
    Values maskBefore, maskAfter;
};

TEST(ZRendererPaint, SolidColoursBlendClipAndAccumulateExactly) {
    using Case = SolidCase;
    const Values clear = {0, 0, 0, 0};
    const Case cases[] = {
        // Over opaque: (cs * 128 + cd * 127) div 255; 16 bits widen the colour to
        // (25700, 12850, 6425, 16448) and shift the shares by 15.
        Case("over", 1, kOver, {200, 100, 50, 128},
             {clear, {10, 20, 30, 255}, {100, 100, 100, 100}},
             {{200, 100, 50, 128}, {105, 60, 40, 255}, {172, 100, 63, 177}}, {0, 0, 0}, {0, 0, 0}),
        Case("over", 2, kOver, {200, 100, 50, 128},
             {clear, {1000, 2000, 3000, 32768}, {1000, 2000, 3000, 16000}},
             {{25700, 12850, 6425, 16448}, {13398, 7446, 4719, 32768}, {17639, 9309, 5307, 24416}},
             {0, 0, 0}, {0, 0, 0}),
        Case("clip", 1, kClip, {200, 100, 50, 255}, {clear, clear, clear},
             {clear, {200, 100, 50, 255}, {200, 100, 50, 128}}, {0, 255, 128}, {0, 255, 128}),
        Case("clip", 2, kClip, {200, 100, 50, 255}, {clear, clear, clear},
             {clear, {25700, 12850, 6425, 32768}, {25700, 12850, 6425, 16384}}, {0, 32768, 16384},
             {0, 32768, 16384}),
        // a + mul(full - a, m): 128 + 127 * 100 div 255 = 177, 16448 + 16320 * 100 >> 15 =
        // 16497; over full stays full.
        Case("into mask", 1, kIntoMask, {1, 2, 3, 128}, {clear, clear, clear},
             {clear, clear, clear}, {0, 100, 255}, {128, 177, 255}),
        Case("into mask", 2, kIntoMask, {1, 2, 3, 128}, {clear, clear, clear},
             {clear, clear, clear}, {0, 100, 32768}, {16448, 16497, 32768}),
        // Transparent paint leaves every byte as it was.
        Case("transparent", 1, kOver, {255, 255, 255, 0}, {{9, 8, 7, 6}}, {{9, 8, 7, 6}}, {44},
             {44}),
        Case("transparent", 2, kIntoMask, {255, 255, 255, 0}, {{9, 8, 7, 6}}, {{9, 8, 7, 6}}, {44},
             {44}),
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.what) + " at depth " + std::to_string(c.depth));
        Scene s(3, c.depth, c.mode);
        for (size_t x = 0; x < c.before.size(); ++x) {
            int channel = 0;
            for (uint32_t v : c.before[x]) s.colour.Set(int(x), 0, channel++, v);
            s.mask.Set(int(x), 0, 0, c.maskBefore[x]);
        }
        ZColorStencil paint(c.paint[0], c.paint[1], c.paint[2], c.paint[3]);
        s.Fill(paint);
        for (size_t x = 0; x < c.after.size(); ++x)
            EXPECT_EQ(s.colour.Pixel(int(x), 0), c.after[x]) << x;
        const Values mask = s.mask.Row(0);
        EXPECT_EQ(Values(mask.begin(), mask.begin() + ptrdiff_t(c.maskAfter.size())), c.maskAfter);
        EXPECT_TRUE(s.colour.GuardsIntact() && s.mask.GuardsIntact());
    }
}

TEST(ZRendererPaint, StencilIsSeekedOnlyWhereASpanDoesNotContinueTheLastOne) {
    for (int depth : {1, 2}) {
        ZRenderer r;
        Canvas colour(8, 2, 4, depth);
        colour.AttachAsTarget(r);
        ProbeStencil probe(255, 32768);
        // Pixel 1 alone, then the run 2..3 continues it; pixel 4 is empty, so the second
        // rectangle starting at 5 needs a new seek.
        ZPath path = RectPath(1, 0, 4, 2);
        AddRect(path, 5, 0, 7, 2);
        r.FillPath(path, nullptr, &probe, ZRenderer::kNonZero);
        EXPECT_EQ(probe.seeks,
                  (std::vector<std::pair<int32_t, int32_t>>{{1, 0}, {5, 0}, {1, 1}, {5, 1}}));
        const uint32_t unit = depth == 1 ? 10 : 1000, full = depth == 1 ? 255 : 32768;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 8; ++x) {
                const bool painted = (x >= 1 && x <= 3) || (x >= 5 && x <= 6);
                const Values expected = {unit + x, 2 * unit + y, 3 * unit, full};
                EXPECT_EQ(colour.Pixel(x, y), painted ? expected : Values(4, 0))
                    << depth << " " << x << "," << y;
            }
    }
}

TEST(ZRendererPaint, ChannelTablesRemapStencilColoursInEveryMode) {
    for (int depth : {1, 2}) {
        const uint32_t f = depth == 1 ? 255 : 32768, unit = depth == 1 ? 10 : 1000;
        const uint32_t alpha = depth == 1 ? 200 : 20000; // halved by the table
        const auto inverted = [&](uint32_t x, uint32_t a) {
            return Values{f - (unit + x), f - 2 * unit, f - 3 * unit, a};
        };
        Scene colour(3, depth, kOver), clip(3, depth, kClip), mask(3, depth, kIntoMask);
        for (Scene* s : {&colour, &clip, &mask}) {
            InvertingTables(s->renderer, depth);
            s->renderer.SetUseTables(true);
        }
        ProbeStencil probe(200, 20000), clipProbe(200, 20000), maskProbe(200, 20000);
        colour.Fill(probe, 1);
        EXPECT_EQ(colour.colour.Pixel(1, 0), inverted(1, alpha / 2));
        // Clipped by the mask: a masked-out pixel is skipped, not sampled; the alpha
        // table takes mul(a, m).
        clip.mask.Set(1, 0, 0, f);
        clip.mask.Set(2, 0, 0, depth == 1 ? 128 : 16384);
        clip.Fill(clipProbe);
        EXPECT_EQ(clipProbe.skips, 1);
        EXPECT_EQ(clip.colour.Row(0, 3), (Values{0, alpha / 2, alpha / 4}));
        EXPECT_EQ(clip.colour.Pixel(2, 0), inverted(2, alpha / 4));
        mask.Fill(maskProbe); // the alpha table alone
        EXPECT_EQ(mask.mask.Row(0), Values(3, alpha / 2));
        // A solid colour never goes through the tables.
        ZColorStencil solid(1, 2, 3, 255);
        colour.Fill(solid, 2);
        EXPECT_EQ(colour.colour.Pixel(2, 0),
                  depth == 1 ? (Values{1, 2, 3, 255}) : (Values{129, 257, 386, f}));
    }
}

TEST(ZRendererPaint, ReciprocalQuotientsEqualDivisionOverEveryInput) {
    // The 8-bit blend divides numerators below 2^16 by totals 1..255.
    for (uint32_t d = 1; d <= 255; ++d)
        for (uint32_t n = 0; n < 65536; ++n)
            if (ZDivideSmall(n, d) != n / d) FAIL() << n << " / " << d;
}
