#include "shapes/PathIterator.h"

#include "graphics/GraphicsContext.h"

namespace UT {

void PathIterator::MoveTo(float x, float y) {
    context.MoveTo(At(x, y));
}

void PathIterator::LineTo(float x, float y) {
    context.LineTo(At(x, y));
}

void PathIterator::CubicTo(float c1x, float c1y, float c2x, float c2y, float x, float y) {
    context.CubicTo(At(c1x, c1y), At(c2x, c2y), At(x, y));
}

void PathIterator::QuadTo(float cx, float cy, float x, float y) {
    context.QuadTo(At(cx, cy), At(x, y));
}

void PathIterator::Close() {
    context.ClosePath();
}

} // namespace UT
