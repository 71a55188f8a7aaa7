#include "RasterFixtures.h"
#include "raster/ZColorStencil.h"
#include "raster/ZGradientStencils.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Values = std::vector<uint32_t>;

void BlackToWhite(ZGradient& g) {
    ZGradientStop black, white;
    black.position = 0;
    black.color[3] = 255;
    white.position = 1;
    for (uint8_t& c : white.color) c = 255;
    g.AddStop(black);
    g.AddStop(white);
}

// Blue channel of row y after filling rect with the stencil at the given depth.
Values Fill(ZStencil& stencil, const ZPath& path, int width, int height, int depth, int y,
            const Matrix4* transform = nullptr) {
    ZRenderer r;
    Canvas c(width, height, 4, depth);
    c.AttachAsTarget(r);
    r.FillPath(path, transform, &stencil, ZRenderer::kNonZero);
    EXPECT_TRUE(c.GuardsIntact());
    return c.Row(y);
}

uint32_t Widen(uint32_t c) {
    return static_cast<uint32_t>(c * 128.5f + 0.5f);
}

} // namespace

TEST(ZGradientStencils, LinearRampRunsAcrossThePathBounds) {
    // t = x / 8 over a box 8 wide: ramp entry 128 x, w = 255 * 128 x div 1023.
    const Values expected = {0, 31, 63, 95, 127, 159, 191, 223};
    for (int depth : {1, 2}) {
        ZLinearGradientStencil linear;
        BlackToWhite(linear);
        Values row = Fill(linear, RectPath(0, 0, 8, 2), 8, 2, depth, 1);
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(row[x], depth == 1 ? expected[x] : Widen(expected[x])) << x;
    }
    // The same box given in path units half as large and scaled by the transform: the
    // device matrix brings pixels back to path space, so the ramp is the same.
    ZLinearGradientStencil scaled;
    BlackToWhite(scaled);
    Matrix4 twice;
    twice.Scale(2, 2, 1);
    EXPECT_EQ(Fill(scaled, RectPath(0, 0, 4, 1), 8, 2, 1, 1, &twice), expected);
}

TEST(ZGradientStencils, SpreadFoldsTheRampBeyondItsEnds) {
    // Gradient x doubled over an 8-pixel box: column x lies at t = x / 4 - 0.5.
    const struct {
        ZGradient::Spread spread;
        Values row;
        uint32_t corner; // radial, at radius sqrt 2
    } cases[] = {
        {ZGradient::kPad, {0, 0, 0, 63, 127, 191, 255, 255}, 255},
        {ZGradient::kReflect, {127, 63, 0, 63, 127, 191, 255, 191}, 149}, // entry 599
        {ZGradient::kRepeat, {127, 191, 0, 63, 127, 191, 0, 63}, 105},    // entry 424
    };
    Matrix4 twice;
    twice.Scale(2, 1, 1);
    for (const auto& c : cases) {
        ZLinearGradientStencil linear;
        BlackToWhite(linear);
        linear.SetSpread(c.spread);
        linear.SetPaintMatrix(twice);
        EXPECT_EQ(Fill(linear, RectPath(0, 0, 8, 1), 8, 1, 1, 0), c.row) << int(c.spread);
        ZStencil* copy = linear.Clone();
        EXPECT_EQ(static_cast<ZLinearGradientStencil*>(copy)->GetSpread(), c.spread);
        copy->Release();
        ZRadialGradientStencil radial;
        BlackToWhite(radial);
        radial.SetSpread(c.spread);
        EXPECT_EQ(Fill(radial, RectPath(0, 0, 8, 8), 8, 8, 1, 0)[0], c.corner) << int(c.spread);
    }
}

TEST(ZGradientStencils, FocalPointStartsTheRampAndIsHeldInsideTheRim) {
    // Focus at half the radius towards +x over an 8-pixel box: gradient x = x / 4 - 1.
    ZRadialGradientStencil focal;
    BlackToWhite(focal);
    focal.SetFocalPoint(0.5f);
    ZStencil* copy = focal.Clone();
    // Column 6 is the focus; column 4 (the centre) a third of the way to the rim at
    // column 0 (entry 341); column 7 halfway to the near rim (entry 512).
    EXPECT_EQ(Fill(*copy, RectPath(0, 0, 8, 8), 8, 8, 1, 4),
              (Values{255, 212, 170, 127, 85, 42, 0, 127}));
    copy->Release();
    for (float out : {1.0f, -1.0f, 7.0f, -1e30f}) {
        focal.SetFocalPoint(out);
        EXPECT_EQ(std::fabs(focal.FocalPoint()), ZRadialGradientStencil::kMaxFocal) << out;
    }
}

TEST(ZGradientStencils, DegenerateBoundsAndHugePositionsStayInTheRamp) {
    ZLinearGradientStencil linear;
    BlackToWhite(linear);
    ZRadialGradientStencil radial;
    BlackToWhite(radial);
    ZLinearGradientStencil reflected;
    BlackToWhite(reflected);
    reflected.SetSpread(ZGradient::kReflect);
    ZRadialGradientStencil focal;
    BlackToWhite(focal);
    focal.SetFocalPoint(-1.0f);
    focal.SetSpread(ZGradient::kRepeat);
    ZStencil* stencils[] = {&linear, &radial, &reflected, &focal};
    for (ZStencil* s : stencils) {
        s->SetBounds(3, 3, 3, 3); // zero-size box: NaN and infinite positions
        uint8_t px[4];
        uint16_t wide[8];
        s->Seek(1, 2);
        s->NextPixel8(px);
        s->FetchSpan16(wide, 2);
        s->SetBounds(0, 0, 1e-30f, 1e-30f);
        s->Seek(1 << 30, -(1 << 30));
        s->NextPixel8(px);
        s->Skip();
        s->NextPixel8(px);
    }
}
