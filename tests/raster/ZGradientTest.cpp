// Spread modes and focal points of the gradient stencils, by exact values; plain linear and
// radial ramps are pinned by the demo movie's frame digests.
#include "RasterFixtures.h"
#include "raster/ZGradientStencils.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void BlackToWhite(ZGradient& g) {
    g.AddStop({0, 0.5f, 0.5f, {0, 0, 0, 255}});
    g.AddStop({1, 0.5f, 0.5f, {255, 255, 255, 255}});
}

// Blue channel of row y after filling a size x size box with the stencil.
Values Fill(ZStencil& stencil, int size, int rows, int y) {
    ZRenderer r;
    Canvas c(size, size, 4);
    c.AttachAsTarget(r);
    r.FillPath(RectPath(0, 0, float(size), float(rows)), nullptr, &stencil, ZRenderer::kNonZero);
    EXPECT_TRUE(c.GuardsIntact());
    return c.Row(y);
}

} // namespace

TEST(ZGradientStencils, SpreadFoldsTheRampAndTheFocusStartsIt) {
    // Gradient x doubled over an 8-pixel box: column x lies at t = x / 4 - 0.5; the radial
    // corner lies at radius sqrt 2 (reflect: entry 599, repeat: entry 424).
    const struct {
        ZGradient::Spread spread;
        Values row;
        uint32_t corner;
    } cases[] = {
        {ZGradient::kPad, {0, 0, 0, 63, 127, 191, 255, 255}, 255},
        {ZGradient::kReflect, {127, 63, 0, 63, 127, 191, 255, 191}, 149},
        {ZGradient::kRepeat, {127, 191, 0, 63, 127, 191, 0, 63}, 105},
    };
    Matrix4 twice;
    twice.Scale(2, 1, 1);
    for (const auto& c : cases) {
        ZLinearGradientStencil linear;
        BlackToWhite(linear);
        linear.SetSpread(c.spread);
        linear.SetPaintMatrix(twice);
        EXPECT_EQ(Fill(linear, 8, 1, 0), c.row) << int(c.spread);
        ZStencil* copy = linear.Clone();
        EXPECT_EQ(static_cast<ZLinearGradientStencil*>(copy)->GetSpread(), c.spread);
        copy->Release();
        ZRadialGradientStencil radial;
        BlackToWhite(radial);
        radial.SetSpread(c.spread);
        EXPECT_EQ(Fill(radial, 8, 8, 0)[0], c.corner) << int(c.spread);
    }
    // Focus at half the radius towards +x: column 6 is the focus, column 4 (the centre) a
    // third of the way to the rim at column 0, column 7 halfway to the near rim.
    ZRadialGradientStencil focal;
    BlackToWhite(focal);
    focal.SetFocalPoint(0.5f);
    ZStencil* copy = focal.Clone();
    EXPECT_EQ(Fill(*copy, 8, 8, 4), (Values{255, 212, 170, 127, 85, 42, 0, 127}));
    copy->Release();
    for (float out : {1.0f, -1.0f, 7.0f, -1e30f}) {
        focal.SetFocalPoint(out);
        EXPECT_EQ(std::fabs(focal.FocalPoint()), ZRadialGradientStencil::kMaxFocal) << out;
    }
    // Zero-size and tiny boxes give NaN and huge positions that must stay in the ramp.
    focal.SetSpread(ZGradient::kRepeat);
    ZLinearGradientStencil reflected;
    BlackToWhite(reflected);
    reflected.SetSpread(ZGradient::kReflect);
    for (ZStencil* s : std::initializer_list<ZStencil*>{&focal, &reflected}) {
        uint8_t px[4];
        s->SetBounds(3, 3, 3, 3);
        s->Seek(1, 2);
        s->NextPixel8(px);
        s->SetBounds(0, 0, 1e-30f, 1e-30f);
        s->Seek(1 << 30, -(1 << 30));
        s->NextPixel8(px);
    }
}
