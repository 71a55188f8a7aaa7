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
#include <vector>

namespace UT {

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
    uint32_t start = 0, end = 0; // vertex indices
    bool curved = false;
    Point3 control;
    uint32_t index = 0;     // creation order
    uint32_t usedStamp = 0; // equals the trace's stamp once emitted by it
};

// Vertices and edges live in arrays that only grow, found through an open-addressed hash
// of the points, so that adding one allocates nothing once the arrays have grown; Reset
// keeps the storage for the next segment.
class EdgeGraph {
public:
    EdgeGraph() = default;
    EdgeGraph(const EdgeGraph&) = delete;
    EdgeGraph& operator=(const EdgeGraph&) = delete;

    // The vertex at exactly this point (made when new) becomes the current one.
    void MoveTo(const Point3& p);
    // A straight edge with the current styles from the current vertex to p, which then
    // becomes current.  The caller may mark the edge curved; the reference holds until
    // the next edge is added.
    Edge& AddEdge(const Point3& p);
    void SetStyles(const FillStyle* fill0, const FillStyle* fill1, const LineStyle* line);
    // Emits every fill path, in style order, then every stroke path.  The graph itself
    // stays as it is.
    void Flush(PathOutputter& out);
    void Reset();

    size_t VertexCount() const { return vertices.size(); }

private:
    // The edges of one style, in creation order.
    struct Bucket {
        const void* style = nullptr;
        std::vector<uint32_t> edges;
    };
    // The bucket of `style` in `buckets` (made when new); kNone for no style.
    static constexpr uint32_t kNone = UINT32_MAX;
    // `slots` hashes the styles of the buckets in use (bucket index + 1, 0 for empty).
    static uint32_t BucketOf(const void* style, std::vector<Bucket>& buckets, size_t& used,
                             std::vector<uint32_t>& slots);
    uint32_t FindOrAddVertex(const Point3& p);
    void GrowSlots();

    void TraceFills(const FillStyle* fill, const std::vector<uint32_t>& fillEdges,
                    PathOutputter& out);
    void TraceStrokes(const LineStyle* line, const std::vector<uint32_t>& lineEdges,
                      PathOutputter& out);
    // Groups `candidates` (sorted) by vertex, so that each vertex knows its run.
    void IndexCandidates(const std::vector<std::pair<Vertex*, Edge*>>& candidates);
    // The first unused candidate at v in this trace, or null.
    Edge* NextCandidate(Vertex* v);
    void Emit(const Edge& e, bool forward, PathOutputter& out) const;
    // The buckets in use, ordered by style address (styles of one table lie in index order).
    static void SortedBuckets(const std::vector<Bucket>& buckets, size_t used,
                              std::vector<const Bucket*>& order);

    std::vector<Edge> edges;
    std::vector<Vertex> vertices;
    std::vector<uint32_t> slots; // vertex index + 1, 0 for empty; a power of two long
    std::vector<Bucket> fillBuckets, lineBuckets; // the first *Used are this segment's
    size_t fillsUsed = 0, linesUsed = 0;
    std::vector<uint32_t> fillSlots, lineSlots;
    uint32_t current = kNone;
    uint32_t fill0Bucket = kNone, fill1Bucket = kNone, lineBucket = kNone;
    const FillStyle* fill0 = nullptr;
    const FillStyle* fill1 = nullptr;
    const LineStyle* line = nullptr;

    // Scratch of the trace in progress; kept to reuse its storage.
    uint32_t stamp = 0;
    std::vector<std::pair<Vertex*, Edge*>> candidates;
    std::vector<Edge*> pending;
    std::vector<const Bucket*> order;
};

} // namespace UT
