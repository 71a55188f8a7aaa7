// The graphics context's path building: points, lines and quadratic curves (the figures
// and the cubic curves they are built of are in GraphicsShapes.cpp).
#include "graphics/GraphicsContext.h"

#include "graphics/GraphicsHelpers.h"

using namespace graphics_detail;

// ---- Paths --------------------------------------------------------------------------------

void GraphicsContext::BeginPath(int32_t mode) {
    if (pathDepth_ == 0) {
        pathMode_ = mode;
        path_.Clear();
        restored_ = nullptr;
        pathFromPen_ = false;
        openPathKept_ = lastPathKept_ = nullptr;
        fillBox_.valid = outline_.valid = false;
    }
    ++pathDepth_;
    pointCount_ = 0;
}

void GraphicsContext::EndPath() {
    if (pathDepth_ <= 0) return;
    if (--pathDepth_ > 0) return;
    pathMode_ = kNoPath;
    if (pointCount_ >= 2) DrawPath();
    // A kept outline belongs to its caller, who may let it go once the path is drawn.
    if (openPathKept_ && outlinePath_ == &openPathKept_->outline) outline_.valid = false;
    openPathKept_ = nullptr;
    keptFill_ = nullptr;
}

ZPath& GraphicsContext::EditPath() {
    if (restored_) {
        path_.CopyFrom(*restored_);
        restored_ = nullptr;
    }
    return path_;
}

void GraphicsContext::MoveTo(const Point3& p) {
    EditPath().MoveTo(p.x, p.y);
    startPoint_ = currentPoint_ = p;
    ++pointCount_;
}

void GraphicsContext::AddLine(const Point3& p) {
    EditPath().LineTo(p.x, p.y);
    ++pointCount_;
}

void GraphicsContext::LineTo(const Point3& p) {
    if (pointCount_ == 0) {
        MoveTo(p);
        return;
    }
    if (SamePoint(p, currentPoint_)) return;
    ZPath& path = EditPath();
    path.LineTo(p.x, p.y);
    if (SamePoint(p, startPoint_)) path.Close();
    ++pointCount_;
    currentPoint_ = p;
}

void GraphicsContext::QuadTo(const Point3& c, const Point3& e) {
    if (pointCount_ == 0) StartAtPen();
    const Point3 p = currentPoint_;
    const float ax = (p.x - 2 * c.x + e.x) / 576.0f, ay = (p.y - 2 * c.y + e.y) / 576.0f;
    float dx = (c.x - p.x) / 12.0f + ax, dy = (c.y - p.y) / 12.0f + ay;
    float x = p.x, y = p.y;
    for (int i = 0; i < 23; ++i) {
        x += dx;
        y += dy;
        dx += 2 * ax;
        dy += 2 * ay;
        AddLine({x, y, 0});
    }
    ZPath& path = EditPath();
    path.LineTo(e.x, e.y);
    if (SamePoint(e, startPoint_)) path.Close();
    currentPoint_ = e;
    ++pointCount_;
}

void GraphicsContext::StartAtPen() {
    if (OpenPath().Count() == 0) pathFromPen_ = true;
    MoveTo(currentPoint_);
}

bool GraphicsContext::KeepPath(BuiltPath& built) {
    // An empty path would leave the pen where it was, which a kept one cannot.
    if (pathFromPen_ || pointCount_ == 0) return false;
    built.path.CopyFrom(OpenPath());
    built.start = startPoint_;
    built.current = currentPoint_;
    built.points = pointCount_;
    built.outlineKept = false;
    built.keptFill.Forget();
    built.keptOutlineFill.Forget();
    openPathKept_ = lastPathKept_ = &built;
    return true;
}

bool GraphicsContext::RestorePath(const BuiltPath& built) {
    if (!PathIsEmpty()) return false;
    // Taken as it is until something is added to it.
    restored_ = &built.path;
    startPoint_ = built.start;
    currentPoint_ = built.current;
    pointCount_ = built.points;
    pathFromPen_ = false;
    openPathKept_ = lastPathKept_ = &built;
    return true;
}

bool GraphicsContext::KeepStrokeOutline(BuiltPath& built) const {
    if (&built != lastPathKept_ || InPath() || built.path.Count() != OpenPath().Count() ||
        !outline_.Holds(OpenPath()) || !outlineUndashed_)
        return false;
    built.outline.CopyFrom(*outlinePath_);
    built.outlineLine = outlineLine_;
    built.outlineKept = true;
    built.keptOutlineFill.Forget();
    return true;
}

void GraphicsContext::ClosePath() {
    if (InPath() && pointCount_ > 0 && !SamePoint(currentPoint_, startPoint_)) LineTo(startPoint_);
}
