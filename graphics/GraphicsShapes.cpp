// The complete figures (Arc, Pie, Rect, Ellipse, RoundRect, Dot) and the cubic curves they
// are built of: no caller of the plug-in draws them; kept as the context's specified paths.
#include "graphics/GraphicsContext.h"

#include "graphics/GraphicsHelpers.h"

#include <algorithm>
#include <cmath>

using namespace graphics_detail;

namespace {

constexpr float kCircleKappa = 0.5522f;

} // namespace

// Not ZSketcher::CubicTo: that one multiplies by rounded reciprocals where this divides,
// and the points differ in the last bit.  Flattening here, before the path is stored,
// also keeps the point count and the closing test on the context's own points.
void GraphicsContext::CubicTo(const Point3& c1, const Point3& c2, const Point3& e) {
    if (pointCount_ == 0) StartAtPen();
    const Point3 p = currentPoint_;
    const bool flatY = c1.y == p.y && c2.y == p.y && e.y == p.y;
    const bool flatX = c1.x == p.x && c2.x == p.x && e.x == p.x;
    if (flatX || flatY) {
        LineTo(e);
        return;
    }
    const float Ax = 3 * (c1.x - c2.x) - p.x + e.x, Ay = 3 * (c1.y - c2.y) - p.y + e.y;
    const float Bx = p.x - 2 * c1.x + c2.x, By = p.y - 2 * c1.y + c2.y;
    const float Cx = c1.x - p.x, Cy = c1.y - p.y;
    float d1x = Cx / 8 + Bx / 192 + Ax / 13824, d1y = Cy / 8 + By / 192 + Ay / 13824;
    float d2x = Bx / 96 + Ax / 2304, d2y = By / 96 + Ay / 2304;
    const float d3x = Ax / 2304, d3y = Ay / 2304;
    float x = p.x, y = p.y;
    ZPath& path = EditPath();
    for (int i = 0; i < 23; ++i) {
        x += d1x;
        y += d1y;
        d1x += d2x;
        d1y += d2y;
        d2x += d3x;
        d2y += d3y;
        path.LineTo(x, y);
    }
    path.LineTo(e.x, e.y);
    if (SamePoint(e, startPoint_)) path.Close();
    currentPoint_ = e;
    pointCount_ += 3;
}

void GraphicsContext::Arc(const Point3& centre, float radius, float startDegrees,
                          float endDegrees) {
    const float a0 = startDegrees * kDegreesToRadians, a1 = endDegrees * kDegreesToRadians;
    for (int i = 0; i <= 100; ++i) {
        const float theta = a0 + float(i) * (a1 - a0) / 100.0f;
        LineTo({std::cos(theta) * radius + centre.x, std::sin(theta) * radius + centre.y, 0});
    }
}

void GraphicsContext::Pie(const Point3& centre, float radius, float startDegrees,
                          float endDegrees) {
    MoveTo(centre);
    Arc(centre, radius, startDegrees, endDegrees);
    ClosePath();
}

void GraphicsContext::Rect(const RectF& r) {
    BeginPath(kDrawnPath);
    MoveTo({r.xmin, r.ymin, 0});
    LineTo({r.xmax, r.ymin, 0});
    LineTo({r.xmax, r.ymax, 0});
    LineTo({r.xmin, r.ymax, 0});
    LineTo({r.xmin, r.ymin, 0});
    EndPath();
}

void GraphicsContext::Ellipse(const RectF& r) {
    const float x0 = r.xmin, y0 = r.ymin, x1 = r.xmax, y1 = r.ymax;
    const float rx = std::fabs(x1 - x0) / 2, ry = std::fabs(y1 - y0) / 2;
    const float kx = kCircleKappa * rx, ky = kCircleKappa * ry;
    BeginPath(kDrawnPath);
    MoveTo({x0 + rx, y0, 0});
    CubicTo({x1 - rx + kx, y0, 0}, {x1, y0 + ry - ky, 0}, {x1, y0 + ry, 0});
    CubicTo({x1, y0 + ry + ky, 0}, {x1 - rx + kx, y1, 0}, {x1 - rx, y1, 0});
    CubicTo({x1 - rx - kx, y1, 0}, {x0, y1 - ry + ky, 0}, {x0, y1 - ry, 0});
    CubicTo({x0, y1 - ry - ky, 0}, {x0 + rx - kx, y0, 0}, {x0 + rx, y0, 0});
    EndPath();
}

void GraphicsContext::RoundRect(const RectF& r, float rounding) {
    if (rounding == 0.0f) {
        Rect(r);
        return;
    }
    const float x0 = r.xmin, y0 = r.ymin, x1 = r.xmax, y1 = r.ymax;
    const float rho = std::min(std::fabs(x1 - x0), std::fabs(y1 - y0)) * rounding / 2;
    const float k = kCircleKappa * rho;
    BeginPath(kDrawnPath);
    MoveTo({x0 + rho, y0, 0});
    LineTo({x1 - rho, y0, 0});
    CubicTo({x1 - rho + k, y0, 0}, {x1, y0 + rho - k, 0}, {x1, y0 + rho, 0});
    LineTo({x1, y1 - rho, 0});
    CubicTo({x1, y1 - rho + k, 0}, {x1 - rho + k, y1, 0}, {x1 - rho, y1, 0});
    LineTo({x0 + rho, y1, 0});
    CubicTo({x0 + rho - k, y1, 0}, {x0, y1 - rho + k, 0}, {x0, y1 - rho, 0});
    LineTo({x0, y0 + rho, 0});
    CubicTo({x0, y0 + rho - k, 0}, {x0 + rho - k, y0, 0}, {x0 + rho, y0, 0});
    EndPath();
}

void GraphicsContext::Dot(const Point3& p) {
    if (lineWidth_ <= 0) return;
    const float h = lineWidth_ / 2;
    Ellipse({p.x - h, p.y - h, p.x + h, p.y + h});
}
