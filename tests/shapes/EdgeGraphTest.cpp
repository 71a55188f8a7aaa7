// Edges joined into contours and polylines, as traced for each style in style order.
#include "shapes/EdgeGraph.h"
#include "shapes/PathOutputter.h"
#include "shapes/StyleTable.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

namespace {

// Writes what it is handed as text, styles named by their index + 1: "F1 B M0,0 L10,0 E".
struct Recording : UT::PathOutputter {
    std::vector<UT::FillStyle> fills = std::vector<UT::FillStyle>(3);
    std::vector<UT::LineStyle> lines = std::vector<UT::LineStyle>(3);
    std::string text;

    void SetFill(const UT::FillStyle* f) override { Add("F%g", double(f - fills.data() + 1)); }
    void SetLine(const UT::LineStyle* l) override { Add("S%g", double(l - lines.data() + 1)); }
    void BeginPath() override { Add("B"); }
    void MoveTo(const Point3& p) override { Add("M%g,%g", p.x, p.y); }
    void LineTo(const Point3& p) override { Add("L%g,%g", p.x, p.y); }
    void QuadTo(const Point3& c, const Point3& p) override {
        Add("Q%g,%g:%g,%g", c.x, c.y, p.x, p.y);
    }
    void EndPath() override { Add("E"); }
    void Add(const char* format, double a = 0, double b = 0, double c = 0, double d = 0) {
        char token[96];
        std::snprintf(token, sizeof token, format, a, b, c, d);
        if (!text.empty()) text += ' ';
        text += token;
    }
};

// One run of edges: the styles (1-based indices, 0 for none), then the points, the first
// a move.  A point with `control` set is the end of a curve.
struct EdgeRun {
    int fill0, fill1, line;
    std::vector<Point3> points;
    std::optional<Point3> control = std::nullopt;
};

struct Case {
    const char* name;
    std::vector<EdgeRun> runs;
    const char* traced;
};

const Case kCases[] = {
    {"fill on the right runs reversed",
     {{0, 1, 0, {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}}},
     "F1 B M10,0 L0,0 L0,10 L10,10 L10,0 E"},
    {"fill on the left keeps the record direction",
     {{1, 0, 0, {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}}},
     "F1 B M0,0 L10,0 L10,10 L0,10 L0,0 E"},
    {"two squares sharing a side give one six-edge contour",
     {{1, 0, 0, {{0, 0}, {10, 0}}},
      {1, 1, 0, {{10, 0}, {10, 10}}},
      {1, 0, 0, {{10, 10}, {0, 10}, {0, 0}}},
      {1, 0, 0, {{10, 0}, {20, 0}, {20, 10}, {10, 10}}}},
     "F1 B M0,0 L10,0 L20,0 L20,10 L10,10 L0,10 L0,0 E"},
    {"a dead end stays open and the next contour starts with a move",
     {{1, 0, 0, {{0, 0}, {10, 0}, {10, 10}}}, {1, 0, 0, {{50, 50}, {60, 50}, {50, 60}, {50, 50}}}},
     "F1 B M0,0 L10,0 L10,10 M50,50 L60,50 L50,60 L50,50 E"},
    {"ends a twentieth apart do not join",
     {{1, 0, 0, {{0, 0}, {10, 0}, {10, 10}}}, {1, 0, 0, {{10.05f, 10}, {0, 0}}}},
     "F1 B M0,0 L10,0 L10,10 M10.05,10 L0,0 E"},
    {"a zero-length edge is a closed contour", {{1, 0, 0, {{5, 5}, {5, 5}}}}, "F1 B M5,5 L5,5 E"},
    {"a reversed curve keeps its control point",
     {{0, 1, 0, {{0, 0}, {10, 0}}, Point3{5, 5}}, {0, 1, 0, {{10, 0}, {0, 0}}}},
     "F1 B M10,0 Q5,5:0,0 L10,0 E"},
    {"a T of one line style gives two polylines",
     {{0, 0, 1, {{0, 0}, {10, 0}, {20, 0}}}, {0, 0, 1, {{10, 0}, {10, 10}}}},
     "S1 B M0,0 L10,0 L20,0 E B M10,0 L10,10 E"},
    {"a closed loop of one line style ends at its first point",
     {{0, 0, 2, {{0, 0}, {10, 0}, {10, 10}, {0, 0}}}},
     "S2 B M0,0 L10,0 L10,10 L0,0 E"},
    {"fills come before strokes, each in style order",
     {{0, 0, 2, {{0, 0}, {0, 10}}},
      {2, 0, 1, {{0, 0}, {10, 0}, {0, 10}, {0, 0}}},
      {1, 0, 0, {{20, 0}, {30, 0}, {20, 10}, {20, 0}}}},
     "F1 B M20,0 L30,0 L20,10 L20,0 E F2 B M0,0 L10,0 L0,10 L0,0 E "
     "S1 B M0,0 L10,0 L0,10 L0,0 E S2 B M0,0 L0,10 E"},
};

TEST(EdgeGraphTest, TracesEachCase) {
    for (const Case& c : kCases) {
        Recording out;
        SCOPED_TRACE(c.name);
        UT::EdgeGraph graph;
        for (const EdgeRun& run : c.runs) {
            graph.SetStyles(run.fill0 ? &out.fills[run.fill0 - 1] : nullptr,
                            run.fill1 ? &out.fills[run.fill1 - 1] : nullptr,
                            run.line ? &out.lines[run.line - 1] : nullptr);
            graph.MoveTo(run.points[0]);
            for (size_t i = 1; i < run.points.size(); ++i) {
                UT::Edge& edge = graph.AddEdge(run.points[i]);
                edge.curved = run.control.has_value();
                edge.control = run.control.value_or(Point3{});
            }
        }
        // Flushing leaves the graph as it was: a second flush traces the same again.
        graph.Flush(out);
        graph.Flush(out);
        EXPECT_EQ(out.text, std::string(c.traced) + " " + c.traced);
        graph.Reset();
        EXPECT_EQ(graph.VertexCount(), 0u);
    }
}

} // namespace
