#include "swf/FShape.h"

#include "base/RecordConversions.h"
#include "graphics/GraphicsContext.h"
#include "raster/ZBitmapStencil.h"
#include "raster/ZOutliner.h"
#include "shapes/BitmapLookup.h"
#include "shapes/PathIterator.h"
#include "swf/FBitmap.h"
#include "swf/FlashScript.h"

namespace UT {

namespace {

// Gradients are defined on a square 32768 twips wide.
constexpr float kGradientSquare = 32768.0f;

// Movies from this SWF version on have their smoothed bitmap fills sampled bilinearly.
constexpr uint16_t kSmoothedVersion = 8;

bool Overlaps(const RectF& r, const RectF& viewport) {
    return viewport.xmin <= r.xmax && viewport.ymin <= r.ymax && r.xmin < viewport.xmax &&
           r.ymin < viewport.ymax;
}

// Bitmap fills take their paint from the bitmap characters of the movie's dictionary.
class DictionaryBitmaps final : public BitmapLookup {
public:
    explicit DictionaryBitmaps(const FlashScript& movie) : movie(movie) {}

    Held<ZStencil> BitmapPaint(uint16_t id) override {
        const Held<FObject> character = movie.FindCharacter(id);
        auto* bitmap = dynamic_cast<FBitmap*>(character.Get());
        return bitmap ? Held<ZStencil>::Adopt(bitmap->GetStencil()) : Held<ZStencil>();
    }

private:
    const FlashScript& movie;
};

} // namespace

FShape::FShape(FlashScript* owner, int version) : FObject(owner) {
    FlashScript& reader = *owner;
    id = reader.ReadUI16();
    bounds = ToRectF(reader.ReadRect());
    if (version >= 4) {
        reader.ReadRect(); // the edge bounds, without the strokes
        reader.ReadUI8();  // reserved bits and the scaling-stroke and winding flags
    }
    DictionaryBitmaps bitmaps(reader);
    initialStyles = std::make_unique<StyleTable>(reader, bitmaps, version);
    geometry =
        std::make_unique<ShapeGeometry>(reader, bitmaps, bounds, version, initialStyles.get());
}

FShape::~FShape() {
    // The paths point into the style tables.
    geometry.reset();
    initialStyles.reset();
}

void FShape::Render(GraphicsContext& context, FDisplayItem* /*item*/) {
    if (!Overlaps(context.GetTransformBounds(bounds), context.Viewport())) return;
    context.SetLineCap(ZOutliner::kRoundCap);
    context.SetLineJoin(ZOutliner::kRoundJoin);
    context.SetFillRule(GraphicsContext::kNonZeroRule);
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
    const LineStyle* line = styled.line;
    // A stroke painted with a fill style spreads its paint over the stroke's own box.
    const FillStyle* pattern = fill ? fill : line && line->hasFill ? &line->fill : nullptr;
    const RectF& patternBox = fill ? styled.bounds : box;
    if (pattern && pattern->drawsNothing) return;
    const bool painted = pattern && pattern->paint;
    if (painted) {
        // A box without area encloses nothing, and its pattern matrix would divide by 0.
        if (!(patternBox.xmax - patternBox.xmin != 0.0f) ||
            !(patternBox.ymax - patternBox.ymin != 0.0f))
            return;
        context.SetTransformMode(GraphicsContext::kPaint);
        context.PushTransform();
        context.SetTransformMode(GraphicsContext::kModel);
        context.SetPaintRepeat(pattern->clamped ? ZStencil::kClamp : ZStencil::kRepeat);
        context.SetPaintQuality(pattern->smoothed && owner->Version() >= kSmoothedVersion ? 1 : 0);
        if (fill) {
            context.SetFillPaint(fill->paint.Get());
            context.SetStrokePaint(nullptr);
        } else {
            context.SetFillPaint(nullptr);
            context.SetStrokePaint(pattern->paint.Get());
            SetLineStyle(context, *line);
        }
    } else if (fill) {
        context.SetFillColor(fill->color);
        context.SetStrokePaint(nullptr);
    } else if (line) {
        context.SetFillPaint(nullptr);
        context.SetStrokeColor(line->color);
        SetLineStyle(context, *line);
    } else {
        return;
    }

    context.BeginPath(GraphicsContext::kDrawnPath);
    PathIterator replay(context);
    styled.path->Iterate(replay);
    if (painted) {
        // Curves can bulge past the stored box; the paint is placed against the box of
        // what the renderer will fill, which the context measures once.
        const RectF paintBox = fill ? context.FillPaintBox() : context.StrokePaintBox();
        context.SetTransformMode(GraphicsContext::kPaint);
        context.LoadTransform(PatternMatrix(*pattern, paintBox));
        context.SetTransformMode(GraphicsContext::kModel);
        context.EndPath();
        context.SetPaintQuality(0);
        context.SetTransformMode(GraphicsContext::kPaint);
        context.PopTransform();
        context.SetTransformMode(GraphicsContext::kModel);
    } else {
        context.EndPath();
    }
}

void FShape::SetLineStyle(GraphicsContext& context, const LineStyle& line) {
    context.SetLineWidth(line.width);
    context.SetLineCap(line.startCap);
    context.SetLineEndCap(line.endCap);
    context.SetLineJoin(line.join);
    context.SetLineNoClose(line.noClose);
    if (line.join == ZOutliner::kMiterJoin) context.SetMiterLimit(line.miterLimit);
}

// Maps the paint's own square, [-0.5, 0.5] on both axes, onto the path's box normalised
// the same way: the paint's units (gradient twips or bitmap texels) go through the fill
// matrix to shape pixels, which are then measured against the path's box.
Matrix4 FShape::PatternMatrix(const FillStyle& fill, const RectF& pathBounds) {
    Matrix4 m = fill.patternMatrix;
    const auto* bitmap = dynamic_cast<const ZBitmapStencil*>(fill.paint.Get());
    if (bitmap) {
        const float width = static_cast<float>(bitmap->LevelWidth(0));
        const float height = static_cast<float>(bitmap->LevelHeight(0));
        m.Translate(width * 0.5f, height * 0.5f, 0.0f);
        m.Scale(width, height, 1.0f);
    } else {
        m.Scale(kGradientSquare, kGradientSquare, 1.0f);
    }
    Matrix4 toBox;
    toBox.Translate(-0.5f, -0.5f, 0.0f);
    toBox.Scale(1.0f / (pathBounds.xmax - pathBounds.xmin),
                1.0f / (pathBounds.ymax - pathBounds.ymin), 1.0f);
    toBox.Translate(-pathBounds.xmin, -pathBounds.ymin, 0.0f);
    toBox.Multiply(m); // m first, then into the box
    return toBox;
}

} // namespace UT
