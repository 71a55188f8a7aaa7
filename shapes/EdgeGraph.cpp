#include "shapes/EdgeGraph.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace UT {

namespace {

uint32_t Bits(float f) {
    f += 0.0f; // -0 and +0 are the same coordinate
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

uint32_t Hash(const Point3& p) {
    uint32_t h = Bits(p.x) * 0x9E3779B1u;
    h = (h ^ (h >> 15) ^ Bits(p.y)) * 0x85EBCA77u;
    h = (h ^ (h >> 13) ^ Bits(p.z)) * 0xC2B2AE3Du;
    return h ^ (h >> 16);
}

bool SamePoint(const Point3& a, const Point3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

} // namespace

void EdgeGraph::GrowSlots() {
    slots.assign(std::max<size_t>(64, slots.size() * 2), 0);
    const size_t mask = slots.size() - 1;
    for (uint32_t i = 0; i < vertices.size(); ++i) {
        size_t slot = Hash(vertices[i].point) & mask;
        while (slots[slot] != 0) slot = (slot + 1) & mask;
        slots[slot] = i + 1;
    }
}

uint32_t EdgeGraph::FindOrAddVertex(const Point3& p) {
    if ((vertices.size() + 1) * 2 > slots.size()) GrowSlots();
    const size_t mask = slots.size() - 1;
    size_t slot = Hash(p) & mask;
    for (; slots[slot] != 0; slot = (slot + 1) & mask)
        if (SamePoint(vertices[slots[slot] - 1].point, p)) return slots[slot] - 1;
    const uint32_t index = uint32_t(vertices.size());
    Vertex& v = vertices.emplace_back();
    v.point = p;
    v.index = index;
    slots[slot] = index + 1;
    return index;
}

void EdgeGraph::MoveTo(const Point3& p) {
    current = FindOrAddVertex(p);
}

uint32_t EdgeGraph::BucketOf(const void* style, std::vector<Bucket>& buckets, size_t& used,
                             std::vector<uint32_t>& slots) {
    if (!style) return kNone;
    const auto slotOf = [&slots](const void* key) {
        const uint64_t h = uint64_t(reinterpret_cast<uintptr_t>(key)) * 0x9E3779B97F4A7C15ull;
        return size_t(h >> 32) & (slots.size() - 1);
    };
    if ((used + 1) * 2 > slots.size()) {
        slots.assign(std::max<size_t>(16, slots.size() * 2), 0);
        for (size_t i = 0; i < used; ++i) {
            size_t slot = slotOf(buckets[i].style);
            while (slots[slot] != 0) slot = (slot + 1) & (slots.size() - 1);
            slots[slot] = uint32_t(i + 1);
        }
    }
    size_t slot = slotOf(style);
    for (; slots[slot] != 0; slot = (slot + 1) & (slots.size() - 1))
        if (buckets[slots[slot] - 1].style == style) return slots[slot] - 1;
    if (used == buckets.size()) buckets.emplace_back();
    buckets[used].style = style;
    buckets[used].edges.clear();
    slots[slot] = uint32_t(used + 1);
    return uint32_t(used++);
}

Edge& EdgeGraph::AddEdge(const Point3& p) {
    if (current == kNone) MoveTo(Point3{});
    if (fill0 && fill0Bucket == kNone)
        fill0Bucket = BucketOf(fill0, fillBuckets, fillsUsed, fillSlots);
    if (fill1 && fill1Bucket == kNone)
        fill1Bucket = BucketOf(fill1, fillBuckets, fillsUsed, fillSlots);
    if (line && lineBucket == kNone) lineBucket = BucketOf(line, lineBuckets, linesUsed, lineSlots);
    const uint32_t index = uint32_t(edges.size());
    if (fill0) fillBuckets[fill0Bucket].edges.push_back(index);
    if (fill1 && fill1 != fill0) fillBuckets[fill1Bucket].edges.push_back(index);
    if (line) lineBuckets[lineBucket].edges.push_back(index);
    Edge& e = edges.emplace_back();
    e.fill0 = fill0;
    e.fill1 = fill1;
    e.line = line;
    e.index = index;
    e.start = current;
    MoveTo(p);
    e.end = current;
    return e;
}

void EdgeGraph::SetStyles(const FillStyle* newFill0, const FillStyle* newFill1,
                          const LineStyle* newLine) {
    fill0 = newFill0;
    fill1 = newFill1;
    line = newLine;
    fill0Bucket = fill1Bucket = lineBucket = kNone; // found when an edge needs them
}

void EdgeGraph::Reset() {
    edges.clear();
    vertices.clear();
    std::fill(slots.begin(), slots.end(), 0u);
    fillsUsed = linesUsed = 0;
    std::fill(fillSlots.begin(), fillSlots.end(), 0u);
    std::fill(lineSlots.begin(), lineSlots.end(), 0u);
    current = kNone;
    SetStyles(nullptr, nullptr, nullptr);
}

void EdgeGraph::SortedBuckets(const std::vector<Bucket>& buckets, size_t used,
                              std::vector<const Bucket*>& sorted) {
    sorted.clear();
    for (size_t i = 0; i < used; ++i) sorted.push_back(&buckets[i]);
    std::sort(sorted.begin(), sorted.end(), [](const Bucket* a, const Bucket* b) {
        return std::less<const void*>()(a->style, b->style);
    });
}

void EdgeGraph::Flush(PathOutputter& out) {
    SortedBuckets(fillBuckets, fillsUsed, order);
    for (const Bucket* b : order)
        TraceFills(static_cast<const FillStyle*>(b->style), b->edges, out);
    SortedBuckets(lineBuckets, linesUsed, order);
    for (const Bucket* b : order)
        TraceStrokes(static_cast<const LineStyle*>(b->style), b->edges, out);
}

void EdgeGraph::IndexCandidates(const std::vector<std::pair<Vertex*, Edge*>>& list) {
    for (uint32_t i = 0; i < list.size(); ++i) {
        Vertex* v = list[i].first;
        if (v->stamp != stamp) {
            v->stamp = stamp;
            v->next = i;
        }
        v->end = i + 1;
    }
}

Edge* EdgeGraph::NextCandidate(Vertex* v) {
    if (v->stamp != stamp) return nullptr;
    // Everything before the cursor has been emitted, so it only ever moves forward.
    while (v->next < v->end && candidates[v->next].second->usedStamp == stamp) ++v->next;
    return v->next < v->end ? candidates[v->next].second : nullptr;
}

void EdgeGraph::Emit(const Edge& e, bool forward, PathOutputter& out) const {
    const Point3& exit = vertices[forward ? e.end : e.start].point;
    if (e.curved) {
        out.QuadTo(e.control, exit);
    } else {
        out.LineTo(exit);
    }
}

namespace {

bool ByVertexThenEdge(const std::pair<Vertex*, Edge*>& a, const std::pair<Vertex*, Edge*>& b) {
    if (a.first->index != b.first->index) return a.first->index < b.first->index;
    return a.second->index < b.second->index;
}

} // namespace

// Each boundary edge of the fill is taken in the direction that keeps the fill on its
// left-hand record side (fill style 0): forward when fill style 0 is the fill, reversed
// when fill style 1 is.  So every edge is an exit candidate at exactly one vertex, its
// entry vertex.
void EdgeGraph::TraceFills(const FillStyle* fill, const std::vector<uint32_t>& fillEdges,
                           PathOutputter& out) {
    ++stamp;
    pending.clear();
    candidates.clear();
    for (const uint32_t index : fillEdges) {
        Edge* e = &edges[index];
        if ((e->fill0 == fill) == (e->fill1 == fill)) continue; // interior to the fill
        pending.push_back(e);
        candidates.emplace_back(&vertices[e->fill0 == fill ? e->start : e->end], e);
    }
    if (pending.empty()) return;
    std::sort(candidates.begin(), candidates.end(), ByVertexThenEdge);
    IndexCandidates(candidates);

    out.SetFill(fill);
    out.BeginPath();
    for (Edge* first : pending) {
        if (first->usedStamp == stamp) continue;
        Edge* e = first;
        bool forward = e->fill0 == fill;
        const uint32_t contourStart = forward ? e->start : e->end;
        out.MoveTo(vertices[contourStart].point);
        for (;;) {
            e->usedStamp = stamp;
            Emit(*e, forward, out);
            const uint32_t exit = forward ? e->end : e->start;
            if (exit == contourStart) break;
            e = NextCandidate(&vertices[exit]);
            if (!e) break; // a dead end: the contour stays open
            forward = e->fill0 == fill;
        }
    }
    out.EndPath();
}

void EdgeGraph::TraceStrokes(const LineStyle* style, const std::vector<uint32_t>& lineEdges,
                             PathOutputter& out) {
    if (lineEdges.empty()) return;
    ++stamp;
    candidates.clear();
    for (const uint32_t index : lineEdges) {
        Edge* e = &edges[index];
        candidates.emplace_back(&vertices[e->start], e);
        if (e->end != e->start) candidates.emplace_back(&vertices[e->end], e);
    }
    std::sort(candidates.begin(), candidates.end(), ByVertexThenEdge);
    IndexCandidates(candidates);

    out.SetLine(style);
    for (const uint32_t index : lineEdges) {
        Edge* e = &edges[index];
        if (e->usedStamp == stamp) continue;
        bool forward = true;
        const uint32_t polylineStart = e->start;
        out.BeginPath();
        out.MoveTo(vertices[polylineStart].point);
        for (;;) {
            e->usedStamp = stamp;
            Emit(*e, forward, out);
            const uint32_t exit = forward ? e->end : e->start;
            if (exit == polylineStart) break;
            e = NextCandidate(&vertices[exit]);
            if (!e) break;
            forward = e->start == exit;
        }
        out.EndPath();
    }
}

} // namespace UT
