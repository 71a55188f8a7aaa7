#include "swf/GlyphOutline.h"

#include "graphics/GraphicsContext.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace UT {

namespace {

// Cutting works piece by piece: a segment is split where it crosses a side of the box, so
// that each piece lies in one of the nine cells the sides make, and each piece is mapped by
// its cell's map, which keeps a coordinate inside the box's range and replaces one beyond
// it by the side.  That map is affine within a cell, so a line stays a line and a curve a
// curve through its mapped control point, and the pieces still join.
struct Cutter {
    const RectF& clip;
    GraphicsContext& context;

    static float Pressed(float v, float mid, float low, float high) {
        return mid < low ? low : mid > high ? high : v;
    }
    Point3 Map(const Point3& p, const Point3& mid) const {
        return {Pressed(p.x, mid.x, clip.xmin, clip.xmax),
                Pressed(p.y, mid.y, clip.ymin, clip.ymax), p.z};
    }

    // Parameters in (0, 1) where a + b t + c t² reaches each side, sorted, ending with 1.
    size_t Crossings(float a, float b, float c, float low, float high, float* out, size_t n) const {
        for (const float side : {low, high}) {
            const float k = a - side;
            if (c == 0) {
                if (b != 0) out[n++] = -k / b;
                continue;
            }
            const float d = b * b - 4 * c * k;
            if (d < 0) continue;
            const float root = std::sqrt(d);
            out[n++] = (-b - root) / (2 * c);
            out[n++] = (-b + root) / (2 * c);
        }
        return n;
    }
    size_t Splits(const Point3& p0, const Point3& c, const Point3& p1, bool curved,
                  std::array<float, 9>& t) const {
        // x(t) = p0 + b t + a t²: for a line, the control point is its middle.
        const Point3 m = curved ? c : Point3{(p0.x + p1.x) / 2, (p0.y + p1.y) / 2, 0};
        size_t n = Crossings(p0.x, 2 * (m.x - p0.x), p0.x - 2 * m.x + p1.x, clip.xmin, clip.xmax,
                             t.data(), 0);
        n = Crossings(p0.y, 2 * (m.y - p0.y), p0.y - 2 * m.y + p1.y, clip.ymin, clip.ymax, t.data(),
                      n);
        n = size_t(
            std::remove_if(t.begin(), t.begin() + n, [](float v) { return !(v > 0 && v < 1); }) -
            t.begin());
        std::sort(t.begin(), t.begin() + n);
        t[n++] = 1;
        return n;
    }

    static Point3 Lerp(const Point3& a, const Point3& b, float t) {
        return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z};
    }
    // The part of the curve p0 c p1 from t0 to t1, by two de Casteljau cuts.
    static void Part(const Point3& p0, const Point3& c, const Point3& p1, float t0, float t1,
                     Point3& s, Point3& k, Point3& e) {
        auto at = [&](float t) { return Lerp(Lerp(p0, c, t), Lerp(c, p1, t), t); };
        s = at(t0);
        e = at(t1);
        // The curve from t0 on has the control point d; its part up to t1 is its first h.
        const Point3 d = Lerp(c, p1, t0);
        k = t0 < 1 ? Lerp(s, d, (t1 - t0) / (1 - t0)) : s;
    }

    void Line(const Point3& p0, const Point3& p1) const {
        std::array<float, 9> t{};
        const size_t n = Splits(p0, p0, p1, false, t);
        float from = 0;
        for (size_t i = 0; i < n; ++i) {
            const Point3 mid = Lerp(p0, p1, (from + t[i]) / 2);
            context.LineTo(Map(Lerp(p0, p1, t[i]), mid));
            from = t[i];
        }
    }
    void Quad(const Point3& p0, const Point3& c, const Point3& p1) const {
        std::array<float, 9> t{};
        const size_t n = Splits(p0, c, p1, true, t);
        float from = 0;
        for (size_t i = 0; i < n; ++i) {
            Point3 s, k, e;
            Part(p0, c, p1, from, t[i], s, k, e);
            const float m = (from + t[i]) / 2;
            const Point3 mid = Lerp(Lerp(p0, c, m), Lerp(c, p1, m), m);
            context.QuadTo(Map(k, mid), Map(i + 1 == n ? p1 : e, mid));
            from = t[i];
        }
    }
};

} // namespace

// An outline is closed, so it crosses every row of pixels as often downwards as upwards:
// off the layer, where its crossings would all land in the first or last column or in no
// row, they cancel.  The margin takes in the rounding of the corners' mapping and of the
// curves' steps, relative to the largest terms summed.
bool GlyphOutline::OffLayer(const GraphicsContext& context) const {
    const Matrix4& m = context.GetTransform(GraphicsContext::kModel);
    const float reach = std::max({std::fabs(bounds.xmin), std::fabs(bounds.ymin),
                                  std::fabs(bounds.xmax), std::fabs(bounds.ymax)});
    const float terms = (std::fabs(m.m[0][0]) + std::fabs(m.m[1][0]) + std::fabs(m.m[0][1]) +
                         std::fabs(m.m[1][1])) *
                            reach +
                        std::fabs(m.m[3][0]) + std::fabs(m.m[3][1]);
    const float margin = 2 + terms * 1e-5f;
    const RectF d = context.GetTransformBounds(bounds);
    const RectF& v = context.Viewport();
    return d.xmax < v.xmin - margin || d.ymax < v.ymin - margin || d.xmin > v.xmax + margin ||
           d.ymin > v.ymax + margin;
}

size_t GlyphOutline::MostSegments() const {
    size_t most = 1;
    for (const Step& s : steps) most += s.kind == kQuad ? 24 : s.kind == kLine ? 1 : 2;
    return most;
}

void GlyphOutline::Draw(GraphicsContext& context, PathRoom* room) const {
    if (steps.empty() || OffLayer(context)) return;
    context.BeginPath(GraphicsContext::kDrawnPath);
    kept.Build(context, room, [&] {
        for (const Step& s : steps) {
            if (s.kind == kLine)
                context.LineTo(s.a);
            else if (s.kind == kQuad)
                context.QuadTo(s.a, s.b);
            else
                context.ClosePath();
        }
    });
    context.EndPath();
}

void GlyphOutline::DrawClipped(GraphicsContext& context, const RectF& clip) const {
    if (steps.empty() || OffLayer(context)) return;
    const Cutter cut{clip, context};
    context.BeginPath(GraphicsContext::kDrawnPath);
    Point3 pen;
    bool started = false; // the contour's first point is its start, not a line
    for (const Step& s : steps) {
        if (s.kind == kClose) {
            context.ClosePath();
            started = false;
        } else if (!started) {
            pen = s.kind == kLine ? s.a : s.b;
            context.LineTo(cut.Map(pen, pen));
            started = true;
        } else if (s.kind == kLine) {
            cut.Line(pen, s.a);
            pen = s.a;
        } else {
            cut.Quad(pen, s.a, s.b);
            pen = s.b;
        }
    }
    context.EndPath();
}

} // namespace UT
