// Layers in the graphics context: composited with their blend mode where they were drawn,
// nested, through the clip below them, filtered at the host's zoom, reused frame to frame.
#include "Canvas.h"
#include "graphics/LayerStack.h"

#include <gtest/gtest.h>

namespace {

void FillRect(GraphicsContext& c, const RectF& r, const ColorRGBA& colour) {
    c.SetFillColor(colour);
    c.Rect(r);
}

LayerRequest Mode(ZBlendMode mode, const ZFilterList* filters = nullptr) {
    LayerRequest r;
    r.mode = mode;
    r.filters = filters;
    return r;
}

} // namespace

TEST(GraphicsLayers, BlendNestAndClipWhereDrawn) {
    Canvas canvas(4, 2);
    GraphicsContext& c = canvas.context;
    // Backdrop: orange (200, 100, 50) on the left half, translucent blue on the right.
    FillRect(c, {0, 0, 2, 2}, {200 / 255.0f, 100 / 255.0f, 50 / 255.0f, 1});
    FillRect(c, {2, 0, 4, 2}, {0, 0, 1, 128 / 255.0f});
    // A multiplied square over both halves of the top row.
    ASSERT_TRUE(c.PushLayer(Mode(ZBlendMode::kMultiply)));
    EXPECT_EQ(c.LayerDepth(), 1);
    FillRect(c, {1, 0, 3, 1}, {100 / 255.0f, 150 / 255.0f, 200 / 255.0f, 1});
    c.PopLayer();
    EXPECT_EQ(c.LayerDepth(), 0);
    EXPECT_EQ(canvas.Pixel(0, 0), (Bgra{50, 100, 200, 255}));
    EXPECT_EQ(canvas.Pixel(1, 0), (Bgra{39, 59, 78, 255}));
    EXPECT_EQ(canvas.Pixel(2, 0), (Bgra{200, 75, 50, 255}));
    EXPECT_EQ(canvas.Pixel(3, 0), (Bgra{255, 0, 0, 128}));
    // Erase and alpha inside a layer group cut only the group, which then goes over the
    // backdrop normally: green at alpha 128 over the translucent blue.
    ASSERT_TRUE(c.PushLayer(Mode(ZBlendMode::kLayer)));
    FillRect(c, {0, 1, 4, 2}, {0, 1, 0, 1});
    ASSERT_TRUE(c.PushLayer(Mode(ZBlendMode::kErase)));
    FillRect(c, {0, 1, 1, 2}, {0, 0, 0, 1});
    c.PopLayer();
    ASSERT_TRUE(c.PushLayer(Mode(ZBlendMode::kAlpha)));
    FillRect(c, {3, 1, 4, 2}, {0, 0, 0, 0.5f});
    c.PopLayer();
    c.PopLayer();
    EXPECT_EQ(canvas.Pixel(0, 1), (Bgra{50, 100, 200, 255}));
    EXPECT_EQ(canvas.Pixel(1, 1), (Bgra{0, 255, 0, 255}));
    EXPECT_EQ(canvas.Pixel(3, 1), (Bgra{85, 170, 0, 192}));
    // Straight onto the frame they change nothing.
    for (ZBlendMode mode : {ZBlendMode::kAlpha, ZBlendMode::kErase}) {
        ASSERT_TRUE(c.PushLayer(Mode(mode)));
        FillRect(c, {1, 1, 2, 2}, {0, 0, 0, 0.5f});
        c.PopLayer();
        EXPECT_EQ(canvas.Pixel(1, 1), (Bgra{0, 255, 0, 255}));
    }

    // A clip in force below masks the composited layer, not what is drawn inside it.
    Canvas clipped(4, 1);
    GraphicsContext& k = clipped.context;
    k.SetLayer(GraphicsContext::kMaskLayer);
    FillRect(k, {0, 0, 2, 1}, {1, 1, 1, 1});
    k.SetLayer(GraphicsContext::kTargetLayer);
    k.Enable(GraphicsContext::kMaskTest);
    ASSERT_TRUE(k.PushLayer(Mode(ZBlendMode::kScreen)));
    EXPECT_FALSE(k.GetEnabled() & GraphicsContext::kMaskTest);
    FillRect(k, {1, 0, 4, 1}, {1, 0, 0, 1});
    k.PopLayer();
    EXPECT_TRUE(k.GetEnabled() & GraphicsContext::kMaskTest);
    EXPECT_EQ(clipped.Pixel(1, 0), (Bgra{0, 0, 255, 255}));
    EXPECT_EQ(clipped.Pixel(2, 0), (Bgra{0, 0, 0, 0}));
    // No layers while the mask is drawn.
    k.SetLayer(GraphicsContext::kMaskLayer);
    EXPECT_FALSE(k.PushLayer(Mode(ZBlendMode::kMultiply)));
}

TEST(GraphicsLayers, FiltersFollowTheHostZoomAndStopWhenTooLarge) {
    ZFilter blur;
    blur.kind = ZFilter::kBlur;
    blur.blurX = blur.blurY = 1.5f;
    blur.passes = 1;
    const ZFilterList list{blur};
    // A pixel-sized square at zoom 2 becomes 2 x 2; the blur of 1.5 becomes 3 x 3.
    auto frame = [&](Canvas& canvas, float zoom, float square) {
        GraphicsContext& c = canvas.context;
        c.Reset();
        c.Clear({0, 0, 0, 0});
        c.PushTransform();
        c.Scale({zoom, zoom, 1});
        EXPECT_TRUE(c.PushLayer(Mode(ZBlendMode::kNormal, &list)));
        FillRect(c, {2, 2, 2 + square, 2 + square}, {1, 1, 1, 1});
        c.PopLayer();
        c.PopTransform();
    };
    Canvas canvas(8, 8);
    frame(canvas, 2, 1);
    // Rows 4 and 5 hold the square; the blurred alpha along row 4.
    std::vector<int> row;
    for (int x = 0; x < 8; ++x) row.push_back(canvas.Pixel(x, 4)[3]);
    EXPECT_EQ(row, (std::vector<int>{0, 0, 0, 57, 113, 113, 57, 0}));
    // Later frames draw the same through the same pooled buffers.
    frame(canvas, 2, 1);
    std::vector<int> again;
    for (int x = 0; x < 8; ++x) again.push_back(canvas.Pixel(x, 4)[3]);
    EXPECT_EQ(again, row);

    // At zoom 40 fifteen passes of 255 reach past 8,191 pixels: drawn unfiltered.
    blur.blurX = blur.blurY = 255;
    blur.passes = 15;
    const ZFilterList huge{blur};
    Canvas big(8, 8);
    GraphicsContext& c = big.context;
    c.PushTransform();
    c.Scale({40, 40, 1});
    ASSERT_TRUE(c.PushLayer(Mode(ZBlendMode::kNormal, &huge)));
    FillRect(c, {0.05f, 0.05f, 0.1f, 0.1f}, {1, 1, 1, 1});
    c.PopLayer();
    EXPECT_EQ(big.Pixel(1, 1), (Bgra{0, 0, 0, 0}));
    EXPECT_EQ(big.Pixel(2, 2), (Bgra{255, 255, 255, 255}));
    EXPECT_EQ(big.Pixel(3, 3), (Bgra{255, 255, 255, 255}));
    EXPECT_EQ(big.Pixel(4, 4), (Bgra{0, 0, 0, 0}));
}
