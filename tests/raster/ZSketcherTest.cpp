#include "raster/ZSketcher.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Keeps the end of every segment the sketcher's LineTo consumes.
class SegmentRecorder : public ZSketcher {
public:
    void LineTo(float x, float y) override {
        to.push_back({x, y});
        ZSketcher::LineTo(x, y);
    }
    std::vector<std::pair<float, float>> to;
};

} // namespace

TEST(ZSketcher, CurvesAre24SegmentsOnTheCurveEndingExactly) {
    SegmentRecorder quad, cubic, straight;
    quad.MoveTo(0, 0);
    quad.QuadTo(12, 24, 24, 0);
    ASSERT_EQ(quad.to.size(), 24u);
    // B(1/24): x = 2 t (1 - t) 12 + t^2 24 = 1, y = 2 t (1 - t) 24.
    EXPECT_FLOAT_EQ(quad.to[0].first, 1.0f);
    EXPECT_FLOAT_EQ(quad.to[0].second, 2.0f * (1.0f / 24) * (23.0f / 24) * 24);
    EXPECT_FLOAT_EQ(quad.to[11].first, 12.0f);
    EXPECT_FLOAT_EQ(quad.to[11].second, 12.0f);
    EXPECT_EQ(quad.to[23], (std::pair{24.0f, 0.0f}));
    cubic.MoveTo(0, 0);
    cubic.CubicTo(0, 24, 24, 24, 24, 0);
    ASSERT_EQ(cubic.to.size(), 24u);
    EXPECT_NEAR(cubic.to[11].first, 12.0f, 1e-4);
    EXPECT_NEAR(cubic.to[11].second, 18.0f, 1e-4); // 3/4 of the control height at t = 1/2
    EXPECT_EQ(cubic.to[23], (std::pair{24.0f, 0.0f}));
    straight.MoveTo(1, 5);
    straight.CubicTo(3, 5, -2, 5, 9, 5); // flat: one line
    EXPECT_EQ(straight.to.size(), 1u);
}
