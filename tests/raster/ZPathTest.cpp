#include "raster/ZPath.h"
#include "Recorder.h"

#include <gtest/gtest.h>

using Calls = std::vector<std::string>;

TEST(ZPath, AppendsElementsWithKindsAndFirstPointOnCloseAndEnd) {
    ZPath path;
    EXPECT_EQ(path.Capacity(), 16u);
    path.MoveTo(1, 2);
    path.LineTo(3, 4);
    path.QuadTo(5, 6, 7, 8);
    EXPECT_FALSE(path.IsClosed());
    path.Close();
    EXPECT_TRUE(path.IsClosed());
    path.MarkEnd();
    ASSERT_EQ(path.Count(), 6u);
    const uint8_t kinds[] = {1, 2, 3, 0, 6, 7};
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(path[i].kind, kinds[i]) << i;
    EXPECT_EQ(path[4].x, 1.0f);
    EXPECT_EQ(path[4].y, 2.0f);
    EXPECT_EQ(path[5].x, 1.0f);
    EXPECT_EQ(path[5].y, 2.0f);
    path.Clear();
    EXPECT_EQ(path.Count(), 0u);
    EXPECT_EQ(path.Capacity(), 16u);
}

TEST(ZPath, GrowsByHalfItsCapacity) {
    ZPath path;
    for (int i = 0; i < 17; ++i) path.LineTo(float(i), 0);
    EXPECT_EQ(path.Capacity(), 24u);
    for (int i = 17; i < 25; ++i) path.LineTo(float(i), 0);
    EXPECT_EQ(path.Capacity(), 36u);
}

TEST(ZPath, WalkVisitsEveryKindAndStopsAtTheEndMarker) {
    CallLog empty;
    ZPath().Iterate(empty);
    EXPECT_EQ(empty.calls, Calls{"Begin"});

    ZPath endFirst;
    endFirst.MarkEnd();
    endFirst.LineTo(1, 1);
    CallLog ended;
    endFirst.Iterate(ended);
    EXPECT_EQ(ended.calls, Calls{"Begin"});

    ZPath path;
    path.MoveTo(1, 2);
    path.Append(9, 9, ZPath::kNop);
    path.QuadTo(3, 4, 5, 6);
    path.Append(1, 1, ZPath::kCubic);
    path.Append(2, 2, ZPath::kCurvePoint);
    path.Append(3, 3, ZPath::kCurvePoint);
    path.Close();
    path.MarkEnd();
    path.LineTo(7, 7);
    CallLog log;
    path.Iterate(log);
    const Calls expected = {"Begin", "MoveTo 1.0 2.0", "QuadTo 3.0 4.0 5.0 6.0",
                            "CubicTo 1.0 1.0 2.0 2.0 3.0 3.0", "Close"};
    EXPECT_EQ(log.calls, expected);
}

TEST(ZPath, TruncatedCurvesEndTheWalk) {
    ZPath path;
    path.MoveTo(0, 0);
    path.Append(1, 1, ZPath::kCubic);
    path.Append(2, 2, ZPath::kCurvePoint);
    CallLog log;
    path.Iterate(log);
    EXPECT_EQ(log.calls, (Calls{"Begin", "MoveTo 0.0 0.0"}));
}
