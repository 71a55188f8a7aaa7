// A glyph's outline as the graphics context calls that draw it, read from the file once
// and replayed at every draw.
#pragma once

#include "base/ValueTypes.h"

#include <cstdint>
#include <vector>

class GraphicsContext;

namespace UT {

class GlyphOutline {
public:
    void LineTo(const Point3& p) { steps.push_back({kLine, p, {}}); }
    void QuadTo(const Point3& c, const Point3& e) { steps.push_back({kQuad, c, e}); }
    void ClosePath() { steps.push_back({kClose, {}, {}}); }
    // Issues the recorded calls, between BeginPath(kDrawnPath) and EndPath like the first draw.
    void Draw(GraphicsContext& context) const;

    bool read = false;    // the records have been read
    bool present = false; // the records lie inside the file image

private:
    enum Kind : uint8_t { kLine, kQuad, kClose };
    struct Step {
        Kind kind;
        Point3 a, b;
    };
    std::vector<Step> steps;
};

} // namespace UT
