#include "BoxCharacter.h"

#include "graphics/GraphicsContext.h"
#include "raster/ZSketcher.h"

#include <gtest/gtest.h>

namespace {

const Bgra kClear = {0, 0, 0, 0};

// A paint that cannot take a colour transform itself, as bitmaps cannot.
class PixelPaint : public ZColorStencil {
public:
    PixelPaint() : ZColorStencil(10, 20, 30, 255) {}
    bool IsVectorPaint() const override { return false; }
    bool IsSolidColor() const override { return false; }
};

ColorTransform HalfRed() {
    ColorTransform c;
    c.multRed = 0.5f;
    c.identity = false;
    return c;
}

} // namespace

TEST(GraphicsContext, SolidColoursRound) {
    Canvas canvas(4, 2);
    canvas.context.SetFillColor({0.5f, 0.2f, 2.0f, 1});
    canvas.context.Rect({0, 0, 4, 2});
    EXPECT_EQ(canvas.Pixel(3, 1), (Bgra{255, 51, 128, 255}));
}

TEST(GraphicsContext, InsideAnOpenPathOnlyThePaintStackMoves) {
    Canvas canvas(4, 4);
    GraphicsContext& c = canvas.context;
    // The paint stack still pushes, loads and pops, so a fill can be placed once its path
    // is known; the model stack and the paint stack's other operations do not.
    Matrix4 placed;
    placed.Translate(3, 0, 0);
    c.BeginPath(1);
    c.SetTransformMode(2);
    c.PushTransform();
    c.LoadTransform(placed);
    c.Translate({1, 1, 0});
    EXPECT_EQ(c.GetTransform(2).m[3][0], 3.0f);
    EXPECT_EQ(c.GetTransform(2).m[3][1], 0.0f);
    c.PopTransform();
    EXPECT_TRUE(c.GetTransform(2).identity);
    c.SetTransformMode(0);
    c.LoadTransform(placed);
    EXPECT_TRUE(c.GetTransform(0).identity);
    c.EndPath();
}

TEST(GraphicsContext, OpenFiguresAreStrokedButNotFilled) {
    Canvas canvas(10, 10);
    GraphicsContext& c = canvas.context;
    c.SetFillColor({1, 0, 0, 1});
    c.SetStrokeColor({0, 0, 1, 1});
    c.SetLineWidth(2);
    c.BeginPath(1);
    c.MoveTo({0, 5, 0});
    c.LineTo({10, 5, 0});
    c.LineTo({10, 9, 0});
    c.EndPath();
    EXPECT_EQ(canvas.Pixel(2, 4), (Bgra{255, 0, 0, 255})); // the stroke covers rows 4 and 5
    EXPECT_EQ(canvas.Pixel(2, 5), (Bgra{255, 0, 0, 255}));
    EXPECT_EQ(canvas.Pixel(2, 7), kClear); // no fill inside
    EXPECT_EQ(canvas.Pixel(2, 2), kClear);
}

TEST(GraphicsContext, PaintsMeetColourTransforms) {
    GraphicsContext c;
    c.Reset();
    Held<ZStencil> pixels = Held<ZStencil>::Adopt(new PixelPaint());
    c.SetFillPaint(pixels.Get());
    EXPECT_FALSE(c.FillColorTable()); // identity: nothing to do
    EXPECT_EQ(c.FillPaint(), pixels.Get());

    c.PushColorTransform();
    c.MultColorTransform(HalfRed());
    c.SetFillPaint(pixels.Get());
    EXPECT_TRUE(c.FillColorTable());
    EXPECT_EQ(c.FillPaint(), pixels.Get());

    // The renderer's channel tables carry the transform when such a paint is drawn.
    Canvas canvas(2, 2);
    canvas.context.PushColorTransform();
    canvas.context.MultColorTransform(HalfRed());
    canvas.context.SetFillPaint(pixels.Get());
    canvas.context.Rect({0, 0, 2, 2});
    EXPECT_EQ(canvas.context.Renderer().Table8(ZRenderer::kRed)[255], 127);
    EXPECT_EQ(canvas.context.Renderer().Table8(ZRenderer::kGreen)[255], 255);
    EXPECT_EQ(canvas.Pixel(0, 0)[1], 20); // green passes unchanged

    // A vector paint takes the transform into a copy of itself.
    Held<ZStencil> red = Held<ZStencil>::Adopt(new ZColorStencil(0, 0, 200, 255));
    c.SetFillPaint(red.Get());
    EXPECT_FALSE(c.FillColorTable());
    ASSERT_NE(c.FillPaint(), red.Get());
    EXPECT_EQ(static_cast<ZColorStencil*>(red.Get())->Color()[2], 200);
    EXPECT_EQ(static_cast<ZColorStencil*>(c.FillPaint())->Color()[2], 100);
}
