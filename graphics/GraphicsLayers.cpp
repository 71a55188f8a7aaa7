// The graphics context's layers: objects with a blend mode or filters are drawn into a
// transparent layer of their own, filtered there and composited onto what lies below.
#include "graphics/GraphicsContext.h"

#include "graphics/GraphicsHelpers.h"
#include "graphics/LayerStack.h"
#include "raster/ZBlendModes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace graphics_detail;

namespace {

// A pooled buffer at least this large; a smaller one is replaced.
bool Ensure(Held<PixelBuffer>& buffer, int32_t width, int32_t height, int32_t channels) {
    if (buffer && buffer->width >= width && buffer->height >= height && buffer->pixels) return true;
    const int32_t w = std::max(width, buffer ? buffer->width : 0);
    const int32_t h = std::max(height, buffer ? buffer->height : 0);
    buffer = Held<PixelBuffer>::Adopt(PixelBuffer::Create(w, h, channels, 1));
    return buffer && buffer->pixels;
}

bool TooLarge(int64_t width, int64_t height) {
    return width > LayerFilters::kMaxSide || height > LayerFilters::kMaxSide ||
           width * height > LayerFilters::kMaxPixels;
}

// The length of a unit step along each axis of the host's transform.
void ZoomOf(const Matrix4& m, float& x, float& y) {
    x = std::sqrt(m.m[0][0] * m.m[0][0] + m.m[0][1] * m.m[0][1]);
    y = std::sqrt(m.m[1][0] * m.m[1][0] + m.m[1][1] * m.m[1][1]);
    if (!(x > 0.0f) || !std::isfinite(x)) x = 1.0f;
    if (!(y > 0.0f) || !std::isfinite(y)) y = 1.0f;
}

} // namespace

int32_t GraphicsContext::LayerDepth() const {
    return int32_t(layers_->frames.size());
}

bool GraphicsContext::PushLayer(const LayerRequest& request) {
    LayerStack& stack = *layers_;
    if (InPath() || layer_ != kTargetLayer || !target_ || !target_->pixels ||
        target_->bytesPerPixel != 4 || stack.frames.size() >= LayerStack::kMaxDepth)
        return false;
    LayerStack::Frame frame;
    frame.request = request;
    // Filter lengths follow the host's zoom: the transform below the movie's own.
    const auto& model = stacks_[kModel];
    ZoomOf(model[std::min<size_t>(1, model.size() - 1)], frame.zoomX, frame.zoomY);
    if (request.filters && !request.filters->empty()) {
        frame.reach = LayerFilters(*request.filters, frame.zoomX, frame.zoomY).Reach();
        frame.filtered = true;
    }
    // The layer covers the picture grown by the filters' reach, up to a margin: only what
    // lies beyond the picture by more than that is lost to the filters' input.
    const int32_t marginX = std::min(frame.reach.x, LayerStack::kMaxMargin);
    const int32_t marginY = std::min(frame.reach.y, LayerStack::kMaxMargin);
    frame.originX = -marginX;
    frame.originY = -marginY;
    frame.width = target_->width + 2 * marginX;
    frame.height = target_->height + 2 * marginY;
    if (stack.slots.size() <= stack.frames.size()) stack.slots.resize(stack.frames.size() + 1);
    LayerStack::Slot& slot = stack.slots[stack.frames.size()];
    if (!Ensure(slot.colour, frame.width, frame.height, 4) ||
        !Ensure(slot.mask, frame.width, frame.height, 1))
        return false;
    if (slot.colourDirty) std::memset(slot.colour->pixels, 0, size_t(slot.colour->ByteCount()));
    if (slot.maskDirty) std::memset(slot.mask->pixels, 0, size_t(slot.mask->ByteCount()));
    slot.colourDirty = true; // until the layer is composited and cleaned
    slot.maskDirty = false;
    // A clip in force below acts when the layer is composited, not on what it holds.
    frame.parentMaskTest = enabled_ & kMaskTest;
    if (frame.parentMaskTest) Disable(kMaskTest);
    stack.frames.push_back(frame);
    BindDrawing();
    return true;
}

void GraphicsContext::PopLayer() {
    LayerStack& stack = *layers_;
    if (stack.frames.empty() || InPath()) return;
    if (layer_ != kTargetLayer) SetLayer(kTargetLayer);
    CompositeLayer();
    const bool maskTest = stack.frames.back().parentMaskTest;
    stack.frames.pop_back();
    BindDrawing();
    if (maskTest) Enable(kMaskTest);
}

void GraphicsContext::CompositeLayer() {
    LayerStack& stack = *layers_;
    const size_t depth = stack.frames.size() - 1;
    LayerStack::Frame& frame = stack.frames[depth];
    LayerStack::Slot& slot = stack.slots[depth];
    PixelBuffer& layer = *slot.colour;
    const ZPlane plane{layer.pixels, frame.width, frame.height, layer.pitch, 4};
    const PixelBox drawn = frame.drawn.Clipped(frame.width, frame.height);
    if (drawn.Empty()) {
        slot.colourDirty = false;
        return;
    }
    // Without a background or filters the layer is premultiplied as it is composited.
    const bool straight = !frame.request.hasBackground && !frame.filtered;
    for (int32_t y = drawn.y0; y < drawn.y1 && !straight; ++y)
        ZPremultiplyRow(plane.Row(y) + drawn.x0 * 4, drawn.x1 - drawn.x0);
    if (frame.request.hasBackground) {
        const ColorRGBA& colour = frame.request.background;
        uint8_t bg[4];
        const float channels[4] = {colour.blue, colour.green, colour.red, colour.alpha};
        for (int c = 0; c < 4; ++c) bg[c] = uint8_t(std::lround(Clamp01(channels[c]) * 255.0f));
        for (uint8_t& c : bg) c = uint8_t(ZDiv255(c * uint32_t(bg[3])));
        const PixelBox& box = frame.bounds;
        for (int32_t y = box.y0; y < box.y1; ++y) {
            uint8_t* p = plane.Row(y) + box.x0 * 4;
            for (int32_t x = box.x0; x < box.x1; ++x, p += 4) {
                const uint32_t keep = 255 - p[3];
                for (int c = 0; c < 4; ++c) p[c] = uint8_t(p[c] + ZDiv255(bg[c] * keep));
            }
        }
    }
    PixelBox result = drawn;
    if (frame.filtered) {
        const PixelBox grown = PixelBox{drawn.x0 - frame.reach.x, drawn.y0 - frame.reach.y,
                                        drawn.x1 + frame.reach.x, drawn.y1 + frame.reach.y}
                                   .Clipped(frame.width, frame.height);
        const LayerFilters filters(*frame.request.filters, frame.zoomX, frame.zoomY);
        const int64_t work =
            filters.Work(int64_t(grown.x1 - grown.x0) * int64_t(grown.y1 - grown.y0));
        // Flash leaves a layer this large unfiltered; so does a frame out of filter budget.
        if (!TooLarge(int64_t(drawn.x1 - drawn.x0) + 2 * int64_t(frame.reach.x),
                      int64_t(drawn.y1 - drawn.y0) + 2 * int64_t(frame.reach.y)) &&
            stack.filterWork + work <= LayerStack::kFrameFilterBudget) {
            stack.filterWork += work;
            filters.Apply(plane.Part(grown.x0, grown.y0, grown.x1 - grown.x0, grown.y1 - grown.y0),
                          drawn.x0 - grown.x0, drawn.y0 - grown.y0, drawn.x1 - drawn.x0,
                          drawn.y1 - drawn.y0, stack.work);
            result = grown;
        }
    }
    // Onto what lies below: the enclosing layer or the target, through the clip below.
    PixelBuffer* below = depth ? stack.slots[depth - 1].colour.Get() : target_.Get();
    PixelBuffer* belowMask = depth ? stack.slots[depth - 1].mask.Get() : mask_.Get();
    const int32_t belowX = depth ? stack.frames[depth - 1].originX : 0;
    const int32_t belowY = depth ? stack.frames[depth - 1].originY : 0;
    const int32_t belowW = depth ? stack.frames[depth - 1].width : target_->width;
    const int32_t belowH = depth ? stack.frames[depth - 1].height : target_->height;
    const int32_t dx = frame.originX - belowX, dy = frame.originY - belowY;
    // Alpha and erase act on an enclosing layer; straight onto the frame they change
    // nothing, as the stage is no layer of its own.
    const bool cutsBelow =
        frame.request.mode == ZBlendMode::kAlpha || frame.request.mode == ZBlendMode::kErase;
    const PixelBox onto =
        cutsBelow && depth == 0
            ? PixelBox{}
            : PixelBox{result.x0 + dx, result.y0 + dy, result.x1 + dx, result.y1 + dy}.Clipped(
                  belowW, belowH);
    const bool masked = frame.parentMaskTest && belowMask && belowMask->pixels;
    const ZBlendMode mode =
        frame.request.mode == ZBlendMode::kLayer ? ZBlendMode::kNormal : frame.request.mode;
    for (int32_t y = onto.y0; y < onto.y1; ++y) {
        uint8_t* layerRow = plane.Row(y - dy) + (onto.x0 - dx) * 4;
        uint8_t* targetRow = below->Row(y) + onto.x0 * 4;
        const uint8_t* coverage = masked ? belowMask->Row(y) + onto.x0 : nullptr;
        if (straight)
            ZCompositeStraightRow(mode, layerRow, targetRow, coverage, onto.x1 - onto.x0);
        else
            ZCompositeRow(mode, layerRow, targetRow, coverage, onto.x1 - onto.x0);
    }
    if (depth) stack.frames[depth - 1].drawn.Add(onto);
    // The layer is cleared for its next use; what was composited straight is already.
    const PixelBox cleared =
        straight ? PixelBox{onto.x0 - dx, onto.y0 - dy, onto.x1 - dx, onto.y1 - dy} : PixelBox{};
    for (int32_t y = result.y0; y < result.y1; ++y) {
        uint8_t* row = plane.Row(y);
        if (cleared.Empty() || y < cleared.y0 || y >= cleared.y1) {
            std::memset(row + result.x0 * 4, 0, size_t(result.x1 - result.x0) * 4);
            continue;
        }
        std::memset(row + result.x0 * 4, 0, size_t(cleared.x0 - result.x0) * 4);
        std::memset(row + cleared.x1 * 4, 0, size_t(result.x1 - cleared.x1) * 4);
    }
    slot.colourDirty = false;
}

const Matrix4* GraphicsContext::DrawTransform() {
    const Matrix4& model = stacks_[kModel].back();
    if (!originX_ && !originY_) return &model;
    drawTransform_ = model;
    drawTransform_.m[3][0] -= float(originX_);
    drawTransform_.m[3][1] -= float(originY_);
    drawTransform_.UpdateIdentityFlag();
    return &drawTransform_;
}

void GraphicsContext::NoteDrawn(const RectF& box) {
    if (layer_ != kTargetLayer || layers_->frames.empty()) return;
    if (!(box.xmin <= box.xmax) || !(box.ymin <= box.ymax)) return;
    const RectF device = GetTransformBounds(box);
    if (!(device.xmin <= device.xmax && device.ymin <= device.ymax)) return;
    LayerStack::Frame& frame = layers_->frames.back();
    auto whole = [](float v, float bound) { return v < -bound ? -bound : (v > bound ? bound : v); };
    const float limit = 1.0e8f;
    const PixelBox b{int32_t(std::floor(whole(device.xmin, limit))) - frame.originX,
                     int32_t(std::floor(whole(device.ymin, limit))) - frame.originY,
                     int32_t(std::ceil(whole(device.xmax, limit))) - frame.originX,
                     int32_t(std::ceil(whole(device.ymax, limit))) - frame.originY};
    frame.bounds.Add(b.Clipped(frame.width, frame.height));
    const PixelBox margin{b.x0 - 1, b.y0 - 1, b.x1 + 1, b.y1 + 1};
    frame.drawn.Add(margin.Clipped(frame.width, frame.height));
}
