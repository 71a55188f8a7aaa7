// Colour transforms as the graphics context hands them to its paints.
#include "Canvas.h"
#include "raster/ZColorStencil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A paint that cannot take a colour transform itself, as bitmaps cannot.
class PixelPaint : public ZColorStencil {
public:
    PixelPaint() : ZColorStencil(10, 20, 30, 255) {}
    bool IsVectorPaint() const override { return false; }
    bool IsSolidColor() const override { return false; }
};

} // namespace

TEST(GraphicsContext, PaintsMeetColourTransforms) {
    ColorTransform halfRed;
    halfRed.multRed = 0.5f;
    halfRed.identity = false;
    Canvas canvas(2, 2);
    GraphicsContext& c = canvas.context;
    Held<ZStencil> pixels = Held<ZStencil>::Adopt(new PixelPaint());
    c.SetFillPaint(pixels.Get());
    EXPECT_FALSE(c.FillColorTable()); // identity: nothing to do

    // The renderer's channel tables carry the transform when such a paint is drawn.
    c.PushColorTransform();
    c.MultColorTransform(halfRed);
    c.SetFillPaint(pixels.Get());
    EXPECT_TRUE(c.FillColorTable());
    EXPECT_EQ(c.FillPaint(), pixels.Get());
    c.Rect({0, 0, 2, 2});
    EXPECT_EQ(c.Renderer().Table8(ZRenderer::kRed)[255], 127);
    EXPECT_EQ(c.Renderer().Table8(ZRenderer::kGreen)[255], 255);
    EXPECT_EQ(canvas.Pixel(0, 0), (Bgra{10, 20, 15, 255}));

    // A vector paint takes the transform into a copy of itself.
    Held<ZStencil> red = Held<ZStencil>::Adopt(new ZColorStencil(0, 0, 200, 255));
    c.SetFillPaint(red.Get());
    EXPECT_FALSE(c.FillColorTable());
    ASSERT_NE(c.FillPaint(), red.Get());
    EXPECT_EQ(static_cast<ZColorStencil*>(red.Get())->Color()[2], 200);
    EXPECT_EQ(static_cast<ZColorStencil*>(c.FillPaint())->Color()[2], 100);

    // The copy is kept: the same paint under the same transform gets it again, another
    // transform its own copy, and the first copy is still there after it.
    ZStencil* const halved = c.FillPaint();
    c.SetFillPaint(red.Get());
    EXPECT_EQ(c.FillPaint(), halved);
    ColorTransform quarterRed = halfRed;
    quarterRed.multRed = 0.25f;
    c.PopColorTransform();
    c.PushColorTransform();
    c.MultColorTransform(quarterRed);
    c.SetFillPaint(red.Get());
    EXPECT_EQ(static_cast<ZColorStencil*>(c.FillPaint())->Color()[2], 50);
    c.PopColorTransform();
    c.PushColorTransform();
    c.MultColorTransform(halfRed);
    c.SetFillPaint(red.Get());
    EXPECT_EQ(c.FillPaint(), halved);
    c.PopColorTransform();

    // Each fill places its paint by the inverse of the paint transform then in force,
    // whichever came before it.
    Matrix4 turned, moved;
    turned.m[0][1] = 0.5f;
    turned.UpdateIdentityFlag();
    moved.Translate(3, 1, 0);
    c.SetFillPaint(pixels.Get());
    for (const Matrix4* placed : {&turned, &moved, &moved, &turned}) {
        c.SetTransformMode(GraphicsContext::kPaint);
        c.LoadTransform(*placed);
        c.SetTransformMode(GraphicsContext::kModel);
        c.Rect({0, 0, 2, 2});
        const Matrix4 inverse = placed->Inverse();
        EXPECT_EQ(std::memcmp(pixels->PaintMatrix().m, inverse.m, sizeof inverse.m), 0);
    }
}

// Only request 1 asks for non-zero winding, which the context then reports as 1.
TEST(GraphicsContext, FillRuleRequests) {
    Canvas canvas(1, 1);
    GraphicsContext& c = canvas.context;
    EXPECT_EQ(c.GetInteger(GraphicsContext::kFillsNonZero), 1); // as reset
    const struct {
        int32_t request;
        ZFillRule rule;
    } cases[] = {{0, ZFillRule::kEvenOdd},
                 {1, ZFillRule::kNonZero},
                 {2, ZFillRule::kEvenOdd},
                 {-1, ZFillRule::kEvenOdd}};
    for (const auto& k : cases) {
        c.SetFillRule(k.request);
        EXPECT_EQ(c.FillRule(), k.rule) << k.request;
        EXPECT_EQ(c.GetInteger(GraphicsContext::kFillsNonZero),
                  k.rule == ZFillRule::kNonZero ? 1 : 0)
            << k.request;
    }
}

// A kept path stands for the calls that built it: the same pixels, the pen where they left
// it.  Paths that built nothing, or began with a curve at the pen an earlier path left, are
// not kept; a path is restored only into an open, empty one.
TEST(GraphicsContext, KeptPathsStandForTheirCalls) {
    Canvas canvas(8, 8);
    GraphicsContext& c = canvas.context;
    c.SetFillColor({1, 0.5f, 0, 1});
    const auto fan = [&] {
        c.LineTo({1, 1, 0});
        c.QuadTo({8, 0, 0}, {7, 7, 0});
        c.ClosePath();
    };
    GraphicsContext::BuiltPath built;
    c.BeginPath(GraphicsContext::kDrawnPath);
    ASSERT_TRUE(c.PathIsEmpty());
    fan();
    EXPECT_FALSE(c.PathIsEmpty());
    ASSERT_TRUE(c.KeepPath(built));
    c.EndPath();
    const std::vector<uint8_t> called(canvas.target->pixels,
                                      canvas.target->pixels + canvas.target->ByteCount());
    EXPECT_FALSE(canvas.AllClear());

    c.Clear({0, 0, 0, 0});
    c.BeginPath(GraphicsContext::kDrawnPath); // an open line, which fills nothing
    c.LineTo({5, 5, 0});
    c.LineTo({6, 2, 0});
    c.EndPath();
    c.BeginPath(GraphicsContext::kDrawnPath);
    ASSERT_TRUE(c.RestorePath(built));
    EXPECT_FALSE(c.RestorePath(built));
    // A curve from here starts at the kept pen, (1, 1) after the closing line.
    c.QuadTo({1, 1, 0}, {1, 1, 0});
    c.EndPath();
    EXPECT_EQ(std::vector<uint8_t>(canvas.target->pixels,
                                   canvas.target->pixels + canvas.target->ByteCount()),
              called);
    EXPECT_FALSE(c.RestorePath(built)); // no path open

    GraphicsContext::BuiltPath none;
    c.BeginPath(GraphicsContext::kDrawnPath);
    c.ClosePath();
    EXPECT_FALSE(c.KeepPath(none));
    c.EndPath();
    c.BeginPath(GraphicsContext::kDrawnPath);
    c.QuadTo({4, 0, 0}, {4, 4, 0});
    c.LineTo({0, 4, 0});
    EXPECT_FALSE(c.KeepPath(none));
    c.EndPath();
    EXPECT_EQ(none.points, 0);
}
