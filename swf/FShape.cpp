#include "swf/FShape.h"

#include "base/RecordConversions.h"
#include "graphics/GraphicsContext.h"
#include "raster/ZBitmapStencil.h"
#include "raster/ZOutliner.h"
#include "shapes/BitmapLookup.h"
#include "shapes/PathIterator.h"
#include "swf/FBitmap.h"
#include "swf/FlashScript.h"

#include <cmath>

namespace UT {

namespace {

// Gradients are defined on a square 32768 twips wide.
constexpr float kGradientSquare = 32768.0f;

// Movies from this SWF version on have their smoothed bitmap fills sampled bilinearly.
constexpr uint16_t kSmoothedVersion = 8;

// The width in device pixels of a stroke outlined in device space, or 0 for a stroke
// outlined in its shape's own space at the line style's width.
// No stroke is narrower than one device pixel (its width taken through the transform's mean
// scale).  With NoHScale (NoVScale) the width keeps out of the horizontal (vertical) scale of
// a transform that scales along the axes; under a skewed or turned transform the reference
// pictures show such strokes following the transform like any other.
float DeviceStrokeWidth(const LineStyle& line, const Matrix4& toDevice) {
    const float(&m)[4][4] = toDevice.m;
    const float meanScale = std::sqrt(std::fabs(m[0][0] * m[1][1] - m[0][1] * m[1][0]));
    const bool alongAxes = m[0][1] == 0.0f && m[1][0] == 0.0f;
    if ((!line.noHScale && !line.noVScale) || !alongAxes)
        return line.width * meanScale < 1.0f ? 1.0f : 0.0f;
    const float hScale = std::fabs(m[0][0]), vScale = std::fabs(m[1][1]);
    const float width = line.width * (line.noHScale ? (line.noVScale ? 1.0f : vScale) : hScale);
    return width < 1.0f ? 1.0f : width;
}

// The kept path to build through.  A stroke outlined in device space takes the one kept for
// this transform, else a new one while fewer than kTransformsKept are kept (a symbol placed
// a few times, or a shape's first few frames), else the first, which draws by its calls
// for any other transform.  Other paths have one.
KeptPath& KeptFor(std::vector<KeptPath>& kept, const Matrix4* transform) {
    if (transform) {
        for (KeptPath& k : kept)
            if (k.HeldFor(*transform)) return k;
        if (kept.size() < FShape::kTransformsKept) {
            kept.reserve(FShape::kTransformsKept); // room for all, so that later ones move none
            return kept.emplace_back();
        }
    }
    if (kept.empty()) kept.emplace_back();
    return kept.front();
}

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

FShape::FShape(FlashScript* owner, int version) : FShape(owner, *owner, version) {}

FShape::FShape(FlashScript* owner, FlashParser& reader, int version) : FObject(owner) {
    id = reader.ReadUI16();
    bounds = ToRectF(reader.ReadRect());
    if (version >= 4) {
        reader.ReadRect(); // the edge bounds, without the strokes
        reader.ReadUI8();  // reserved bits and the scaling-stroke and winding flags
    }
    DictionaryBitmaps bitmaps(*owner);
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
    const auto& paths = geometry->Paths();
    if (keptPaths.size() != paths.size())
        keptPaths = std::vector<std::vector<KeptPath>>(paths.size());
    const size_t n = paths.size();
    for (size_t i = 0; i < n; ++i) {
        if (i + 2 < n)
            for (const KeptPath& k : keptPaths[i + 2]) k.PrefetchOwn();
        if (i + 1 < n)
            for (const KeptPath& k : keptPaths[i + 1]) k.PrefetchHeld();
        RenderPath(context, paths[i], keptPaths[i]);
    }
}

void FShape::RenderPath(GraphicsContext& context, const StyledPath& styled,
                        std::vector<KeptPath>& pathKept) {
    RectF box = styled.bounds;
    if (styled.line) {
        const float half = styled.line->width * 0.5f;
        box = RectF{box.xmin - half, box.ymin - half, box.xmax + half, box.ymax + half};
    }
    if (!Overlaps(context.GetTransformBounds(box), context.Viewport())) return;

    const FillStyle* fill = styled.fill;
    const LineStyle* line = styled.line;
    // A shape clips by its fills: strokes draw nothing into a clip layer's mask.
    if (!fill && context.Layer() == GraphicsContext::kMaskLayer) return;
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

    // A stroke whose width does not follow the transform is outlined in device space: its
    // points go through the transform, which the context then leaves out.
    const Matrix4 toDevice = context.GetTransform(GraphicsContext::kModel);
    const float deviceWidth = fill ? 0.0f : DeviceStrokeWidth(*line, toDevice);
    if (deviceWidth > 0) {
        context.SetLineWidth(deviceWidth);
        context.PushTransform();
        context.LoadTransform(Matrix4());
    }
    context.BeginPath(GraphicsContext::kDrawnPath);
    // One-pixel strokes run through pixel centres, so that each covers whole pixels as
    // Flash Player draws them.
    PathIterator replay(context, deviceWidth > 0 ? &toDevice : nullptr, deviceWidth == 1.0f);
    // Points taken through this frame's transform are kept for that transform.
    KeptPath& kept = KeptFor(pathKept, deviceWidth > 0 ? &toDevice : nullptr);
    kept.Build(
        context, owner->KeptPathRoom(), [&] { styled.path->Iterate(replay); },
        deviceWidth > 0 ? &toDevice : nullptr);
    if (painted) {
        // Curves can bulge past the stored box; the paint is placed against the box of
        // what the renderer will fill, which the context measures once.
        const RectF paintBox = fill ? context.FillPaintBox() : context.StrokePaintBox();
        // A stroke outlined in device space places its paint there too.
        Matrix4 fillMatrix = pattern->patternMatrix;
        if (deviceWidth > 0) {
            fillMatrix = toDevice;
            fillMatrix.Multiply(pattern->patternMatrix);
        }
        context.SetTransformMode(GraphicsContext::kPaint);
        context.LoadTransform(PatternMatrix(fillMatrix, pattern->paint.Get(), paintBox));
        context.SetTransformMode(GraphicsContext::kModel);
        context.EndPath();
        context.SetPaintQuality(0);
        context.SetTransformMode(GraphicsContext::kPaint);
        context.PopTransform();
        context.SetTransformMode(GraphicsContext::kModel);
    } else {
        context.EndPath();
    }
    if (line) kept.KeepOutline(context);
    if (deviceWidth > 0) context.PopTransform();
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
Matrix4 FShape::PatternMatrix(const Matrix4& fillMatrix, const ZStencil* paint,
                              const RectF& pathBounds) {
    Matrix4 m = fillMatrix;
    // Only an image paint can be a bitmap: gradients need not be asked.
    const auto* bitmap =
        paint && !paint->IsVectorPaint() ? dynamic_cast<const ZBitmapStencil*>(paint) : nullptr;
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
