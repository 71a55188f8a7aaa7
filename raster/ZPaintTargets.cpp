#include "raster/ZPaintTargets.h"

#include <algorithm>
#include <cstdlib>

namespace {

// A plane can be painted at a depth when it is there, matches the depth and its rows hold
// its width; 16-bit planes must be aligned for 16-bit access.
bool Usable(const TargetImage& t, int32_t depth) {
    if (t.data == nullptr || t.width <= 0 || t.height <= 0 || t.bytesPerChannel != depth)
        return false;
    const int64_t rowSpan = static_cast<int64_t>(t.width) * t.bytesPerPixel;
    if (std::llabs(t.rowBytes) < rowSpan) return false;
    if (depth == 2 && ((reinterpret_cast<uintptr_t>(t.data) | uint32_t(t.rowBytes)) & 1))
        return false;
    return true;
}

TargetImage MakeImage(void* data, int32_t width, int32_t height, int32_t channels,
                      int32_t bytesPerChannel, int32_t rowBytes) {
    TargetImage t;
    t.data = static_cast<uint8_t*>(data);
    t.width = width;
    t.height = height;
    t.rowBytes = rowBytes;
    t.channels = channels;
    t.bytesPerChannel = bytesPerChannel;
    const bool known = bytesPerChannel == 1 || bytesPerChannel == 2;
    t.bytesPerPixel = known ? channels * bytesPerChannel : 0;
    return t;
}

} // namespace

void ZPaintTargets::SetTarget(void* data, int32_t width, int32_t height, int32_t bytesPerChannel,
                              int32_t rowBytes) {
    const TargetImage t = MakeImage(data, width, height, 4, bytesPerChannel, rowBytes);
    if (t.width != colour_.width || t.height != colour_.height ||
        t.bytesPerPixel != colour_.bytesPerPixel)
        mask_ = TargetImage();
    colour_ = t;
    hasColour_ = true;
    clipWidth_ = width;
    clipHeight_ = height;
    ResizeScratch(width);
    SetDepth(bytesPerChannel);
}

void ZPaintTargets::SetMask(void* data, int32_t width, int32_t height, int32_t bytesPerChannel,
                            int32_t rowBytes) {
    mask_ = MakeImage(data, width, height, 1, bytesPerChannel, rowBytes);
    if (!hasColour_) {
        ResizeScratch(width);
        SetDepth(bytesPerChannel);
    }
    clipWidth_ = width;
    clipHeight_ = height;
}

int32_t ZPaintTargets::Depth() const {
    return hasColour_ ? colour_.bytesPerChannel : mask_.bytesPerChannel;
}

void ZPaintTargets::ResizeScratch(int32_t width) {
    const int32_t pixels = std::clamp(width, 0, TargetImage::kMaxSize);
    scratch_.assign(static_cast<size_t>(pixels) * 4, 0);
    memo_.assign(scratch_.size(), 0);
}

void ZPaintTargets::SetDepth(int32_t bytesPerChannel) {
    if (bytesPerChannel == tableDepth_) return;
    tableDepth_ = bytesPerChannel;
    for (int c = 0; c < 4; ++c) {
        tables8_[c].clear();
        tables16_[c].clear();
        if (bytesPerChannel == 1) {
            tables8_[c].resize(256);
            for (int i = 0; i < 256; ++i) tables8_[c][i] = static_cast<uint8_t>(i);
        } else if (bytesPerChannel == 2) {
            tables16_[c].resize(32769);
            for (int i = 0; i <= 32768; ++i) tables16_[c][i] = static_cast<uint16_t>(i);
        }
    }
}

uint8_t* ZPaintTargets::Table8(int32_t c) {
    return tableDepth_ == 1 && c >= 0 && c < 4 ? tables8_[c].data() : nullptr;
}

uint16_t* ZPaintTargets::Table16(int32_t c) {
    return tableDepth_ == 2 && c >= 0 && c < 4 ? tables16_[c].data() : nullptr;
}

// The area the painter may touch is the clip, cut to every plane the painter reads or
// writes, so that inconsistent targets can never be written outside.
bool ZPaintTargets::PrepareJob(ZStencil* stencil, bool solid) {
    const int32_t depth = Depth();
    if (depth != 1 && depth != 2) return false;
    const ZPaintMode mode = maskRender_   ? ZPaintMode::kMaskRender
                            : clipByMask_ ? ZPaintMode::kClipByMask
                                          : ZPaintMode::kColour;
    int32_t width = std::min(clipWidth_, TargetImage::kMaxSize);
    int32_t height = std::min(clipHeight_, TargetImage::kMaxSize);
    if (mode != ZPaintMode::kMaskRender) {
        if (!Usable(colour_, depth)) return false;
        width = std::min(width, colour_.width);
        height = std::min(height, colour_.height);
    }
    if (mode != ZPaintMode::kColour) {
        if (!Usable(mask_, depth)) return false;
        width = std::min(width, mask_.width);
        height = std::min(height, mask_.height);
    }
    if (width <= 0 || height <= 0) return false;
    scanWidth_ = width;
    scanHeight_ = height;

    const bool tables = useTables_ && !solid;
    if (tables) SetDepth(depth);
    if (scratch_.size() < static_cast<size_t>(width) * 4) ResizeScratch(width);
    job_.colour = colour_;
    job_.mask = mask_;
    job_.scratch = scratch_.data();
    job_.memo = memo_.data();
    job_.memoLength = 0;
    job_.stencil = stencil;
    for (int c = 0; c < 4; ++c) {
        job_.tables8[c] = tables8_[c].empty() ? nullptr : tables8_[c].data();
        job_.tables16[c] = tables16_[c].empty() ? nullptr : tables16_[c].data();
    }
    job_.nextX = job_.nextY = -1;
    painter_ = ChooseSpanPainter(depth, mode, solid, tables);
    keptPainter_ = ChooseKeptSpansPainter(depth, mode, solid);
    return painter_ != nullptr;
}

void ZPaintTargets::EndJob() {
    job_.stencil = nullptr;
    scanWidth_ = scanHeight_ = 0;
}
