// The sink of traced shape paths: fills arrive as closed contours (one path per fill
// style), strokes as polylines (one path each).
#pragma once

#include "base/ValueTypes.h"

namespace UT {

struct FillStyle;
struct LineStyle;

class PathOutputter {
public:
    virtual ~PathOutputter() = default;

    // The paths that follow are fills (or strokes) of this style.
    virtual void SetFill(const FillStyle* fill) = 0;
    virtual void SetLine(const LineStyle* line) = 0;
    virtual void BeginPath() = 0;
    virtual void MoveTo(const Point3& p) = 0;
    virtual void LineTo(const Point3& p) = 0;
    virtual void QuadTo(const Point3& control, const Point3& p) = 0;
    virtual void EndPath() = 0;
};

} // namespace UT
