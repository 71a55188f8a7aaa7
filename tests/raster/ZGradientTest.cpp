// Gradient ramps and the linear and radial stencils that read them, by exact values.
#include "raster/ZGradient.h"
#include "RasterFixtures.h"
#include "raster/ZGradientStencils.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

ZGradientStop Stop(float position, uint8_t b, uint8_t g, uint8_t r, uint8_t a) {
    return {position, 0.5f, 0.5f, {b, g, r, a}};
}

void BlackToWhite(ZGradient& g) {
    g.AddStop(Stop(0, 0, 0, 0, 255));
    g.AddStop(Stop(1, 255, 255, 255, 255));
}

// Blue channel of row y after filling the path with the stencil.
Values Fill(ZStencil& stencil, const ZPath& path, int size, int y,
            const Matrix4* transform = nullptr) {
    ZRenderer r;
    Canvas c(size, size, 4);
    c.AttachAsTarget(r);
    r.FillPath(path, transform, &stencil, ZRenderer::kNonZero);
    EXPECT_TRUE(c.GuardsIntact());
    return c.Row(y);
}

} // namespace

TEST(ZGradient, RampEntriesBlendBetweenStops) {
    struct Case {
        const char* what;
        std::vector<ZGradientStop> stops;
        bool linearRgb;
        std::vector<std::pair<int, Values>> entries;
    };
    const Case cases[] = {
        // w = 255 * 511 div 1023 = 127: (128 * c0 + 127 * c1) div 255; stops sort.
        {"two ends",
         {Stop(1, 255, 0, 100, 255), Stop(0, 0, 255, 0, 0)},
         false,
         {{0, {0, 255, 0, 0}}, {511, {127, 128, 49, 127}}, {1023, {255, 0, 100, 255}}}},
        // Inner stops pad the ends; entry 511: w = 255 * 256 div 512 = 127.
        {"inner stops",
         {Stop(0.25f, 10, 10, 10, 10), Stop(0.75f, 200, 200, 200, 200)},
         false,
         {{0, {10, 10, 10, 10}},
          {255, {10, 10, 10, 10}},
          {511, {104, 104, 104, 104}},
          {767, {200, 200, 200, 200}},
          {1023, {200, 200, 200, 200}}}},
        // Weight 127: 127 * 65535 / 255 = 32639 lies nearest sRGB 187, 128 * 65535 / 255
        // nearest 188; alpha blends as stored.
        {"linear light",
         {Stop(0, 0, 0, 255, 0), Stop(1, 255, 255, 0, 255)},
         true,
         {{0, {0, 0, 255, 0}}, {511, {187, 187, 188, 127}}, {1023, {255, 255, 0, 255}}}},
        // A negative stop is ignored; positions beyond the end are clamped.
        {"odd stops",
         {Stop(-0.5f, 50, 50, 50, 50), Stop(0.5f, 100, 100, 100, 100), Stop(7, 200, 200, 200, 200)},
         false,
         {{0, {0, 0, 0, 0}}, {511, {100, 100, 100, 100}}, {1023, {200, 200, 200, 200}}}},
        {"one stop", {Stop(0.5f, 9, 9, 9, 9)}, false, {{0, {9, 9, 9, 9}}, {1023, {9, 9, 9, 9}}}},
        {"no stop", {}, false, {{500, {0, 0, 0, 0}}}},
    };
    for (const Case& c : cases) {
        ZGradient g;
        g.SetLinearRGB(c.linearRgb);
        for (const ZGradientStop& stop : c.stops) g.AddStop(stop);
        g.BuildRamp();
        for (const auto& [k, expected] : c.entries) {
            const uint8_t* e = g.RampEntry(k);
            EXPECT_EQ((Values{e[0], e[1], e[2], e[3]}), expected) << c.what << " entry " << k;
        }
    }
}

TEST(ZGradientStencils, LinearRampRunsAcrossThePathBounds) {
    // t = x / 8 over a box 8 wide: ramp entry 128 x, w = 255 * 128 x div 1023.
    const Values expected = {0, 31, 63, 95, 127, 159, 191, 223};
    ZLinearGradientStencil linear;
    BlackToWhite(linear);
    EXPECT_EQ(Fill(linear, RectPath(0, 0, 8, 2), 8, 1), expected);
    // The box given half as large and scaled by the transform gives the same ramp.
    ZLinearGradientStencil scaled;
    BlackToWhite(scaled);
    Matrix4 twice;
    twice.Scale(2, 2, 1);
    EXPECT_EQ(Fill(scaled, RectPath(0, 0, 4, 1), 8, 1, &twice), expected);
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
        EXPECT_EQ(Fill(linear, RectPath(0, 0, 8, 1), 8, 0), c.row) << int(c.spread);
        ZStencil* copy = linear.Clone();
        EXPECT_EQ(static_cast<ZLinearGradientStencil*>(copy)->GetSpread(), c.spread);
        copy->Release();
        ZRadialGradientStencil radial;
        BlackToWhite(radial);
        radial.SetSpread(c.spread);
        EXPECT_EQ(Fill(radial, RectPath(0, 0, 8, 8), 8, 0)[0], c.corner) << int(c.spread);
    }
}

TEST(ZGradientStencils, FocalPointStartsTheRampAndIsHeldInsideTheRim) {
    // Focus at half the radius towards +x: column 6 is the focus, column 4 (the centre) a
    // third of the way to the rim at column 0, column 7 halfway to the near rim.
    ZRadialGradientStencil focal;
    BlackToWhite(focal);
    focal.SetFocalPoint(0.5f);
    ZStencil* copy = focal.Clone();
    EXPECT_EQ(Fill(*copy, RectPath(0, 0, 8, 8), 8, 4),
              (Values{255, 212, 170, 127, 85, 42, 0, 127}));
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
