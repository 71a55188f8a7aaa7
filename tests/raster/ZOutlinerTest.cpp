#include "raster/ZOutliner.h"
#include "raster/ZPath.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct P {
    float x, y;
    uint8_t kind;
    bool operator==(const P& o) const { return x == o.x && y == o.y && kind == o.kind; }
};

std::ostream& operator<<(std::ostream& os, const P& p) {
    return os << "(" << p.x << "," << p.y << " k" << int(p.kind) << ")";
}

std::vector<P> Elements(const ZPath& path) {
    std::vector<P> out;
    for (size_t i = 0; i < path.Count(); ++i) out.push_back({path[i].x, path[i].y, path[i].kind});
    return out;
}

ZPath Polyline(std::initializer_list<std::pair<float, float>> points, bool close = false) {
    ZPath p;
    bool first = true;
    for (auto [x, y] : points) {
        if (first)
            p.MoveTo(x, y);
        else
            p.LineTo(x, y);
        first = false;
    }
    if (close) p.Close();
    return p;
}

bool Contains(const ZPath& path, float x, float y) {
    for (size_t i = 0; i < path.Count(); ++i)
        if (std::fabs(path[i].x - x) < 1e-5f && std::fabs(path[i].y - y) < 1e-5f) return true;
    return false;
}

constexpr uint8_t M = ZPath::kMove, L = ZPath::kLine, C = ZPath::kClose;

} // namespace

TEST(ZOutliner, ButtAndSquareCapsOutlineASegmentAsARectangle) {
    ZOutliner o;
    const ZPath line = Polyline({{0, 0}, {10, 0}});
    const std::vector<P> butt = {{10, 1, M}, {10, -1, L}, {0, -1, L},
                                 {0, 1, L},  {10, 1, L},  {0, 0, C}};
    std::vector<P> got = Elements(o.Outline(line, 1));
    got.back().x = got.back().y = 0; // a close carries the first point; not geometry
    EXPECT_EQ(got, butt);

    o.SetCapStyle(ZOutliner::kSquareCap);
    const ZPath& square = o.Outline(line, 1);
    for (auto [x, y] : {std::pair{11.0f, 1.0f}, {11, -1}, {-1, -1}, {-1, 1}})
        EXPECT_TRUE(Contains(square, x, y)) << x << "," << y;
    EXPECT_EQ(square.Count(), 6u);
}

TEST(ZOutliner, RoundCapsAreHalfCirclesOfTwelveSegments) {
    for (float halfWidth : {1.0f, 7.5f}) {
        ZOutliner o;
        o.SetCapStyle(ZOutliner::kRoundCap);
        const ZPath& out = o.Outline(Polyline({{0, 0}, {100, 0}}), halfWidth);
        // Move, 12 lines round the end cap, 13 points of the start cap, back, close.
        ASSERT_EQ(out.Count(), 28u);
        for (size_t i = 0; i < 13; ++i)
            EXPECT_NEAR(std::hypot(out[i].x - 100, out[i].y), halfWidth, 1e-4f * halfWidth);
        for (size_t i = 13; i < 26; ++i)
            EXPECT_NEAR(std::hypot(out[i].x, out[i].y), halfWidth, 1e-4f * halfWidth);
        EXPECT_TRUE(Contains(out, 100 + halfWidth, 0)); // the tips at theta = pi / 2
        EXPECT_TRUE(Contains(out, -halfWidth, 0));
    }
}

TEST(ZOutliner, RightAngleMiterDependsOnTheLimitAndRoundJoinsFollowTheArc) {
    const ZPath corner = Polyline({{0, 0}, {10, 0}, {10, 10}});
    ZOutliner o;
    o.SetMiterLimit(2); // ratio sqrt(2) fits: sharp corner
    const ZPath& sharp = o.Outline(corner, 1);
    EXPECT_TRUE(Contains(sharp, 11, -1));
    EXPECT_TRUE(Contains(sharp, 9, 1)); // inner miter point
    EXPECT_EQ(sharp.Count(), 8u);

    o.SetMiterLimit(1); // ratio sqrt(2) > 1: bevel
    const ZPath& bevel = o.Outline(corner, 1);
    EXPECT_FALSE(Contains(bevel, 11, -1));
    EXPECT_TRUE(Contains(bevel, 10, -1));
    EXPECT_TRUE(Contains(bevel, 11, 0));
    EXPECT_EQ(bevel.Count(), 9u);

    o.SetJoinStyle(ZOutliner::kBevelJoin);
    o.SetMiterLimit(100);
    EXPECT_EQ(Elements(o.Outline(corner, 1)), Elements(bevel));

    o.SetJoinStyle(ZOutliner::kRoundJoin);
    const ZPath& round = o.Outline(corner, 1);
    // A quarter turn: ceil((pi / 2) / 0.28284271) = 6 segments, 7 points on the arc.
    EXPECT_EQ(round.Count(), 14u);
    int onArc = 0;
    for (size_t i = 0; i < round.Count(); ++i)
        if (std::fabs(std::hypot(round[i].x - 10, round[i].y) - 1) < 1e-5f && round[i].x >= 10 &&
            round[i].y <= 0)
            ++onArc;
    EXPECT_EQ(onArc, 7);
}
