// The immediate-mode drawing state every part of the movie model draws through: a target
// and its mask layer, four transform stacks, a colour-transform stack, the open path, the
// paints and the line style.  Paths reach pixels through the scanline renderer and, for
// strokes, the outliner.
#pragma once

#include "base/PixelBuffer.h"
#include "base/RefCountBase.h"
#include "base/ValueTypes.h"
#include "raster/ZColorStencil.h"
#include "raster/ZFillRule.h"
#include "raster/ZOutliner.h"
#include "raster/ZPath.h"
#include "raster/ZRenderer.h"

#include <cstdint>
#include <memory>
#include <vector>

struct LayerRequest;
struct LayerStack;

class GraphicsContext {
public:
    enum EnableBit : uint32_t {
        kColorTransforms = 1, // colour transforms apply
        kLineStyle = 2,       // line-style changes are accepted
        kMaskTest = 4,        // drawing into the target passes only where the mask covers
        kDashes = 8,          // dash patterns apply
        kMipMaps = 16,        // mip-mapped paints (with paint quality mode 1)
    };
    enum TransformStack : int32_t { kModel = 0, kPaint = 2 };
    static constexpr int32_t kStackCount = 4;
    enum LayerIndex : int32_t { kTargetLayer = 0, kMaskLayer = 1 };
    // BeginPath's mode: every caller opens paths to be drawn at their outermost EndPath.
    enum PathMode : int32_t { kNoPath = 0, kDrawnPath = 1 };
    // SetFillRule takes kNonZeroRule for non-zero winding and anything else for even-odd.
    enum FillRuleRequest : int32_t { kEvenOddRule = 0, kNonZeroRule = 1 };
    // GetInteger's names.  1, 4 and 6 report the stacks' reserved depth.
    enum IntegerName : int32_t {
        kModelStackDepth = 0,
        kReservedDepth1 = 1,
        kPaintStackDepth = 2,
        kStack3Depth = 3,
        kReservedDepth4 = 4,
        kColorStackDepth = 5,
        kReservedDepth6 = 6,
        kCurrentLayer = 7,
        kCurrentTransformMode = 8,
        kFillsNonZero = 9,
        kCurrentLineCap = 10,
        kCurrentLineJoin = 11,
    };
    enum FloatName : int32_t {
        kCurrentLineWidth = 50,
        kCurrentStrokeValueA = 51,
        kCurrentMiterLimit = 52,
        kCurveTolerance = 53,
    };
    static constexpr int32_t kReservedStackDepth = 16; // entries each stack reserves

    GraphicsContext();
    ~GraphicsContext();
    GraphicsContext(const GraphicsContext&) = delete;
    GraphicsContext& operator=(const GraphicsContext&) = delete;

    // ---- Target, layers and state ----
    void SetTarget(PixelBuffer* buffer);
    PixelBuffer* Target() const { return target_.Get(); }
    PixelBuffer* MaskLayer() const { return mask_.Get(); }
    const RectF& Viewport() const { return viewport_; }
    void Reset();
    void SetLayer(int32_t index);
    int32_t Layer() const { return layer_; }
    void Enable(uint32_t bits);
    void Disable(uint32_t bits);
    uint32_t GetEnabled() const { return enabled_; }
    // Clears the current layer; on the target with the mask test on, paints through the mask.
    void Clear(const ColorRGBA& color);
    int32_t GetInteger(int32_t name) const;
    float GetFloat(int32_t name) const;
    // Module-wide: a negative or NaN tolerance becomes 0.01.
    static void SetCurveTolerance(float value);

    // ---- Layers (colour targets of 1 byte per channel) ----
    // Draws what follows into a transparent layer of its own, until PopLayer composites it
    // (filtered, with its blend mode) onto what lies below.  Refused (false) while the
    // mask layer is current, inside a path, or beyond the deepest nesting.
    bool PushLayer(const LayerRequest& request);
    void PopLayer();
    int32_t LayerDepth() const;

    // ---- Transforms (ignored while a path is open, except Push, Pop and Load on the
    // paint stack) ----
    void SetTransformMode(int32_t stack);
    int32_t TransformMode() const { return transformMode_; }
    void PushTransform();
    void PopTransform();
    void LoadIdentity();
    void LoadTransform(const Matrix4& m);
    // m acts on points first, the current transform after it.
    void MultTransform(const Matrix4& m);
    void Translate(const Point3& v);
    void Scale(const Point3& v);
    // Angles in degrees; Rotate turns about the z axis.
    void Rotate(float degrees);
    void RotateAxis(float degrees, const Point3& axis);
    const Matrix4& GetTransform(int32_t stack) const { return stacks_[Clamp(stack)].back(); }
    Point3 TransformPoint(const Point3& p) const;
    void TransformPoints(Point3* points, size_t count) const;
    Point3 DeviceToModel(const Point3& p);
    RectF GetTransformBounds(const RectF& r) const;

    // ---- Colour transforms ----
    void PushColorTransform();
    void PopColorTransform();
    void MultColorTransform(const ColorTransform& c);
    void LoadColorTransform(const ColorTransform& c);
    const ColorTransform& GetColorTransform() const { return colorStack_.back(); }

    // ---- Paths ----
    void BeginPath(int32_t mode);
    void EndPath();
    void MoveTo(const Point3& p);
    void LineTo(const Point3& p);
    void QuadTo(const Point3& c, const Point3& e);
    void CubicTo(const Point3& c1, const Point3& c2, const Point3& e);
    void ClosePath();

    // The open path as the calls since BeginPath built it, kept by a caller that draws the
    // same outline again: restoring it stands for the calls and the flattening of their
    // curves, and leaves the context exactly as they would.
    struct BuiltPath {
        // What a stroke outline was made with, beside the path.
        struct Line {
            float width = 0, miterLimit = 0;
            int32_t cap = 0, endCap = 0, join = 0;
            bool noClose = false;
            bool operator==(const Line&) const = default;
        };
        ZPath path;
        Point3 start, current;
        int32_t points = 0;
        // The path's undashed stroke outline, once kept (KeepStrokeOutline), for the line
        // it was made with: a stroke of the restored path with that line uses it.
        ZPath outline;
        Line outlineLine;
        bool outlineKept = false;
        // What the first fills of the path and of its kept outline leave for later ones,
        // kept by the renderer within what the keeper allows them.
        mutable ZKeptFill keptFill, keptOutlineFill;
    };
    // Whether the open path is still empty, so that what the next calls build can be kept.
    bool PathIsEmpty() const { return InPath() && pointCount_ == 0 && OpenPath().Count() == 0; }
    // False, with nothing kept, when the calls built nothing or began at the pen where an
    // earlier path left it (a curve as the first call), since the same calls could then
    // leave another path or pen.
    bool KeepPath(BuiltPath& built);
    // Makes the open, empty path the kept one; false, with nothing done, when the path is
    // not open or not empty.
    bool RestorePath(const BuiltPath& built);
    // Keeps in `built` the undashed stroke outline made for the path just drawn, when that
    // path was kept into or restored from `built` and not changed since; false otherwise.
    bool KeepStrokeOutline(BuiltPath& built) const;
    // What the fill of the next path drawn keeps and takes back, instead of what its kept
    // path holds: for a caller that draws one kept path at several places and keeps a fill
    // for each.  It holds for that one path, which must be the same path at every draw.
    void SetKeptFill(ZKeptFill* fill) { keptFill_ = fill; }
    // How many spans the last stroke of a kept path painted, when its outline was not the
    // kept one (0 otherwise).
    size_t LastFillSpans() const { return renderer_.LastSpanCount(); }
    void Arc(const Point3& centre, float radius, float startDegrees, float endDegrees);
    void Pie(const Point3& centre, float radius, float startDegrees, float endDegrees);
    void Rect(const RectF& r);
    void Ellipse(const RectF& r);
    void RoundRect(const RectF& r, float rounding);
    void Dot(const Point3& p);
    // The box the open path's fill paint is placed against, and its stroke paint (the box
    // of the outline the stroke fills): measured once per path, and the same box the
    // renderer is handed when the path is drawn.
    const RectF& FillPaintBox();
    const RectF& StrokePaintBox();
    int32_t PathDepth() const { return pathDepth_; }
    int32_t PointCount() const { return pointCount_; }
    const ZPath& Path() const { return OpenPath(); }

    // ---- Paints and line style ----
    void SetFillColor(const ColorRGBA& color);
    void SetStrokeColor(const ColorRGBA& color);
    // The paint is shared; null means no fill (or no stroke).
    void SetFillPaint(ZStencil* paint);
    void SetStrokePaint(ZStencil* paint);
    ZStencil* FillPaint() const { return fillPaint_.Get(); }
    ZStencil* StrokePaint() const { return strokePaint_.Get(); }
    void SetLineWidth(float width);
    // Caps and joins are the outliner's codes (ZOutliner::CapStyle, JoinStyle), stored and
    // handed on unchanged.  Both ends of every line; SetLineEndCap then changes the end
    // where each line stops.
    void SetLineCap(int32_t code) {
        lineCap_ = lineEndCap_ = code;
        outline_.valid = false;
    }
    void SetLineEndCap(int32_t code) {
        lineEndCap_ = code;
        outline_.valid = false;
    }
    // A stroke that comes back to its start is then capped there instead of joined.
    void SetLineNoClose(bool noClose) {
        lineNoClose_ = noClose;
        outline_.valid = false;
    }
    void SetLineJoin(int32_t code) {
        lineJoin_ = code;
        outline_.valid = false;
    }
    void SetStrokeValueA(float value);
    void SetMiterLimit(float value);
    void SetDash(const float* values, int32_t count, float phase);
    void SetDashPhase(float phase) {
        dashPhase_ = phase;
        outline_.valid = false;
    }
    // A stencil repeat mode; codes above kRepeat mean transparent outside.
    void SetPaintRepeat(int32_t code) { paintRepeat_ = code; }
    // Non-zero: paints are sampled smoothly (1 also mip-mapped when that is enabled).
    void SetPaintQuality(int32_t mode) { paintQuality_ = mode; }
    void SetFillRule(int32_t rule) {
        fillRule_ = rule == kNonZeroRule ? ZFillRule::kNonZero : ZFillRule::kEvenOdd;
    }
    ZFillRule FillRule() const { return fillRule_; }
    bool FillColorTable() const { return fillTables_; }

    ZRenderer& Renderer() { return renderer_; }

private:
    static int32_t Clamp(int32_t stack) { return stack < 0 || stack >= kStackCount ? 0 : stack; }
    bool InPath() const { return pathDepth_ > 0; }
    // An open path keeps the model transform it was started with; the paint stack may
    // still be pushed, loaded and popped, so a fill can be placed once its path is known.
    bool ModelLocked() const { return InPath() && transformMode_ != kPaint; }
    bool PaintsAccepted() const {
        return !InPath() &&
               (enabled_ & (kColorTransforms | kLineStyle)) == (kColorTransforms | kLineStyle);
    }
    Matrix4& Top() { return stacks_[transformMode_].back(); }
    void TransformChanged() { deviceValid_ = false; }
    void AddLine(const Point3& p);
    // A curve as the first call of a path starts it where the pen was left.
    void StartAtPen();
    void SetSolidColor(ZColorStencil& solid, const ColorRGBA& color);
    void SetPaint(Held<ZStencil>& slot, bool& tables, ZStencil* paint);
    // `paint` with its colours put through `cx`, made once and kept for the next frames.
    ZStencil* TransformedPaint(ZStencil* paint, const ColorTransform& cx);
    void BuildColorTables();
    void PreparePaint(ZStencil* paint, bool tables);
    void DrawPath();
    void StrokePath();
    // The open path's stroke outline, made once per path and line style.
    const ZPath& StrokeOutline();
    BuiltPath::Line StrokeLine() const;
    void ClearBuffer(PixelBuffer& buffer, const ColorRGBA& color);
    // Points the renderer and the viewport at the innermost layer, or at the target.
    void BindDrawing();
    // Drops every open layer (a new frame or target); their buffers are cleaned when
    // next used.
    void AbandonLayers();
    // The model transform as the renderer needs it: moved to the innermost layer.
    const Matrix4* DrawTransform();
    // Grows the innermost layer's drawn box by a box of model space.
    void NoteDrawn(const RectF& box);
    void CompositeLayer();
    void PaintThroughMask(const ColorRGBA& color);

    RectF viewport_;
    Held<PixelBuffer> target_;
    Held<PixelBuffer> mask_;
    int32_t pathMode_ = kNoPath;
    int32_t layer_ = kTargetLayer;
    ZFillRule fillRule_ = ZFillRule::kNonZero;
    int32_t transformMode_ = 0;
    int32_t lineCap_ = 0;
    int32_t lineEndCap_ = 0;
    bool lineNoClose_ = false;
    int32_t lineJoin_ = 0;
    int32_t paintRepeat_ = ZStencil::kRepeat;
    int32_t pathDepth_ = 0;
    int32_t pointCount_ = 0;
    bool pathFromPen_ = false; // the open path's first point is the pen left before it
    float lineWidth_ = 0;
    float strokeValueA_ = 0;
    float miterLimit_ = 1.5f;
    Point3 startPoint_;
    Point3 currentPoint_;
    Held<ZStencil> fillPaint_;
    Held<ZStencil> strokePaint_;
    Held<ZStencil> fillColorPaint_;
    Held<ZStencil> strokeColorPaint_;
    // Copies of vector paints under colour transforms.  A frame draws the same paints under
    // the same transforms as the frame before, and a gradient's copy builds its whole ramp,
    // so the last few copies are kept; each keeps its source alive, so a source address is
    // never reused while its entry stands.
    struct TransformedCopy {
        Held<ZStencil> source;
        ColorTransform cx;
        Held<ZStencil> copy;
    };
    static constexpr size_t kTransformedCopies = 8;
    TransformedCopy transformedCopies_[kTransformedCopies];
    size_t nextTransformedCopy_ = 0;
    Held<ZColorStencil> solidFill_;
    Held<ZColorStencil> solidStroke_;
    int32_t paintQuality_ = 0;
    Matrix4 deviceTransform_;
    bool deviceValid_ = false;
    // The last paint matrix prepared, and its inverse.
    Matrix4 paintMatrix_, paintInverse_;
    bool paintInverseValid_ = false;
    bool fillTables_ = false;
    bool strokeTables_ = false;
    // The open path: a restored kept path stands for it, uncopied, until it is added to.
    ZPath path_;
    const ZPath* restored_ = nullptr;
    const ZPath& OpenPath() const { return restored_ ? *restored_ : path_; }
    ZPath& EditPath();
    uint32_t enabled_ = kColorTransforms | kLineStyle;
    std::vector<Matrix4> stacks_[kStackCount];
    std::vector<ColorTransform> colorStack_;
    ZRenderer renderer_;
    std::unique_ptr<ZOutliner> outliner_;
    // What was measured or made of the open path, valid while the path still has the
    // element count it had then (paths only grow until BeginPath clears them).
    struct PathBox {
        RectF box;
        size_t elements = 0;
        bool valid = false;
        bool measured = false; // box holds the measure
        bool Holds(const ZPath& path) const { return valid && elements == path.Count(); }
    };
    PathBox fillBox_;
    PathBox outline_;
    const ZPath* outlinePath_ = nullptr;
    BuiltPath::Line outlineLine_;  // what outlinePath_ was made with
    bool outlineUndashed_ = false; // ... and whether it was undashed
    // The kept path the open path was kept into or restored from, while the path is open;
    // the last one stays known by address (never followed) until the next path begins.
    const BuiltPath* openPathKept_ = nullptr;
    ZKeptFill* keptFill_ = nullptr; // SetKeptFill's, until the next path ends
    const BuiltPath* lastPathKept_ = nullptr;
    std::vector<float> dashes_;
    float dashPhase_ = 0;
    ZDashPattern dashDescriptor_;
    std::unique_ptr<LayerStack> layers_;
    int32_t originX_ = 0, originY_ = 0; // the innermost layer's place on the picture
    Matrix4 drawTransform_;
};
