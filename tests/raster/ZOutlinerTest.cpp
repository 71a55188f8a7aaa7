// Stroke outlines: caps at the ends of an open line and joins at a right-angle corner.
#include "raster/ZOutliner.h"
#include "raster/ZPath.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

ZPath Polyline(std::initializer_list<std::pair<float, float>> points) {
    ZPath p;
    for (auto [x, y] : points) p.Count() ? p.LineTo(x, y) : p.MoveTo(x, y);
    return p;
}

bool Contains(const ZPath& path, float x, float y) {
    for (size_t i = 0; i < path.Count(); ++i)
        if (std::fabs(path[i].x - x) < 1e-5f && std::fabs(path[i].y - y) < 1e-5f) return true;
    return false;
}

// Whether points [first, last) of the outline lie on the circle of radius r about (cx, 0).
bool OnCircle(const ZPath& path, size_t first, size_t last, float cx, float r) {
    for (size_t i = first; i < last; ++i)
        if (std::fabs(std::hypot(path[i].x - cx, path[i].y) - r) > 1e-4f * r) return false;
    return true;
}

} // namespace

TEST(ZOutliner, CapsAndJoinsHaveTheirExactPoints) {
    const ZPath line = Polyline({{0, 0}, {10, 0}});
    const ZPath corner = Polyline({{0, 0}, {10, 0}, {10, 10}});
    ZOutliner o;
    // Butt caps: the segment as a rectangle (move, four lines, close).
    const ZPath& butt = o.Outline(line, 1);
    ASSERT_EQ(butt.Count(), 6u);
    const float buttPoints[5][2] = {{10, 1}, {10, -1}, {0, -1}, {0, 1}, {10, 1}};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_TRUE(butt[i].x == buttPoints[i][0] && butt[i].y == buttPoints[i][1]) << i;
    EXPECT_EQ(butt[0].kind, ZPath::kMove);
    EXPECT_EQ(butt[5].kind, ZPath::kClose);
    o.SetCapStyle(ZOutliner::kSquareCap); // reaches half the width beyond each end
    const ZPath& square = o.Outline(line, 1);
    EXPECT_EQ(square.Count(), 6u);
    for (auto [x, y] : {std::pair{11.0f, 1.0f}, {11, -1}, {-1, -1}, {-1, 1}})
        EXPECT_TRUE(Contains(square, x, y)) << x << "," << y;
    // Round caps: half circles of 12 segments, tips at theta = pi / 2.
    o.SetCapStyle(ZOutliner::kRoundCap);
    for (float halfWidth : {1.0f, 7.5f}) {
        const ZPath& round = o.Outline(Polyline({{0, 0}, {100, 0}}), halfWidth);
        ASSERT_EQ(round.Count(), 28u);
        EXPECT_TRUE(OnCircle(round, 0, 13, 100, halfWidth) &&
                    OnCircle(round, 13, 26, 0, halfWidth));
        EXPECT_TRUE(Contains(round, 100 + halfWidth, 0) && Contains(round, -halfWidth, 0));
    }
    o.SetCapStyle(ZOutliner::kButtCap);

    o.SetMiterLimit(1.5f); // ratio sqrt(2) fits: a sharp corner and an inner miter point
    const ZPath& sharp = o.Outline(corner, 1);
    EXPECT_EQ(sharp.Count(), 8u);
    EXPECT_TRUE(Contains(sharp, 11, -1) && Contains(sharp, 9, 1));
    o.SetMiterLimit(1); // ratio sqrt(2) > 1: bevel
    const ZPath& bevel = o.Outline(corner, 1);
    EXPECT_EQ(bevel.Count(), 9u);
    EXPECT_FALSE(Contains(bevel, 11, -1));
    EXPECT_TRUE(Contains(bevel, 10, -1) && Contains(bevel, 11, 0));
    o.SetJoinStyle(ZOutliner::kBevelJoin);
    o.SetMiterLimit(100);
    EXPECT_EQ(o.Outline(corner, 1).Count(), 9u);
    EXPECT_TRUE(Contains(o.Outline(corner, 1), 11, 0));
    // Round join, a quarter turn: ceil((pi / 2) / 0.28284271) = 6 segments, 7 points.
    o.SetJoinStyle(ZOutliner::kRoundJoin);
    const ZPath& round = o.Outline(corner, 1);
    EXPECT_EQ(round.Count(), 14u);
    int onArc = 0;
    for (size_t i = 0; i < round.Count(); ++i)
        if (std::fabs(std::hypot(round[i].x - 10, round[i].y) - 1) < 1e-5f && round[i].x >= 10 &&
            round[i].y <= 0)
            ++onArc;
    EXPECT_EQ(onArc, 7);
}
