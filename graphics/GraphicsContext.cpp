#include "graphics/GraphicsContext.h"

#include "raster/ZOutliner.h"
#include "raster/ZSketcher.h"
#include "raster/ZSpanPainter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int32_t kReservedEntries = 16;
constexpr float kDegreesToRadians = 0.01745329238474369f;
constexpr float kCircleKappa = 0.5522f;
constexpr float kHugeBound = 3.4028235e38f;
constexpr int32_t kFullAlpha16 = 32768;

float Clamp01(float v) {
    return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f;
}

bool SamePoint(const Point3& a, const Point3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// Colour bytes blue, green, red, alpha with truncation, as clears use them.
void PackTruncated(const ColorRGBA& c, uint8_t* bgra) {
    bgra[0] = uint8_t(Clamp01(c.blue) * 255.0f);
    bgra[1] = uint8_t(Clamp01(c.green) * 255.0f);
    bgra[2] = uint8_t(Clamp01(c.red) * 255.0f);
    bgra[3] = uint8_t(Clamp01(c.alpha) * 255.0f);
}

void PackTruncated16(const ColorRGBA& c, uint16_t* bgra) {
    bgra[0] = uint16_t(Clamp01(c.blue) * kFullAlpha16);
    bgra[1] = uint16_t(Clamp01(c.green) * kFullAlpha16);
    bgra[2] = uint16_t(Clamp01(c.red) * kFullAlpha16);
    bgra[3] = uint16_t(Clamp01(c.alpha) * kFullAlpha16);
}

template <class T> void FillPixels(PixelBuffer& b, const T* value, int32_t count) {
    for (int32_t y = b.validTop; y < b.validBottom; ++y) {
        T* row = reinterpret_cast<T*>(b.Row(y)) + int64_t(b.validLeft) * count;
        for (int32_t x = b.validLeft; x < b.validRight; ++x, row += count)
            std::memcpy(row, value, sizeof(T) * size_t(count));
    }
}

// Full mask coverage writes the colour; partial coverage blends it over with the
// coverage-scaled alpha.
template <class T, uint32_t kFull>
void PaintColourThroughMask(PixelBuffer& target, const PixelBuffer& mask, const T* colour) {
    for (int32_t y = 0; y < target.height; ++y) {
        const T* cover = reinterpret_cast<const T*>(mask.Row(y));
        T* px = reinterpret_cast<T*>(target.Row(y));
        for (int32_t x = 0; x < target.width; ++x, px += 4) {
            if (cover[x] >= kFull)
                std::memcpy(px, colour, 4 * sizeof(T));
            else if (cover[x] != 0)
                ZBlendOver(px, colour, uint32_t(cover[x]) * colour[3] / kFull);
        }
    }
}

} // namespace

GraphicsContext::GraphicsContext() : outliner_(std::make_unique<ZOutliner>()) {
    for (auto& stack : stacks_) {
        stack.reserve(kReservedEntries);
        stack.emplace_back();
    }
    colorStack_.reserve(kReservedEntries);
    colorStack_.emplace_back();
    solidFill_ = Held<ZColorStencil>::Adopt(new ZColorStencil(255, 255, 255, 255));
    solidStroke_ = Held<ZColorStencil>::Adopt(new ZColorStencil(255, 255, 255, 255));
}

GraphicsContext::~GraphicsContext() = default;

// ---- Target, layers and state -------------------------------------------------------------

void GraphicsContext::SetTarget(PixelBuffer* buffer) {
    target_ = buffer;
    if (!buffer) return;
    viewport_ = {0, 0, float(buffer->width), float(buffer->height)};
    renderer_.SetTarget(buffer->pixels, buffer->width, buffer->height, buffer->bytesPerChannel,
                        buffer->pitch);
    if (mask_ && (mask_->width != buffer->width || mask_->height != buffer->height ||
                  mask_->bytesPerChannel != buffer->bytesPerChannel))
        mask_.Reset();
    if (!mask_) {
        mask_ = Held<PixelBuffer>::Adopt(
            PixelBuffer::Create(buffer->width, buffer->height, 1, buffer->bytesPerChannel));
        if (!mask_) return;
    }
    // The renderer forgets its mask when the target changes size, so hand it over each time.
    renderer_.SetMask(mask_->pixels, mask_->width, mask_->height, mask_->bytesPerChannel,
                      mask_->pitch);
}

void GraphicsContext::Reset() {
    fillColorPaint_ = solidFill_.Get();
    strokeColorPaint_ = solidStroke_.Get();
    const uint8_t white[4] = {255, 255, 255, 255};
    solidFill_->SetColor(white);
    solidStroke_->SetColor(white);
    lineWidth_ = 0;
    strokeValueA_ = 0;
    pathDepth_ = pointCount_ = pathMode_ = 0;
    SetLayer(0);
    renderer_.SetMaskRender(false);
    miterLimit_ = 1.5f;
    fillRule_ = 2;
    transformMode_ = 0;
    lineCap_ = lineEndCap_ = lineJoin_ = 0;
    lineNoClose_ = false;
    fillPaint_ = fillColorPaint_.Get();
    strokePaint_ = strokeColorPaint_.Get();
    fillTables_ = strokeTables_ = false;
    paintRepeat_ = 1;
    Disable(~0u);
    Enable(kColorTransforms | kLineStyle);
    for (auto& stack : stacks_) {
        stack.resize(1);
        stack.front().SetIdentity();
    }
    colorStack_.resize(1);
    colorStack_.front().SetIdentity();
    deviceValid_ = false;
    dashes_.clear();
}

void GraphicsContext::SetLayer(int32_t index) {
    if (pathMode_ != 0 || index == layer_) return;
    layer_ = index;
    renderer_.SetMaskRender(index == 1);
}

void GraphicsContext::Enable(uint32_t bits) {
    enabled_ |= bits;
    if (bits & kMaskTest) renderer_.SetClipByMask(true);
}

void GraphicsContext::Disable(uint32_t bits) {
    enabled_ &= ~bits;
    if (bits & kMaskTest) renderer_.SetClipByMask(false);
}

void GraphicsContext::Clear(const ColorRGBA& color) {
    if (layer_ == 1) {
        if (mask_) ClearBuffer(*mask_, color);
    } else if (target_) {
        if ((enabled_ & kMaskTest) && mask_)
            PaintThroughMask(color);
        else
            ClearBuffer(*target_, color);
    }
}

void GraphicsContext::ClearBuffer(PixelBuffer& b, const ColorRGBA& color) {
    if (!b.pixels) return;
    if (color.alpha == 0.0f) {
        std::memset(b.pixels, 0, size_t(b.ByteCount()));
        return;
    }
    uint8_t bytes[4];
    uint16_t words[4];
    PackTruncated(color, bytes);
    PackTruncated16(color, words);
    switch (b.bytesPerPixel) {
    case 1:
        FillPixels(b, &bytes[3], 1);
        break;
    case 2:
        FillPixels(b, &words[3], 1);
        break;
    case 4:
        FillPixels(b, bytes, 4);
        break;
    case 8:
        FillPixels(b, words, 4);
        break;
    default:
        break;
    }
}

void GraphicsContext::PaintThroughMask(const ColorRGBA& color) {
    PixelBuffer& t = *target_;
    const PixelBuffer& m = *mask_;
    if (!t.pixels || !m.pixels || t.width != m.width || t.height != m.height) return;
    if (t.bytesPerChannel == 2) {
        uint16_t words[4];
        PackTruncated16(color, words);
        PaintColourThroughMask<uint16_t, kFullAlpha16>(t, m, words);
    } else {
        uint8_t bytes[4];
        PackTruncated(color, bytes);
        PaintColourThroughMask<uint8_t, 255>(t, m, bytes);
    }
}

int32_t GraphicsContext::GetInteger(int32_t name) const {
    switch (name) {
    case 0:
    case 2:
    case 3:
        return int32_t(stacks_[name].size());
    case 1:
    case 4:
    case 6:
        return 16;
    case 5:
        return int32_t(colorStack_.size());
    case 7:
        return layer_;
    case 8:
        return transformMode_;
    case 9:
        return fillRule_ != 0 ? 1 : 0;
    case 10:
        return lineCap_;
    case 11:
        return lineJoin_;
    default:
        return 0;
    }
}

float GraphicsContext::GetFloat(int32_t name) const {
    switch (name) {
    case 50:
        return lineWidth_;
    case 51:
        return strokeValueA_;
    case 52:
        return miterLimit_;
    case 53:
        return ZSketcher::CurveTolerance();
    default:
        return 0;
    }
}

void GraphicsContext::SetCurveTolerance(float value) {
    ZSketcher::SetCurveTolerance(value);
}

// ---- Transforms ---------------------------------------------------------------------------

void GraphicsContext::SetTransformMode(int32_t stack) {
    transformMode_ = Clamp(stack);
}

void GraphicsContext::PushTransform() {
    if (ModelLocked()) return;
    auto& stack = stacks_[transformMode_];
    stack.push_back(stack.back());
}

void GraphicsContext::PopTransform() {
    if (ModelLocked()) return;
    auto& stack = stacks_[transformMode_];
    // The bottom entry stays: callers keep pushes and pops balanced.
    if (stack.size() > 1) stack.pop_back();
    TransformChanged();
}

void GraphicsContext::LoadIdentity() {
    if (InPath()) return;
    Top().SetIdentity();
    TransformChanged();
}

void GraphicsContext::LoadTransform(const Matrix4& m) {
    if (ModelLocked()) return;
    Top() = m;
    TransformChanged();
}

void GraphicsContext::MultTransform(const Matrix4& m) {
    if (InPath()) return;
    Top().Multiply(m);
    TransformChanged();
}

void GraphicsContext::Translate(const Point3& v) {
    if (InPath()) return;
    Top().Translate(v.x, v.y, v.z);
    TransformChanged();
}

void GraphicsContext::Scale(const Point3& v) {
    if (InPath()) return;
    Top().Scale(v.x, v.y, v.z);
    TransformChanged();
}

void GraphicsContext::Rotate(float degrees) {
    RotateAxis(degrees, {0, 0, 1});
}

void GraphicsContext::RotateAxis(float degrees, const Point3& axis) {
    if (InPath()) return;
    Top().Multiply(Matrix4::Rotation(degrees * kDegreesToRadians, axis.x, axis.y, axis.z));
    TransformChanged();
}

Point3 GraphicsContext::TransformPoint(const Point3& p) const {
    return stacks_[kModel].back().Transform(p);
}

void GraphicsContext::TransformPoints(Point3* points, size_t count) const {
    for (size_t i = 0; i < count; ++i) points[i] = TransformPoint(points[i]);
}

Point3 GraphicsContext::DeviceToModel(const Point3& p) {
    if (!deviceValid_) {
        deviceTransform_ = stacks_[kModel].back().Inverse();
        deviceValid_ = true;
    }
    return deviceTransform_.Transform(p);
}

RectF GraphicsContext::GetTransformBounds(const RectF& r) const {
    RectF out{kHugeBound, kHugeBound, -kHugeBound, -kHugeBound};
    const Point3 corners[4] = {
        {r.xmin, r.ymin, 0}, {r.xmax, r.ymin, 0}, {r.xmax, r.ymax, 0}, {r.xmin, r.ymax, 0}};
    for (const Point3& corner : corners) {
        const Point3 p = TransformPoint(corner);
        out.xmin = std::min(out.xmin, p.x);
        out.ymin = std::min(out.ymin, p.y);
        out.xmax = std::max(out.xmax, p.x);
        out.ymax = std::max(out.ymax, p.y);
    }
    return out;
}

// ---- Colour transforms --------------------------------------------------------------------

void GraphicsContext::PushColorTransform() {
    if (InPath()) return;
    colorStack_.push_back(colorStack_.back());
}

void GraphicsContext::PopColorTransform() {
    if (InPath() || colorStack_.size() <= 1) return;
    colorStack_.pop_back();
}

void GraphicsContext::MultColorTransform(const ColorTransform& c) {
    if (InPath() || !(enabled_ & kColorTransforms)) return;
    colorStack_.back().Concatenate(c);
}

void GraphicsContext::LoadColorTransform(const ColorTransform& c) {
    if (InPath() || !(enabled_ & kColorTransforms)) return;
    colorStack_.back() = c;
}

// ---- Paths --------------------------------------------------------------------------------

void GraphicsContext::BeginPath(int32_t mode) {
    if (pathDepth_ == 0) {
        pathMode_ = mode;
        path_.Clear();
    }
    ++pathDepth_;
    pointCount_ = 0;
}

void GraphicsContext::EndPath() {
    if (pathDepth_ <= 0) return;
    if (--pathDepth_ > 0) return;
    pathMode_ = 0;
    if (pointCount_ >= 2) DrawPath();
}

void GraphicsContext::MoveTo(const Point3& p) {
    path_.MoveTo(p.x, p.y);
    startPoint_ = currentPoint_ = p;
    ++pointCount_;
}

void GraphicsContext::AddLine(const Point3& p) {
    path_.LineTo(p.x, p.y);
    ++pointCount_;
}

void GraphicsContext::LineTo(const Point3& p) {
    if (pointCount_ == 0) {
        MoveTo(p);
        return;
    }
    if (SamePoint(p, currentPoint_)) return;
    path_.LineTo(p.x, p.y);
    if (SamePoint(p, startPoint_)) path_.Close();
    ++pointCount_;
    currentPoint_ = p;
}

void GraphicsContext::QuadTo(const Point3& c, const Point3& e) {
    if (pointCount_ == 0) MoveTo(currentPoint_);
    const Point3 p = currentPoint_;
    const float ax = (p.x - 2 * c.x + e.x) / 576.0f, ay = (p.y - 2 * c.y + e.y) / 576.0f;
    float dx = (c.x - p.x) / 12.0f + ax, dy = (c.y - p.y) / 12.0f + ay;
    float x = p.x, y = p.y;
    for (int i = 0; i < 23; ++i) {
        x += dx;
        y += dy;
        dx += 2 * ax;
        dy += 2 * ay;
        AddLine({x, y, 0});
    }
    path_.LineTo(e.x, e.y);
    if (SamePoint(e, startPoint_)) path_.Close();
    currentPoint_ = e;
    ++pointCount_;
}

void GraphicsContext::CubicTo(const Point3& c1, const Point3& c2, const Point3& e) {
    if (pointCount_ == 0) MoveTo(currentPoint_);
    const Point3 p = currentPoint_;
    const bool flatY = c1.y == p.y && c2.y == p.y && e.y == p.y;
    const bool flatX = c1.x == p.x && c2.x == p.x && e.x == p.x;
    if (flatX || flatY) {
        LineTo(e);
        return;
    }
    const float Ax = 3 * (c1.x - c2.x) - p.x + e.x, Ay = 3 * (c1.y - c2.y) - p.y + e.y;
    const float Bx = p.x - 2 * c1.x + c2.x, By = p.y - 2 * c1.y + c2.y;
    const float Cx = c1.x - p.x, Cy = c1.y - p.y;
    float d1x = Cx / 8 + Bx / 192 + Ax / 13824, d1y = Cy / 8 + By / 192 + Ay / 13824;
    float d2x = Bx / 96 + Ax / 2304, d2y = By / 96 + Ay / 2304;
    const float d3x = Ax / 2304, d3y = Ay / 2304;
    float x = p.x, y = p.y;
    for (int i = 0; i < 23; ++i) {
        x += d1x;
        y += d1y;
        d1x += d2x;
        d1y += d2y;
        d2x += d3x;
        d2y += d3y;
        path_.LineTo(x, y);
    }
    path_.LineTo(e.x, e.y);
    if (SamePoint(e, startPoint_)) path_.Close();
    currentPoint_ = e;
    pointCount_ += 3;
}

void GraphicsContext::ClosePath() {
    if (InPath() && pointCount_ > 0 && !SamePoint(currentPoint_, startPoint_)) LineTo(startPoint_);
}

void GraphicsContext::Arc(const Point3& centre, float radius, float startDegrees,
                          float endDegrees) {
    const float a0 = startDegrees * kDegreesToRadians, a1 = endDegrees * kDegreesToRadians;
    for (int i = 0; i <= 100; ++i) {
        const float theta = a0 + float(i) * (a1 - a0) / 100.0f;
        LineTo({std::cos(theta) * radius + centre.x, std::sin(theta) * radius + centre.y, 0});
    }
}

void GraphicsContext::Pie(const Point3& centre, float radius, float startDegrees,
                          float endDegrees) {
    MoveTo(centre);
    Arc(centre, radius, startDegrees, endDegrees);
    ClosePath();
}

void GraphicsContext::Rect(const RectF& r) {
    BeginPath(1);
    MoveTo({r.xmin, r.ymin, 0});
    LineTo({r.xmax, r.ymin, 0});
    LineTo({r.xmax, r.ymax, 0});
    LineTo({r.xmin, r.ymax, 0});
    LineTo({r.xmin, r.ymin, 0});
    EndPath();
}

void GraphicsContext::Ellipse(const RectF& r) {
    const float x0 = r.xmin, y0 = r.ymin, x1 = r.xmax, y1 = r.ymax;
    const float rx = std::fabs(x1 - x0) / 2, ry = std::fabs(y1 - y0) / 2;
    const float kx = kCircleKappa * rx, ky = kCircleKappa * ry;
    BeginPath(1);
    MoveTo({x0 + rx, y0, 0});
    CubicTo({x1 - rx + kx, y0, 0}, {x1, y0 + ry - ky, 0}, {x1, y0 + ry, 0});
    CubicTo({x1, y0 + ry + ky, 0}, {x1 - rx + kx, y1, 0}, {x1 - rx, y1, 0});
    CubicTo({x1 - rx - kx, y1, 0}, {x0, y1 - ry + ky, 0}, {x0, y1 - ry, 0});
    CubicTo({x0, y1 - ry - ky, 0}, {x0 + rx - kx, y0, 0}, {x0 + rx, y0, 0});
    EndPath();
}

void GraphicsContext::RoundRect(const RectF& r, float rounding) {
    if (rounding == 0.0f) {
        Rect(r);
        return;
    }
    const float x0 = r.xmin, y0 = r.ymin, x1 = r.xmax, y1 = r.ymax;
    const float rho = std::min(std::fabs(x1 - x0), std::fabs(y1 - y0)) * rounding / 2;
    const float k = kCircleKappa * rho;
    BeginPath(1);
    MoveTo({x0 + rho, y0, 0});
    LineTo({x1 - rho, y0, 0});
    CubicTo({x1 - rho + k, y0, 0}, {x1, y0 + rho - k, 0}, {x1, y0 + rho, 0});
    LineTo({x1, y1 - rho, 0});
    CubicTo({x1, y1 - rho + k, 0}, {x1 - rho + k, y1, 0}, {x1 - rho, y1, 0});
    LineTo({x0 + rho, y1, 0});
    CubicTo({x0 + rho - k, y1, 0}, {x0, y1 - rho + k, 0}, {x0, y1 - rho, 0});
    LineTo({x0, y0 + rho, 0});
    CubicTo({x0, y0 + rho - k, 0}, {x0 + rho - k, y0, 0}, {x0 + rho, y0, 0});
    EndPath();
}

void GraphicsContext::Dot(const Point3& p) {
    if (lineWidth_ <= 0) return;
    const float h = lineWidth_ / 2;
    Ellipse({p.x - h, p.y - h, p.x + h, p.y + h});
}

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
            Held<ZStencil> copy = Held<ZStencil>::Adopt(paint->Clone());
            copy->ApplyColorTransform(cx);
            slot = copy;
            return;
        }
    }
    slot = paint;
}

void GraphicsContext::SetFillPaint(ZStencil* paint) {
    if (PaintsAccepted()) SetPaint(fillPaint_, fillTables_, paint);
}

void GraphicsContext::SetStrokePaint(ZStencil* paint) {
    if (PaintsAccepted()) SetPaint(strokePaint_, strokeTables_, paint);
}

void GraphicsContext::SetLineWidth(float width) {
    if (!InPath() && (enabled_ & kLineStyle)) lineWidth_ = width;
}

void GraphicsContext::SetStrokeValueA(float value) {
    if (!InPath() && (enabled_ & kLineStyle)) strokeValueA_ = value;
}

void GraphicsContext::SetMiterLimit(float value) {
    if (!InPath() && (enabled_ & kLineStyle)) miterLimit_ = value;
}

void GraphicsContext::SetDash(const float* values, int32_t count, float phase) {
    if (InPath() || !(enabled_ & kLineStyle)) return;
    dashes_.clear();
    if (values && count > 0) dashes_.assign(values, values + count);
    dashPhase_ = phase;
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
    paint->SetRepeatMode(paintRepeat_ == 0 ? 0 : paintRepeat_ == 1 ? 1 : 2);
    paint->SetMipMap(paintQuality_ == 1 && (enabled_ & kMipMaps));
    paint->SetPaintMatrix(stacks_[kPaint].back().Inverse());
}

void GraphicsContext::DrawPath() {
    if (!target_) return;
    if (fillTables_ || strokeTables_) BuildColorTables();
    if (fillPaint_ && SamePoint(currentPoint_, startPoint_)) {
        PreparePaint(fillPaint_.Get(), fillTables_);
        renderer_.FillPath(path_, &stacks_[kModel].back(), fillPaint_.Get(), fillRule_);
    }
    if (strokePaint_ && lineWidth_ > 0) StrokePath();
}

void GraphicsContext::StrokePath() {
    PreparePaint(strokePaint_.Get(), strokeTables_);
    const bool dashed = (enabled_ & kDashes) && !dashes_.empty();
    dashDescriptor_ = {dashPhase_, dashes_.data(), int32_t(dashes_.size())};
    outliner_->SetDashPattern(dashed ? &dashDescriptor_ : nullptr);
    outliner_->SetMiterLimit(miterLimit_);
    outliner_->SetCapStyle(lineCap_);
    outliner_->SetEndCapStyle(lineEndCap_);
    outliner_->SetNoClose(lineNoClose_);
    outliner_->SetJoinStyle(lineJoin_);
    const ZPath& outline = outliner_->Outline(path_, lineWidth_ / 2);
    renderer_.FillPath(outline, &stacks_[kModel].back(), strokePaint_.Get(), fillRule_);
}
