#include "shapes/EdgeGraph.h"

#include <algorithm>

namespace UT {

void EdgeGraph::MoveTo(const Point3& p) {
    auto [it, added] = vertices.try_emplace(p);
    if (added) {
        it->second.point = p;
        it->second.index = uint32_t(vertices.size() - 1);
    }
    current = &it->second;
}

Edge& EdgeGraph::AddEdge(const Point3& p) {
    if (!current) MoveTo(Point3{});
    Edge& e = edges.emplace_back();
    e.fill0 = fill0;
    e.fill1 = fill1;
    e.line = line;
    e.index = uint32_t(edges.size() - 1);
    e.start = current;
    MoveTo(p);
    e.end = current;
    if (fill0) fillIndex[fill0].push_back(&e);
    if (fill1 && fill1 != fill0) fillIndex[fill1].push_back(&e);
    if (line) lineIndex[line].push_back(&e);
    return e;
}

void EdgeGraph::SetStyles(const FillStyle* newFill0, const FillStyle* newFill1,
                          const LineStyle* newLine) {
    fill0 = newFill0;
    fill1 = newFill1;
    line = newLine;
}

void EdgeGraph::Reset() {
    edges.clear();
    vertices.clear();
    fillIndex.clear();
    lineIndex.clear();
    current = nullptr;
    SetStyles(nullptr, nullptr, nullptr);
}

void EdgeGraph::Flush(PathOutputter& out) {
    for (const auto& [fill, fillEdges] : fillIndex) TraceFills(fill, fillEdges, out);
    for (const auto& [style, lineEdges] : lineIndex) TraceStrokes(style, lineEdges, out);
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

void EdgeGraph::Emit(const Edge& e, bool forward, PathOutputter& out) {
    const Point3& exit = forward ? e.end->point : e.start->point;
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
void EdgeGraph::TraceFills(const FillStyle* fill, const std::vector<Edge*>& fillEdges,
                           PathOutputter& out) {
    ++stamp;
    pending.clear();
    candidates.clear();
    for (Edge* e : fillEdges) {
        if ((e->fill0 == fill) == (e->fill1 == fill)) continue; // interior to the fill
        pending.push_back(e);
        candidates.emplace_back(e->fill0 == fill ? e->start : e->end, e);
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
        const Vertex* contourStart = forward ? e->start : e->end;
        out.MoveTo(contourStart->point);
        for (;;) {
            e->usedStamp = stamp;
            Emit(*e, forward, out);
            Vertex* exit = forward ? e->end : e->start;
            if (exit == contourStart) break;
            e = NextCandidate(exit);
            if (!e) break; // a dead end: the contour stays open
            forward = e->fill0 == fill;
        }
    }
    out.EndPath();
}

void EdgeGraph::TraceStrokes(const LineStyle* style, const std::vector<Edge*>& lineEdges,
                             PathOutputter& out) {
    if (lineEdges.empty()) return;
    ++stamp;
    candidates.clear();
    for (Edge* e : lineEdges) {
        candidates.emplace_back(e->start, e);
        if (e->end != e->start) candidates.emplace_back(e->end, e);
    }
    std::sort(candidates.begin(), candidates.end(), ByVertexThenEdge);
    IndexCandidates(candidates);

    out.SetLine(style);
    for (Edge* first : lineEdges) {
        if (first->usedStamp == stamp) continue;
        Edge* e = first;
        bool forward = true;
        const Vertex* polylineStart = e->start;
        out.BeginPath();
        out.MoveTo(polylineStart->point);
        for (;;) {
            e->usedStamp = stamp;
            Emit(*e, forward, out);
            Vertex* exit = forward ? e->end : e->start;
            if (exit == polylineStart) break;
            e = NextCandidate(exit);
            if (!e) break;
            forward = e->start == exit;
        }
        out.EndPath();
    }
}

} // namespace UT
