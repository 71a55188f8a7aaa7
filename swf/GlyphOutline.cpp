#include "swf/GlyphOutline.h"

#include "graphics/GraphicsContext.h"

namespace UT {

void GlyphOutline::Draw(GraphicsContext& context) const {
    context.BeginPath(GraphicsContext::kDrawnPath);
    for (const Step& s : steps) {
        if (s.kind == kLine)
            context.LineTo(s.a);
        else if (s.kind == kQuad)
            context.QuadTo(s.a, s.b);
        else
            context.ClosePath();
    }
    context.EndPath();
}

} // namespace UT
