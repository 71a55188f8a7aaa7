// The edges of one style segment of a shape, joined at ends with exactly equal
// coordinates, traced on Flush into one closed-contour path per fill style and one
// polyline path per connected run of each line style.
//
// Orders are by creation: styles by their index in the segment's style table, edges by
// the order in which they were added.  Each edge carries its creation index so that the
// tracing order never depends on where the allocator put things.
#pragma once

#include "base/ValueTypes.h"
#include "shapes/PathOutputter.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <vector>

namespace UT {

struct Edge;

struct Vertex {
    Point3 point;
    uint32_t index = 0; // creation order
    // Scratch of one trace: the run of candidate exits in the trace's candidate list.
    uint32_t stamp = 0;
    uint32_t next = 0, end = 0;
};

struct Edge {
    const FillStyle* fill0 = nullptr;
    const FillStyle* fill1 = nullptr; // the fill on the other side
    const LineStyle* line = nullptr;
    Vertex* start = nullptr;
    Vertex* end = nullptr;
    bool curved = false;
    Point3 control;
    uint32_t index = 0;     // creation order
    uint32_t usedStamp = 0; // equals the trace's stamp once emitted by it
};

class EdgeGraph {
public:
    EdgeGraph() = default;
    EdgeGraph(const EdgeGraph&) = delete;
    EdgeGraph& operator=(const EdgeGraph&) = delete;

    // The vertex at exactly this point (made when new) becomes the current one.
    void MoveTo(const Point3& p);
    // A straight edge with the current styles from the current vertex to p, which then
    // becomes current.  The caller may mark the edge curved.
    Edge& AddEdge(const Point3& p);
    void SetStyles(const FillStyle* fill0, const FillStyle* fill1, const LineStyle* line);
    // Emits every fill path, in style order, then every stroke path.  The graph itself
    // stays as it is.
    void Flush(PathOutputter& out);
    void Reset();

    size_t VertexCount() const { return vertices.size(); }

private:
    struct PointLess {
        bool operator()(const Point3& a, const Point3& b) const {
            if (a.x != b.x) return a.x < b.x;
            if (a.y != b.y) return a.y < b.y;
            return a.z < b.z;
        }
    };

    void TraceFills(const FillStyle* fill, const std::vector<Edge*>& fillEdges, PathOutputter& out);
    void TraceStrokes(const LineStyle* line, const std::vector<Edge*>& lineEdges,
                      PathOutputter& out);
    // Groups `candidates` (sorted) by vertex, so that each vertex knows its run.
    void IndexCandidates(const std::vector<std::pair<Vertex*, Edge*>>& candidates);
    // The first unused candidate at v in this trace, or null.
    Edge* NextCandidate(Vertex* v);
    static void Emit(const Edge& e, bool forward, PathOutputter& out);

    std::deque<Edge> edges;
    std::map<Point3, Vertex, PointLess> vertices;
    std::map<const FillStyle*, std::vector<Edge*>> fillIndex;
    std::map<const LineStyle*, std::vector<Edge*>> lineIndex;
    Vertex* current = nullptr;
    const FillStyle* fill0 = nullptr;
    const FillStyle* fill1 = nullptr;
    const LineStyle* line = nullptr;

    // Scratch of the trace in progress; kept to reuse its storage.
    uint32_t stamp = 0;
    std::vector<std::pair<Vertex*, Edge*>> candidates;
    std::vector<Edge*> pending;
};

} // namespace UT
