#include "swf/FShape.h"

#include "bridge/GraphicsContext.h"
#include "raster/ZBitmapStencil.h"
#include "shapes/PathIterator.h"
#include "swf/FlashScript.h"
#include "swf/RecordConversions.h"

#include <cmath>

namespace UT {

namespace {

// Gradients are defined on a square 32768 twips wide.
constexpr float kGradientSquare = 32768.0f;

bool Overlaps(const RectF& r, const RectF& viewport) {
    return viewport.xmin <= r.xmax && viewport.ymin <= r.ymax && r.xmin < viewport.xmax &&
           r.ymin < viewport.ymax;
}

} // namespace

FShape::FShape(FlashScript* owner, int version) : FObject(owner), withAlpha(version >= 3) {
    FlashScript& reader = *owner;
    id = reader.ReadUI16();
    bounds = ToRectF(reader.ReadRect());
    initialStyles = std::make_unique<StyleTable>(reader, withAlpha);
    geometry = std::make_unique<ShapeGeometry>(reader, bounds, withAlpha, initialStyles.get());
}

FShape::~FShape() {
    // The paths point into the style tables.
    geometry.reset();
    initialStyles.reset();
}

void FShape::Render(GraphicsContext& context, FDisplayItem* /*item*/) {
    if (!Overlaps(context.GetTransformBounds(bounds), context.Viewport())) return;
    context.SetLineCap(1);
    context.SetLineJoin(2);
    context.SetFillRule(1);
    context.Disable(GraphicsContext::kMipMaps);
    for (const StyledPath& styled : geometry->Paths()) RenderPath(context, styled);
}

void FShape::RenderPath(GraphicsContext& context, const StyledPath& styled) {
    RectF box = styled.bounds;
    if (styled.line) {
        const float half = styled.line->width * 0.5f;
        box = RectF{box.xmin - half, box.ymin - half, box.xmax + half, box.ymax + half};
    }
    if (!Overlaps(context.GetTransformBounds(box), context.Viewport())) return;

    const FillStyle* fill = styled.fill;
    const bool painted = fill && fill->paint;
    if (painted) {
        // A box without area encloses nothing, and its pattern matrix would divide by 0.
        if (!(styled.bounds.xmax - styled.bounds.xmin != 0.0f) ||
            !(styled.bounds.ymax - styled.bounds.ymin != 0.0f))
            return;
        context.SetTransformMode(GraphicsContext::kPaint);
        context.PushTransform();
        context.SetTransformMode(GraphicsContext::kModel);
        context.SetPaintRepeat(1);
        context.SetFillPaint(fill->paint.Get());
        context.SetStrokePaint(nullptr);
    } else if (fill) {
        context.SetFillColor(fill->color);
        context.SetStrokePaint(nullptr);
    } else if (styled.line) {
        context.SetFillPaint(nullptr);
        context.SetStrokeColor(styled.line->color);
        context.SetLineWidth(styled.line->width);
    } else {
        return;
    }

    context.BeginPath(1);
    PathIterator replay(context);
    styled.path->Iterate(replay);
    if (painted) {
        context.SetTransformMode(GraphicsContext::kPaint);
        context.LoadTransform(PatternMatrix(*fill, styled.bounds));
        context.SetTransformMode(GraphicsContext::kModel);
        context.EndPath();
        context.SetTransformMode(GraphicsContext::kPaint);
        context.PopTransform();
        context.SetTransformMode(GraphicsContext::kModel);
    } else {
        context.EndPath();
    }
}

Matrix4 FShape::PatternMatrix(const FillStyle& fill, const RectF& pathBounds) {
    Matrix4 m = fill.patternMatrix;
    const float w = std::fabs(pathBounds.xmax - pathBounds.xmin);
    const float h = std::fabs(pathBounds.ymax - pathBounds.ymin);
    const auto* bitmap = dynamic_cast<const ZBitmapStencil*>(fill.paint.Get());
    float sx = kGradientSquare / w;
    float sy = kGradientSquare / h;
    if (bitmap) {
        sx = static_cast<float>(bitmap->LevelWidth(0)) / w;
        sy = static_cast<float>(bitmap->LevelHeight(0)) / h;
    }
    for (int row = 0; row < 3; ++row) {
        m.m[row][0] *= sx;
        m.m[row][1] *= sy;
    }
    if (bitmap) m.Translate(-pathBounds.xmin, -pathBounds.ymin, 0.0f);
    m.identity = false;
    m.m[3][0] /= w;
    m.m[3][1] /= h;
    return m;
}

} // namespace UT
