// Replays a stored ZPath into a graphics context's open path.
#pragma once

#include "base/ValueTypes.h"
#include "raster/ZPath.h"

#include <cmath>

class GraphicsContext;

namespace UT {

class PathIterator : public ZPath::Iterator {
public:
    // With `transform`, every point goes through it first; with `toPixelCentres` it then
    // moves to the centre of the pixel it lies in.
    explicit PathIterator(GraphicsContext& context, const Matrix4* transform = nullptr,
                          bool toPixelCentres = false)
        : context(context), transform(transform), toPixelCentres(toPixelCentres) {}

    void Begin() override {}
    void MoveTo(float x, float y) override;
    void LineTo(float x, float y) override;
    void CubicTo(float c1x, float c1y, float c2x, float c2y, float x, float y) override;
    void QuadTo(float cx, float cy, float x, float y) override;
    // Stored shape paths hold no arcs.
    void ArcTo(float, float, float, float, uint32_t, int32_t) override {}
    void Close() override;

private:
    Point3 At(float x, float y) const {
        Point3 p = transform ? transform->Transform({x, y, 0}) : Point3{x, y, 0};
        if (toPixelCentres) p = {std::floor(p.x) + 0.5f, std::floor(p.y) + 0.5f, p.z};
        return p;
    }

    GraphicsContext& context;
    const Matrix4* transform;
    bool toPixelCentres;
};

} // namespace UT
