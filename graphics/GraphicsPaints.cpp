// The graphics context's paints, line style and the filling and stroking of its path.
#include "graphics/GraphicsContext.h"

#include "graphics/GraphicsHelpers.h"
#include "raster/ZOutliner.h"
#include "raster/ZPaintBox.h"

#include <cmath>

using namespace graphics_detail;

// ---- Paints and line style ----------------------------------------------------------------

void GraphicsContext::SetSolidColor(ZColorStencil& solid, const ColorRGBA& color) {
    const ColorRGBA c = colorStack_.back().Apply(color);
    const uint8_t bgra[4] = {uint8_t(std::lround(Clamp01(c.blue) * 255.0f)),
                             uint8_t(std::lround(Clamp01(c.green) * 255.0f)),
                             uint8_t(std::lround(Clamp01(c.red) * 255.0f)),
                             uint8_t(std::lround(Clamp01(c.alpha) * 255.0f))};
    solid.SetColor(bgra);
}

void GraphicsContext::SetFillColor(const ColorRGBA& color) {
    if (!PaintsAccepted()) return;
    SetSolidColor(*solidFill_, color);
    fillPaint_ = fillColorPaint_.Get();
    fillTables_ = false;
}

void GraphicsContext::SetStrokeColor(const ColorRGBA& color) {
    if (!PaintsAccepted()) return;
    SetSolidColor(*solidStroke_, color);
    strokePaint_ = strokeColorPaint_.Get();
    strokeTables_ = false;
}

void GraphicsContext::SetPaint(Held<ZStencil>& slot, bool& tables, ZStencil* paint) {
    tables = false;
    const ColorTransform& cx = colorStack_.back();
    if (paint && !cx.identity) {
        if (!paint->IsVectorPaint()) {
            // Bitmaps keep their pixels; their colours go through lookup tables at fill time.
            tables = true;
        } else {
            slot = TransformedPaint(paint, cx);
            return;
        }
    }
    slot = paint;
}

ZStencil* GraphicsContext::TransformedPaint(ZStencil* paint, const ColorTransform& cx) {
    for (TransformedCopy& entry : transformedCopies_)
        if (entry.source.Get() == paint && entry.cx == cx) return entry.copy.Get();
    TransformedCopy& entry = transformedCopies_[nextTransformedCopy_];
    nextTransformedCopy_ = (nextTransformedCopy_ + 1) % kTransformedCopies;
    entry.source = paint;
    entry.cx = cx;
    entry.copy = Held<ZStencil>::Adopt(paint->Clone());
    entry.copy->ApplyColorTransform(cx);
    return entry.copy.Get();
}

void GraphicsContext::SetFillPaint(ZStencil* paint) {
    if (PaintsAccepted()) SetPaint(fillPaint_, fillTables_, paint);
}

void GraphicsContext::SetStrokePaint(ZStencil* paint) {
    if (PaintsAccepted()) SetPaint(strokePaint_, strokeTables_, paint);
}

void GraphicsContext::SetLineWidth(float width) {
    if (!InPath() && (enabled_ & kLineStyle)) lineWidth_ = width;
    outline_.valid = false;
}

void GraphicsContext::SetMiterLimit(float value) {
    if (!InPath() && (enabled_ & kLineStyle)) miterLimit_ = value;
    outline_.valid = false;
}

// ---- Drawing ------------------------------------------------------------------------------

void GraphicsContext::BuildColorTables() {
    const ColorTransform& cx = colorStack_.back();
    const bool wide = target_ && target_->bytesPerChannel == 2;
    const int32_t full = wide ? kFullAlpha16 : 255;
    // The renderer hands out only the tables of its depth; the other pointers stay null.
    uint8_t* tables8[4];
    uint16_t* tables16[4];
    for (int ch = 0; ch < 4; ++ch) {
        tables8[ch] = wide ? nullptr : renderer_.Table8(ZRenderer::Channel(ch));
        tables16[ch] = wide ? renderer_.Table16(ZRenderer::Channel(ch)) : nullptr;
    }
    for (int32_t i = 0; i <= full; ++i) {
        const float v = float(i) / float(full);
        const ColorRGBA c = cx.Apply({v, v, v, v});
        const float channels[4] = {c.red, c.green, c.blue, c.alpha};
        for (int ch = 0; ch < 4; ++ch) {
            const float scaled = channels[ch] * float(full);
            const int32_t value =
                scaled > float(full) ? full : (scaled > 0.0f ? int32_t(scaled) : 0);
            if (tables16[ch])
                tables16[ch][i] = uint16_t(value);
            else if (tables8[ch])
                tables8[ch][i] = uint8_t(value);
        }
    }
}

void GraphicsContext::PreparePaint(ZStencil* paint, bool tables) {
    if (paint->IsSolidColor()) {
        renderer_.SetUseTables(false);
        return;
    }
    renderer_.SetUseTables(tables);
    paint->SetSmoothing(paintQuality_ != 0 ? 1 : 0);
    const bool known = paintRepeat_ == ZStencil::kClamp || paintRepeat_ == ZStencil::kRepeat;
    paint->SetRepeatMode(known ? paintRepeat_ : int32_t(ZStencil::kTransparent));
    paint->SetMipMap(paintQuality_ == 1 && (enabled_ & kMipMaps));
    // Paths drawn one after another mostly share their paint matrix.
    const Matrix4& toPaint = stacks_[kPaint].back();
    if (!paintInverseValid_ || !toPaint.SameBits(paintMatrix_)) {
        paintMatrix_ = toPaint;
        paintInverse_ = toPaint.Inverse();
        paintInverseValid_ = true;
    }
    paint->SetPaintMatrix(paintInverse_);
}

void GraphicsContext::DrawPath() {
    if (!target_) return;
    if (fillTables_ || strokeTables_) BuildColorTables();
    if (fillPaint_ && SamePoint(currentPoint_, startPoint_)) {
        ZStencil* paint = fillPaint_.Get();
        PreparePaint(paint, fillTables_);
        if (LayerDepth()) NoteDrawn(FillPaintBox());
        // The open path is still the kept one when nothing was added to it.
        const BuiltPath* kept = openPathKept_;
        const ZPath& path = OpenPath();
        ZKeptFill* fill = keptFill_                                    ? keptFill_
                          : kept && kept->path.Count() == path.Count() ? &kept->keptFill
                                                                       : nullptr;
        renderer_.FillPath(path, DrawTransform(), paint, fillRule_,
                           paint->IsSolidColor() ? kEmptyBox : FillPaintBox(), fill);
    }
    if (strokePaint_ && lineWidth_ > 0) StrokePath();
}

void GraphicsContext::StrokePath() {
    ZStencil* paint = strokePaint_.Get();
    PreparePaint(paint, strokeTables_);
    const ZPath& outline = StrokeOutline();
    if (LayerDepth()) NoteDrawn(StrokePaintBox());
    const BuiltPath* kept = openPathKept_;
    // An outline kept after this stroke takes room for as many spans as it paints.
    if (kept && &outline != &kept->outline) renderer_.CountNextSpans();
    renderer_.FillPath(outline, DrawTransform(), paint, fillRule_,
                       paint->IsSolidColor() ? kEmptyBox : StrokePaintBox(),
                       kept && &outline == &kept->outline ? &kept->keptOutlineFill : nullptr);
}

GraphicsContext::BuiltPath::Line GraphicsContext::StrokeLine() const {
    return {lineWidth_, miterLimit_, lineCap_, lineEndCap_, lineJoin_, lineNoClose_};
}

const ZPath& GraphicsContext::StrokeOutline() {
    const ZPath& path = OpenPath();
    if (outline_.Holds(path)) return *outlinePath_;
    const bool dashed = (enabled_ & kDashes) && !dashes_.empty();
    outlineLine_ = StrokeLine();
    outlineUndashed_ = !dashed;
    const BuiltPath* kept = openPathKept_;
    if (kept && kept->outlineKept && !dashed && kept->path.Count() == path.Count() &&
        kept->outlineLine == outlineLine_) {
        outlinePath_ = &kept->outline;
    } else {
        dashDescriptor_ = {dashPhase_, dashes_.data(), int32_t(dashes_.size())};
        outliner_->SetDashPattern(dashed ? &dashDescriptor_ : nullptr);
        outliner_->SetMiterLimit(miterLimit_);
        outliner_->SetCapStyle(lineCap_);
        outliner_->SetEndCapStyle(lineEndCap_);
        outliner_->SetNoClose(lineNoClose_);
        outliner_->SetJoinStyle(lineJoin_);
        outlinePath_ = &outliner_->Outline(path, lineWidth_ / 2);
    }
    outline_ = {kEmptyBox, path.Count(), true, false};
    return *outlinePath_;
}

const RectF& GraphicsContext::FillPaintBox() {
    const ZPath& path = OpenPath();
    if (!fillBox_.Holds(path)) fillBox_ = {ZMeasurePaintBox(path), path.Count(), true, true};
    return fillBox_.box;
}

const RectF& GraphicsContext::StrokePaintBox() {
    const ZPath& outline = StrokeOutline();
    if (!outline_.measured) {
        outline_.box = ZMeasurePaintBox(outline);
        outline_.measured = true;
    }
    return outline_.box;
}
