// Shapes drawn into a canvas: fills, strokes, caps and joins, bitmap fills, culling near the
// frame.  Gradients are checked against reference pictures of real movies.
#include "../swf/MovieTestSupport.h"
#include "support/BitmapWriter.h"
#include "support/PlaceTags.h"
#include "support/ShapeWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

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
    // A bitmap fill naming no bitmap draws opaque red; a focal gradient before
    // DefineShape4 is no style at all, so fill 1 is the bitmap.
    FillStyleRecord focal = FillStyleRecord::Linear({}, {{0, {}}, {255, {}}});
    focal.type = FillStyleRecord::kFocalRadial;
    ShapeWriter missing(3);
    missing.FillStyles({focal, FillStyleRecord::Bitmap(99, {})})
        .Change(StyleChange().Fill0(1))
        .Rectangle(0, 0, 40, 40);
    const auto red = Draw(missing, {0, 40, 0, 40}, 3, 3);
    EXPECT_EQ(std::pair((*red)(1, 1), (*red)(2, 2)), std::pair(Argb(0xFFFF0000), Bgra{}));
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
        shape.FillStyles({FillStyleRecord::Bitmap(7, c.matrix)}).Change(StyleChange().Fill0(1));
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

// The Flash 8 fields that change nothing drawn (a normal blend, a class name, bitmap
// caching, visibility on, clip actions) place the object exactly as PlaceObject2 does.
TEST(ShapeRender, PlaceObject3PlacesExactlyLikePlaceObject2) {
    ShapeWriter shape(3);
    shape.FillStyles({FillStyleRecord::Solid({255, 128, 0, 200})})
        .Change(StyleChange().Fill0(1))
        .Rectangle(0, 0, 90, 70);
    Placement placement = PlaceCharacter(1, 1, 2, 1);
    placement.cxform = CxformRecord{.hasMult = true, .redMult = 128};
    Placement3 filtered{placement}, layered{placement, "flash.display.MovieClip"};
    filtered.filters = std::vector<uint8_t>{0};
    filtered.blendMode = 1;
    layered.blendMode = 0;
    layered.cacheAsBitmap = layered.visible = 1;
    layered.clipActions = std::vector<uint8_t>(6, 0);
    const auto frameOf = [&](uint16_t code, const std::vector<uint8_t>& body) {
        return Drawn(
            MovieOf({{ShapeWriter::TagCode(3), shape.TagBody(1, {0, 90, 0, 70})}, {code, body}}, 10,
                    8),
            10, 8);
    };
    const Drawn expected = frameOf(kPlaceObject2, PlaceObject2(placement));
    EXPECT_EQ(expected(3, 2), Argb(0xC8808000));
    for (const Placement3& p3 : {filtered, layered}) {
        const Drawn frame = frameOf(kPlaceObject3, PlaceObject3(p3));
        for (int i = 0; i < 80; ++i)
            EXPECT_EQ(frame(i % 10, i / 10), expected(i % 10, i / 10)) << i;
    }
}
