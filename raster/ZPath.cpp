#include "raster/ZPath.h"

ZPath::ZPath() {
    elements_.reserve(16);
}

ZPath::~ZPath() = default;

void ZPath::Append(float x, float y, uint8_t kind) {
    // Grow by half the capacity rather than the library's doubling: paths are many and
    // mostly small.
    const size_t capacity = elements_.capacity();
    if (elements_.size() == capacity) {
        size_t grown = capacity + capacity / 2;
        if (grown < capacity + 1) grown = capacity + 1;
        elements_.reserve(grown);
    }
    elements_.push_back({x, y, kind});
}

void ZPath::QuadTo(float cx, float cy, float x, float y) {
    Append(cx, cy, kQuad);
    Append(x, y, kCurvePoint);
}

ZPathElement ZPath::FirstPointAs(uint8_t kind) const {
    if (elements_.empty()) return {0.0f, 0.0f, kind};
    return {elements_.front().x, elements_.front().y, kind};
}

void ZPath::Close() {
    const ZPathElement e = FirstPointAs(kClose);
    Append(e.x, e.y, e.kind);
}

void ZPath::MarkEnd() {
    const ZPathElement e = FirstPointAs(kEnd);
    Append(e.x, e.y, e.kind);
}

bool ZPath::IsClosed() const {
    return !elements_.empty() && elements_.back().kind == kClose;
}

void ZPath::Iterate(Iterator& it) const {
    it.Begin();
    const size_t n = elements_.size();
    const ZPathElement* e = elements_.data();
    for (size_t i = 0; i < n; ++i) {
        switch (e[i].kind) {
        case kMove:
            it.MoveTo(e[i].x, e[i].y);
            break;
        case kLine:
            it.LineTo(e[i].x, e[i].y);
            break;
        case kQuad:
            if (i + 1 >= n) return; // truncated curve: nothing sensible to draw
            it.QuadTo(e[i].x, e[i].y, e[i + 1].x, e[i + 1].y);
            ++i;
            break;
        case kCubic:
            if (i + 2 >= n) return;
            it.CubicTo(e[i].x, e[i].y, e[i + 1].x, e[i + 1].y, e[i + 2].x, e[i + 2].y);
            i += 2;
            break;
        case kClose:
            it.Close();
            break;
        case kCurvePoint:
        case kNop:
            break;
        default:
            return;
        }
    }
}
