#include "RecordingOutputter.h"

#include "shapes/EdgeGraph.h"

#include <gtest/gtest.h>

using UT::EdgeGraph;
using UT::FillStyle;
using UT::LineStyle;

namespace {

class EdgeGraphTest : public ::testing::Test {
protected:
    EdgeGraphTest() : fills(3), lines(3), out(&fills, &lines) {}

    const FillStyle* F(int i) { return &fills[i - 1]; }
    const LineStyle* S(int i) { return &lines[i - 1]; }
    // A polyline of straight edges through the points, with the current styles.
    void Polyline(std::initializer_list<Point3> points) {
        auto p = points.begin();
        graph.MoveTo(*p);
        for (++p; p != points.end(); ++p) graph.AddEdge(*p);
    }
    std::string Flush() {
        graph.Flush(out);
        return out.text;
    }

    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
    RecordingOutputter out;
    EdgeGraph graph;
};

TEST_F(EdgeGraphTest, FillOnTheRightRunsReversed) {
    graph.SetStyles(nullptr, F(1), nullptr);
    Polyline({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}});
    EXPECT_EQ(Flush(), "F1 B M10,0 L0,0 L0,10 L10,10 L10,0 E");
}

TEST_F(EdgeGraphTest, FillOnTheLeftKeepsRecordDirection) {
    graph.SetStyles(F(1), nullptr, nullptr);
    Polyline({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}});
    EXPECT_EQ(Flush(), "F1 B M0,0 L10,0 L10,10 L0,10 L0,0 E");
}

TEST_F(EdgeGraphTest, TwoSquaresWithOneSharedSideGiveOneSixEdgeContour) {
    graph.SetStyles(F(1), nullptr, nullptr);
    Polyline({{0, 0}, {10, 0}});
    graph.SetStyles(F(1), F(1), nullptr);
    Polyline({{10, 0}, {10, 10}});
    graph.SetStyles(F(1), nullptr, nullptr);
    Polyline({{10, 10}, {0, 10}, {0, 0}});
    Polyline({{10, 0}, {20, 0}, {20, 10}, {10, 10}});
    EXPECT_EQ(Flush(), "F1 B M0,0 L10,0 L20,0 L20,10 L10,10 L0,10 L0,0 E");
}

TEST_F(EdgeGraphTest, DeadEndStaysOpenAndNextContourStartsWithMove) {
    graph.SetStyles(F(1), nullptr, nullptr);
    Polyline({{0, 0}, {10, 0}, {10, 10}});
    Polyline({{50, 50}, {60, 50}, {50, 60}, {50, 50}});
    EXPECT_EQ(Flush(), "F1 B M0,0 L10,0 L10,10 M50,50 L60,50 L50,60 L50,50 E");
}

TEST_F(EdgeGraphTest, EndsOneTwipApartDoNotJoin) {
    graph.SetStyles(F(1), nullptr, nullptr);
    Polyline({{0, 0}, {10, 0}, {10, 10}});
    Polyline({{10.05f, 10}, {0, 0}});
    EXPECT_EQ(graph.VertexCount(), 4u);
    EXPECT_EQ(Flush(), "F1 B M0,0 L10,0 L10,10 M10.05,10 L0,0 E");
}

TEST_F(EdgeGraphTest, ZeroLengthEdgeIsAClosedContourOfOneSegment) {
    graph.SetStyles(F(1), nullptr, nullptr);
    graph.MoveTo({5, 5});
    graph.AddEdge({5, 5});
    EXPECT_EQ(Flush(), "F1 B M5,5 L5,5 E");
}

TEST_F(EdgeGraphTest, CurveReversedKeepsItsControlPoint) {
    graph.SetStyles(nullptr, F(1), nullptr);
    graph.MoveTo({0, 0});
    UT::Edge& curve = graph.AddEdge({10, 0});
    curve.curved = true;
    curve.control = {5, 5};
    graph.AddEdge({0, 0});
    EXPECT_EQ(Flush(), "F1 B M10,0 Q5,5:0,0 L10,0 E");
}

TEST_F(EdgeGraphTest, TOfOneLineStyleGivesTwoPolylines) {
    graph.SetStyles(nullptr, nullptr, S(1));
    Polyline({{0, 0}, {10, 0}, {20, 0}});
    Polyline({{10, 0}, {10, 10}});
    EXPECT_EQ(Flush(), "S1 B M0,0 L10,0 L20,0 E B M10,0 L10,10 E");
}

TEST_F(EdgeGraphTest, ClosedLoopOfOneLineStyleEndsAtItsFirstPoint) {
    graph.SetStyles(nullptr, nullptr, S(2));
    Polyline({{0, 0}, {10, 0}, {10, 10}, {0, 0}});
    EXPECT_EQ(Flush(), "S2 B M0,0 L10,0 L10,10 L0,0 E");
}

TEST_F(EdgeGraphTest, FillsComeBeforeStrokesInStyleOrder) {
    graph.SetStyles(nullptr, nullptr, S(2));
    Polyline({{0, 0}, {0, 10}});
    graph.SetStyles(F(2), nullptr, S(1));
    Polyline({{0, 0}, {10, 0}, {0, 10}, {0, 0}});
    graph.SetStyles(F(1), nullptr, nullptr);
    Polyline({{20, 0}, {30, 0}, {20, 10}, {20, 0}});
    EXPECT_EQ(Flush(), "F1 B M20,0 L30,0 L20,10 L20,0 E "
                       "F2 B M0,0 L10,0 L0,10 L0,0 E "
                       "S1 B M0,0 L10,0 L0,10 L0,0 E "
                       "S2 B M0,0 L0,10 E");
}

TEST_F(EdgeGraphTest, FlushLeavesTheGraphAndResetEmptiesIt) {
    graph.SetStyles(F(1), nullptr, nullptr);
    Polyline({{0, 0}, {10, 0}, {0, 10}, {0, 0}});
    const std::string once = Flush();
    out.text.clear();
    EXPECT_EQ(Flush(), once);
    graph.Reset();
    out.text.clear();
    EXPECT_EQ(Flush(), "");
    EXPECT_EQ(graph.VertexCount(), 0u);
}

} // namespace
