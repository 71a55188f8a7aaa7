// Stores the traced paths of a shape as ZPath objects with their style and bounds.
#pragma once

#include "raster/ZPath.h"
#include "shapes/PathOutputter.h"

#include <memory>
#include <vector>

namespace UT {

// One stored path: exactly one of fill and line is set.
struct StyledPath {
    std::unique_ptr<ZPath> path;
    const FillStyle* fill = nullptr;
    const LineStyle* line = nullptr;
    // Over the path's points (curve control points excluded), in pixels.
    RectF bounds;
};

class ShapeOutputter : public PathOutputter {
public:
    explicit ShapeOutputter(std::vector<StyledPath>& target) : target(target) {}

    void SetFill(const FillStyle* fill) override;
    void SetLine(const LineStyle* line) override;
    void BeginPath() override;
    void MoveTo(const Point3& p) override;
    void LineTo(const Point3& p) override;
    void QuadTo(const Point3& control, const Point3& p) override;
    void EndPath() override;

private:
    void Extend(const Point3& p);

    std::vector<StyledPath>& target;
    RectF bounds;
    const FillStyle* fill = nullptr;
    const LineStyle* line = nullptr;
    std::unique_ptr<ZPath> path;
};

} // namespace UT
