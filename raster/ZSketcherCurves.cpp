// The sketcher's curve flatteners: only paths that store curves reach them (the adaptive one not
// even those), and the paths the plug-in draws hold lines only; kept as specified.
#include "raster/ZSketcher.h"

#include <cmath>

namespace {

float gCurveTolerance = 1.0f;

constexpr float kArcStep = 0.06544985f; // 2*pi / 96
constexpr float kTwoPi = 6.2831853f;
constexpr int kMaxArcSteps = 2 * 96;

} // namespace

float ZSketcher::CurveTolerance() {
    return gCurveTolerance;
}

void ZSketcher::SetCurveTolerance(float tolerance) {
    gCurveTolerance = (tolerance < 0.0f || std::isnan(tolerance)) ? 0.01f : tolerance;
}

// Forward differences over 24 equal parameter steps; the last segment ends exactly on the
// end point so that rounding never opens a gap.
void ZSketcher::QuadTo(float cx, float cy, float x, float y) {
    const float x0 = curX_, y0 = curY_;
    const float ax = (x + x0 - 2.0f * cx) * (1.0f / 576.0f);
    const float ay = (y + y0 - 2.0f * cy) * (1.0f / 576.0f);
    float dx = ax + (cx - x0) * (1.0f / 12.0f);
    float dy = ay + (cy - y0) * (1.0f / 12.0f);
    float px = x0, py = y0;
    for (int i = 0; i < 23; ++i) {
        px += dx;
        py += dy;
        dx += 2.0f * ax;
        dy += 2.0f * ay;
        LineTo(px, py);
    }
    LineTo(x, y);
}

// The graphics context flattens its own cubics with the same 24 steps but divides where
// this multiplies by rounded reciprocals and sums in another order; the two differ in the
// last bit, so each keeps its arithmetic.  Paths the context builds hold only lines, so
// this one serves paths that carry cubic elements themselves.
void ZSketcher::CubicTo(float c1x, float c1y, float c2x, float c2y, float x, float y) {
    const float x0 = curX_, y0 = curY_;
    const bool flatY = c1y == y0 && c2y == y0 && y == y0;
    const bool flatX = c1x == x0 && c2x == x0 && x == x0;
    if (flatY || flatX) {
        LineTo(x, y);
        return;
    }
    const float ex = x + 3.0f * (c1x - c2x) - x0, ey = y + 3.0f * (c1y - c2y) - y0;
    const float fx = x0 - 2.0f * c1x + c2x, fy = y0 - 2.0f * c1y + c2y;
    float d1x = (c1x - x0) * 0.125f + fx * (1.0f / 192.0f) + ex * (1.0f / 13824.0f);
    float d1y = (c1y - y0) * 0.125f + fy * (1.0f / 192.0f) + ey * (1.0f / 13824.0f);
    float d2x = fx * (1.0f / 96.0f) + ex * (6.0f / 13824.0f);
    float d2y = fy * (1.0f / 96.0f) + ey * (6.0f / 13824.0f);
    const float d3x = ex * (6.0f / 13824.0f), d3y = ey * (6.0f / 13824.0f);
    float px = x0, py = y0;
    for (int i = 0; i < 23; ++i) {
        px += d1x;
        py += d1y;
        d1x += d2x;
        d1y += d2y;
        d2x += d3x;
        d2y += d3y;
        LineTo(px, py);
    }
    LineTo(x, y);
}

// No path element leads here.  The centre sits at the current point minus the radii, so
// the arc starts at angle 0 and ends where (x, y) lies horizontally.
void ZSketcher::ArcTo(float rx, float ry, float x, float y, uint32_t, int32_t increasing) {
    const float centreX = curX_ - rx, centreY = curY_ - ry;
    const float start = std::acos((curX_ - centreX) / rx);
    float end = std::acos((x - centreX) / rx);
    float step = kArcStep;
    if (increasing != 0) {
        if (end < start) end += kTwoPi;
    } else {
        if (end > start) end -= kTwoPi;
        step = -kArcStep;
    }
    float angle = start + step;
    for (int i = 0; i < kMaxArcSteps && std::fabs(end - angle) > kArcStep; ++i) {
        if ((step > 0.0f) != (end > angle)) break; // overshot: NaN radii or rounding
        LineTo(centreX + rx * std::cos(angle), centreY + ry * std::sin(angle));
        angle += step;
    }
    LineTo(x, y);
}

float ZSketcher::ChordDistanceSquared(float x0, float y0, float cx, float cy, float x1, float y1) {
    const float dx = x1 - x0, dy = y1 - y0;
    const float lengthSquared = dx * dx + dy * dy;
    if (lengthSquared == 0.0f) return 0.0f;
    const float cross = (cy - y0) * dx - (cx - x0) * dy;
    return cross * cross / lengthSquared;
}

void ZSketcher::SplitQuad(float x0, float y0, float cx, float cy, float x1, float y1) {
    const float m0x = (x0 + cx) * 0.5f, m0y = (y0 + cy) * 0.5f;
    const float m1x = (cx + x1) * 0.5f, m1y = (cy + y1) * 0.5f;
    const float midX = (m0x + m1x) * 0.5f, midY = (m0y + m1y) * 0.5f;
    ++splitDepth_;
    SubdivideQuad(x0, y0, m0x, m0y, midX, midY);
    SubdivideQuad(midX, midY, m1x, m1y, x1, y1);
    --splitDepth_;
}

void ZSketcher::SubdivideQuad(float x0, float y0, float cx, float cy, float x1, float y1) {
    const bool flat = !(ChordDistanceSquared(x0, y0, cx, cy, x1, y1) > gCurveTolerance);
    if (flat || !SplitAllowed()) {
        LineTo(x1, y1);
        return;
    }
    SplitQuad(x0, y0, cx, cy, x1, y1);
}
