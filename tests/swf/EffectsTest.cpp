// Filters, blend modes, visibility and background colours as PlaceObject3 and DefineButton2
// records give them: every field read, lists cut short by their tag, and the drawing.
#include "MovieTestSupport.h"
#include "support/ButtonWriter.h"
#include "support/PlaceTags.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace swftest;

namespace {

uint32_t FloatBits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

// One filter of each kind, every field distinct.
std::vector<uint8_t> EveryFilter() {
    BitWriter w;
    w.UI8(8);
    w.UI8(0).RGBA(1, 2, 3, 4).UI32(0x58000).UI32(6 << 16).UI32(0x8000).UI32(7 << 16);
    w.UI16(0x180).UI8(0x80 | 0x40 | 3); // inner, knockout, object hidden, 3 passes
    w.UI8(1).UI32(2 << 16).UI32(3 << 16).UI8(5 << 3);
    w.UI8(2).RGBA(9, 8, 7, 6).UI32(1 << 16).UI32(2 << 16).UI16(0x200).UI8(0x20 | 2);
    w.UI8(3).RGBA(10, 11, 12, 13).RGBA(20, 21, 22, 23).UI32(4 << 16).UI32(4 << 16).UI32(0);
    w.UI32(3 << 16).UI16(0x100).UI8(0x80 | 0x20 | 0x10 | 1);
    w.UI8(4).UI8(2).RGBA(255, 0, 0, 255).RGBA(0, 0, 255, 0).UI8(0).UI8(255);
    w.UI32(3 << 16).UI32(3 << 16).UI32(1 << 16).UI32(0).UI16(0x100).UI8(0x20 | 0x10 | 2);
    w.UI8(5).UI8(2).UI8(1).UI32(FloatBits(2)).UI32(FloatBits(1)).UI32(FloatBits(1));
    w.UI32(FloatBits(-1)).RGBA(5, 6, 7, 8).UI8(3);
    w.UI8(6);
    for (int i = 0; i < 20; ++i) w.UI32(FloatBits(float(i)));
    w.UI8(7).UI8(1).RGBA(1, 1, 1, 1).UI8(128).UI32(1 << 16).UI32(1 << 16).UI32(0);
    w.UI32(1 << 16).UI16(0x80).UI8(0x40 | 0x20 | 1);
    return w.Data();
}

const UT::FDisplayItem* ItemAt(const BoxMovie& movie, int32_t depth) {
    const auto found = movie.Items().find(depth);
    return found == movie.Items().end() ? nullptr : found->second.Get();
}

} // namespace

TEST(Effects, PlaceObject3ReadsEveryFieldAndStopsAtTheTagEnd) {
    Placement3 p3{PlaceCharacter(1, 1)};
    p3.filters = EveryFilter();
    p3.blendMode = 5;
    p3.visible = 0;
    p3.background = 0x336699FF;
    BoxMovie movie;
    ASSERT_TRUE(ParseBytes(movie, MovieOf({{kDefineBoxTag, DefineBox(1, 0, 0, 2, 2, {1, 2, 3, 4})},
                                           {kPlaceObject3, PlaceObject3(p3)}},
                                          4, 4)));
    movie.GotoFrame(0);
    const UT::FDisplayItem* item = ItemAt(movie, 1);
    ASSERT_TRUE(item);
    ASSERT_EQ(item->filters.size(), 8u);
    const ZFilter* f = item->filters.data();
    EXPECT_EQ(f[0].kind, ZFilter::kDropShadow);
    EXPECT_EQ(f[0].color.red + f[0].color.green * 10 + f[0].color.blue * 100, 321);
    EXPECT_EQ(f[0].color.alpha, 4);
    EXPECT_EQ(f[0].blurX, 5.5f);
    EXPECT_EQ(f[0].blurY, 6.0f);
    EXPECT_EQ(f[0].angle, 0.5f);
    EXPECT_EQ(f[0].distance, 7.0f);
    EXPECT_EQ(f[0].strength, 1.5f);
    EXPECT_TRUE(f[0].inner && f[0].knockout && f[0].hideObject);
    EXPECT_EQ(f[0].passes, 3);
    EXPECT_EQ(f[1].kind, ZFilter::kBlur);
    EXPECT_EQ(f[1].blurX + f[1].blurY * 10 + f[1].passes * 100, 532.0f);
    EXPECT_EQ(f[2].kind, ZFilter::kGlow);
    EXPECT_EQ(f[2].color.red, 9);
    EXPECT_EQ(f[2].strength, 2.0f);
    EXPECT_TRUE(!f[2].inner && !f[2].knockout && !f[2].hideObject);
    EXPECT_EQ(f[2].passes, 2);
    EXPECT_EQ(f[3].kind, ZFilter::kBevel);
    EXPECT_EQ(f[3].highlight.red, 10);
    EXPECT_EQ(f[3].color.alpha, 23);
    EXPECT_EQ(f[3].distance, 3.0f);
    EXPECT_TRUE(f[3].inner && f[3].onTop && !f[3].knockout);
    EXPECT_EQ(f[3].passes, 1);
    EXPECT_EQ(f[4].kind, ZFilter::kGradientGlow);
    ASSERT_EQ(f[4].stops.size(), 2u);
    EXPECT_EQ(f[4].stops[1].color.blue, 255);
    EXPECT_EQ(f[4].stops[1].ratio, 255);
    EXPECT_EQ(f[4].angle, 1.0f);
    EXPECT_EQ(f[4].passes, 2);
    EXPECT_TRUE(f[4].onTop);
    EXPECT_EQ(f[5].kind, ZFilter::kConvolution);
    EXPECT_EQ(f[5].columns * 10 + f[5].rows, 21);
    EXPECT_EQ(f[5].divisor, 2.0f);
    EXPECT_EQ(f[5].bias, 1.0f);
    EXPECT_EQ(f[5].kernel, (std::vector<float>{1, -1}));
    EXPECT_EQ(f[5].defaultColor.alpha, 8);
    EXPECT_TRUE(f[5].clamp && f[5].preserveAlpha);
    EXPECT_EQ(f[6].kind, ZFilter::kColorMatrix);
    EXPECT_EQ(f[6].matrix[0] + f[6].matrix[19], 19.0f);
    EXPECT_EQ(f[7].kind, ZFilter::kGradientBevel);
    EXPECT_EQ(f[7].stops.at(0).ratio, 128);
    EXPECT_EQ(f[7].strength, 0.5f);
    EXPECT_TRUE(f[7].knockout && !f[7].inner);
    EXPECT_EQ(item->blendMode, ZBlendMode::kLighten);
    EXPECT_FALSE(item->visible);
    EXPECT_TRUE(item->hasBackground);
    EXPECT_EQ(item->background.green, 0x66 / 255.0f);

    // Lists cut short: a count beyond what the tag holds, a filter running past its end,
    // a kind with no known layout.  What was whole is kept; nothing after the list is read.
    const struct {
        std::vector<uint8_t> list;
        size_t filters;
    } cut[] = {
        {{3, 1, 0, 0, 2, 0, 0, 0, 2, 0, 8}, 1},
        {{2, 1, 0, 0, 2, 0, 0, 0, 2, 0, 8, 0, 1, 2, 3}, 1},
        {{2, 1, 0, 0, 2, 0, 0, 0, 2, 0, 8, 9, 1, 2}, 1},
        {{255, 6, 0}, 0},
    };
    for (const auto& c : cut) {
        Placement3 p{PlaceCharacter(1, 1)};
        p.filters = c.list;
        p.blendMode = 3; // written after the list: never reached
        BoxMovie m;
        std::vector<uint8_t> body = PlaceObject3(p);
        body.pop_back();
        ASSERT_TRUE(ParseBytes(m, MovieOf({{kDefineBoxTag, DefineBox(1, 0, 0, 2, 2, {1, 2, 3, 4})},
                                           {kPlaceObject3, body}},
                                          4, 4)));
        m.GotoFrame(0);
        ASSERT_TRUE(ItemAt(m, 1));
        EXPECT_EQ(ItemAt(m, 1)->filters.size(), c.filters);
        EXPECT_EQ(ItemAt(m, 1)->blendMode, ZBlendMode::kNormal);
    }
}

TEST(Effects, BlendModesVisibilityBackgroundsAndButtonsDraw) {
    const auto backdrop = std::pair{kDefineBoxTag, DefineBox(1, 0, 0, 4, 2, {200, 100, 50, 255})};
    const auto square = std::pair{kDefineBoxTag, DefineBox(2, 1, 0, 3, 1, {100, 150, 200, 255})};
    const auto half = std::pair{kDefineBoxTag, DefineBox(3, 0, 1, 2, 2, {255, 255, 255, 128})};
    auto placed = [](uint16_t depth, uint16_t id, std::optional<uint8_t> mode,
                     std::optional<uint8_t> visible = std::nullopt,
                     std::optional<uint32_t> background = std::nullopt) {
        Placement3 p{PlaceCharacter(depth, id)};
        p.blendMode = mode;
        p.visible = visible;
        p.background = background;
        return std::pair{uint16_t(kPlaceObject3), PlaceObject3(p)};
    };
    const auto base = std::pair{uint16_t(kPlaceObject2), PlaceObject2(PlaceCharacter(1, 1))};
    const struct {
        const char* what;
        Tags tags;
        Bgra at10, at20, at01;
    } cases[] = {
        {"multiply",
         {backdrop, square, base, placed(2, 2, 3)},
         {39, 59, 78, 255},
         {39, 59, 78, 255},
         {50, 100, 200, 255}},
        {"difference",
         {backdrop, square, base, placed(2, 2, 7)},
         {150, 50, 100, 255},
         {150, 50, 100, 255},
         {50, 100, 200, 255}},
        {"erase onto the frame changes nothing",
         {backdrop, square, base, placed(2, 2, 12)},
         {50, 100, 200, 255},
         {50, 100, 200, 255},
         {50, 100, 200, 255}},
        {"blend mode 15 is normal",
         {backdrop, square, base, placed(2, 2, 15)},
         {200, 150, 100, 255},
         {200, 150, 100, 255},
         {50, 100, 200, 255}},
        {"hidden",
         {backdrop, square, base, placed(2, 2, 3, 0)},
         {50, 100, 200, 255},
         {50, 100, 200, 255},
         {50, 100, 200, 255}},
        // Half-white over an opaque blue background filling the box's bounds only.
        {"background",
         {half, placed(1, 3, std::nullopt, 1, 0x0000FFFF)},
         {0, 0, 0, 0},
         {0, 0, 0, 0},
         {255, 128, 128, 255}},
        {"button record",
         {backdrop,
          square,
          base,
          {kDefineButton2, DefineButton2(9, {{.character = 2, .depth = 1, .blendMode = 3}})},
          {kPlaceObject2, PlaceObject2(PlaceCharacter(2, 9))}},
         {39, 59, 78, 255},
         {39, 59, 78, 255},
         {50, 100, 200, 255}},
    };
    for (const auto& c : cases) {
        const Drawn frame(MovieOf(c.tags, 4, 2), 4, 2);
        EXPECT_EQ(frame(1, 0), c.at10) << c.what;
        EXPECT_EQ(frame(2, 0), c.at20) << c.what;
        EXPECT_EQ(frame(0, 1), c.at01) << c.what;
    }
}
