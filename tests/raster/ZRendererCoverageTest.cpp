#include "RasterFixtures.h"
#include "raster/ZColorStencil.h"

#include <gtest/gtest.h>

namespace {

using Values = std::vector<uint32_t>;

// Coverage as the mask receives it: opaque paint rendered into an empty mask stores the
// coverage itself (255, or 32768 at 16 bits, is full).
class CoverageMap {
public:
    CoverageMap(int width, int height, int depth) : mask(width, height, 1, depth) {
        mask.AttachAsMask(renderer);
        renderer.SetMaskRender(true);
    }
    void Fill(const ZPath& path, int rule, const Matrix4* transform = nullptr) {
        renderer.FillPath(path, transform, &white, rule);
    }
    ZRenderer renderer;
    Canvas mask;
    ZColorStencil white{255, 255, 255, 255};
};

const int kRules[] = {ZRenderer::kEvenOdd, ZRenderer::kNonZero};

} // namespace

TEST(ZRendererCoverage, SquareOnPixelEdgesIsFullInsideAndEmptyOutside) {
    for (int depth : {1, 2})
        for (int rule : kRules) {
            CoverageMap map(8, 8, depth);
            map.Fill(RectPath(2, 2, 6, 6), rule);
            const uint32_t full = depth == 1 ? 255 : 32768;
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x) {
                    const bool inside = x >= 2 && x <= 5 && y >= 2 && y <= 5;
                    EXPECT_EQ(map.mask.Get(x, y), inside ? full : 0)
                        << "depth " << depth << " rule " << rule << " at " << x << "," << y;
                }
            EXPECT_TRUE(map.mask.GuardsIntact());
        }
}

TEST(ZRendererCoverage, HalfPixelWideRectangleGivesExactPartialCoverage) {
    // Clockwise: T = trunc(256 * 1016 / 2040) - 256 = -129, so non-zero gives 129 for
    // either orientation; the even-odd fold of -129 is 128, of +129 it is 129.
    struct Case {
        int depth, rule;
        bool reversed;
        uint32_t expected;
    } cases[] = {{1, ZRenderer::kNonZero, false, 129},   {1, ZRenderer::kNonZero, true, 129},
                 {1, ZRenderer::kEvenOdd, false, 128},   {1, ZRenderer::kEvenOdd, true, 129},
                 {2, ZRenderer::kNonZero, false, 16448}, {2, ZRenderer::kNonZero, true, 16448},
                 {2, ZRenderer::kEvenOdd, false, 16448}, {2, ZRenderer::kEvenOdd, true, 16448}};
    for (const Case& c : cases) {
        ZPath path;
        if (c.reversed) {
            path.MoveTo(2.0f, 0);
            path.LineTo(2.0f, 4);
            path.LineTo(2.5f, 4);
            path.LineTo(2.5f, 0);
            path.Close();
        } else {
            path = RectPath(2.0f, 0, 2.5f, 4);
        }
        CoverageMap map(6, 4, c.depth);
        map.Fill(path, c.rule);
        for (int y = 0; y < 4; ++y)
            EXPECT_EQ(map.mask.Row(y), (Values{0, 0, c.expected, 0, 0, 0}))
                << "depth " << c.depth << " rule " << c.rule << " reversed " << c.reversed;
    }
}

TEST(ZRendererCoverage, OverlapIsFullUnderNonZeroAndEmptyUnderEvenOdd) {
    ZPath path = RectPath(0, 0, 4, 1);
    AddRect(path, 2, 0, 6, 1);
    for (int depth : {1, 2}) {
        const uint32_t f = depth == 1 ? 255 : 32768;
        CoverageMap nonZero(8, 1, depth);
        nonZero.Fill(path, ZRenderer::kNonZero);
        EXPECT_EQ(nonZero.mask.Row(0), (Values{f, f, f, f, f, f, 0, 0}));
        CoverageMap evenOdd(8, 1, depth);
        evenOdd.Fill(path, ZRenderer::kEvenOdd);
        EXPECT_EQ(evenOdd.mask.Row(0), (Values{f, f, 0, 0, f, f, 0, 0}));
    }
}

TEST(ZRendererCoverage, ShapeInsideOnePixelStillPaintsIt) {
    // Crossings at sub-pixels 204, 188, 173, 158, 143 (down) and 51, 67, 82, 98, 113 (up):
    // T = trunc(256 * 409 / 2040) + trunc(256 * -864 / 2040) = 51 - 108 = -57.
    ZPath tri;
    tri.MoveTo(0.2f, 0.2f);
    tri.LineTo(0.8f, 0.2f);
    tri.LineTo(0.5f, 0.8f);
    tri.Close();
    CoverageMap nonZero(2, 2, 1);
    nonZero.Fill(tri, ZRenderer::kNonZero);
    EXPECT_EQ(nonZero.mask.Row(0), (Values{57, 0}));
    EXPECT_EQ(nonZero.mask.Row(1), (Values{0, 0}));
    CoverageMap evenOdd(2, 2, 1);
    evenOdd.Fill(tri, ZRenderer::kEvenOdd);
    EXPECT_EQ(evenOdd.mask.Get(0, 0), 56u); // 255 - (-57 & 0xFF)
    CoverageMap deep(2, 2, 2);
    deep.Fill(tri, ZRenderer::kNonZero);
    EXPECT_EQ(deep.mask.Get(0, 0), 7308u); // |-14617| * 32768 / 65535
}

TEST(ZRendererCoverage, RepeatedEdgesInOnePixelAddUpWithoutOverflow) {
    // Four open contours along one upward edge: crossings 51, 67, 82, 98, 113 each time,
    // T = trunc(256 * -3456 / 2040) = -433 in the pixel; no cell closes the span after it.
    ZPath edges;
    for (int i = 0; i < 4; ++i) {
        edges.MoveTo(0.5f, 0.8f);
        edges.LineTo(0.2f, 0.2f);
    }
    CoverageMap nonZero(2, 1, 1);
    nonZero.Fill(edges, ZRenderer::kNonZero);
    EXPECT_EQ(nonZero.mask.Row(0), (Values{255, 0}));
    CoverageMap evenOdd(2, 1, 1);
    evenOdd.Fill(edges, ZRenderer::kEvenOdd);
    EXPECT_EQ(evenOdd.mask.Row(0), (Values{79, 0}));
}

TEST(ZRendererCoverage, ClipsAtTargetEdgesWithoutWritingOutside) {
    for (int depth : {1, 2})
        for (int rule : kRules) {
            // Half a row: T = -128, folded to 127 under even-odd (-32768 to 16383 at 16 bits).
            const bool evenOdd = rule == ZRenderer::kEvenOdd;
            const uint32_t f = depth == 1 ? 255 : 32768;
            const uint32_t half = depth == 1 ? (evenOdd ? 127 : 128) : (evenOdd ? 16383 : 16384);
            CoverageMap map(8, 4, depth);
            // Rows 1.5..3 over the whole width and far beyond it on both sides.
            map.Fill(RectPath(-30.25f, 1.5f, 40.75f, 3), rule);
            // Beyond the top and bottom as well.
            CoverageMap tall(8, 4, depth);
            tall.Fill(RectPath(-3, -50, 11, 90), rule);
            EXPECT_EQ(map.mask.Row(0), Values(8, 0));
            EXPECT_EQ(map.mask.Row(1), Values(8, half));
            EXPECT_EQ(map.mask.Row(2), Values(8, f));
            EXPECT_EQ(map.mask.Row(3), Values(8, 0));
            for (int y = 0; y < 4; ++y) EXPECT_EQ(tall.mask.Row(y), Values(8, f));
            EXPECT_TRUE(map.mask.GuardsIntact());
            EXPECT_TRUE(tall.mask.GuardsIntact());
        }
    // A shape ending half way into the first or the last column keeps that coverage:
    // crossings left of the target sit at sub-pixel 0 of column 0 (T = 127 - 256), those
    // right of it at sub-pixel 255 of the last column (T = -trunc(256 * 1016 / 2040)).
    CoverageMap edges(4, 1, 1);
    edges.Fill(RectPath(-5, 0, 0.5f, 1), ZRenderer::kNonZero);
    edges.Fill(RectPath(3.5f, 0, 9, 1), ZRenderer::kNonZero);
    EXPECT_EQ(edges.mask.Row(0), (Values{129, 0, 0, 127}));
}

TEST(ZRendererCoverage, EdgesEnteringFromAboveMatchTheSameEdgesFullyInside) {
    // The walk over sub-scanlines above the target is skipped in one step; it must land
    // on the same crossings as walking them.  The same triangle five rows lower in a
    // taller target walks every sub-scanline.
    const auto triangle = [](float dy) {
        ZPath p;
        p.MoveTo(1.25f, -3.3125f + dy);
        p.LineTo(7.5f, 6.0f + dy);
        p.LineTo(0.5f, 4.25f + dy);
        p.Close();
        return p;
    };
    for (int depth : {1, 2}) {
        CoverageMap clipped(10, 8, depth), whole(10, 16, depth);
        clipped.Fill(triangle(0), ZRenderer::kNonZero);
        whole.Fill(triangle(5), ZRenderer::kNonZero);
        for (int y = 0; y < 8; ++y) EXPECT_EQ(clipped.mask.Row(y), whole.mask.Row(y + 5)) << y;
        EXPECT_NE(clipped.mask.Get(2, 0), 0u);
    }
}

TEST(ZRendererCoverage, TransformMapsPathToDevice) {
    Matrix4 m;
    m.Scale(2, 2, 1);
    m.Translate(1, 0, 0); // applied before the scale: device x = 2 * (x + 1)
    CoverageMap map(8, 2, 1);
    map.Fill(RectPath(0, 0, 1, 1), ZRenderer::kNonZero, &m);
    EXPECT_EQ(map.mask.Row(0), (Values{0, 0, 255, 255, 0, 0, 0, 0}));
    EXPECT_EQ(map.mask.Row(1), (Values{0, 0, 255, 255, 0, 0, 0, 0}));
}

TEST(ZRendererCoverage, HugeAndNaNCoordinatesStayInsideTheTarget) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (int depth : {1, 2}) {
        CoverageMap map(5, 5, depth);
        ZPath path;
        path.MoveTo(-1e30f, -1e30f);
        path.LineTo(1e30f, 3.5f);
        path.LineTo(nan, 2);
        path.LineTo(inf, -inf);
        path.LineTo(2, 1e38f);
        path.Close();
        path.QuadTo(nan, 4, 1e20f, -1e20f);
        map.Fill(path, ZRenderer::kNonZero);
        map.Fill(path, ZRenderer::kEvenOdd);
        EXPECT_TRUE(map.mask.GuardsIntact());
    }
}
