// A glyph's outline as the graphics context calls that draw it, read from the file once
// and replayed at every draw, whole or cut to a box.
#pragma once

#include "base/RefCountBase.h"
#include "base/ValueTypes.h"
#include "swf/KeptPath.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class GraphicsContext;

namespace UT {

class GlyphOutline {
public:
    void LineTo(const Point3& p) {
        Grow(p);
        steps.push_back({kLine, p, {}});
    }
    void QuadTo(const Point3& c, const Point3& e) {
        Grow(c);
        Grow(e);
        steps.push_back({kQuad, c, e});
    }
    void ClosePath() { steps.push_back({kClose, {}, {}}); }
    // Issues the recorded calls, between BeginPath(kDrawnPath) and EndPath like the first
    // draw; nothing when the outline lies wholly off the layer drawn into, where it would
    // add nothing to any pixel.  The path they build is kept, in `room`, and put back by
    // the next draws instead.
    void Draw(GraphicsContext& context, PathRoom* room) const;
    // The same, cut to `clip` (outline units): what lies outside it is pressed onto its
    // edges, where it covers nothing, so the winding inside is the whole outline's.
    void DrawClipped(GraphicsContext& context, const RectF& clip) const;
    // Every point and control point lies in it; kEmptyBox for an empty outline.
    const RectF& Bounds() const { return bounds; }
    // The most device segments a fill of the drawn outline can have: a line each, 24 for
    // a curve (the context's flattening), and a closing line for each contour.
    size_t MostSegments() const;

    bool read = false;    // the records have been read
    bool present = false; // the records lie inside the file image

private:
    enum Kind : uint8_t { kLine, kQuad, kClose };
    struct Step {
        Kind kind;
        Point3 a, b;
    };
    bool OffLayer(const GraphicsContext& context) const;
    void Grow(const Point3& p) {
        bounds = {p.x < bounds.xmin ? p.x : bounds.xmin, p.y < bounds.ymin ? p.y : bounds.ymin,
                  p.x > bounds.xmax ? p.x : bounds.xmax, p.y > bounds.ymax ? p.y : bounds.ymax};
    }
    std::vector<Step> steps;
    RectF bounds = kEmptyBox;
    mutable KeptPath kept;
};

// A font's outlines, by glyph, each read on its first draw.  The movie keeps them by the
// place of the font's tag, so that the font read again after a rewind draws from them.
struct GlyphOutlines : RefCountBase {
    std::vector<GlyphOutline> byGlyph;
};

} // namespace UT
