#include "raster/ZOutliner.h"
#include "RasterFixtures.h"
#include "raster/ZColorStencil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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

// Non-zero coverage of an outline on a small 8-bit mask.
Canvas Rasterise(const ZPath& outline, int size) {
    Canvas mask(size, size, 1, 1);
    ZRenderer r;
    mask.AttachAsMask(r);
    r.SetMaskRender(true);
    ZColorStencil white(255, 255, 255, 255);
    r.FillPath(outline, nullptr, &white, ZRenderer::kNonZero);
    return mask;
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

TEST(ZOutliner, ClosedContoursJoinAtTheStartAndOpenOnesGetCaps) {
    ZOutliner o;
    o.SetMiterLimit(4);
    const ZPath closed = Polyline({{2, 2}, {12, 2}, {12, 12}, {2, 12}}, true);
    const ZPath& ring = o.Outline(closed, 1);
    // Two rings of four corners, joined by one line, closed.
    EXPECT_EQ(ring.Count(), 11u);
    for (auto [x, y] : {std::pair{1.0f, 1.0f}, {13, 1}, {13, 13}, {1, 13}, {3, 3}, {11, 11}})
        EXPECT_TRUE(Contains(ring, x, y)) << x << "," << y;
    Canvas band = Rasterise(ring, 14);
    EXPECT_EQ(band.Get(1, 1), 255u);
    EXPECT_EQ(band.Get(2, 7), 255u);
    EXPECT_EQ(band.Get(12, 12), 255u);
    EXPECT_EQ(band.Get(3, 3), 0u); // inside the ring
    EXPECT_EQ(band.Get(7, 7), 0u);
    EXPECT_EQ(band.Get(0, 0), 0u);

    // The same square without the close element: butt caps meet at the first corner and
    // leave its outer square uncovered.
    const ZPath open = Polyline({{2, 2}, {12, 2}, {12, 12}, {2, 12}, {2, 2}});
    Canvas capped = Rasterise(o.Outline(open, 1), 14);
    EXPECT_EQ(capped.Get(1, 1), 0u);
    EXPECT_EQ(capped.Get(2, 2), 255u);
    EXPECT_EQ(capped.Get(12, 12), 255u);
    EXPECT_EQ(capped.Get(7, 7), 0u);
}

TEST(ZOutliner, DashesStartAtThePhaseAndCarryOverContours) {
    const float lengths[] = {4, 2};
    ZDashPattern dashes{5, lengths, 2}; // 4 on, 2 off, phase 5: off with 1 unit left
    ZOutliner o;
    o.SetDashPattern(&dashes);
    const ZPath& out = o.Outline(Polyline({{0, 0}, {10, 0}}), 0.5f);
    const std::vector<P> expected = {{1, 0, M}, {5, 0, L}, {7, 0, M}, {10, 0, L}};
    std::vector<P> dashed = Elements(o.DashedCentreLine());
    ASSERT_EQ(dashed.size(), 5u);
    EXPECT_EQ(dashed.back().kind, ZPath::kEnd);
    dashed.pop_back();
    EXPECT_EQ(dashed, expected);
    EXPECT_EQ(out.Count(), 12u); // two rectangles

    // A corner inside a dash stays a vertex of it.  The first contour (length 6) ends
    // exactly where the off piece ends, so the second starts with a dash at its start.
    ZPath two = Polyline({{0, 0}, {3, 0}, {3, 3}});
    two.MoveTo(20, 0);
    two.LineTo(30, 0);
    ZDashPattern plain{0, lengths, 2};
    o.SetDashPattern(&plain);
    o.Outline(two, 0.5f);
    dashed = Elements(o.DashedCentreLine());
    const std::vector<P> carried = {{0, 0, M},  {3, 0, L},  {3, 1, L},  {20, 0, M},
                                    {24, 0, L}, {26, 0, M}, {30, 0, L}, {0, 0, ZPath::kEnd}};
    EXPECT_EQ(dashed, carried);
}

TEST(ZOutliner, ZeroLengthSegmentsAreDroppedAndDegenerateInputIsSafe) {
    ZOutliner o;
    const std::vector<P> clean = Elements(o.Outline(Polyline({{0, 0}, {5, 0}}), 1));
    const std::vector<P> noisy =
        Elements(o.Outline(Polyline({{0, 0}, {0, 0}, {5, 0}, {5, 0}, {5, 1e-7f}}), 1));
    EXPECT_EQ(noisy, clean);
    EXPECT_EQ(o.Outline(Polyline({{3, 3}, {3, 3}}), 1).Count(), 0u);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const ZPath wild = Polyline({{0, 0}, {nan, 1}, {1e30f, -1e30f}, {inf, 0}, {0, 0}, {-1, 0}});
    for (int join : {0, 1, 2})
        for (int cap : {0, 1, 2})
            for (float hw : {0.0f, -1.0f, 1.0f, nan, 1e30f}) {
                o.SetJoinStyle(join);
                o.SetCapStyle(cap);
                o.Outline(wild, hw);
                EXPECT_TRUE(Rasterise(o.Outline(wild, hw), 4).GuardsIntact());
            }
    const float odd[] = {0, -3, nan, 1e-30f, 2};
    for (float phase : {0.0f, -5.0f, 1e30f, nan, inf}) {
        ZDashPattern d{phase, odd, 5};
        o.SetDashPattern(&d);
        o.Outline(Polyline({{0, 0}, {100, 0}, {100, 1e6f}}), 1);
    }
    const float zeros[] = {0, 0};
    ZDashPattern none{0, zeros, 2};
    o.SetDashPattern(&none);
    EXPECT_EQ(o.Outline(Polyline({{0, 0}, {10, 0}}), 1).Count(), 0u);
}
