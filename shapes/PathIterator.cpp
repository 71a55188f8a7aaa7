#include "shapes/PathIterator.h"

#include "graphics/GraphicsContext.h"

namespace UT {

void PathIterator::MoveTo(float x, float y) {
    context.MoveTo({x, y, 0});
}

void PathIterator::LineTo(float x, float y) {
    context.LineTo({x, y, 0});
}

void PathIterator::CubicTo(float c1x, float c1y, float c2x, float c2y, float x, float y) {
    context.CubicTo({c1x, c1y, 0}, {c2x, c2y, 0}, {x, y, 0});
}

void PathIterator::QuadTo(float cx, float cy, float x, float y) {
    context.QuadTo({cx, cy, 0}, {x, y, 0});
}

void PathIterator::Close() {
    context.ClosePath();
}

} // namespace UT
