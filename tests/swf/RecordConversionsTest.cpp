#include "base/RecordConversions.h"

#include <gtest/gtest.h>

TEST(RecordConversions, RectDividesByTwentyAndReorders) {
    const RectF rect = ToRectF({.xmin = -20, .xmax = 11000, .ymin = 10, .ymax = 8000});
    EXPECT_FLOAT_EQ(rect.xmin, -1.0f);
    EXPECT_FLOAT_EQ(rect.ymin, 0.5f);
    EXPECT_FLOAT_EQ(rect.xmax, 550.0f);
    EXPECT_FLOAT_EQ(rect.ymax, 400.0f);
}

TEST(RecordConversions, PlacementAndFillMatrices) {
    const Matrix4 identity = ToPlacementMatrix(RawMatrix());
    EXPECT_TRUE(identity.identity);

    RawMatrix raw;
    raw.scaleX = 0x8000;
    raw.rotateSkew0 = 0x10000;
    raw.rotateSkew1 = -0x4000;
    raw.scaleY = 0x30000;
    raw.translateX = 30;
    raw.translateY = -50;
    const Matrix4 placed = ToPlacementMatrix(raw);
    EXPECT_FALSE(placed.identity);
    EXPECT_EQ(placed.m[0][0], 0.5f);
    EXPECT_EQ(placed.m[0][1], 1.0f);
    EXPECT_EQ(placed.m[1][0], -0.25f);
    EXPECT_EQ(placed.m[1][1], 3.0f);
    EXPECT_EQ(placed.m[3][0], 1.5f);
    EXPECT_EQ(placed.m[3][1], -2.5f);
    EXPECT_EQ(placed.m[2][2], 1.0f);
    EXPECT_EQ(placed.m[3][3], 1.0f);
    EXPECT_EQ(placed.m[0][2], 0.0f);
    EXPECT_EQ(placed.m[2][0], 0.0f);

    // Fill form: linear terms also divided by 20, translation as before.
    const Matrix4 fill = ToFillMatrix(raw);
    EXPECT_FLOAT_EQ(fill.m[0][0], 0.5f / 20);
    EXPECT_FLOAT_EQ(fill.m[1][1], 3.0f / 20);
    EXPECT_FLOAT_EQ(fill.m[1][0], -0.25f / 20);
    EXPECT_EQ(fill.m[3][0], 1.5f);

    // An identity record in fill form is not the identity matrix.
    EXPECT_FALSE(ToFillMatrix(RawMatrix()).identity);
    // A translation alone clears the flag.
    RawMatrix moved;
    moved.translateY = 1;
    EXPECT_FALSE(ToPlacementMatrix(moved).identity);
}

TEST(RecordConversions, CxformTermsOver256) {
    EXPECT_TRUE(ToColorTransform(RawCxform()).identity);

    RawCxform raw;
    raw.redAdd = 128;
    raw.blueAdd = 255;
    raw.greenMult = -128;
    const ColorTransform transform = ToColorTransform(raw);
    EXPECT_FALSE(transform.identity);
    EXPECT_EQ(transform.addRed, 0.5f);
    EXPECT_EQ(transform.addBlue, 0.99609375f); // not 1.0
    EXPECT_EQ(transform.multGreen, -0.5f);
    EXPECT_EQ(transform.multAlpha, 1.0f);
    EXPECT_EQ(transform.addAlpha, 0.0f);

    RawCxform alphaOnly;
    alphaOnly.alphaMult = 0;
    EXPECT_FALSE(ToColorTransform(alphaOnly).identity);
}
