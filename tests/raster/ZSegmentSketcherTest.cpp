// A run of lines keeps exactly the segments and extent that the same lines drawn one by one
// keep, whatever the points and the transform: runs map several points at once.
#include "raster/ZSegmentSketcher.h"
#include "raster/ZPath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

TEST(ZSegmentSketcher, RunsKeepWhatLinesOneByOneKeep) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // Whole, fractional, negative, negative zero, past the fixed-point limit, infinite and
    // not a number, on either axis.
    const float xs[] = {0.0f, 3.999999f, -2.5f, -0.0f,  1e20f, -1e-9f, 17.25f, nan,
                        5.0f, -inf,      40.0f, 0.125f, 8.0f,  -1e20f, 2.0f,   12.5f};
    const float ys[] = {0.0f, 7.5f,  -0.1f, nan,  2.0f, 99.9f, -0.0f, 4.0f,
                        3.0f, 10.0f, inf,   6.7f, 1e9f, 0.3f,  50.0f, 0.0f};
    std::vector<ZPathElement> points;
    for (int i = 0; i < 70; ++i) // more than a block of mapped points
        points.push_back({xs[i % 16] + float(i / 16), ys[(i * 7) % 16], ZPath::kLine});

    std::vector<Matrix4> transforms(5);
    transforms[1].m[0][0] = 1.7f; // scaled, skewed and moved
    transforms[1].m[1][0] = -0.3f;
    transforms[1].m[0][1] = 0.2f;
    transforms[1].m[1][1] = 2.5f;
    transforms[1].m[3][0] = 11.3f;
    transforms[1].m[3][1] = -4.6f;
    transforms[2].m[2][0] = nan; // a z column that makes every x not a number
    transforms[3].m[0][0] = transforms[3].m[1][1] = 1e12f;
    transforms[4].m[0][0] = -0.0f; // x from y only, with negative zeros
    transforms[4].m[1][0] = 1.0f;
    transforms[4].m[3][0] = -0.0f;
    for (Matrix4& t : transforms) t.UpdateIdentityFlag();

    for (size_t k = 0; k <= transforms.size(); ++k) {
        const Matrix4* t = k < transforms.size() ? &transforms[k] : nullptr;
        ZSegmentSketcher run, single;
        run.StartPath(t, 64);
        single.StartPath(t, 64);
        run.MoveTo(1.0f, 1.0f);
        single.MoveTo(1.0f, 1.0f);
        run.LineRun(points.data(), points.size());
        for (const ZPathElement& p : points) single.LineTo(p.x, p.y);
        ASSERT_EQ(run.SegmentCount(), single.SegmentCount()) << "transform " << k;
        EXPECT_EQ(run.SegmentCount() == 0, k == 2) << "transform " << k; // 2 keeps none
        for (size_t i = 0; i < run.SegmentCount(); ++i) {
            const ZSegment &a = run.Segments()[i], &b = single.Segments()[i];
            EXPECT_TRUE(a.xTop == b.xTop && a.yTop == b.yTop && a.xBottom == b.xBottom &&
                        a.yBottom == b.yBottom && a.down == b.down)
                << "transform " << k << ", segment " << i;
        }
        const ZSegmentExtent &a = run.Extent(), &b = single.Extent();
        EXPECT_TRUE(a.minX == b.minX && a.maxX == b.maxX && a.firstRow == b.firstRow &&
                    a.lastRow == b.lastRow && a.crossings == b.crossings)
            << "transform " << k;
    }
}
