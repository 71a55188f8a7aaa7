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

struct Case {
    // Runs separated by ';': three digits naming fill 0, fill 1 and the line style (1-based,
    // 0 for none), then points, the first a move; "x,y~cx,cy" ends a curve at x,y.
    const char *name, *runs, *traced;
} const kCases[] = {
    {"fill on the right runs reversed", "010 0,0 10,0 10,10 0,10 0,0",
     "F1 B M10,0 L0,0 L0,10 L10,10 L10,0 E"},
    {"fill on the left keeps the record direction", "100 0,0 10,0 10,10 0,10 0,0",
     "F1 B M0,0 L10,0 L10,10 L0,10 L0,0 E"},
    {"two squares sharing a side give one six-edge contour",
     "100 0,0 10,0; 110 10,0 10,10; 100 10,10 0,10 0,0; 100 10,0 20,0 20,10 10,10",
     "F1 B M0,0 L10,0 L20,0 L20,10 L10,10 L0,10 L0,0 E"},
    {"a dead end stays open and the next contour starts with a move",
     "100 0,0 10,0 10,10; 100 50,50 60,50 50,60 50,50",
     "F1 B M0,0 L10,0 L10,10 M50,50 L60,50 L50,60 L50,50 E"},
    {"ends a twentieth apart do not join", "100 0,0 10,0 10,10; 100 10.05,10 0,0",
     "F1 B M0,0 L10,0 L10,10 M10.05,10 L0,0 E"},
    {"a zero-length edge is a closed contour", "100 5,5 5,5", "F1 B M5,5 L5,5 E"},
    {"a reversed curve keeps its control point", "010 0,0 10,0~5,5; 010 10,0 0,0",
     "F1 B M10,0 Q5,5:0,0 L10,0 E"},
    {"a T of one line style gives two polylines", "001 0,0 10,0 20,0; 001 10,0 10,10",
     "S1 B M0,0 L10,0 L20,0 E B M10,0 L10,10 E"},
    {"a closed loop of one line style ends at its first point", "002 0,0 10,0 10,10 0,0",
     "S2 B M0,0 L10,0 L10,10 L0,0 E"},
    {"fills come before strokes, each in style order",
     "002 0,0 0,10; 201 0,0 10,0 0,10 0,0; 100 20,0 30,0 20,10 20,0",
     "F1 B M20,0 L30,0 L20,10 L20,0 E F2 B M0,0 L10,0 L0,10 L0,0 E "
     "S1 B M0,0 L10,0 L0,10 L0,0 E S2 B M0,0 L0,10 E"},
};

// Adds the runs to the graph, naming the recorder's styles.
void AddRuns(UT::EdgeGraph& graph, Recording& out, const char* t) {
    const auto style = [](auto& styles, int k) { return k ? &styles[size_t(k - 1)] : nullptr; };
    for (int f0, f1, line, n; std::sscanf(t, " %1d%1d%1d%n", &f0, &f1, &line, &n) == 3;) {
        t += n;
        graph.SetStyles(style(out.fills, f0), style(out.fills, f1), style(out.lines, line));
        bool first = true;
        for (float x, y, cx, cy; std::sscanf(t, " %f,%f%n", &x, &y, &n) == 2; first = false) {
            t += n;
            if (first) {
                graph.MoveTo({x, y});
                continue;
            }
            UT::Edge& edge = graph.AddEdge({x, y});
            if ((edge.curved = std::sscanf(t, "~%f,%f%n", &cx, &cy, &n) == 2)) {
                edge.control = {cx, cy};
                t += n;
            }
        }
        if (*t == ';') ++t;
    }
}

} // namespace

TEST(EdgeGraphTest, TracesEachCase) {
    for (const Case& c : kCases) {
        Recording out;
        UT::EdgeGraph graph;
        AddRuns(graph, out, c.runs);
        // Flushing leaves the graph as it was: a second flush traces the same again.
        graph.Flush(out);
        graph.Flush(out);
        EXPECT_EQ(out.text, std::string(c.traced) + " " + c.traced) << c.name;
        graph.Reset();
        EXPECT_EQ(graph.VertexCount(), 0u);
    }
}
