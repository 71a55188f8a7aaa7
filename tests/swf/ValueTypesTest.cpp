#include "base/ValueTypes.h"

#include <gtest/gtest.h>

// Placement matrices are checked by the pixels of nested placements; two colour
// transforms in a row are rare in fixtures, so their order is pinned here.
TEST(ColorTransformTest, ConcatenationAppliesTheInnerFirst) {
    ColorTransform outer, inner, unchanged;
    outer.multRed = 0.5f;
    outer.addRed = 0.25f;
    inner.multRed = 2.0f;
    inner.addRed = 0.1f;
    inner.addAlpha = 0.5f;
    outer.UpdateIdentityFlag();
    inner.UpdateIdentityFlag();
    outer.Concatenate(inner);
    const ColorRGBA actual = outer.Apply({0.4f, 0.2f, 0.3f, 0.8f});
    EXPECT_FLOAT_EQ(actual.red, 0.7f);   // (0.4 * 2 + 0.1) * 0.5 + 0.25
    EXPECT_FLOAT_EQ(actual.alpha, 1.3f); // unclamped
    EXPECT_FALSE(outer.identity);
    unchanged.Concatenate(ColorTransform());
    EXPECT_TRUE(unchanged.identity);
}
