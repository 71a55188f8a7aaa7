// The graphics context's target, layers, clears and transform stacks.
#include "graphics/GraphicsContext.h"

#include "graphics/GraphicsHelpers.h"
#include "graphics/LayerStack.h"
#include "raster/ZOutliner.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace graphics_detail;

namespace {

template <class T> void FillPixels(PixelBuffer& b, const T* value, int32_t count) {
    for (int32_t y = b.validTop; y < b.validBottom; ++y) {
        T* row = reinterpret_cast<T*>(b.Row(y)) + int64_t(b.validLeft) * count;
        for (int32_t x = b.validLeft; x < b.validRight; ++x, row += count)
            std::memcpy(row, value, sizeof(T) * size_t(count));
    }
}

} // namespace

GraphicsContext::GraphicsContext()
    : outliner_(std::make_unique<ZOutliner>()), layers_(std::make_unique<LayerStack>()) {
    layers_->frames.reserve(LayerStack::kMaxDepth);
    for (auto& stack : stacks_) {
        stack.reserve(kReservedStackDepth);
        stack.emplace_back();
    }
    colorStack_.reserve(kReservedStackDepth);
    colorStack_.emplace_back();
    solidFill_ = Held<ZColorStencil>::Adopt(new ZColorStencil(255, 255, 255, 255));
    solidStroke_ = Held<ZColorStencil>::Adopt(new ZColorStencil(255, 255, 255, 255));
}

GraphicsContext::~GraphicsContext() = default;

// ---- Target, layers and state -------------------------------------------------------------

void GraphicsContext::SetTarget(PixelBuffer* buffer) {
    AbandonLayers();
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

// Drops the open layers unseen; layers are pushed, composited and popped in their own file.
void GraphicsContext::AbandonLayers() {
    LayerStack& stack = *layers_;
    if (stack.frames.empty()) return;
    stack.frames.clear();
    originX_ = originY_ = 0;
}

// Points the renderer at the innermost open layer, or at the target when none is open.
void GraphicsContext::BindDrawing() {
    LayerStack& stack = *layers_;
    if (stack.frames.empty()) {
        originX_ = originY_ = 0;
        if (!target_) return;
        viewport_ = {0, 0, float(target_->width), float(target_->height)};
        renderer_.SetTarget(target_->pixels, target_->width, target_->height,
                            target_->bytesPerChannel, target_->pitch);
        if (mask_)
            renderer_.SetMask(mask_->pixels, mask_->width, mask_->height, mask_->bytesPerChannel,
                              mask_->pitch);
        return;
    }
    const LayerStack::Frame& frame = stack.frames.back();
    const LayerStack::Slot& slot = stack.slots[stack.frames.size() - 1];
    originX_ = frame.originX;
    originY_ = frame.originY;
    viewport_ = {float(frame.originX), float(frame.originY), float(frame.originX + frame.width),
                 float(frame.originY + frame.height)};
    renderer_.SetTarget(slot.colour->pixels, frame.width, frame.height, 1, slot.colour->pitch);
    renderer_.SetMask(slot.mask->pixels, frame.width, frame.height, 1, slot.mask->pitch);
}

void GraphicsContext::Reset() {
    layers_->filterWork = 0;
    if (!layers_->frames.empty()) {
        AbandonLayers();
        BindDrawing();
    }
    fillColorPaint_ = solidFill_.Get();
    strokeColorPaint_ = solidStroke_.Get();
    const uint8_t white[4] = {255, 255, 255, 255};
    solidFill_->SetColor(white);
    solidStroke_->SetColor(white);
    lineWidth_ = 0;
    strokeValueA_ = 0;
    pathDepth_ = pointCount_ = 0;
    pathMode_ = kNoPath;
    SetLayer(0);
    renderer_.SetMaskRender(false);
    miterLimit_ = 1.5f;
    fillRule_ = ZFillRule::kNonZero;
    transformMode_ = 0;
    lineCap_ = lineEndCap_ = ZOutliner::kButtCap;
    lineJoin_ = ZOutliner::kMiterJoin;
    lineNoClose_ = false;
    fillPaint_ = fillColorPaint_.Get();
    strokePaint_ = strokeColorPaint_.Get();
    fillTables_ = strokeTables_ = false;
    paintRepeat_ = ZStencil::kRepeat;
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
    if (pathMode_ != kNoPath || index == layer_) return;
    layer_ = index;
    renderer_.SetMaskRender(index == kMaskLayer);
    if (index == kMaskLayer && !layers_->frames.empty())
        layers_->slots[layers_->frames.size() - 1].maskDirty = true;
}

void GraphicsContext::Enable(uint32_t bits) {
    enabled_ |= bits;
    if (bits & kMaskTest) renderer_.SetClipByMask(true);
    if (bits & kDashes) outline_.valid = false;
}

void GraphicsContext::Disable(uint32_t bits) {
    enabled_ &= ~bits;
    if (bits & kMaskTest) renderer_.SetClipByMask(false);
    if (bits & kDashes) outline_.valid = false;
}

void GraphicsContext::Clear(const ColorRGBA& color) {
    if (layer_ == kMaskLayer) {
        if (!layers_->frames.empty()) {
            // Inside a layer the mask is the layer's own.
            ClearBuffer(*layers_->slots[layers_->frames.size() - 1].mask, color);
        } else if (mask_) {
            ClearBuffer(*mask_, color);
        }
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

Point3 GraphicsContext::TransformPoint(const Point3& p) const {
    return stacks_[kModel].back().Transform(p);
}

RectF GraphicsContext::GetTransformBounds(const RectF& r) const {
    RectF out = kEmptyBox;
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
