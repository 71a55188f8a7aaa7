// Shapes drawn through the timeline into a canvas: solid fills, strokes, gradients and
// bitmap fills, and the two culling steps.
#include "ShapeTestSupport.h"

#include "raster/ZBitmapStencil.h"
#include "raster/ZGradientStencils.h"
#include "support/BitmapWriter.h"
#include "swf/FShape.h"

#include <gtest/gtest.h>

using namespace swftest;
using shapetest::Bgra;
using shapetest::Place;
using shapetest::Rendered;
using shapetest::Transform;

namespace {

const Bgra kClear = {0, 0, 0, 0};

std::vector<uint8_t> OneShape(const ShapeWriter& shape, RectRecord bounds, int width, int height,
                              const MatrixRecord* placement = nullptr,
                              const std::vector<uint8_t>& before = {}, uint16_t beforeCode = 0) {
    SwfWriter movie(uint32_t(width), uint32_t(height), 12);
    if (beforeCode) movie.Tag(beforeCode, before);
    movie.Tag(ShapeWriter::TagCode(3), shape.TagBody(1, bounds))
        .Tag(shapetest::kPlaceObject2, Place(1, 1, placement))
        .ShowFrame()
        .End();
    return movie.Finish();
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

TEST(ShapeRender, LinearGradientPixelsAreRampEntries) {
    // A 256-pixel shape centred on its origin with the gradient square mapped onto it,
    // placed at x = 128: device column x samples ramp entry 4x.
    const std::vector<GradientStop> stops = {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 255}}};
    MatrixRecord fit;
    fit.hasScale = true;
    fit.scaleX = fit.scaleY = 256 * 20 * 65536 / 32768;
    ShapeWriter shape(3);
    shape.FillStyles({FillStyleRecord::Linear(fit, stops)})
        .Change(StyleChange().Fill0(1))
        .Rectangle(-2560, -40, 2560, 40);
    const MatrixRecord place = Transform(1.0, 128, 2);
    Rendered frame(OneShape(shape, {-2560, 2560, -40, 40}, 256, 4, &place), 256, 4);

    ZLinearGradientStencil reference;
    for (const GradientStop& s : stops) {
        ZGradientStop stop;
        stop.position = s.ratio / 255.0f;
        const uint8_t bgra[4] = {s.color.b, s.color.g, s.color.r, s.color.a};
        std::memcpy(stop.color, bgra, 4);
        reference.AddStop(stop);
    }
    reference.BuildRamp();
    for (int x : {0, 1, 64, 100, 128, 200, 255}) {
        const uint8_t* entry = reference.RampEntry(4 * x);
        EXPECT_EQ(frame.Pixel(x, 2), (Bgra{entry[0], entry[1], entry[2], entry[3]})) << x;
    }
}

TEST(ShapeRender, PatternMatrixScalesByPaintSize) {
    UT::FillStyle gradient;
    gradient.paint = Held<ZStencil>::Adopt(new ZLinearGradientStencil);
    const Matrix4 g = UT::FShape::PatternMatrix(gradient, {0, 0, 100, 50});
    EXPECT_FLOAT_EQ(g.m[0][0], 327.68f);
    EXPECT_FLOAT_EQ(g.m[1][1], 655.36f);

    Held<PixelBuffer> image = Held<PixelBuffer>::Adopt(PixelBuffer::Create(64, 8, 4, 1));
    auto* bitmap = new ZBitmapStencil;
    bitmap->SetImage(image.Get(), 10);
    UT::FillStyle fill;
    fill.paint = Held<ZStencil>::Adopt(bitmap);
    fill.patternMatrix.m[3][0] = 10;
    const Matrix4 b = UT::FShape::PatternMatrix(fill, {4, 0, 36, 8});
    EXPECT_FLOAT_EQ(b.m[0][0], 2.0f);
    EXPECT_FLOAT_EQ(b.m[1][1], 1.0f);
    EXPECT_FLOAT_EQ(b.m[3][0], (10 - 4 * 2.0f) / 32);
    EXPECT_FALSE(b.identity);
}

// A 4 x 3 DefineBitsLossless2 image with distinct texels, filled 1 texel per pixel over a
// shape that covers it exactly: nearest sampling returns every texel as stored.
TEST(ShapeRender, LosslessBitmapTexelsThroughNearestSampling) {
    const int w = 4, h = 3;
    std::vector<uint8_t> argb;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            argb.insert(argb.end(), {255, uint8_t(40 * x), uint8_t(60 * y), uint8_t(10 + x + y)});
    ShapeWriter shape(3);
    shape.FillStyles({FillStyleRecord::Bitmap(7, Transform(20.0, 0, 0))})
        .Change(StyleChange().Fill0(1))
        .Rectangle(0, 0, w * 20, h * 20);
    const auto bytes = OneShape(shape, {0, w * 20, 0, h * 20}, 6, 5, nullptr,
                                DefineBitsLosslessBody(7, 5, w, h, argb), kDefineBitsLossless2);
    Rendered frame(bytes, 6, 5);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(frame.Pixel(x, y),
                      (Bgra{uint8_t(10 + x + y), uint8_t(60 * y), uint8_t(40 * x), 255}))
                << x << "," << y;
    EXPECT_EQ(frame.Pixel(4, 0), kClear);
    EXPECT_EQ(frame.Pixel(0, 3), kClear);
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
