// Morph shapes against the shapes they must be: at ratio 0 a morph draws exactly the
// pixels of a DefineShape3 (DefineShape4) written from its start records and styles, at
// 65535 those of one written from its end records, and halfway the pixels of a shape
// whose values were blended by hand.
#include "MovieTestSupport.h"
#include "support/BitmapWriter.h"
#include "support/MorphWriter.h"
#include "support/PlaceTags.h"
#include "support/SpriteWriter.h"
#include "swf/FMorphShape.h"

#include <gtest/gtest.h>

#include <functional>

using namespace swftest;

namespace {

constexpr int kSize = 40;
constexpr uint16_t kBitmapId = 9;
const RectRecord kBounds{0, 800, 0, 800};

// A 4 x 4 ARGB bitmap of distinct opaque texels.
Tags BitmapTag() {
    std::vector<uint8_t> argb;
    for (uint8_t i = 0; i < 16; ++i) argb.insert(argb.end(), {255, uint8_t(i * 16), 40, 200});
    return {{kDefineBitsLossless2, DefineBitsLosslessBody(kBitmapId, 5, 4, 4, argb)}};
}

std::vector<uint8_t> Pixels(const Tags& tags, int32_t frame = 0, int frames = 1) {
    Drawn drawn(MovieOf(tags, kSize, kSize, frames), kSize, kSize, frame);
    EXPECT_TRUE(drawn.loaded);
    const PixelBuffer& target = *drawn.canvas.target;
    return {target.pixels, target.pixels + target.ByteCount()};
}

bool Clear(const std::vector<uint8_t>& pixels) {
    return std::all_of(pixels.begin(), pixels.end(), [](uint8_t b) { return b == 0; });
}

Tags WithPlacement(Tags tags, std::optional<uint16_t> ratio) {
    Placement place = PlaceCharacter(1, 1);
    place.ratio = ratio;
    tags.push_back({kPlaceObject2, PlaceObject2(place)});
    return tags;
}

Tags MorphTags(const MorphWriter& morph, std::optional<uint16_t> ratio) {
    Tags tags = BitmapTag();
    tags.push_back({morph.TagCode(), morph.TagBody(1, kBounds, kBounds)});
    return WithPlacement(tags, ratio);
}

std::vector<uint8_t> MorphMovie(const MorphWriter& morph) {
    return MovieOf(MorphTags(morph, std::nullopt), kSize, kSize);
}

Tags ShapeTags(const ShapeWriter& shape) {
    Tags tags = BitmapTag();
    tags.push_back({ShapeWriter::TagCode(shape.Version()), shape.TagBody(1, kBounds)});
    return WithPlacement(tags, std::nullopt);
}

MatrixRecord Scaled(int32_t scale, int32_t x, int32_t y, int32_t rotate = 0) {
    return {true, scale, scale, rotate != 0, rotate, -rotate, x, y};
}

struct MorphCase {
    const char* name;
    int version; // 1: DefineMorphShape, 2: DefineMorphShape2
    std::function<void(ShapeWriter&, bool end)> build;
};

const std::vector<GradientStop> kStartStops = {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 255}}};
const std::vector<GradientStop> kEndStops = {{60, {0, 255, 0, 128}}, {200, {255, 255, 255, 255}}};

std::vector<MorphCase> Cases() {
    return {
        {"straight edges, solid fill and stroke", 1,
         [](ShapeWriter& s, bool end) {
             s.FillStyles({FillStyleRecord::Solid(end ? Rgba{0, 0, 255, 120} : Rgba{255, 0, 0})})
                 .LineStyles({{uint16_t(end ? 100 : 40), end ? Rgba{9, 9, 0} : Rgba{0, 200, 0}}})
                 .Change(StyleChange().Fill1(1).Line(1));
             if (end)
                 s.MoveTo(60, 200).LineTo(400, 40).LineTo(700, 300).LineTo(300, 700).LineTo(60,
                                                                                            200);
             else
                 s.Rectangle(100, 100, 500, 400);
         }},
        {"curved edges", 1,
         [](ShapeWriter& s, bool end) {
             const int32_t r = end ? 300 : 150, c = end ? 420 : 300;
             s.FillStyles({FillStyleRecord::Solid({30, 60, 90})})
                 .Change(StyleChange().Fill0(1))
                 .MoveTo(c - r, c)
                 .CurveTo(c - r, c - r, c, c - r)
                 .CurveTo(c + r, c - r, c + r, c)
                 .CurveTo(end ? c : c + r, c + r, c, c + r)
                 .CurveTo(c - r, c + r, c - r, c);
         }},
        {"straight edges paired with curved ones", 1,
         [](ShapeWriter& s, bool end) {
             s.FillStyles({FillStyleRecord::Solid({200, 100, 0, 220})})
                 .LineStyles({{60, {0, 0, 0}}})
                 .Change(StyleChange().Fill1(1).Line(1))
                 .MoveTo(100, 100);
             end ? s.CurveTo(400, -100, 700, 100) : s.LineTo(700, 100);
             end ? s.LineTo(700, 700) : s.CurveTo(900, 400, 700, 700);
             s.LineTo(100, 700).LineTo(100, 100);
         }},
        {"a move in the start edges alone", 1,
         [](ShapeWriter& s, bool end) {
             s.FillStyles({FillStyleRecord::Solid({0, 128, 255})})
                 .Change(StyleChange().Fill0(1))
                 .Rectangle(100, 100, 300, 300);
             if (!end) s.MoveTo(400, 100);
             s.LineBy(300, 0).LineBy(0, 300).LineBy(-300, 0).LineBy(0, -300);
         }},
        {"a move in the end edges alone", 1,
         [](ShapeWriter& s, bool end) {
             s.FillStyles({FillStyleRecord::Solid({0, 128, 255})})
                 .Change(StyleChange().Fill0(1))
                 .Rectangle(100, 400, 300, 700);
             if (end) s.MoveTo(500, 200);
             s.LineBy(200, 0).LineBy(0, 200).LineBy(-200, 100).LineBy(0, -300);
         }},
        {"linear and radial gradients", 1,
         [](ShapeWriter& s, bool end) {
             s.FillStyles({FillStyleRecord::Linear(end ? Scaled(0x6000, 500, 300, 0x4000)
                                                       : Scaled(0x3000, 300, 300),
                                                   end ? kEndStops : kStartStops),
                           FillStyleRecord::Radial(end ? Scaled(0x2000, 200, 600)
                                                       : Scaled(0x4000, 400, 600),
                                                   end ? kStartStops : kEndStops)})
                 .Change(StyleChange().Fill0(1))
                 .Rectangle(0, 0, 800, 450)
                 .Change(StyleChange().Fill0(2))
                 .Rectangle(end ? 100 : 0, 450, 800, 800);
         }},
        {"a focal gradient with reflect spread", 2,
         [](ShapeWriter& s, bool end) {
             FillStyleRecord focal =
                 FillStyleRecord::Focal(Scaled(end ? 0x2000 : 0x1800, 400, 400),
                                        end ? kEndStops : kStartStops, int16_t(end ? -200 : 150));
             focal.spread = FillStyleRecord::kReflect;
             s.FillStyles({focal}).Change(StyleChange().Fill1(1)).Rectangle(20, 20, 780, 780);
         }},
        {"the four bitmap fills", 1,
         [](ShapeWriter& s, bool end) {
             const MatrixRecord m = Scaled(end ? 60 << 16 : 35 << 16, end ? 100 : 0, 0);
             std::vector<FillStyleRecord> fills;
             for (uint8_t type : {0x40, 0x41, 0x42, 0x43})
                 fills.push_back(FillStyleRecord::Bitmap(kBitmapId, m, type));
             s.FillStyles(fills);
             for (uint32_t i = 0; i < 4; ++i)
                 s.Change(StyleChange().Fill0(i + 1))
                     .Rectangle(int32_t(i % 2) * 400, int32_t(i / 2) * 400,
                                int32_t(i % 2) * 400 + (end ? 300 : 400),
                                int32_t(i / 2) * 400 + 400);
         }},
        {"second version lines: caps, mitres, no close, a gradient stroke", 2,
         [](ShapeWriter& s, bool end) {
             LineStyleRecord mitred{.width = uint16_t(end ? 120 : 60), .color = {10, 20, 30, 255}};
             mitred.join = LineStyleRecord::kMiterJoin;
             mitred.miterLimit = 0x0200;
             mitred.startCap = LineStyleRecord::kNoCap;
             mitred.endCap = LineStyleRecord::kSquareCap;
             mitred.noClose = true;
             LineStyleRecord painted{.width = uint16_t(end ? 200 : 80), .color = {}};
             painted.fill = FillStyleRecord::Linear(Scaled(end ? 0x4000 : 0x2000, 400, 600),
                                                    end ? kEndStops : kStartStops);
             s.LineStyles({mitred, painted})
                 .Change(StyleChange().Line(1))
                 .MoveTo(100, 100)
                 .LineTo(end ? 400 : 700, 150)
                 .LineTo(300, 400)
                 .LineTo(100, 100)
                 .Change(StyleChange().Line(2))
                 .MoveTo(100, 600)
                 .CurveTo(400, end ? 800 : 400, 700, 600);
         }},
        {"first version lines over a shared edge", 1,
         [](ShapeWriter& s, bool end) {
             s.FillStyles(
                  {FillStyleRecord::Solid({250, 0, 0}), FillStyleRecord::Solid({0, 250, 0})})
                 .LineStyles({{uint16_t(end ? 10 : 0), {0, 0, 0, 255}}, {30, {0, 0, 200, 128}}})
                 .Change(StyleChange().Fill0(1).Line(1))
                 .MoveTo(100, 100)
                 .LineTo(400, end ? 50 : 100)
                 .Change(StyleChange().Fill1(2).Line(2))
                 .LineTo(400, 700)
                 .Change(StyleChange().Fill1(0).Line(1))
                 .LineTo(100, 700)
                 .LineTo(100, 100)
                 .Change(StyleChange().Fill0(0).Fill1(2).Line(0).Move(400, end ? 50 : 100))
                 .LineTo(700, 400)
                 .LineTo(400, 700);
         }},
    };
}

TEST(MorphShape, RatioZeroAndFullDrawTheStartAndEndShapes) {
    for (const MorphCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        const int shapeVersion = c.version == 2 ? 4 : 3;
        ShapeWriter start(shapeVersion), end(shapeVersion);
        c.build(start, false);
        c.build(end, true);
        const MorphWriter morph(start, end, c.version);
        const std::vector<uint8_t> startPixels = Pixels(ShapeTags(start));
        const std::vector<uint8_t> endPixels = Pixels(ShapeTags(end));
        ASSERT_FALSE(Clear(startPixels));
        ASSERT_NE(startPixels, endPixels);
        // A placement without a ratio is at ratio 0.
        EXPECT_TRUE(Pixels(MorphTags(morph, std::nullopt)) == startPixels);
        EXPECT_TRUE(Pixels(MorphTags(morph, 0)) == startPixels);
        EXPECT_TRUE(Pixels(MorphTags(morph, 65535)) == endPixels);
    }
}

// Halfway, b = 32768 / 65535: positions and widths round to the twip, colour channels and
// gradient positions are truncated.
TEST(MorphShape, HalfwayBlendsEveryValue) {
    ShapeWriter start(3), end(3), half(3);
    start
        .FillStyles({FillStyleRecord::Solid({255, 0, 0, 255}),
                     FillStyleRecord::Linear(Scaled(0x8000, 200, 200), kStartStops)})
        .LineStyles({{20, {0, 0, 0, 255}}});
    end.FillStyles({FillStyleRecord::Solid({0, 0, 255, 0}),
                    FillStyleRecord::Linear(Scaled(0x10000, 600, 400), kEndStops)})
        .LineStyles({{100, {255, 255, 255, 255}}});
    // 255 * a = 127.498, 255 * b = 127.502; 0x8000 a + 0x10000 b = 49152.25; 60 b = 30.0005;
    // 255 a + 200 b = 227.4997; 128 b + 255 a = 191.5; 20 a + 100 b = 60.0006.
    half.FillStyles(
            {FillStyleRecord::Solid({127, 0, 127, 127}),
             FillStyleRecord::Linear(Scaled(0xC000, 400, 300),
                                     {{30, {127, 127, 0, 191}}, {227, {127, 127, 255, 255}}})})
        .LineStyles({{60, {127, 127, 127, 255}}});
    for (ShapeWriter* s : {&start, &end, &half}) {
        const bool isEnd = s == &end, isHalf = s == &half;
        const int32_t right = isEnd ? 1200 : isHalf ? 800 : 400;
        s->Change(StyleChange().Fill0(1)).Rectangle(0, 0, right, 400);
        s->Change(StyleChange().Fill0(2).Line(1))
            .Rectangle(100, 500,
                       isEnd    ? 700
                       : isHalf ? 500
                                : 300,
                       700);
    }
    const MorphWriter morph(start, end);
    const std::vector<uint8_t> pixels = Pixels(MorphTags(morph, 32768));
    EXPECT_TRUE(pixels == Pixels(ShapeTags(half)));
    // The rectangle reaches x = 800 twips, 40 pixels, in (127, 0, 127) at alpha 127.
    const auto at = [&](int x, int y) {
        const uint8_t* p = pixels.data() + (y * kSize + x) * 4;
        return Bgra{p[0], p[1], p[2], p[3]};
    };
    EXPECT_EQ(at(0, 0), (Bgra{127, 0, 127, 127}));
    EXPECT_EQ(at(39, 19), (Bgra{127, 0, 127, 127}));
    EXPECT_EQ(at(20, 20), (Bgra{0, 0, 0, 0}));
}

// Placements reach a morph as they reach a shape: the ratio of a move, colour
// transforms, clipping and sprites.  Each arrangement draws the morph at 65535 exactly as
// it draws the end shape.
TEST(MorphShape, PlacedAsShapesArePlaced) {
    ShapeWriter start(3), end(3);
    Cases()[0].build(start, false);
    Cases()[0].build(end, true);
    const MorphWriter morph(start, end);
    const std::pair<uint16_t, std::vector<uint8_t>> asMorph{morph.TagCode(),
                                                            morph.TagBody(1, kBounds, kBounds)};
    const std::pair<uint16_t, std::vector<uint8_t>> asShape{ShapeWriter::TagCode(3),
                                                            end.TagBody(1, kBounds)};
    const auto place = [](std::optional<uint16_t> ratio) {
        Placement p = PlaceCharacter(1, 1);
        return p.ratio = ratio, p;
    };
    Placement tinted = place(65535);
    tinted.cxform = CxformRecord{.hasMult = true, .redMult = 128, .alphaMult = 200};
    Placement clip = place(65535);
    clip.clipDepth = 3;
    TagStream spriteFrames;
    spriteFrames.Tag(kPlaceObject2, PlaceObject2(place(65535))).ShowFrame().End();
    const std::vector<std::pair<const char*, Tags>> arrangements = {
        {"colour transform", {{kPlaceObject2, PlaceObject2(tinted)}}},
        {"clipping layer",
         {{kDefineBoxTag, DefineBox(2, 0, 0, 30, 30, {1, 2, 3, 255})},
          {kPlaceObject2, PlaceObject2(PlaceCharacter(2, 2))},
          {kPlaceObject2, PlaceObject2(clip)}}},
        {"sprite",
         {{kDefineSprite, DefineSprite(5, spriteFrames)},
          {kPlaceObject2, PlaceObject2(PlaceCharacter(1, 5))}}},
    };
    for (const auto& [name, placements] : arrangements) {
        SCOPED_TRACE(name);
        Tags morphTags{asMorph}, shapeTags{asShape};
        morphTags.insert(morphTags.end(), placements.begin(), placements.end());
        shapeTags.insert(shapeTags.end(), placements.begin(), placements.end());
        const std::vector<uint8_t> expected = Pixels(shapeTags);
        EXPECT_FALSE(Clear(expected));
        EXPECT_TRUE(Pixels(morphTags) == expected);
    }

    // A move that changes only the ratio redraws at the new ratio; seeking back draws the
    // first ratio again.
    Placement moved{.depth = 1, .move = true, .ratio = 65535};
    Tags timeline{asMorph,
                  {kPlaceObject2, PlaceObject2(place(std::nullopt))},
                  {kShowFrame, {}},
                  {kPlaceObject2, PlaceObject2(moved)}};
    const std::vector<uint8_t> startPixels = Pixels(ShapeTags(start));
    const std::vector<uint8_t> endPixels = Pixels(ShapeTags(end));
    EXPECT_TRUE(Pixels(timeline, 1, 1) == endPixels);
    {
        Drawn drawn(MovieOf(timeline, kSize, kSize, 1), kSize, kSize, 1);
        for (int32_t frame : {0, 1, 0}) {
            drawn.movie.GotoFrame(frame);
            drawn.canvas.context.Clear({0, 0, 0, 0});
            drawn.movie.RenderDisplayList(drawn.canvas.context);
            const PixelBuffer& t = *drawn.canvas.target;
            EXPECT_TRUE(std::vector<uint8_t>(t.pixels, t.pixels + t.ByteCount()) ==
                        (frame ? endPixels : startPixels))
                << frame;
        }
    }
}

// The shapes of the ratios drawn are kept: drawing at a kept ratio makes nothing.  Past
// four, each kept shape takes room from the movie's path room; without room a fifth ratio
// replaces the one drawn longest ago, and room taken goes back with the morph.
TEST(MorphShape, KeepsTheShapesOfRecentRatios) {
    ShapeWriter start(3), end(3);
    Cases()[1].build(start, false);
    Cases()[1].build(end, true);
    for (const bool roomy : {false, true}) {
        SCOPED_TRACE(roomy);
        auto movie = std::make_unique<BoxMovie>();
        ASSERT_TRUE(ParseBytes(*movie, MorphMovie(MorphWriter(start, end))));
        movie->GotoFrame(0);
        const Held<UT::PathRoom> heldRoom(movie->KeptPathRoom());
        UT::PathRoom& room = *heldRoom;
        const size_t allowance = room.Left();
        if (!roomy) room.Take(allowance);
        auto* morph = dynamic_cast<UT::FMorphShape*>(movie->FindCharacter(1).Get());
        ASSERT_NE(morph, nullptr);
        // Held here, so that a shape made again cannot come back at the same address.
        std::vector<Held<UT::FShape>> made;
        const std::array<uint16_t, 4> ratios = {0, 100, 200, 65535};
        for (uint16_t ratio : ratios) made.emplace_back(morph->ShapeAt(ratio));
        for (int round = 0; round < 2; ++round)
            for (size_t i = 0; i < ratios.size(); ++i)
                EXPECT_EQ(morph->ShapeAt(ratios[i]), made[i].Get()) << ratios[i];
        EXPECT_EQ(room.Left(), roomy ? allowance : 0);
        // Ratio 0 was drawn longest ago: without room 300 takes its place, and 0 is made
        // again.
        for (uint16_t ratio : {100, 200, 65535}) morph->ShapeAt(ratio);
        const Held<UT::FShape> at300(morph->ShapeAt(300));
        for (size_t i = 1; i < ratios.size(); ++i)
            EXPECT_EQ(morph->ShapeAt(ratios[i]), made[i].Get());
        EXPECT_EQ(morph->ShapeAt(0) == made[0].Get(), roomy);
        EXPECT_EQ(morph->ShapeAt(300) == at300.Get(), roomy);
        if (!roomy) continue;
        // Room for one shape past the four, then for as many as are kept at most.
        const size_t one = allowance - room.Left();
        EXPECT_GT(one, UT::FMorphShape::ShapeRoom(0));
        for (uint16_t ratio = 1; ratio <= UT::FMorphShape::kMostKept; ++ratio)
            morph->ShapeAt(ratio);
        EXPECT_EQ(allowance - room.Left(), one * (UT::FMorphShape::kMostKept - 4));
        const UT::FShape* at1 = morph->ShapeAt(1);
        EXPECT_NE(at1, nullptr);
        EXPECT_EQ(morph->ShapeAt(1), at1);
        movie.reset();
        EXPECT_EQ(room.Left(), allowance);
    }
}

} // namespace
