#include "raster/ZOutliner.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kTwoPi = 6.28318531f;
// Points closer than this (squared) are one vertex: no normal has a direction there.
constexpr float kSamePoint = 1e-12f;
// Bound for bad input: a round part never has more segments than this.
constexpr int kMaxRoundSegments = 1024;

float Dot(float ax, float ay, float bx, float by) {
    return ax * bx + ay * by;
}

} // namespace

ZOutliner::ZOutliner() = default;

ZOutliner::~ZOutliner() = default;

void ZOutliner::MoveTo(float x, float y) {
    ZSketcher::MoveTo(x, y);
    centre_.MoveTo(x, y);
}

void ZOutliner::LineTo(float x, float y) {
    if (x == curX_ && y == curY_) return;
    ZSketcher::LineTo(x, y);
    centre_.LineTo(x, y);
}

void ZOutliner::Close() {
    ZSketcher::Close();
}

const ZPath& ZOutliner::Outline(const ZPath& path, float halfWidth) {
    halfWidth_ = halfWidth;
    roundTolerance_ = halfWidth / 100.0f;
    outline_.Clear();
    centre_.Clear();
    path.Iterate(*this);
    centre_.MarkEnd();
    if (dashes_ == nullptr) {
        Stroke(centre_, path.IsClosed() && !noClose_);
    } else {
        dashed_.Clear();
        Dash(centre_);
        dashed_.MarkEnd();
        Stroke(dashed_, false);
    }
    return outline_;
}

// Contours are runs of line elements after an element of another kind.
void ZOutliner::Stroke(const ZPath& line, bool closedInput) {
    outline_.Clear();
    const size_t n = line.Count();
    size_t i = 0;
    while (i < n && line[i].kind != ZPath::kEnd) {
        size_t last = i;
        while (last + 1 < n && line[last + 1].kind == ZPath::kLine) ++last;
        StrokeContour(line, i, last, closedInput);
        i = last + 1;
    }
}

void ZOutliner::StrokeContour(const ZPath& line, size_t s, size_t last, bool closedInput) {
    sideA_.clear();
    sideB_.clear();
    const auto point = [&](size_t k) { return Vec{line[k].x, line[k].y}; };
    // The next vertex after k: the first point farther than kSamePoint from it.
    const auto next = [&](size_t k) {
        size_t j = k + 1;
        while (j <= last) {
            const float dx = line[j].x - line[k].x, dy = line[j].y - line[k].y;
            if (dx * dx + dy * dy > kSamePoint) break;
            ++j;
        }
        return j;
    };
    const size_t f = next(s);
    if (f > last) return; // no segment of non-zero length
    size_t a = s, b = f;
    for (size_t c = next(b); c <= last; c = next(b)) {
        Join(point(a), point(b), point(c));
        a = b;
        b = c;
    }
    const Vec start = point(s), end = point(b);
    if (closedInput && start.x == end.x && start.y == end.y) {
        Join(point(a), end, point(f));
        EmitClosed();
    } else {
        Cap(sideA_, end, {end.x - line[a].x, end.y - line[a].y}, endCapStyle_);
        EmitOpen(start, {start.x - line[f].x, start.y - line[f].y});
    }
}

// Both sides as rings in opposite directions, so only the band between them is inside.
void ZOutliner::EmitClosed() {
    outline_.MoveTo(sideA_.back().x, sideA_.back().y);
    for (const Vec& p : sideA_) outline_.LineTo(p.x, p.y);
    outline_.LineTo(sideB_.front().x, sideB_.front().y);
    for (auto p = sideB_.rbegin(); p != sideB_.rend(); ++p) outline_.LineTo(p->x, p->y);
    outline_.Close();
}

// Side A (ending in the end cap), side B backwards, then the start cap.
void ZOutliner::EmitOpen(Vec start, Vec startDirection) {
    outline_.MoveTo(sideA_.front().x, sideA_.front().y);
    for (size_t i = 1; i < sideA_.size(); ++i) outline_.LineTo(sideA_[i].x, sideA_[i].y);
    for (auto p = sideB_.rbegin(); p != sideB_.rend(); ++p) outline_.LineTo(p->x, p->y);
    Side cap;
    Cap(cap, start, startDirection, capStyle_);
    for (const Vec& p : cap) outline_.LineTo(p.x, p.y);
    outline_.LineTo(sideA_.front().x, sideA_.front().y);
    outline_.Close();
}

// The segment normal scaled to the half width: (d.y, -d.x) * halfWidth / |d|.
ZOutliner::Vec ZOutliner::Normal(Vec d) const {
    const float scale = halfWidth_ / std::sqrt(d.x * d.x + d.y * d.y);
    return {d.y * scale, -d.x * scale};
}

void ZOutliner::Join(Vec a, Vec b, Vec c) {
    const Vec d1{b.x - a.x, b.y - a.y}, d2{c.x - b.x, c.y - b.y};
    const Vec n1 = Normal(d1), n2 = Normal(d2);
    const Vec m{(n1.x + n2.x) * 0.5f, (n1.y + n2.y) * 0.5f};
    const float cross = d2.x * d1.y - d2.y * d1.x;
    const float hw2 = halfWidth_ * halfWidth_;
    const float m2 = Dot(m.x, m.y, m.x, m.y);
    int32_t style = joinStyle_;
    // A miter reaching farther than limit * half width becomes a bevel; so does a full
    // reversal, which has no miter point.
    if (style == kMiterJoin && (miterLimit_ * miterLimit_ * m2 < hw2 || !(m2 > 0.0f)))
        style = kBevelJoin;

    if (cross * cross < kSamePoint && Dot(d1.x, d1.y, d2.x, d2.y) >= 0.0f) {
        sideA_.push_back({b.x - n1.x, b.y - n1.y});
        sideB_.push_back({b.x + n1.x, b.y + n1.y});
        return;
    }
    const Vec mp = m2 > 0.0f ? Vec{m.x * hw2 / m2, m.y * hw2 / m2} : Vec{0.0f, 0.0f};
    // Inner side: the miter point when it lies within both segments, else a notch through
    // the vertex.  Outer side: the join style.
    if (cross > 0.0f) {
        if (Dot(mp.x + d1.x, mp.y + d1.y, d1.x, d1.y) > 0.0f &&
            Dot(d2.x - mp.x, d2.y - mp.y, d2.x, d2.y) > 0.0f) {
            sideB_.push_back({b.x + mp.x, b.y + mp.y});
        } else {
            sideB_.push_back({b.x + n1.x, b.y + n1.y});
            sideB_.push_back(b);
            sideB_.push_back({b.x + n2.x, b.y + n2.y});
        }
        if (style == kBevelJoin) {
            sideA_.push_back({b.x - n1.x, b.y - n1.y});
            sideA_.push_back({b.x - n2.x, b.y - n2.y});
        } else if (style == kMiterJoin) {
            sideA_.push_back({b.x - mp.x, b.y - mp.y});
        } else {
            RoundJoin(sideA_, b, {-n1.x, -n1.y}, {-n2.x, -n2.y}, 1.0f);
        }
    } else {
        if (Dot(d1.x - mp.x, d1.y - mp.y, d1.x, d1.y) > 0.0f &&
            Dot(mp.x + d2.x, mp.y + d2.y, d2.x, d2.y) > 0.0f) {
            sideA_.push_back({b.x - mp.x, b.y - mp.y});
        } else {
            sideA_.push_back({b.x - n1.x, b.y - n1.y});
            sideA_.push_back(b);
            sideA_.push_back({b.x - n2.x, b.y - n2.y});
        }
        if (style == kBevelJoin) {
            sideB_.push_back({b.x + n1.x, b.y + n1.y});
            sideB_.push_back({b.x + n2.x, b.y + n2.y});
        } else if (style == kMiterJoin) {
            sideB_.push_back({b.x + mp.x, b.y + mp.y});
        } else {
            RoundJoin(sideB_, b, n1, n2, -1.0f);
        }
    }
}

// Segments for a sweep so that the chord error stays within the round tolerance.
int ZOutliner::RoundSegments(float sweep) const {
    const float step = 2.8284271f * std::sqrt(roundTolerance_ / halfWidth_);
    const float n = std::ceil(std::fabs(sweep) / step);
    if (!(n >= 1.0f)) return 1;
    return n > kMaxRoundSegments ? kMaxRoundSegments : static_cast<int>(n);
}

// Arc around b from offset v1 to v2: decreasing angle for a positive sign, increasing
// for a negative one.
void ZOutliner::RoundJoin(Side& side, Vec b, Vec v1, Vec v2, float sign) {
    float a1 = std::atan2(v1.y, v1.x), a2 = std::atan2(v2.y, v2.x);
    if (sign > 0.0f && a2 > a1) a1 += kTwoPi;
    if (sign < 0.0f && a1 > a2) a2 += kTwoPi;
    const int n = RoundSegments(a2 - a1);
    side.push_back({b.x + v1.x, b.y + v1.y});
    for (int k = 1; k < n; ++k) {
        const float theta = a1 + (a2 - a1) * static_cast<float>(k) / static_cast<float>(n);
        side.push_back({b.x + halfWidth_ * std::cos(theta), b.y + halfWidth_ * std::sin(theta)});
    }
    side.push_back({b.x + v2.x, b.y + v2.y});
}

// Cap at b facing direction d, from the -n side to the +n side.
void ZOutliner::Cap(Side& out, Vec b, Vec d, int32_t style) {
    const Vec n = Normal(d);
    const Vec t{-n.y, n.x};
    switch (style) {
    case kRoundCap: {
        out.push_back({b.x - n.x, b.y - n.y});
        const int segments = RoundSegments(kPi);
        for (int k = 1; k < segments; ++k) {
            const float theta = static_cast<float>(k) * kPi / static_cast<float>(segments);
            const float c = std::cos(theta), s = std::sin(theta);
            out.push_back({b.x - n.x * c - n.y * s, b.y - n.y * c + n.x * s});
        }
        out.push_back({b.x + n.x, b.y + n.y});
        break;
    }
    case kSquareCap:
        out.push_back({b.x - n.x + t.x, b.y - n.y + t.y});
        out.push_back({b.x + n.x + t.x, b.y + n.y + t.y});
        break;
    default:
        out.push_back({b.x - n.x, b.y - n.y});
        out.push_back({b.x + n.x, b.y + n.y});
        break;
    }
}
