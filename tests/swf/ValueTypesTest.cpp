#include "base/ValueTypes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numbers>

namespace {

Matrix4 FromRows(const float (&rows)[4][4]) {
    Matrix4 matrix;
    std::memcpy(matrix.m, rows, sizeof rows);
    matrix.UpdateIdentityFlag();
    return matrix;
}

void ExpectNear(const Matrix4& actual, const float (&expected)[4][4], float tolerance) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual.m[i / 4][i % 4], expected[i / 4][i % 4], tolerance) << i;
}

} // namespace

TEST(Matrix4Test, ProductsApplyTheArgumentFirstAndInvert) {
    // Row vectors: a = b x a, each element the sum of four products.
    Matrix4 a = FromRows({{1, 2, 0, 0}, {3, 4, 0, 0}, {0, 0, 1, 0}, {5, 6, 0, 1}});
    a.Multiply(FromRows({{0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, 2, 0}, {1, 1, 0, 1}}));
    ExpectNear(a, {{3, 4, 0, 0}, {1, 2, 0, 0}, {0, 0, 2, 0}, {9, 12, 0, 1}}, 0);
    EXPECT_FLOAT_EQ(a.Transform({1, 1, 0}).y, 4 + 2 + 12);
    // Local translations and scales act before the matrix; an identity target takes the
    // argument whole; -0 is not the identity bit for bit.
    Matrix4 matrix = FromRows({{2, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 1, 0}, {100, 50, 0, 1}});
    matrix.Translate(1, 1, 0);
    matrix.Scale(3, 1, 1);
    EXPECT_FLOAT_EQ(matrix.Transform({1, 0, 0}).x, 102 + 6);
    Matrix4 identity;
    identity.Multiply(matrix);
    EXPECT_FALSE(identity.identity);
    EXPECT_FLOAT_EQ(identity.m[3][1], 52);
    Matrix4 negativeZero;
    negativeZero.m[2][1] = -0.0f;
    EXPECT_FALSE(negativeZero.ComputeIsIdentity());

    // Gauss-Jordan with partial pivoting: a plain matrix, one needing a swap, a tiny pivot.
    const float kIdentity[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    for (const Matrix4& m :
         {FromRows({{2, 1, 0, 0}, {1, 3, 0, 0}, {0, 0, 4, 0}, {5, -7, 1, 1}}),
          FromRows({{0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, 1, 0}, {3, 4, 0, 1}}),
          FromRows({{1e-8f, 1, 0, 0}, {1, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}})}) {
        Matrix4 product = m.Inverse();
        product.Multiply(m);
        ExpectNear(product, kIdentity, 1e-5f);
    }
    const Matrix4 singular = FromRows({{1, 2, 0, 0}, {2, 4, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}});
    EXPECT_TRUE(singular.Inverse().identity);
    ExpectNear(singular.Inverse(), kIdentity, 0);

    // Rotation about an axis: x turns toward y about z.
    const Point3 p = Matrix4::Rotation(float(std::numbers::pi / 2), 0, 0, 2).Transform({1, 0, 0});
    EXPECT_NEAR(p.x, 0, 1e-6);
    EXPECT_NEAR(p.y, 1, 1e-6);
    EXPECT_NEAR(Matrix4::Rotation(float(std::numbers::pi / 2), 1, 0, 0).Transform({0, 1, 0}).z, 1,
                1e-6);
    EXPECT_TRUE(Matrix4::Rotation(1, 0, 0, 0).identity);
}

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
