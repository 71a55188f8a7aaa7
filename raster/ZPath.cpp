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
    Walk(it);
}
