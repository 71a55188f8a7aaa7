// Coverage as the mask receives it: opaque paint rendered into an empty mask stores the
// coverage itself (255 is full), under either fill rule.  The plug-in draws 8-bit frames only.
#include "RasterFixtures.h"
#include "raster/ZColorStencil.h"
#include "raster/ZGradientStencils.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

constexpr uint32_t F = 255; // full coverage

// A closed polygon.
ZPath Polygon(std::initializer_list<std::pair<float, float>> points) {
    ZPath p;
    bool first = true;
    for (auto [x, y] : points) {
        if (first)
            p.MoveTo(x, y);
        else
            p.LineTo(x, y);
        first = false;
    }
    p.Close();
    return p;
}

ZPath Rects(std::initializer_list<std::array<float, 4>> rects) {
    ZPath p;
    for (const auto& r : rects) AddRect(p, r[0], r[1], r[2], r[3]);
    return p;
}

// `path` and, on row `row`, an open zigzag of 4,100 segments: so many crossings that the
// fill is summed from sorted cells rather than on the pixel grid.
ZPath WithZigzag(const ZPath& path, int width, int row) {
    ZPath p = path;
    p.MoveTo(0, float(row));
    for (int i = 1; i <= 4100; ++i) p.LineTo(float(i % (4 * width)) * 0.25f, float(row + (i & 1)));
    return p;
}

// The mask rows after filling `path` into a fresh width x height mask.
std::vector<Values> Cover(const ZPath& path, int width, int height, ZFillRule rule) {
    ZRenderer renderer;
    Canvas mask(width, height, 1);
    mask.AttachAsMask(renderer);
    renderer.SetMaskRender(true);
    ZColorStencil white(255, 255, 255, 255);
    renderer.FillPath(path, nullptr, &white, rule);
    EXPECT_TRUE(mask.GuardsIntact());
    std::vector<Values> rows;
    for (int y = 0; y < height; ++y) rows.push_back(mask.Row(y));
    return rows;
}

} // namespace

TEST(ZRendererCoverage, ExactCoverage) {
    const ZPath square = Rects({{1, 1, 3, 2}});
    // Clockwise: T = trunc(256 * 1016 / 2040) - 256 = -129, so non-zero gives 129 for
    // either orientation.
    const ZPath strip = Rects({{2, 0, 2.5f, 1}});
    const ZPath reversed = Polygon({{2, 0}, {2, 1}, {2.5f, 1}, {2.5f, 0}});
    const ZPath overlap = Rects({{0, 0, 4, 1}, {2, 0, 6, 1}});
    // Crossings at sub-pixels 204, 188, 173, 158, 143 (down) and 51, 67, 82, 98, 113 (up):
    // T = trunc(256 * 409 / 2040) + trunc(256 * -864 / 2040) = 51 - 108 = -57.
    const ZPath speck = Polygon({{0.2f, 0.2f}, {0.8f, 0.2f}, {0.5f, 0.8f}});
    // Rows 1.5..3 from far left to far right: half a row gives T = -128.
    const ZPath wide = Rects({{-30.25f, 1.5f, 40.75f, 3}});
    const ZPath tall = Rects({{-3, -50, 11, 90}});
    // Crossings left of the target sit at sub-pixel 0 of column 0 (T = 127 - 256), those
    // right of it at sub-pixel 255 of the last column (T = -trunc(256 * 1016 / 2040)).
    const ZPath edges = Rects({{-5, 0, 0.5f, 1}, {3.5f, 0, 9, 1}});
    // Four open contours along one upward edge: T = 4 * trunc(256 * -864 / 2040) = -433 in
    // one pixel, summed from neighbouring cells without overflowing.
    ZPath repeated;
    for (int i = 0; i < 4; ++i) {
        repeated.MoveTo(0.5f, 0.8f);
        repeated.LineTo(0.2f, 0.2f);
    }
    // Edges crossing one sub-scanline each, at their top ends: the upward one at sub-pixel
    // 64 (T = -trunc(256 * 191 / 2040) = -23), the downward one on the left border of the
    // third pixel (T = trunc(256 * 255 / 2040) - 32 = 0).
    const ZPath sliver = Polygon({{0.25f, 0}, {2, 0}, {1, 0.125f}});
    // Two downward edges crossing one sub-scanline each in the same pixel (right parts 127
    // and 102), the upward edge two (127 and 179): T = trunc(256 * 229 / 2040) -
    // trunc(256 * 306 / 2040) = -10, and no winding left for the pixels on the right.
    ZPath steps = Polygon({{0.5f, 0}, {0.6f, 0.125f}, {0.7f, 0.25f}, {0.1f, 0.25f}});
    AddRect(steps, 2, 0, 3, 1);
    // A vertex a hair above the target: its sub-scanline is floor(-1.00000008) = -2, and
    // the edge's slope from there decides where it crosses the rows below.
    const ZPath hair = Polygon({{0.5f, -0.12500001f}, {3.7f, 2.9f}, {0.2f, 2.6f}});
    struct Case {
        const char* what;
        const ZPath& path;
        int width;
        std::vector<Values> rows;
        ZFillRule rule = ZFillRule::kNonZero;
    } cases[] = {
        {"square", square, 4, {{0, 0, 0, 0}, {0, F, F, 0}, {0, 0, 0, 0}}},
        {"strip", strip, 4, {{0, 0, 129, 0}}},
        {"strip reversed", reversed, 4, {{0, 0, 129, 0}}},
        {"overlap", overlap, 8, {{F, F, F, F, F, F, 0, 0}}},
        // Even-odd folds the bits of T: 255 - (-129 and 0xFF) = 128 for the clockwise strip.
        {"strip, even-odd", strip, 4, {{0, 0, 128, 0}}, ZFillRule::kEvenOdd},
        {"overlap, even-odd", overlap, 8, {{F, F, 0, 0, F, F, 0, 0}}, ZFillRule::kEvenOdd},
        {"speck", speck, 2, {{57, 0}, {0, 0}}},
        {"wide", wide, 3, {{0, 0, 0}, {128, 128, 128}, {F, F, F}, {0, 0, 0}}},
        {"tall", tall, 3, {{F, F, F}, {F, F, F}}},
        {"edges", edges, 4, {{129, 0, 0, 127}}},
        {"repeated", repeated, 2, {{F, 0}}},
        {"sliver", sliver, 3, {{23, 32, 0}}},
        {"steps", steps, 3, {{10, 0, F}}},
        {"hair", hair, 4, {{136, 65, 0, 0}, {175, 247, 69, 0}, {123, 180, 198, 51}}},
    };
    for (const Case& c : cases) {
        const int height = int(c.rows.size());
        EXPECT_EQ(Cover(c.path, c.width, height, c.rule), c.rows) << c.what;
        std::vector<Values> cells =
            Cover(WithZigzag(c.path, c.width, height + 1), c.width, height + 2, c.rule);
        cells.resize(c.rows.size());
        EXPECT_EQ(cells, c.rows) << c.what << ", from sorted cells";
    }
}

// Outlines of many short segments, as flattened curves give, crossing one or two
// sub-scanlines each in every direction and at every slope: the grid takes their crossings
// without walking them, and must give what the sorted cells, which walk them, give.
TEST(ZRendererCoverage, ShortSegmentsCoverAsTheirWalks) {
    for (const int sides : {97, 180, 333}) {
        ZPath disc;
        for (int i = 0; i < sides; ++i) {
            const double turn = 6.283185307179586 * i / sides;
            const auto x = float(6.3 + 5.7 * std::cos(turn)), y = float(6.1 + 5.2 * std::sin(turn));
            i == 0 ? disc.MoveTo(x, y) : disc.LineTo(x, y);
        }
        disc.Close();
        for (const ZFillRule rule : {ZFillRule::kNonZero, ZFillRule::kEvenOdd}) {
            std::vector<Values> grid = Cover(disc, 13, 13, rule);
            std::vector<Values> cells = Cover(WithZigzag(disc, 13, 14), 13, 16, rule);
            cells.resize(grid.size());
            EXPECT_EQ(grid, cells) << sides << " sides, rule " << int(rule);
        }
    }
}

// Grid and sorted cells also agree on colours walked along spans (a gradient steps from
// pixel to pixel, so where spans start and end matters) and under the even-odd rule.  The
// zigzag goes there and back on rows of its own, so that it adds nothing but crossings; a
// speck far below holds the path's box, from which the gradient is laid out.
TEST(ZRendererCoverage, GridAndSortedCellsPaintAlike) {
    ZPath star = Polygon({{1.3f, 9.6f}, {6.1f, 0.4f}, {11.2f, 9.1f}, {0.6f, 3.2f}, {11.9f, 3.7f}});
    AddRect(star, 0.5f, 19, 1, 19.5f);
    ZPath zigzag = star;
    zigzag.MoveTo(2, 15);
    for (int i = 1; i <= 4200; ++i) {
        const int k = i <= 2100 ? i : 4200 - i; // there and back
        zigzag.LineTo(2 + float(k % 32) * 0.25f, float(15 + (k & 1)));
    }
    ZLinearGradientStencil gradient;
    for (auto [position, blue] : {std::pair{0.0f, 0}, {1.0f, 201}}) {
        ZGradientStop stop;
        stop.position = position;
        stop.color[0] = uint8_t(blue);
        stop.color[3] = 255;
        gradient.AddStop(stop);
    }
    // Every rule but even-odd is non-zero, 1 among them.
    for (const ZFillRule rule : {ZFillRule::kEvenOdd, ZFillRule::kNonZero, ZFillRule(1)}) {
        std::vector<Values> pictures[2];
        for (int sorted = 0; sorted < 2; ++sorted) {
            ZRenderer renderer;
            Canvas colour(13, 21, 4);
            colour.AttachAsTarget(renderer);
            renderer.FillPath(sorted ? zigzag : star, nullptr, &gradient, rule);
            for (int y = 0; y < 21; ++y) pictures[sorted].push_back(colour.Row(y, 0));
        }
        EXPECT_EQ(pictures[0], pictures[1]) << "rule " << int(rule);
        // The middle: ramp weight 123, and 123 * 201 div 255 = 96.
        EXPECT_EQ(pictures[0][4][6], rule == ZFillRule::kEvenOdd ? 0u : 96u);
    }
}
