#include "shapes/ShapeOutputter.h"

namespace UT {

void ShapeOutputter::SetFill(const FillStyle* newFill) {
    fill = newFill;
    line = nullptr;
}

void ShapeOutputter::SetLine(const LineStyle* newLine) {
    fill = nullptr;
    line = newLine;
}

void ShapeOutputter::BeginPath() {
    path = std::make_unique<ZPath>();
    bounds = kEmptyBox;
}

void ShapeOutputter::MoveTo(const Point3& p) {
    if (!path) return;
    path->MoveTo(p.x, p.y);
    Extend(p);
}

void ShapeOutputter::LineTo(const Point3& p) {
    if (!path) return;
    path->LineTo(p.x, p.y);
    Extend(p);
}

void ShapeOutputter::QuadTo(const Point3& control, const Point3& p) {
    if (!path) return;
    path->QuadTo(control.x, control.y, p.x, p.y);
    Extend(p);
}

void ShapeOutputter::EndPath() {
    if (!path) return;
    target.push_back(StyledPath{std::move(path), fill, line, bounds});
}

void ShapeOutputter::Extend(const Point3& p) {
    if (p.x < bounds.xmin) bounds.xmin = p.x;
    if (p.x > bounds.xmax) bounds.xmax = p.x;
    if (p.y < bounds.ymin) bounds.ymin = p.y;
    if (p.y > bounds.ymax) bounds.ymax = p.y;
}

} // namespace UT
