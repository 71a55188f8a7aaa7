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

TEST(ZColorStencil, PaintsItsColourAtBothDepthsAndTransformsIt) {
    ZColorStencil s(0, 128, 255, 128);
    EXPECT_TRUE(s.IsSolidColor());
    uint8_t p8[4];
    uint16_t p16[4];
    s.Seek(5, 5);
    EXPECT_EQ(s.NextPixel8(p8), p8);
    EXPECT_EQ(p8[1], 128);
    s.NextPixel16(p16);
    EXPECT_EQ((Values{p16[0], p16[1], p16[2], p16[3]}), (Values{0, 16448, 32768, 16448}));

    ColorTransform flagged; // marked identity: skipped even though a field says otherwise
    flagged.multRed = 0.5f;
    s.ApplyColorTransform(flagged);
    EXPECT_EQ(s.Color()[2], 255);
    ColorTransform half;
    half.multRed = 0.5f;
    half.addBlue = 0.1f;
    half.addAlpha = -1.0f;
    half.UpdateIdentityFlag();
    s.ApplyColorTransform(half);
    EXPECT_EQ((Values{s.Color()[0], s.Color()[1], s.Color()[2], s.Color()[3]}),
              (Values{25, 128, 127, 0}));

    ZStencil* copy = s.Clone();
    EXPECT_EQ(copy->RefCount(), 1);
    EXPECT_EQ(static_cast<ZColorStencil*>(copy)->Color()[2], 127);
    copy->AddRef();
    copy->Release();
    copy->Release();
}

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

TEST(ZGradientStencils, LinearRampAlongYIsConstantAlongRows) {
    ZLinearGradientStencil linear;
    BlackToWhite(linear);
    Matrix4 swap; // gradient x = normalised y
    swap.m[0][0] = 0;
    swap.m[0][1] = 1;
    swap.m[1][0] = 1;
    swap.m[1][1] = 0;
    swap.UpdateIdentityFlag();
    linear.SetPaintMatrix(swap);
    const uint32_t expected[] = {0, 31, 63, 95, 127, 159, 191, 223};
    for (int y = 0; y < 8; ++y)
        EXPECT_EQ(Fill(linear, RectPath(0, 0, 3, 8), 3, 8, 1, y), Values(3, expected[y])) << y;
}

TEST(ZGradientStencils, RadialRampGrowsWithTheIntegerRadius) {
    ZRadialGradientStencil radial;
    BlackToWhite(radial);
    for (int depth : {1, 2}) {
        ZRenderer r;
        Canvas c(8, 8, 4, depth);
        c.AttachAsTarget(r);
        r.FillPath(RectPath(0, 0, 8, 8), nullptr, &radial, ZRenderer::kNonZero);
        const auto blue = [&](int x, int y) { return c.Get(x, y, 0); };
        const auto at = [&](uint32_t v) { return depth == 1 ? v : Widen(v); };
        EXPECT_EQ(blue(4, 4), at(0));   // centre: ramp start
        EXPECT_EQ(blue(6, 4), at(127)); // gx = 0.5: radius 512
        EXPECT_EQ(blue(5, 5), at(90));  // isqrt(256^2 * 2) = 362: w = 255 * 362 div 1023
        EXPECT_EQ(blue(0, 0), at(255)); // beyond the ramp end
        EXPECT_EQ(c.Get(5, 5, 3), at(255));
    }
    ZStencil* copy = radial.Clone();
    EXPECT_FALSE(copy->IsSolidColor());
    uint8_t px[4];
    copy->Prepare();
    copy->SetBounds(0, 0, 1, 1);
    copy->Seek(0, 0); // normalised (-0.5, -0.5): outside the ramp
    EXPECT_EQ(copy->NextPixel8(px)[0], 255);
    copy->Release();
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
