// Records as read turned into pixels, 0..1 colour terms and matrices, worked out by hand;
// and the layouts of pixel buffers.
#include "base/RecordConversions.h"
#include "base/PixelBuffer.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(RecordConversions, TwipsAndFixedPointByHand) {
    const RectF r = ToRectF({.xmin = -20, .xmax = 11000, .ymin = 10, .ymax = 8000});
    EXPECT_EQ(std::tuple(r.xmin, r.ymin, r.xmax, r.ymax), std::tuple(-1.0f, 0.5f, 550.0f, 400.0f));
    // 16.16 terms; fills also map twips onto pixels, so their linear terms are a 20th.
    const RawMatrix raw = {0x8000, -0x10000, 0x4000, 0x20000, 30, -50};
    for (const auto& [m, k] : {std::pair{ToPlacementMatrix(raw), 1.0f}, {ToFillMatrix(raw), 20.0f}})
        EXPECT_EQ(std::tuple(m.m[0][0] * k, m.m[0][1] * k, m.m[1][0] * k, m.m[1][1] * k, m.m[3][0],
                             m.m[3][1], m.identity),
                  std::tuple(0.5f, -1.0f, 0.25f, 2.0f, 1.5f, -2.5f, false));
    EXPECT_TRUE(ToPlacementMatrix({}).identity);
    EXPECT_FALSE(ToFillMatrix({}).identity);
    // 8.8 terms: alpha x 0.5 - 1, red + 255/256, green x -0.5 + 1/256.
    const ColorTransform c = ToColorTransform({128, -256, 256, 255, -128, 1, 256, 0});
    EXPECT_EQ(std::tuple(c.multAlpha, c.addAlpha, c.multRed, c.addRed, c.multGreen, c.addGreen,
                         c.multBlue, c.addBlue, c.identity),
              std::tuple(0.5f, -1.0f, 1.0f, 0.99609375f, -0.5f, 0.00390625f, 1.0f, 0.0f, false));
    EXPECT_TRUE(ToColorTransform({}).identity);
}

TEST(PixelBuffer, LayoutsAndRefusals) {
    const struct {
        int32_t width, height, channels, bytes, pitch;
        bool made, hasPixels, alpha;
        int32_t bytesPerPixel, madePitch;
    } cases[] = {
        {5, 3, 4, 1, 0, true, true, true, 4, 20},   {5, 3, 1, 2, 0, true, true, false, 2, 10},
        {5, 3, 2, 1, 12, true, true, true, 2, 12},  {5, 3, 3, 2, 0, true, true, false, 6, 30},
        {0, 3, 4, 1, 0, true, false, true, 4, 0},   {5, 0, 4, 1, 0, true, false, true, 4, 20},
        {5, 3, 0, 1, 0, false, false, false, 0, 0}, {5, 3, 5, 1, 0, false, false, false, 0, 0},
        {5, 3, 4, 3, 0, false, false, false, 0, 0},
    };
    for (const auto& c : cases) {
        PixelBuffer* b = PixelBuffer::Create(c.width, c.height, c.channels, c.bytes, c.pitch);
        ASSERT_EQ(b != nullptr, c.made) << c.width << "x" << c.height << "x" << c.channels;
        if (!b) continue;
        EXPECT_EQ(std::tuple(b->pixels != nullptr, b->hasAlpha, b->bytesPerPixel, b->pitch,
                             b->ownsPixels, b->validBottom, b->validRight),
                  std::tuple(c.hasPixels, c.alpha, c.bytesPerPixel, c.madePitch, true, c.height,
                             c.width));
        b->Release();
    }
    uint8_t memory[8];
    PixelBuffer* wrapped = PixelBuffer::Wrap(memory, 2, 1, 4, 1);
    EXPECT_EQ(std::tuple(wrapped->pixels, wrapped->ownsPixels, wrapped->Row(0)),
              std::tuple(memory, false, memory));
    wrapped->Release();
}
