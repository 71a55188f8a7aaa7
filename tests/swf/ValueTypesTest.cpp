#include "base/ValueTypes.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

Matrix4 FromRows(const float (&rows)[4][4]) {
    Matrix4 matrix;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix.m[r][c] = rows[r][c];
    matrix.UpdateIdentityFlag();
    return matrix;
}

void ExpectMatrixNear(const Matrix4& actual, const float (&expected)[4][4], float tolerance) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(actual.m[r][c], expected[r][c], tolerance) << "row " << r << " col " << c;
}

const float kIdentityRows[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

} // namespace

TEST(Matrix4Test, IdentityFlagFollowsTheBits) {
    Matrix4 matrix;
    EXPECT_TRUE(matrix.identity);
    matrix.m[2][1] = -0.0f; // equal to 0 but not bit for bit
    EXPECT_FALSE(matrix.ComputeIsIdentity());
    matrix.m[2][1] = 0.0f;
    EXPECT_TRUE(matrix.ComputeIsIdentity());

    // Neutral translations and scales leave the flag alone; others clear it.
    matrix.Translate(0, 0, 0);
    matrix.Scale(1, 1, 1);
    EXPECT_TRUE(matrix.identity);
    matrix.Scale(2, 1, 1);
    EXPECT_FALSE(matrix.identity);
    Matrix4 moved;
    moved.Translate(0, 0, 1);
    EXPECT_FALSE(moved.identity);
}

TEST(Matrix4Test, TransformUsesRowVectors) {
    const float rows[4][4] = {{2, 3, 0, 0}, {5, 7, 0, 0}, {0, 0, 1, 0}, {10, 20, 0, 1}};
    const Point3 p = FromRows(rows).Transform({1, 1, 0});
    EXPECT_FLOAT_EQ(p.x, 1 * 2 + 1 * 5 + 10);
    EXPECT_FLOAT_EQ(p.y, 1 * 3 + 1 * 7 + 20);
    EXPECT_FLOAT_EQ(p.z, 0);
}

TEST(Matrix4Test, LocalTranslateAndScaleActBeforeTheMatrix) {
    // Scale by 2 then move by (100, 50): a local translation of (1, 1) moves the point
    // by (2, 2) in the result.
    Matrix4 matrix = FromRows({{2, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 1, 0}, {100, 50, 0, 1}});
    matrix.Translate(1, 1, 0);
    Point3 p = matrix.Transform({0, 0, 0});
    EXPECT_FLOAT_EQ(p.x, 102);
    EXPECT_FLOAT_EQ(p.y, 52);
    matrix.Scale(3, 1, 1);
    p = matrix.Transform({1, 0, 0});
    EXPECT_FLOAT_EQ(p.x, 102 + 6);
    EXPECT_FLOAT_EQ(matrix.m[3][0], 102); // rows 0 to 2 only
}

TEST(Matrix4Test, MultiplyAppliesTheArgumentFirst) {
    Matrix4 translate = FromRows({{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {10, 0, 0, 1}});
    Matrix4 scale = FromRows({{2, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}});

    Matrix4 result = scale;
    result.Multiply(translate); // translate first, then scale: (1 + 10) * 2
    EXPECT_FLOAT_EQ(result.Transform({1, 0, 0}).x, 22);
    EXPECT_FALSE(result.identity);

    result = translate;
    result.Multiply(scale); // scale first, then translate: 1 * 2 + 10
    EXPECT_FLOAT_EQ(result.Transform({1, 0, 0}).x, 12);

    // An identity argument changes nothing; an identity target becomes the argument.
    Matrix4 identity;
    result.Multiply(identity);
    EXPECT_FLOAT_EQ(result.Transform({1, 0, 0}).x, 12);
    identity.Multiply(scale);
    EXPECT_FALSE(identity.identity);
    ExpectMatrixNear(identity, {{2, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}, 0);

    // A full product, each element the sum of four products.
    Matrix4 a = FromRows({{1, 2, 0, 0}, {3, 4, 0, 0}, {0, 0, 1, 0}, {5, 6, 0, 1}});
    Matrix4 b = FromRows({{0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, 2, 0}, {1, 1, 0, 1}});
    a.Multiply(b); // a = b x a
    ExpectMatrixNear(a, {{3, 4, 0, 0}, {1, 2, 0, 0}, {0, 0, 2, 0}, {9, 12, 0, 1}}, 0);
}

TEST(Matrix4Test, InverseByGaussJordan) {
    const float rows[4][4] = {{2, 1, 0, 0}, {1, 3, 0, 0}, {0, 0, 4, 0}, {5, -7, 1, 1}};
    const Matrix4 matrix = FromRows(rows);
    Matrix4 product = matrix.Inverse();
    EXPECT_FALSE(product.identity);
    product.Multiply(matrix);
    ExpectMatrixNear(product, kIdentityRows, 1e-5f);

    // Row 0 starts with a zero: only a row swap finds a pivot.
    const Matrix4 swapped = FromRows({{0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, 1, 0}, {3, 4, 0, 1}});
    const Matrix4 inverse = swapped.Inverse();
    ExpectMatrixNear(inverse, {{0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, 1, 0}, {-4, -3, 0, 1}}, 1e-6f);

    // Partial pivoting takes the largest magnitude: with a tiny leading pivot a naive
    // elimination loses the answer in float.
    const Matrix4 tiny = FromRows({{1e-8f, 1, 0, 0}, {1, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}});
    Matrix4 check = tiny.Inverse();
    check.Multiply(tiny);
    ExpectMatrixNear(check, kIdentityRows, 1e-5f);
}

TEST(Matrix4Test, SingularAndIdentityInvertToIdentity) {
    const Matrix4 singular = FromRows({{1, 2, 0, 0}, {2, 4, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}});
    const Matrix4 inverse = singular.Inverse();
    EXPECT_TRUE(inverse.identity);
    ExpectMatrixNear(inverse, kIdentityRows, 0);

    Matrix4 zeroScale;
    zeroScale.Scale(0, 1, 1);
    EXPECT_TRUE(zeroScale.Inverse().identity);
    EXPECT_TRUE(Matrix4().Inverse().identity);
}

TEST(Matrix4Test, RotationAboutAnAxis) {
    const Matrix4 quarter =
        Matrix4::Rotation(float(std::numbers::pi / 2), 0, 0, 2); // axis normalised
    EXPECT_FALSE(quarter.identity);
    const Point3 p = quarter.Transform({1, 0, 0});
    EXPECT_NEAR(p.x, 0, 1e-6);
    EXPECT_NEAR(p.y, 1, 1e-6); // row 0 = (c, s, 0): x turns toward y
    EXPECT_NEAR(quarter.m[1][0], -1, 1e-6);

    const Matrix4 aboutX = Matrix4::Rotation(float(std::numbers::pi / 2), 1, 0, 0);
    EXPECT_NEAR(aboutX.Transform({0, 1, 0}).z, 1, 1e-6);

    EXPECT_TRUE(Matrix4::Rotation(0, 0, 0, 1).identity);
    EXPECT_TRUE(Matrix4::Rotation(1, 0, 0, 0).identity);
}

TEST(ColorTransformTest, ApplyAndConcatenateOrder) {
    ColorTransform outer;
    outer.multRed = 0.5f;
    outer.addRed = 0.25f;
    outer.UpdateIdentityFlag();
    ColorTransform inner;
    inner.multRed = 2.0f;
    inner.addRed = 0.1f;
    inner.addAlpha = 0.5f;
    inner.UpdateIdentityFlag();
    EXPECT_FALSE(inner.identity);

    const ColorRGBA color{0.4f, 0.2f, 0.3f, 0.8f};
    const ColorRGBA expected = outer.Apply(inner.Apply(color));
    ColorTransform combined = outer;
    combined.Concatenate(inner);
    const ColorRGBA actual = combined.Apply(color);
    EXPECT_FLOAT_EQ(actual.red, expected.red); // (0.4 * 2 + 0.1) * 0.5 + 0.25
    EXPECT_FLOAT_EQ(actual.red, 0.7f);
    EXPECT_FLOAT_EQ(actual.alpha, 1.3f); // unclamped
    EXPECT_FLOAT_EQ(combined.addRed, 0.25f + 0.1f * 0.5f);
    EXPECT_FLOAT_EQ(combined.multRed, 1.0f);
    EXPECT_FALSE(combined.identity);

    // An identity inner transform changes nothing, flag included.
    ColorTransform unchanged;
    unchanged.Concatenate(ColorTransform());
    EXPECT_TRUE(unchanged.identity);
    EXPECT_FLOAT_EQ(unchanged.Apply(color).green, 0.2f);
}
