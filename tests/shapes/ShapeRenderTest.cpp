// Shapes drawn into a canvas: fills, strokes, caps and joins, bitmap fills, culling near the
// frame, gradient spreads.  Gradient colours are checked against reference pictures of real
// movies.
#include "../swf/MovieTestSupport.h"
#include "support/BitmapWriter.h"
#include "support/PlaceTags.h"
#include "support/ShapeWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

using namespace swftest;
using L = LineStyleRecord;

namespace {

// 0xAARRGGBB as the canvas holds it.
Bgra Argb(uint32_t c) {
    return {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), uint8_t(c >> 24)};
}

// The shape (bounds in twips) placed at (x, y) pixels in a w x h movie after `before`; drawn.
std::unique_ptr<Drawn> Draw(const ShapeWriter& shape, RectRecord bounds, int w, int h, int x = 0,
                            int y = 0, Tags before = {}, int version = 3) {
    before.push_back({ShapeWriter::TagCode(version), shape.TagBody(1, bounds)});
    before.push_back({kPlaceObject2, PlaceObject2(PlaceCharacter(1, 1, x, y))});
    return std::make_unique<Drawn>(MovieOf(before, uint32_t(w), uint32_t(h)), w, h);
}

MatrixRecord FillMatrix(int32_t a, int32_t b, int32_t c, int32_t d, int32_t tx, int32_t ty) {
    return {true, a, d, b != 0 || c != 0, b, c, tx, ty};
}

} // namespace

TEST(ShapeRender, SolidFillsStrokesAndCulling) {
    // An orange square on pixel edges (2, 3) to (6, 7) is exact.
    ShapeWriter square(3);
    square.FillStyles({FillStyleRecord::Solid({255, 128, 0, 255})})
        .Change(StyleChange().Fill1(1))
        .Rectangle(40, 60, 120, 140);
    const auto exact = Draw(square, {40, 120, 60, 140}, 10, 10);
    ASSERT_TRUE(exact->loaded);
    for (int i = 0; i < 100; ++i) {
        const bool inside = i % 10 >= 2 && i % 10 < 6 && i / 10 >= 3 && i / 10 < 7;
        EXPECT_EQ((*exact)(i % 10, i / 10), Argb(inside ? 0xFFFF8000 : 0)) << i;
    }
    // A red square; NewStyles drops its record's index (the top right stays red), and a
    // later index names the new table's blue.
    ShapeWriter layered(3);
    layered
        .FillStyles(
            {FillStyleRecord::Solid({0, 255, 0, 255}), FillStyleRecord::Solid({255, 0, 0, 255})})
        .Change(StyleChange().Fill0(2))
        .Rectangle(0, 0, 160, 160)
        .Change(StyleChange().Fill0(1).NewStyles({{FillStyleRecord::Solid({0, 0, 255, 255})}, {}}))
        .Rectangle(80, 0, 160, 40)
        .Change(StyleChange().Fill0(1))
        .Rectangle(0, 120, 80, 160);
    const auto over = Draw(layered, {0, 160, 0, 160}, 8, 8);
    EXPECT_EQ(std::tuple((*over)(5, 1), (*over)(1, 7), (*over)(5, 7)),
              std::tuple(Argb(0xFFFF0000), Argb(0xFF0000FF), Argb(0xFFFF0000)));
    // A 2-pixel line at y = -0.5: its path box lies above the frame, its ink does not.
    ShapeWriter edge(3);
    edge.LineStyles({{40, {255, 255, 255, 255}}})
        .Change(StyleChange().Line(1).Move(20, -10))
        .LineTo(140, -10);
    const auto culled = Draw(edge, {0, 160, -60, 160}, 8, 4);
    EXPECT_GT((*culled)(4, 0)[3], 0);
    EXPECT_EQ((*culled)(4, 1), Bgra{});
    // A bitmap fill naming no bitmap draws nothing; a focal gradient before DefineShape4 is
    // no style at all, so fill 1 is the bitmap.
    FillStyleRecord focal = FillStyleRecord::Linear({}, {{0, {}}, {255, {}}});
    focal.type = FillStyleRecord::kFocalRadial;
    ShapeWriter missing(3);
    missing.FillStyles({focal, FillStyleRecord::Bitmap(99, {})})
        .Change(StyleChange().Fill0(1))
        .Rectangle(0, 0, 40, 40);
    const auto red = Draw(missing, {0, 40, 0, 40}, 3, 3);
    EXPECT_EQ(std::pair((*red)(1, 1), (*red)(2, 2)), std::pair(Bgra{}, Bgra{}));
    // 300 fill styles: the count is written long, and index 300 names the last.
    std::vector<FillStyleRecord> many(299, FillStyleRecord::Solid({0, 0, 255, 255}));
    many.push_back(FillStyleRecord::Solid({255, 128, 0, 255}));
    ShapeWriter longTable(3);
    longTable.FillStyles(many).Change(StyleChange().Fill0(300)).Rectangle(0, 0, 40, 40);
    EXPECT_EQ((*Draw(longTable, {0, 40, 0, 40}, 3, 3))(1, 1), Argb(0xFFFF8000));
}

// Gradient records drawn as written over a 256-pixel wide rectangle the gradient spans (a
// column a position step, 4 ramp entries).  Stops stay in file order: stops sharing a position
// step hard, the ones between the first and the last showing for one step each; a stop written
// below the one before it shows once that one is passed, blending from its own position; a
// record without stops is opaque black.
TEST(ShapeRender, GradientStopsInFileOrder) {
    const Rgba red{255, 0, 0, 255}, green{0, 255, 0, 255}, blue{0, 0, 255, 255},
        white{255, 255, 255, 255}, yellow{255, 255, 0, 255}, black{0, 0, 0, 255};
    const struct Case {
        const char* what;
        std::vector<GradientStop> stops;
        std::vector<std::pair<int, uint32_t>> columns;
    } cases[] = {
        {"repeated position",
         {{0, red}, {128, green}, {128, blue}, {255, white}},
         {{0, 0xFFFF0000}, {128, 0xFF01FE00}, {129, 0xFF00FF00}, {130, 0xFF0303FF}}},
        {"middle stops",
         {{0, red}, {128, green}, {128, yellow}, {128, black}, {128, blue}, {255, white}},
         {{129, 0xFF00FF00}, {130, 0xFFFFFF00}, {131, 0xFF000000}, {132, 0xFF0707FF}}},
        {"falling position",
         {{0, red}, {128, green}, {64, blue}, {255, white}},
         {{128, 0xFF01FE00}, {129, 0xFF00FF00}, {130, 0xFF5757FF}, {255, 0xFFFEFEFF}}},
        {"repeated ends",
         {{0, white}, {0, red}, {255, green}, {255, blue}},
         {{0, 0xFFFFFFFF}, {1, 0xFFFFFFFF}, {2, 0xFFFE0100}, {255, 0xFF01FE00}}},
        {"no stops", {}, {{0, 0xFF000000}, {200, 0xFF000000}}},
    };
    for (const Case& c : cases) {
        ShapeWriter shape(3);
        shape
            .FillStyles(
                {FillStyleRecord::Linear(FillMatrix(10240, 0, 0, 10240, 2560, 40), c.stops)})
            .Change(StyleChange().Fill0(1))
            .Rectangle(0, 0, 5120, 80);
        const auto frame = Draw(shape, {0, 5120, 0, 80}, 256, 4);
        for (const auto& [x, argb] : c.columns)
            EXPECT_EQ((*frame)(x, 2), Argb(argb)) << c.what << " " << x;
    }
}

// 4-pixel DefineShape4 lines: a bar from (6, 10) to (14, 10), a corner turning at (14, 4)
// and a spike with its apex at (10.5, 10), half angle 14 degrees (a miter of 4.1 half
// widths, its tip at y = 1.75; a bevel cuts it at y = 9.5); a square outline from its top
// left corner is joined there unless no-close leaves the notch between its ends.
TEST(ShapeRender, Shape4CapsAndJoinsFollowTheLineStyle) {
    constexpr auto N = L::kNoCap, S = L::kSquareCap, R = L::kRoundCap;
    constexpr auto M = L::kMiterJoin, B = L::kBevelJoin, O = L::kRoundJoin;
    const char *bar = "120,200 280,200", *corner = "80,80 280,80 280,280";
    const char *spike = "130,520 210,200 290,520", *outline = "80,80 240,80 240,240 80,240 80,80";
    const struct Case {
        const char* what;
        uint8_t startCap, endCap, join;
        uint16_t miterLimit;
        bool noClose;
        const char *points, *inked, *clear; // points in twips, probes in pixels
    } cases[] = {
        {"no caps", N, N, O, 0, false, bar, "6,9 13,10", "5,9 14,10"},
        {"square caps", S, S, O, 0, false, bar, "4,9 15,10", "3,9 16,10"},
        {"round start, square end", R, S, O, 0, false, bar, "5,9 15,10", "3,8 16,10"},
        {"miter at 90 degrees", N, N, M, 0x0180, false, corner, "15,2 14,2", "16,2 15,1"},
        {"bevel at 90 degrees", N, N, B, 0, false, corner, "13,2 15,5", "15,2 16,2"},
        {"miter limit below the corner's", N, N, M, 0x0100, false, corner, "13,2", "15,2"},
        {"acute miter within the limit", N, N, M, 0x0500, false, spike, "10,4 10,8", "10,0"},
        {"acute miter beyond the limit", N, N, M, 0x0300, false, spike, "10,10", "10,8 10,4"},
        {"closed outline", N, N, M, 0x0300, false, outline, "2,2 12,2", ""},
        {"no-close outline", N, N, M, 0x0300, true, outline, "12,2", "2,2"},
    };
    for (const Case& c : cases) {
        L style{80, {255, 0, 0, 255}, c.startCap, c.endCap, c.join, c.miterLimit};
        style.noClose = c.noClose;
        const auto points = Points(c.points);
        ShapeWriter shape(4);
        shape.LineStyles({style}).Change(StyleChange().Line(1).Move(points[0][0], points[0][1]));
        for (size_t i = 1; i < points.size(); ++i) shape.LineTo(points[i][0], points[i][1]);
        const auto frame = Draw(shape, {0, 400, 0, 560}, 20, 28, 0, 0, {}, 4);
        for (const auto& [x, y] : Points(c.inked))
            EXPECT_EQ((*frame)(x, y), Argb(0xFFFF0000)) << c.what << " " << x << "," << y;
        for (const auto& [x, y] : Points(c.clear))
            EXPECT_EQ((*frame)(x, y), Bgra{}) << c.what << " " << x << "," << y;
    }
}
// Strokes narrower than a device pixel, through the placement's scale, are one pixel wide
// and cover whole pixels: a line 1 twip wide or of width 0 at y = 5 pixels fills row 5 (and
// row 1 at a quarter size).  A 2-pixel DefineShape4 line at x = 5 with NoHScale stays 2 pixels
// wide under a 4-fold horizontal scale (columns 19 and 20) where a plain one grows to 8.
TEST(ShapeRender, StrokesAtLeastOnePixelAndNoScaleFlags) {
    const struct Case {
        const char* what;
        uint16_t width;
        bool vertical, noHScale;
        int32_t scaleX, scaleY;
        const char *inked, *clear;
    } cases[] = {
        {"1 twip", 1, false, false, 0x10000, 0x10000, "3,5 10,5 17,5", "10,4 10,6"},
        {"width 0", 0, false, false, 0x10000, 0x10000, "3,5 10,5 17,5", "10,4 10,6"},
        {"1 twip at 0.25", 1, false, false, 0x4000, 0x4000, "1,1 3,1", "2,0 2,2 5,1"},
        {"width 0 at 0.25", 0, false, false, 0x4000, 0x4000, "1,1 3,1", "2,0 2,2 5,1"},
        {"no h-scale at 4x", 40, true, true, 0x40000, 0x10000, "19,5 20,5", "18,5 21,5"},
        {"plain at 4x", 40, true, false, 0x40000, 0x10000, "17,5 22,5", "15,5 24,5"},
    };
    for (const Case& c : cases) {
        L style{c.width, {255, 0, 0, 255}, L::kNoCap, L::kNoCap};
        style.noHScale = c.noHScale;
        ShapeWriter shape(4);
        shape.LineStyles({style}).Change(
            StyleChange().Line(1).Move(c.vertical ? 100 : 40, c.vertical ? 40 : 100));
        c.vertical ? shape.LineTo(100, 180) : shape.LineTo(360, 100);
        Placement placed = PlaceCharacter(1, 1);
        placed.matrix = MatrixRecord{.hasScale = true, .scaleX = c.scaleX, .scaleY = c.scaleY};
        const Tags tags = {{kDefineShape4, shape.TagBody(1, {0, 400, 0, 200})},
                           {kPlaceObject2, PlaceObject2(placed)}};
        const Drawn frame(MovieOf(tags, 30, 10), 30, 10);
        for (const auto& [x, y] : Points(c.inked))
            EXPECT_EQ(frame(x, y), Argb(0xFFFF0000)) << c.what << " " << x << "," << y;
        for (const auto& [x, y] : Points(c.clear))
            EXPECT_EQ(frame(x, y), Bgra{}) << c.what << " " << x << "," << y;
    }
}

// A 4 x 4 image whose texel (u, v) encodes its place over a 10-pixel square: each case gives
// the image position of device pixel (x, y)'s corner, where it samples.
TEST(ShapeRender, BitmapFillsLandWhereTheirMatrixPutsThem) {
    const auto texel = [](int u, int v) {
        return Bgra{uint8_t(10 + u + v), uint8_t(60 * v), uint8_t(40 * u), 255};
    };
    std::vector<uint8_t> argb;
    for (int i = 0; i < 16; ++i) {
        const Bgra t = texel(i % 4, i / 4);
        argb.insert(argb.end(), {t[3], t[2], t[1], t[0]});
    }
    // The texel nearest to image position t, truncated toward zero as the sampler does.
    const auto nearest = [](double t) { return (int(std::trunc(t + 0.5)) % 4 + 4) % 4; };
    const int px = 20 << 16;
    // Image position u = a x + b y + c, v = d x + e y + f.
    const struct Bitmap {
        const char* name;
        MatrixRecord matrix;
        double a, b, c, d, e, f;
        bool curvedTop; // the top edge bulges 4 pixels above the image's rows
    } bitmaps[] = {
        {"1:1", FillMatrix(px, 0, 0, px, 0, 0), 1, 0, 0, 0, 1, 0, false},
        {"half size", FillMatrix(px / 2, 0, 0, px / 2, 0, 0), 2, 0, 0, 0, 2, 0, false},
        {"mirrored", FillMatrix(-px, 0, 0, px, 80, 0), -1, 0, 4, 0, 1, 0, false},
        {"turned", FillMatrix(0, px, -px, 0, 80, 0), 0, 1, 0, -1, 0, 4, false},
        {"curved edge", FillMatrix(px, 0, 0, px, 0, 0), 1, 0, 0, 0, 1, 0, true},
    };
    for (const Bitmap& c : bitmaps) {
        ShapeWriter shape(3);
        shape.FillStyles({FillStyleRecord::Bitmap(7, c.matrix, FillStyleRecord::kRepeatingBitmap)})
            .Change(StyleChange().Fill0(1));
        if (c.curvedTop)
            shape.MoveTo(0, 0)
                .CurveTo(100, -160, 200, 0)
                .LineTo(200, 200)
                .LineTo(0, 200)
                .LineTo(0, 0);
        else
            shape.Rectangle(0, 0, 200, 200);
        const auto frame = Draw(shape, {0, 200, -80, 200}, 10, 10, 0, 0,
                                {{kDefineBitsLossless2, DefineBitsLosslessBody(7, 5, 4, 4, argb)}});
        for (int i = 0; i < 100; ++i) {
            const int x = i % 10, y = i / 10;
            EXPECT_EQ((*frame)(x, y),
                      texel(nearest(c.a * x + c.b * y + c.c), nearest(c.d * x + c.e * y + c.f)))
                << c.name << " " << x << "," << y;
        }
    }
}

// A 2 x 2 DefineBitsLossless2 image, two pixels a texel, over a white 8 x 4 rectangle:
// opaque red, green stored premultiplied at alpha 128, a texel of alpha 0 and opaque blue.
// The clipped kinds (0x41, 0x43) clamp to the edge texels where the repeating ones (0x40,
// 0x42) start over; the smoothed kinds (0x40, 0x41) are bilinear in a version 8 movie and
// nearest before; the alpha 0 texel shows the white.
TEST(ShapeRender, BitmapFillKindsClampAndSmooth) {
    const std::vector<uint8_t> argb = {255, 255, 0, 0, 128, 0, 128, 0, 0, 9, 9, 9, 255, 0, 0, 255};
    const struct Case {
        uint8_t type;
        int version;
        // (1, 0), (4, 0), (1, 1), (0, 2): texel corners sample; (3, 1): the last column
        uint32_t probes[5];
    } cases[] = {
        {0x40, 6, {0xFF7FFF7F, 0xFFFF0000, 0xFF0000FF, 0xFFFFFFFF, 0xFFFFFFFF}},
        {0x41, 6, {0xFF7FFF7F, 0xFF7FFF7F, 0xFF0000FF, 0xFFFFFFFF, 0xFF0000FF}},
        {0x42, 8, {0xFF7FFF7F, 0xFFFF0000, 0xFF0000FF, 0xFFFFFFFF, 0xFFFFFFFF}},
        {0x43, 8, {0xFF7FFF7F, 0xFF7FFF7F, 0xFF0000FF, 0xFFFFFFFF, 0xFF0000FF}},
        {0x40, 8, {0xFF9F9F40, 0xFFFF0000, 0xFF878787, 0xFFFFFFFF, 0xFF409F9F}},
        {0x41, 8, {0xFF9F9F40, 0xFF7FFF7F, 0xFF878787, 0xFFFFFFFF, 0xFF409F9F}},
    };
    ShapeWriter white(3);
    white.FillStyles({FillStyleRecord::Solid({255, 255, 255, 255})})
        .Change(StyleChange().Fill0(1))
        .Rectangle(0, 0, 160, 80);
    for (const Case& c : cases) {
        ShapeWriter shape(3);
        shape
            .FillStyles(
                {FillStyleRecord::Bitmap(7, FillMatrix(40 << 16, 0, 0, 40 << 16, 0, 0), c.type)})
            .Change(StyleChange().Fill0(1))
            .Rectangle(0, 0, 160, 80);
        SwfWriter movie(8, 4, 12);
        movie.Version(uint8_t(c.version))
            .Tag(kDefineBitsLossless2, DefineBitsLosslessBody(7, 5, 2, 2, argb))
            .Tag(kDefineShape3, white.TagBody(2, {0, 160, 0, 80}))
            .Tag(kDefineShape3, shape.TagBody(1, {0, 160, 0, 80}))
            .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, 2)))
            .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(2, 1)))
            .ShowFrame()
            .End();
        const Drawn frame(movie.Finish(), 8, 4);
        const int probes[5][2] = {{1, 0}, {4, 0}, {1, 1}, {0, 2}, {3, 1}};
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(frame(probes[i][0], probes[i][1]), Argb(c.probes[i]))
                << std::hex << int(c.type) << " v" << std::dec << c.version << " probe " << i;
    }
}

// The Flash 8 fields that change nothing drawn (an empty filter list, a normal blend, a
// class name, bitmap caching, visibility on, clip actions) place the object exactly as
// PlaceObject2 does.  Under the placement's colour transform a solid colour rounds (127.5
// gives 128), a gradient's stops truncate (127).
TEST(ShapeRender, PlaceObject3PlacesExactlyLikePlaceObject2) {
    const Rgba colour{255, 128, 255, 200};
    ShapeWriter shape(3);
    shape
        .FillStyles({FillStyleRecord::Solid(colour),
                     FillStyleRecord::Linear({}, {{0, colour}, {255, colour}})})
        .Change(StyleChange().Fill0(1))
        .Rectangle(0, 0, 90, 70)
        .Change(StyleChange().Fill0(2))
        .Rectangle(100, 0, 160, 70);
    Placement placement = PlaceCharacter(1, 1, 2, 1);
    placement.cxform = CxformRecord{.hasMult = true, .redMult = 128, .blueMult = 128};
    Placement3 filtered{placement}, layered{placement, "flash.display.MovieClip"};
    filtered.filters = std::vector<uint8_t>{0};
    filtered.blendMode = 1;
    layered.blendMode = 0;
    layered.cacheAsBitmap = layered.visible = 1;
    layered.clipActions = std::vector<uint8_t>(6, 0);
    const auto frameOf = [&](uint16_t code, const std::vector<uint8_t>& body) {
        return Drawn(
            MovieOf({{ShapeWriter::TagCode(3), shape.TagBody(1, {0, 160, 0, 70})}, {code, body}},
                    10, 8),
            10, 8);
    };
    const Drawn expected = frameOf(kPlaceObject2, PlaceObject2(placement));
    EXPECT_EQ(std::pair(expected(3, 2), expected(8, 2)),
              std::pair(Argb(0xC8808080), Argb(0xC87F807F)));
    for (const Placement3& p3 : {filtered, layered}) {
        const Drawn frame = frameOf(kPlaceObject3, PlaceObject3(p3));
        for (int i = 0; i < 80; ++i)
            EXPECT_EQ(frame(i % 10, i / 10), expected(i % 10, i / 10)) << i;
    }
}

// A linear gradient 20 pixels across, red then blue, over a 60-pixel strip: beyond its end
// it pads, reflects or repeats as its spread says.
TEST(ShapeRender, GradientSpreadsPadReflectAndRepeat) {
    const Rgba red{255, 0, 0, 255}, blue{0, 0, 255, 255};
    const struct {
        uint8_t spread;
        const char* shown; // at x = 5, 15, ..., 45
    } cases[] = {{FillStyleRecord::kPad, "RBBBB"},
                 {FillStyleRecord::kReflect, "RBBRR"},
                 {FillStyleRecord::kRepeat, "RBRBR"}};
    for (const auto& c : cases) {
        FillStyleRecord fill = FillStyleRecord::Linear(
            FillMatrix(800, 0, 0, 800, 200, 0), {{0, red}, {127, red}, {128, blue}, {255, blue}});
        fill.spread = c.spread;
        ShapeWriter shape(3);
        shape.FillStyles({fill}).Change(StyleChange().Fill0(1)).Rectangle(0, 0, 1200, 20);
        const auto frame = Draw(shape, {0, 1200, 0, 20}, 60, 1);
        std::string shown;
        for (int x = 5; x < 50; x += 10)
            shown += (*frame)(x, 0) == Argb(0xFFFF0000)   ? 'R'
                     : (*frame)(x, 0) == Argb(0xFF0000FF) ? 'B'
                                                          : '?';
        EXPECT_EQ(shown, c.shown) << int(c.spread);
    }
}
