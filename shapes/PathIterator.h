// Replays a stored ZPath into a graphics context's open path.
#pragma once

#include "raster/ZPath.h"

class GraphicsContext;

namespace UT {

class PathIterator : public ZPath::Iterator {
public:
    explicit PathIterator(GraphicsContext& context) : context(context) {}

    void Begin() override {}
    void MoveTo(float x, float y) override;
    void LineTo(float x, float y) override;
    void CubicTo(float c1x, float c1y, float c2x, float c2y, float x, float y) override;
    void QuadTo(float cx, float cy, float x, float y) override;
    // Stored shape paths hold no arcs.
    void ArcTo(float, float, float, float, uint32_t, int32_t) override {}
    void Close() override;

private:
    GraphicsContext& context;
};

} // namespace UT
