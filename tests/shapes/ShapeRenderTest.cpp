// Shapes drawn through the timeline into a canvas: solid fills, strokes, gradients and
// bitmap fills, and the two culling steps.
#include "ShapeTestSupport.h"

#include "raster/ZBitmapStencil.h"
#include "raster/ZGradientStencils.h"
#include "support/BitmapWriter.h"
#include "support/PlaceTags.h"
#include "swf/FShape.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

using namespace swftest;
using shapetest::Bgra;
using shapetest::Place;
using shapetest::Rendered;
using shapetest::Transform;

namespace {

const Bgra kClear = {0, 0, 0, 0};

std::vector<uint8_t> OneShape(const ShapeWriter& shape, RectRecord bounds, int width, int height,
                              const MatrixRecord* placement = nullptr,
                              const std::vector<uint8_t>& before = {}, uint16_t beforeCode = 0,
                              int version = 3) {
    SwfWriter movie(uint32_t(width), uint32_t(height), 12);
    if (beforeCode) movie.Tag(beforeCode, before);
    movie.Tag(ShapeWriter::TagCode(version), shape.TagBody(1, bounds))
        .Tag(shapetest::kPlaceObject2, Place(1, 1, placement))
        .ShowFrame()
        .End();
    return movie.Finish();
}

// A DefineShape4 at the origin of a width x height frame.
std::vector<uint8_t> Shape4(const ShapeWriter& shape, int width, int height,
                            const MatrixRecord* placement = nullptr) {
    return OneShape(shape, {0, width * 20, 0, height * 20}, width, height, placement, {}, 0, 4);
}

// Builds the ramp of the stops as the shape's stencil does.
void RampOf(ZGradientStencilBase& ramp, const std::vector<GradientStop>& stops) {
    for (const GradientStop& s : stops) {
        ZGradientStop stop;
        stop.position = s.ratio / 255.0f;
        const uint8_t bgra[4] = {s.color.b, s.color.g, s.color.r, s.color.a};
        std::memcpy(stop.color, bgra, 4);
        ramp.AddStop(stop);
    }
    ramp.BuildRamp();
}

Bgra Entry(const ZGradient& ramp, int k) {
    const uint8_t* e = ramp.RampEntry(k);
    return {e[0], e[1], e[2], e[3]};
}

// Gradient square scaled onto `pixels` pixels (the shapes below are centred on their
// origin, where the pattern matrix puts the square over the path's box).
MatrixRecord GradientOver(int pixels) {
    MatrixRecord fit;
    fit.hasScale = true;
    fit.scaleX = fit.scaleY = pixels * 20 * 65536 / 32768;
    return fit;
}

TEST(ShapeRender, SolidFillOnPixelEdgesIsExact) {
    ShapeWriter shape(3);
    shape.FillStyles({FillStyleRecord::Solid({255, 128, 0, 255})})
        .Change(StyleChange().Fill1(1))
        .Rectangle(40, 60, 120, 140); // pixels (2, 3) to (6, 7)
    Rendered frame(OneShape(shape, {40, 120, 60, 140}, 10, 10), 10, 10);
    ASSERT_TRUE(frame.loaded);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 3 && y < 7;
            EXPECT_EQ(frame.Pixel(x, y), (inside ? Bgra{0, 128, 255, 255} : kClear))
                << x << "," << y;
        }
}

TEST(ShapeRender, LaterSegmentsAndStrokesDrawOverFills) {
    // A red square, then after NewStyles a blue one overlapping its right half, with a
    // 2-pixel green stroke along the middle row.
    ShapeWriter shape(3);
    shape.FillStyles({FillStyleRecord::Solid({255, 0, 0, 255})})
        .LineStyles({{40, {0, 255, 0, 255}}})
        .Change(StyleChange().Fill0(1))
        .Rectangle(0, 0, 160, 160)
        .Change(StyleChange().Line(1).Fill0(0))
        .MoveTo(20, 80)
        .LineTo(140, 80)
        .Change(StyleChange().NewStyles({{FillStyleRecord::Solid({0, 0, 255, 255})}, {}}))
        .Change(StyleChange().Fill0(1))
        .Rectangle(80, 0, 160, 40);
    Rendered frame(OneShape(shape, {0, 160, 0, 160}, 8, 8), 8, 8);
    EXPECT_EQ(frame.Pixel(1, 1), (Bgra{0, 0, 255, 255}));
    EXPECT_EQ(frame.Pixel(5, 1), (Bgra{255, 0, 0, 255}));
    EXPECT_EQ(frame.Pixel(4, 3), (Bgra{0, 255, 0, 255}));
    EXPECT_EQ(frame.Pixel(4, 4), (Bgra{0, 255, 0, 255}));
    EXPECT_EQ(frame.Pixel(4, 5), (Bgra{0, 0, 255, 255}));
}

TEST(ShapeRender, StrokeJustOutsideTheViewportWithinHalfItsWidthIsDrawn) {
    // A 2-pixel line at y = -0.5: its path box lies above the frame, its ink does not.
    ShapeWriter shape(3);
    shape.LineStyles({{40, {255, 255, 255, 255}}})
        .Change(StyleChange().Line(1).Move(20, -10))
        .LineTo(140, -10);
    Rendered frame(OneShape(shape, {0, 160, -60, 160}, 8, 4), 8, 4);
    EXPECT_GT(frame.Pixel(4, 0)[3], 0);
    EXPECT_EQ(frame.Pixel(4, 1), kClear);
}

TEST(ShapeRender, ShapeOutsideTheFrameDrawsNothing) {
    ShapeWriter shape(3);
    shape.FillStyles({FillStyleRecord::Solid({255, 255, 255, 255})})
        .Change(StyleChange().Fill0(1))
        .Rectangle(0, 0, 80, 80);
    const MatrixRecord away = Transform(1.0, 8, 0); // starts exactly at the right edge
    Rendered frame(OneShape(shape, {0, 80, 0, 80}, 8, 4, &away), 8, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(frame.Pixel(x, y), kClear);
}

TEST(ShapeRender, Shape4CapsAndJoinsFollowTheLineStyle) {
    using L = LineStyleRecord;
    const Bgra ink{0, 0, 255, 255};
    struct Case {
        const char* what;
        L style;
        std::vector<std::array<int, 2>> points; // twips
        std::vector<std::array<int, 2>> inked, clear;
    };
    // 4-pixel lines: a bar from (6, 10) to (14, 10), a corner turning at (14, 4) and a
    // spike with its apex at (10.5, 10), half angle 14 degrees (a miter of 4.1 half widths,
    // its tip at y = 1.75; a bevel cuts it at y = 9.5).
    const std::vector<std::array<int, 2>> bar = {{120, 200}, {280, 200}};
    const std::vector<std::array<int, 2>> corner = {{80, 80}, {280, 80}, {280, 280}};
    const std::vector<std::array<int, 2>> spike = {{130, 520}, {210, 200}, {290, 520}};
    const Case cases[] = {
        {"no caps", {80, {}, L::kNoCap, L::kNoCap}, bar, {{6, 9}, {13, 10}}, {{5, 9}, {14, 10}}},
        {"square caps reach half the width",
         {80, {}, L::kSquareCap, L::kSquareCap},
         bar,
         {{4, 9}, {15, 10}},
         {{3, 9}, {16, 10}}},
        {"round start, square end",
         {80, {}, L::kRoundCap, L::kSquareCap},
         bar,
         {{5, 9}, {15, 10}},
         {{3, 8}, {16, 10}}},
        {"miter at 90 degrees",
         {80, {}, L::kNoCap, L::kNoCap, L::kMiterJoin, 0x0180},
         corner,
         {{15, 2}, {14, 2}},
         {{16, 2}, {15, 1}}},
        {"bevel at 90 degrees",
         {80, {}, L::kNoCap, L::kNoCap, L::kBevelJoin},
         corner,
         {{13, 2}, {15, 5}},
         {{15, 2}, {16, 2}}},
        {"miter limit below the corner's",
         {80, {}, L::kNoCap, L::kNoCap, L::kMiterJoin, 0x0100},
         corner,
         {{13, 2}},
         {{15, 2}}},
        {"miter limit 0 bevels",
         {80, {}, L::kNoCap, L::kNoCap, L::kMiterJoin, 0},
         corner,
         {{13, 2}},
         {{15, 2}}},
        {"acute miter within the limit",
         {80, {}, L::kNoCap, L::kNoCap, L::kMiterJoin, 0x0500},
         spike,
         {{10, 4}, {10, 8}},
         {{10, 0}}},
        {"acute miter beyond the limit",
         {80, {}, L::kNoCap, L::kNoCap, L::kMiterJoin, 0x0300},
         spike,
         {{10, 10}},
         {{10, 8}, {10, 4}}},
    };
    for (const Case& c : cases) {
        L style = c.style;
        style.color = {255, 0, 0, 255};
        ShapeWriter shape(4);
        shape.LineStyles({style}).Change(
            StyleChange().Line(1).Move(c.points[0][0], c.points[0][1]));
        for (size_t i = 1; i < c.points.size(); ++i) shape.LineTo(c.points[i][0], c.points[i][1]);
        Rendered frame(Shape4(shape, 20, 28), 20, 28);
        for (const auto& [x, y] : c.inked)
            EXPECT_EQ(frame.Pixel(x, y), ink) << c.what << " " << x << "," << y;
        for (const auto& [x, y] : c.clear)
            EXPECT_EQ(frame.Pixel(x, y), kClear) << c.what << " " << x << "," << y;
    }
}

TEST(ShapeRender, Shape4ClosedLinesJoinUnlessNoClose) {
    // A square outline from its top left corner with no caps: joined there it is a full
    // corner; with no-close the corner keeps the notch between the two unjoined ends.
    for (bool noClose : {false, true}) {
        LineStyleRecord style{80,
                              {0, 255, 0, 255},
                              LineStyleRecord::kNoCap,
                              LineStyleRecord::kNoCap,
                              LineStyleRecord::kMiterJoin};
        style.noClose = noClose;
        ShapeWriter shape(4);
        shape.LineStyles({style}).Change(StyleChange().Line(1)).Rectangle(80, 80, 240, 240);
        Rendered frame(Shape4(shape, 16, 16), 16, 16);
        EXPECT_EQ(frame.Pixel(2, 2), (noClose ? kClear : Bgra{0, 255, 0, 255})) << noClose;
        EXPECT_EQ(frame.Pixel(12, 2), (Bgra{0, 255, 0, 255}));
    }
}

TEST(ShapeRender, Shape4StrokePaintedWithAGradientFill) {
    // A 4-pixel line from x = -10 to 10, no caps, placed at (12, 4); its gradient is
    // scaled to 24 pixels around the origin, wider than the line: device column x
    // samples ramp entry 1024 x / 24 wherever the line has ink.
    const std::vector<GradientStop> stops = {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 255}}};
    LineStyleRecord style{80, {}, LineStyleRecord::kNoCap, LineStyleRecord::kNoCap};
    style.FilledWith(FillStyleRecord::Linear(GradientOver(24), stops));
    ShapeWriter shape(4);
    shape.LineStyles({style}).Change(StyleChange().Line(1).Move(-200, 0)).LineTo(200, 0);
    const MatrixRecord place = Transform(1.0, 12, 4);
    Rendered frame(OneShape(shape, {-200, 200, -40, 40}, 24, 8, &place, {}, 0, 4), 24, 8);
    ZLinearGradientStencil ramp;
    RampOf(ramp, stops);
    for (int x : {2, 12, 21}) EXPECT_EQ(frame.Pixel(x, 3), Entry(ramp, 1024 * x / 24)) << x;
    EXPECT_EQ(frame.Pixel(1, 3), kClear);
    EXPECT_EQ(frame.Pixel(12, 1), kClear);
}

TEST(ShapeRender, GradientSpreadFocalPointAndLinearRgbInterpolation) {
    const std::vector<GradientStop> stops = {{0, {0, 0, 0, 255}}, {255, {255, 255, 255, 255}}};
    // A 32-pixel-wide bar centred on its origin, placed at x = 16, with the gradient over
    // its middle 16 pixels: column x lies at t = (x - 8) / 16 along the ramp.
    struct Spread {
        uint8_t mode;
        int left, right; // ramp entries at x = 4 (t = -0.25) and x = 28 (t = 1.25)
    } spreads[] = {{FillStyleRecord::kPad, 0, 1023},
                   {FillStyleRecord::kReflect, 256, 768},
                   {FillStyleRecord::kRepeat, 768, 256}};
    ZLinearGradientStencil ramp;
    RampOf(ramp, stops);
    for (const Spread& spread : spreads) {
        FillStyleRecord fill = FillStyleRecord::Linear(GradientOver(16), stops);
        fill.spread = spread.mode;
        ShapeWriter shape(4);
        shape.FillStyles({fill}).Change(StyleChange().Fill0(1)).Rectangle(-640, -40, 640, 40);
        const MatrixRecord place = Transform(1.0, 16, 2);
        Rendered frame(OneShape(shape, {-640, 640, -40, 40}, 32, 4, &place, {}, 0, 4), 32, 4);
        EXPECT_EQ(frame.Pixel(4, 2), Entry(ramp, spread.left)) << int(spread.mode);
        EXPECT_EQ(frame.Pixel(28, 2), Entry(ramp, spread.right)) << int(spread.mode);
    }

    // A focal radial gradient over a 16-pixel square centred on its origin, placed at
    // (8, 8): the focus at half the radius towards +x is at device (12, 8).
    ShapeWriter focal(4);
    focal.FillStyles({FillStyleRecord::Focal(GradientOver(16), stops, 0x0080)})
        .Change(StyleChange().Fill0(1))
        .Rectangle(-160, -160, 160, 160);
    const MatrixRecord centre = Transform(1.0, 8, 8);
    Rendered focused(OneShape(focal, {-160, 160, -160, 160}, 16, 16, &centre, {}, 0, 4), 16, 16);
    EXPECT_EQ(focused.Pixel(12, 8), (Bgra{0, 0, 0, 255}));      // the focus: ramp start
    EXPECT_EQ(focused.Pixel(8, 8), Entry(ramp, 341));           // a third of the way to the rim
    EXPECT_EQ(focused.Pixel(14, 8), Entry(ramp, 512));          // halfway on the near side
    EXPECT_EQ(focused.Pixel(0, 8), (Bgra{255, 255, 255, 255})); // the rim

    // Black to white across 256 pixels: at the midpoint (entry 512, weight 127) normal
    // interpolation gives 127, linear RGB the sRGB value of half the light, 187.
    for (uint8_t interpolation : {FillStyleRecord::kNormalRGB, FillStyleRecord::kLinearRGB}) {
        FillStyleRecord fill = FillStyleRecord::Linear(GradientOver(256), stops);
        fill.interpolation = interpolation;
        ShapeWriter shape(3);
        shape.FillStyles({fill}).Change(StyleChange().Fill0(1)).Rectangle(-2560, -40, 2560, 40);
        const MatrixRecord place = Transform(1.0, 128, 2);
        Rendered frame(OneShape(shape, {-2560, 2560, -40, 40}, 256, 4, &place), 256, 4);
        const uint8_t mid = interpolation ? 187 : 127;
        EXPECT_EQ(frame.Pixel(128, 2), (Bgra{mid, mid, mid, 255})) << int(interpolation);
    }
}

TEST(ShapeRender, PlaceObject3PlacesExactlyLikePlaceObject2) {
    ShapeWriter shape(3);
    shape.FillStyles({FillStyleRecord::Solid({255, 128, 0, 200})})
        .Change(StyleChange().Fill0(1))
        .Rectangle(0, 0, 90, 70);
    Placement placement = PlaceCharacter(1, 1, 2, 1);
    placement.cxform = CxformRecord{.hasMult = true, .redMult = 128};
    const auto frameOf = [&](uint16_t code, const std::vector<uint8_t>& body) {
        SwfWriter movie(10, 8, 12);
        movie.Tag(ShapeWriter::TagCode(3), shape.TagBody(1, {0, 90, 0, 70}))
            .Tag(code, body)
            .ShowFrame()
            .End();
        return std::make_unique<Rendered>(movie.Finish(), 10, 8);
    };
    const auto expected = frameOf(kPlaceObject2, PlaceObject2(placement));
    EXPECT_EQ(expected->Pixel(3, 2), (Bgra{0, 128, 128, 200}));
    // Filters and blend modes are read and not drawn: normal, layer and multiply alike.
    Placement3 filtered{placement};
    filtered.filters = BlurAndShadowFilters();
    filtered.blendMode = 1;
    Placement3 layered{placement, "flash.display.MovieClip"};
    layered.blendMode = 2;
    layered.cacheAsBitmap = 1;
    layered.visible = 1;
    layered.background = 0x00FF00FF;
    layered.clipActions = std::vector<uint8_t>{0, 0, 0, 0, 0, 0};
    Placement3 multiplied{placement};
    multiplied.blendMode = 3;
    for (const Placement3& p3 : {filtered, layered, multiplied}) {
        const auto frame = frameOf(kPlaceObject3, PlaceObject3(p3));
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x)
                EXPECT_EQ(frame->Pixel(x, y), expected->Pixel(x, y)) << x << "," << y;
    }
}

MatrixRecord FillMatrix(int32_t a, int32_t b, int32_t c, int32_t d, int32_t tx, int32_t ty) {
    MatrixRecord m;
    m.hasScale = true;
    m.scaleX = a;
    m.scaleY = d;
    m.hasRotate = b != 0 || c != 0;
    m.rotateSkew0 = b;
    m.rotateSkew1 = c;
    m.translateX = tx;
    m.translateY = ty;
    return m;
}

// A black-to-white linear gradient whose square is squeezed to 10 pixels (400/65536 of a
// twip per gradient twip) and centred by its translation on a rectangle away from the
// shape's origin, at pixels (10, 0) to (20, 10).  Each case gives the ramp position of
// device pixel (x, y), in 1024ths, where the pixel's corner samples it.
TEST(ShapeRender, GradientFillsLandWhereTheirMatrixPutsThem) {
    struct Case {
        const char* name;
        MatrixRecord matrix;
        double (*position)(int x, int y);
    };
    const Case cases[] = {
        {"centred by translation", FillMatrix(400, 0, 0, 400, 300, 100),
         [](int x, int) { return (x - 10) * 102.4; }},
        {"turned by 90 degrees", FillMatrix(0, 400, -400, 0, 300, 100),
         [](int, int y) { return y * 102.4; }},
        {"skewed", FillMatrix(400, 0, 400, 400, 300, 100),
         [](int x, int y) { return (x - y - 10) * 102.4 + 512; }},
    };
    const std::vector<GradientStop> stops = {{0, {0, 0, 0, 255}}, {255, {255, 255, 255, 255}}};
    ZLinearGradientStencil ramp;
    ramp.AddStop({0.0f, 0.5f, 0.5f, {0, 0, 0, 255}});
    ramp.AddStop({1.0f, 0.5f, 0.5f, {255, 255, 255, 255}});
    ramp.BuildRamp();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShapeWriter shape(3);
        shape.FillStyles({FillStyleRecord::Linear(c.matrix, stops)})
            .Change(StyleChange().Fill0(1))
            .Rectangle(200, 0, 400, 200);
        Rendered frame(OneShape(shape, {200, 400, 0, 200}, 20, 10), 20, 10);
        for (int y = 1; y < 10; y += 2)
            for (int x = 11; x < 20; ++x) {
                const double position = c.position(x, y);
                if (position == std::floor(position)) continue; // a ramp step: either side
                const uint8_t* e = ramp.RampEntry(std::clamp(int(position), 0, 1023));
                EXPECT_EQ(frame.Pixel(x, y), (Bgra{e[0], e[1], e[2], e[3]})) << x << "," << y;
            }
    }
}

// The texel nearest to image position t, truncated toward zero as the sampler does, on
// a repeating 4-texel image.
int Nearest(double t) {
    return (int(std::trunc(t + 0.5)) % 4 + 4) % 4;
}

// A 4 x 4 image whose texel (u, v) encodes its place, filled over a 10-pixel square.
// Each case gives the image position of device pixel (x, y)'s corner, where it samples.
TEST(ShapeRender, BitmapFillsLandWhereTheirMatrixPutsThem) {
    struct Case {
        const char* name;
        MatrixRecord matrix;
        double (*u)(int x, int y);
        double (*v)(int x, int y);
        bool curvedTop = false; // the top edge bulges 4 pixels above the image's rows
    };
    const Case cases[] = {
        {"tiled 1:1 from the corner", FillMatrix(20 << 16, 0, 0, 20 << 16, 0, 0),
         [](int x, int) { return double(x); }, [](int, int y) { return double(y); }},
        {"at half size", FillMatrix(10 << 16, 0, 0, 10 << 16, 0, 0),
         [](int x, int) { return 2.0 * x; }, [](int, int y) { return 2.0 * y; }},
        {"mirrored", FillMatrix(-(20 << 16), 0, 0, 20 << 16, 80, 0),
         [](int x, int) { return 4.0 - x; }, [](int, int y) { return double(y); }},
        {"turned by 90 degrees", FillMatrix(0, 20 << 16, -(20 << 16), 0, 80, 0),
         [](int, int y) { return double(y); }, [](int x, int) { return 4.0 - x; }},
        {"tiled under a curved edge", FillMatrix(20 << 16, 0, 0, 20 << 16, 0, 0),
         [](int x, int) { return double(x); }, [](int, int y) { return double(y); }, true},
    };
    const auto texel = [](int u, int v) {
        return Bgra{uint8_t(10 + u + v), uint8_t(60 * v), uint8_t(40 * u), 255};
    };
    std::vector<uint8_t> argb;
    for (int v = 0; v < 4; ++v)
        for (int u = 0; u < 4; ++u) {
            const Bgra t = texel(u, v);
            argb.insert(argb.end(), {t[3], t[2], t[1], t[0]});
        }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
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
        const auto bytes = OneShape(shape, {0, 200, -80, 200}, 10, 10, nullptr,
                                    DefineBitsLosslessBody(7, 5, 4, 4, argb), kDefineBitsLossless2);
        Rendered frame(bytes, 10, 10);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                EXPECT_EQ(frame.Pixel(x, y), texel(Nearest(c.u(x, y)), Nearest(c.v(x, y))))
                    << x << "," << y;
    }
}

TEST(ShapeRender, MissingBitmapRendersOpaqueRed) {
    ShapeWriter shape(3);
    shape.FillStyles({FillStyleRecord::Bitmap(99, Transform(20.0, 0, 0))})
        .Change(StyleChange().Fill0(1))
        .Rectangle(0, 0, 40, 40);
    Rendered frame(OneShape(shape, {0, 40, 0, 40}, 3, 3), 3, 3);
    EXPECT_EQ(frame.Pixel(1, 1), (Bgra{0, 0, 255, 255}));
    EXPECT_EQ(frame.Pixel(2, 2), kClear);
}

} // namespace
