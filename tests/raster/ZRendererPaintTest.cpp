// How the renderer paints covered pixels into the plug-in's 8-bit frames: straight-alpha
// blending, clipping by and rendering into the mask, and the blend's division.
#include "RasterFixtures.h"
#include "raster/ZBlendMath.h"
#include "raster/ZColorStencil.h"
#include "support/Hex.h"

#include <gtest/gtest.h>

#include <string_view>

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

TEST(ZRendererPaint, ReciprocalQuotientsEqualDivisionOverEveryInput) {
    // The 8-bit blend divides numerators below 2^16 by totals 1..255.
    for (uint32_t d = 1; d <= 255; ++d)
        for (uint32_t n = 0; n < 65536; ++n)
            if (ZDivideSmall(n, d) != n / d) FAIL() << n << " / " << d;
}
