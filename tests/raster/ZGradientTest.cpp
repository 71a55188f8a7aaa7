#include "raster/ZGradient.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Values = std::vector<uint32_t>;

ZGradientStop Stop(float position, uint8_t b, uint8_t g, uint8_t r, uint8_t a, float shapeA = 0.5f,
                   float shapeB = 0.5f) {
    ZGradientStop s;
    s.position = position;
    s.a = shapeA;
    s.b = shapeB;
    s.color[0] = b;
    s.color[1] = g;
    s.color[2] = r;
    s.color[3] = a;
    return s;
}

Values Entry(const ZGradient& g, int k) {
    const uint8_t* e = g.RampEntry(k);
    return {e[0], e[1], e[2], e[3]};
}

} // namespace

TEST(ZGradient, TwoEndStopsBlendLinearly) {
    ZGradient g;
    g.AddStop(Stop(1, 255, 0, 100, 255));
    g.AddStop(Stop(0, 0, 255, 0, 0));
    EXPECT_TRUE(g.IsDirty());
    g.BuildRamp();
    EXPECT_FALSE(g.IsDirty());
    EXPECT_EQ(Entry(g, 0), (Values{0, 255, 0, 0}));
    EXPECT_EQ(Entry(g, 1023), (Values{255, 0, 100, 255}));
    // w = 255 * 511 div 1023 = 127: (128 * c0 + 127 * c1) div 255.
    EXPECT_EQ(Entry(g, 511), (Values{127, 128, 49, 127}));
}

TEST(ZGradient, InnerStopsPadTheEndsWithTheirColours) {
    ZGradient g;
    g.AddStop(Stop(0.25f, 10, 10, 10, 10));
    g.AddStop(Stop(0.75f, 200, 200, 200, 200));
    g.BuildRamp();
    for (int k : {0, 100, 255}) EXPECT_EQ(Entry(g, k), (Values{10, 10, 10, 10})) << k;
    for (int k : {767, 900, 1023}) EXPECT_EQ(Entry(g, k), (Values{200, 200, 200, 200})) << k;
    // Entry 511: w = 255 * (511 - 255) div (767 - 255) = 127.
    EXPECT_EQ(Entry(g, 511)[0], (128u * 10 + 127u * 200) / 255);
}

TEST(ZGradient, DegenerateStopListsStayInsideTheRamp) {
    ZGradient none;
    none.AddStop(Stop(0.5f, 9, 9, 9, 9));
    none.BuildRamp();
    EXPECT_EQ(Entry(none, 0), (Values{9, 9, 9, 9})); // one stop paints everywhere
    EXPECT_EQ(Entry(none, 1023), (Values{9, 9, 9, 9}));

    ZGradient empty;
    empty.BuildRamp();
    EXPECT_EQ(Entry(empty, 500), (Values{0, 0, 0, 0}));

    // A negative stop is ignored; out-of-range positions are clamped to the ramp.
    ZGradient odd;
    odd.AddStop(Stop(-0.5f, 50, 50, 50, 50));
    odd.AddStop(Stop(0.5f, 100, 100, 100, 100));
    odd.AddStop(Stop(7.0f, 200, 200, 200, 200));
    odd.BuildRamp();
    EXPECT_EQ(Entry(odd, 0), (Values{0, 0, 0, 0}));
    EXPECT_EQ(Entry(odd, 511), (Values{100, 100, 100, 100}));
    EXPECT_EQ(Entry(odd, 1023), (Values{200, 200, 200, 200}));
}

TEST(ZGradient, LinearRgbBlendsColoursInLinearLightAndAlphaAsStored) {
    ZGradient g;
    g.SetLinearRGB(true);
    g.AddStop(Stop(0, 0, 0, 255, 0));
    g.AddStop(Stop(1, 255, 255, 0, 255));
    g.BuildRamp();
    EXPECT_EQ(Entry(g, 0), (Values{0, 0, 255, 0}));
    EXPECT_EQ(Entry(g, 1023), (Values{255, 255, 0, 255}));
    // Weight 127 of 255: 127 * 65535 / 255 = 32639 lies nearest sRGB 187 (32567), and
    // 128 * 65535 / 255 = 32896 nearest 188 (32957); alpha blends as stored.
    EXPECT_EQ(Entry(g, 511), (Values{187, 187, 188, 127}));
    for (int k = 1; k < 1024; ++k) ASSERT_GE(Entry(g, k)[0], Entry(g, k - 1)[0]) << k;
}
