#include "raster/ZSketcher.h"
#include "Recorder.h"

#include <gtest/gtest.h>

TEST(ZSketcher, QuadraticIsAlways24SegmentsEndingExactly) {
    SegmentRecorder s;
    s.MoveTo(0, 0);
    s.QuadTo(5, 0, 10, 0); // control point on the chord
    ASSERT_EQ(s.to.size(), 24u);
    EXPECT_EQ(s.to.back().x, 10.0f);
    EXPECT_EQ(s.to.back().y, 0.0f);

    SegmentRecorder curve;
    curve.MoveTo(0, 0);
    curve.QuadTo(12, 24, 24, 0);
    ASSERT_EQ(curve.to.size(), 24u);
    // B(1/24) = (1, 23/12 * 24 / 24): x = 2*t*(1-t)*12 + t^2*24 = 1, y = 2*t*(1-t)*24.
    EXPECT_FLOAT_EQ(curve.to[0].x, 1.0f);
    EXPECT_FLOAT_EQ(curve.to[0].y, 2.0f * (1.0f / 24) * (23.0f / 24) * 24);
    EXPECT_FLOAT_EQ(curve.to[11].x, 12.0f);
    EXPECT_FLOAT_EQ(curve.to[11].y, 12.0f);
    EXPECT_EQ(curve.CurrentX(), 24.0f);
}

TEST(ZSketcher, CubicFollowsTheCurveAndShortcutsStraightOnes) {
    SegmentRecorder flatY;
    flatY.MoveTo(1, 5);
    flatY.CubicTo(3, 5, -2, 5, 9, 5);
    ASSERT_EQ(flatY.to.size(), 1u);
    EXPECT_EQ(flatY.to[0].x, 9.0f);

    SegmentRecorder flatX;
    flatX.MoveTo(5, 1);
    flatX.CubicTo(5, 3, 5, -2, 5, 9);
    EXPECT_EQ(flatX.to.size(), 1u);

    SegmentRecorder curve;
    curve.MoveTo(0, 0);
    curve.CubicTo(0, 24, 24, 24, 24, 0);
    ASSERT_EQ(curve.to.size(), 24u);
    EXPECT_NEAR(curve.to[11].x, 12.0f, 1e-4);
    EXPECT_NEAR(curve.to[11].y, 18.0f, 1e-4); // 3/4 of the control height at t = 1/2
    EXPECT_EQ(curve.to[23].x, 24.0f);
    EXPECT_EQ(curve.to[23].y, 0.0f);
}

TEST(ZSketcher, CloseReturnsToTheFirstMoveOfTheContour) {
    SegmentRecorder s;
    s.Begin();
    s.MoveTo(0, 0); // A
    s.LineTo(1, 0); // B
    s.MoveTo(5, 5); // C: no Close before it, so A stays the start
    s.LineTo(6, 5); // D
    s.Close();
    ASSERT_EQ(s.to.size(), 3u);
    EXPECT_EQ(s.from[2].x, 6.0f);
    EXPECT_EQ(s.to[2].x, 0.0f);
    EXPECT_EQ(s.to[2].y, 0.0f);
    s.MoveTo(7, 7); // after Close a move starts a new contour
    s.LineTo(8, 8);
    s.Close();
    EXPECT_EQ(s.to.back().x, 7.0f);
}

TEST(ZSketcher, SubdivideQuadSplitsUntilFlatWithinTolerance) {
    SegmentRecorder point;
    point.SubdivideQuad(3, 3, 3, 3, 3, 3);
    EXPECT_EQ(point.to.size(), 1u);

    // Squared distances: 256, then 8 for each half, then 16/52 for each quarter: flat.
    SegmentRecorder s;
    s.MoveTo(0, 0);
    s.SubdivideQuad(0, 0, 8, 16, 16, 0);
    ASSERT_EQ(s.to.size(), 4u);
    EXPECT_EQ(s.to[0].x, 4.0f);
    EXPECT_EQ(s.to[0].y, 6.0f);
    EXPECT_EQ(s.to[1].x, 8.0f);
    EXPECT_EQ(s.to[1].y, 8.0f);
    EXPECT_EQ(s.to[3].x, 16.0f);

    const float saved = ZSketcher::CurveTolerance();
    ZSketcher::SetCurveTolerance(-1.0f);
    EXPECT_EQ(ZSketcher::CurveTolerance(), 0.01f);
    ZSketcher::SetCurveTolerance(0.0f);
    EXPECT_EQ(ZSketcher::CurveTolerance(), 0.0f);
    SegmentRecorder huge; // zero tolerance on a huge curve stays bounded
    huge.SubdivideQuad(0, 0, 1e30f, 1e30f, 2e30f, 0);
    EXPECT_LE(huge.to.size(), 65536u);
    ZSketcher::SetCurveTolerance(saved);
}

TEST(ZSketcher, ArcEndsOnItsEndPointInBoundedSteps) {
    SegmentRecorder s;
    s.MoveTo(10, 0);
    s.ArcTo(10, 10, -10, 0, 0, 1); // centre (0, -10), half a turn
    ASSERT_GE(s.to.size(), 40u);
    EXPECT_LE(s.to.size(), 50u);
    EXPECT_EQ(s.to.back().x, -10.0f);
    SegmentRecorder bad;
    bad.ArcTo(0, 0, 1, 1, 0, 0);
    EXPECT_EQ(bad.to.size(), 1u);
}
