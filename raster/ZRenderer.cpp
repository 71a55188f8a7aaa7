#include "raster/ZRenderer.h"

#include "raster/ZStencil.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>

namespace {

constexpr float kHuge = 3.4028235e38f;
// Scaled coordinates are clamped here before conversion, far outside any target, so that
// huge or infinite input stays defined and the stepping arithmetic fits in 64 bits.
constexpr float kFixedLimit = 1073741824.0f; // 2^30

// floor(scaled) clamped to the limit, for a number (not NaN).  Clamping first gives the
// same result, and within the limit floor is the truncation, less one below zero when
// something was cut off.
int32_t ToFixed(float scaled) {
    // min and max rather than clamp: no branches, the same value for any number.
    const float clamped = std::min(std::max(scaled, -kFixedLimit), kFixedLimit);
    const int32_t truncated = static_cast<int32_t>(clamped);
    return truncated - (static_cast<float>(truncated) > clamped ? 1 : 0);
}

int64_t CeilDiv(int64_t a, int64_t b) {
    return (a + b - 1) / b;
}

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

ZRenderer::ZRenderer() {
    crossings_.resize(10000);
}

ZRenderer::~ZRenderer() = default;

void ZRenderer::SetTarget(void* data, int32_t width, int32_t height, int32_t bytesPerChannel,
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

void ZRenderer::SetMask(void* data, int32_t width, int32_t height, int32_t bytesPerChannel,
                        int32_t rowBytes) {
    mask_ = MakeImage(data, width, height, 1, bytesPerChannel, rowBytes);
    if (!hasColour_) {
        ResizeScratch(width);
        SetDepth(bytesPerChannel);
    }
    clipWidth_ = width;
    clipHeight_ = height;
}

int32_t ZRenderer::Depth() const {
    return hasColour_ ? colour_.bytesPerChannel : mask_.bytesPerChannel;
}

void ZRenderer::ResizeScratch(int32_t width) {
    const int32_t pixels = std::clamp(width, 0, kMaxTargetSize);
    scratch_.assign(static_cast<size_t>(pixels) * 4, 0);
    memo_.assign(scratch_.size(), 0);
}

void ZRenderer::SetDepth(int32_t bytesPerChannel) {
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

uint8_t* ZRenderer::Table8(Channel c) {
    return tableDepth_ == 1 ? tables8_[c].data() : nullptr;
}

uint16_t* ZRenderer::Table16(Channel c) {
    return tableDepth_ == 2 ? tables16_[c].data() : nullptr;
}

// Picks the painter and the area it may touch: the clip, cut to every plane the painter
// reads or writes, so that inconsistent targets can never be written outside.
bool ZRenderer::PrepareJob(bool solid) {
    const int32_t depth = Depth();
    if (depth != 1 && depth != 2) return false;
    const ZPaintMode mode = maskRender_   ? ZPaintMode::kMaskRender
                            : clipByMask_ ? ZPaintMode::kClipByMask
                                          : ZPaintMode::kColour;
    int32_t width = std::min(clipWidth_, kMaxTargetSize);
    int32_t height = std::min(clipHeight_, kMaxTargetSize);
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
    job_.stencil = stencil_;
    for (int c = 0; c < 4; ++c) {
        job_.tables8[c] = tables8_[c].empty() ? nullptr : tables8_[c].data();
        job_.tables16[c] = tables16_[c].empty() ? nullptr : tables16_[c].data();
    }
    job_.nextX = job_.nextY = -1;
    painter_ = ChooseSpanPainter(depth, mode, solid, tables);
    return painter_ != nullptr;
}

void ZRenderer::FillPath(const ZPath& path, const Matrix4* transform, ZStencil* stencil,
                         int32_t fillRule) {
    transform_ = transform;
    stencil_ = stencil;
    const bool solid = stencil != nullptr && stencil->IsSolidColor();
    if (solid) {
        stencil->NextPixel8(job_.solid8);
        ZWidenPixel(job_.solid8, job_.solid16);
    } else if (stencil != nullptr && transform != nullptr) {
        stencil->SetDeviceMatrix(transform->Inverse());
    }
    const bool visible = stencil != nullptr && !(solid && job_.solid8[3] == 0);
    if (visible && PrepareJob(solid)) {
        crossingCount_ = 0;
        lastEndKnown_ = false;
        firstRow_ = kMaxTargetSize;
        lastRow_ = -1;
        minX_ = minY_ = kHuge;
        maxX_ = maxY_ = -kHuge;
        trackBounds_ = !solid;
        fillRule_ = fillRule;
        path.Walk(*this);
        const size_t n = crossingCount_;
        const uint64_t* keys =
            ZSortCrossings(crossings_.data(), n, firstRow_, lastRow_, sortScratch_);
        if (!solid) stencil->SetBounds(minX_, minY_, maxX_, maxY_);
        const bool evenOdd = fillRule_ == kEvenOdd;
        if (Depth() == 1)
            evenOdd ? Accumulate<1, true>(keys, n) : Accumulate<1, false>(keys, n);
        else
            evenOdd ? Accumulate<2, true>(keys, n) : Accumulate<2, false>(keys, n);
    }
    transform_ = nullptr;
    stencil_ = nullptr;
    job_.stencil = nullptr;
    scanWidth_ = scanHeight_ = 0;
}

Point3 ZRenderer::ToDevice(float x, float y) const {
    const Point3 p{x, y, 0.0f};
    return transform_ != nullptr ? transform_->Transform(p) : p;
}

// Start points feed the minima and end points the maxima: over closed contours that is
// the box of the vertices.
void ZRenderer::GrowBounds(float minX, float minY, float maxX, float maxY) {
    if (!trackBounds_) return;
    if (minX < minX_) minX_ = minX;
    if (minY < minY_) minY_ = minY;
    if (maxX > maxX_) maxX_ = maxX;
    if (maxY > maxY_) maxY_ = maxY;
}

ZRenderer::DevicePoint ZRenderer::Map(float x, float y) const {
    DevicePoint p;
    p.x = x;
    p.y = y;
    p.device = ToDevice(x, y);
    p.isNumber = !std::isnan(p.device.x) && !std::isnan(p.device.y);
    if (p.isNumber) {
        p.fixedX = ToFixed(p.device.x * 256.0f);
        p.fixedY = ToFixed(p.device.y * 8.0f);
    }
    return p;
}

// Compared bit for bit, so that -0 and 0 stay apart as they would when mapped afresh.
void ZRenderer::MapStart(float x, float y) {
    const bool same = lastEndKnown_ &&
                      std::bit_cast<uint32_t>(lastEnd_.x) == std::bit_cast<uint32_t>(x) &&
                      std::bit_cast<uint32_t>(lastEnd_.y) == std::bit_cast<uint32_t>(y);
    if (!same) lastEnd_ = Map(x, y);
    lastEndKnown_ = true;
}

void ZRenderer::LineTo(float x, float y) {
    GrowBounds(curX_, curY_, x, y);
    MapStart(curX_, curY_);
    const DevicePoint d1 = Map(x, y);
    if (lastEnd_.device.y != d1.device.y) ScanSegment(lastEnd_, d1);
    lastEnd_ = d1;
    ZSketcher::LineTo(x, y);
}

// Flatness is judged in device space, so a curve gets as many segments as its size on
// the target needs.
void ZRenderer::SubdivideQuad(float x0, float y0, float cx, float cy, float x1, float y1) {
    GrowBounds(std::min(x0, cx), std::min(y0, cy), x1, y1);
    MapStart(x0, y0);
    const DevicePoint d0 = lastEnd_, d1 = Map(x1, y1);
    const Point3 dc = ToDevice(cx, cy);
    const bool flat = !(ChordDistanceSquared(d0.device.x, d0.device.y, dc.x, dc.y, d1.device.x,
                                             d1.device.y) > 1.0f);
    if (!flat && SplitAllowed()) {
        SplitQuad(x0, y0, cx, cy, x1, y1);
        return;
    }
    if (d0.device.y != d1.device.y) ScanSegment(d0, d1);
    lastEnd_ = d1;
    ZSketcher::LineTo(x1, y1);
}

// One crossing key per sub-scanline: row << 23 | x in 1/256 pixel << 1 | downward.
void ZRenderer::ScanSegment(const DevicePoint& p0, const DevicePoint& p1) {
    if (!p0.isNumber || !p1.isNumber) return;
    const int32_t x0 = p0.fixedX, y0 = p0.fixedY, x1 = p1.fixedX, y1 = p1.fixedY;
    const uint64_t down = p1.device.y > p0.device.y ? 1 : 0;
    const bool forward = y0 < y1;
    int64_t yStart = forward ? y0 : y1, yEnd = forward ? y1 : y0;
    const int64_t xStart = forward ? x0 : x1, xEnd = forward ? x1 : x0;
    const int64_t xStep = xEnd > xStart ? 1 : -1;
    const int64_t limitY = 8 * static_cast<int64_t>(scanHeight_);
    if ((yStart < 0 && yEnd < 0) || (yStart >= limitY && yEnd >= limitY)) return;
    const int64_t dx = std::abs(static_cast<int64_t>(x1) - x0), dy = yEnd - yStart;
    yEnd = std::min(yEnd, limitY);
    if (yStart >= yEnd) return;

    int64_t error = dy, x = xStart;
    if (yStart < 0) {
        // The sub-scanlines above the target, stepped in one go: after n steps the
        // Bresenham walk has advanced ceil(n * dx / dy) and its error is what remains.
        const int64_t n = -yStart, advance = CeilDiv(n * dx, dy);
        x += advance * xStep;
        error = dy + n * dx - advance * dy;
        yStart = 0;
        if (yEnd == 0) return;
    }
    // At most one cell per sub-scanline.
    const size_t room = crossingCount_ + static_cast<size_t>(yEnd - yStart);
    if (room > crossings_.size()) crossings_.resize(std::max(room, 2 * crossings_.size()));
    firstRow_ = std::min(firstRow_, static_cast<int32_t>(yStart >> 3));
    lastRow_ = std::max(lastRow_, static_cast<int32_t>((yEnd - 1) >> 3));

    // Each sub-scanline adds dx to the error and moves x by as many whole dy as bring the
    // error back into (0, dy]: dx div dy, plus one when the remainders carry.  rest is
    // error - 1, in [0, dy).
    // Both fit in 32 bits (positions are clamped to 2^30), and a steep edge needs no
    // division at all.
    // A single sub-scanline takes no step that matters: no division then either.
    int64_t whole = 0, part = dx;
    if (dx >= dy && yEnd - yStart > 1) {
        const uint32_t dx32 = static_cast<uint32_t>(dx), dy32 = static_cast<uint32_t>(dy);
        whole = static_cast<int64_t>(dx32 / dy32) * xStep;
        part = dx32 % dy32;
    }
    int64_t rest = error - 1;
    const int64_t maxX = 256 * static_cast<int64_t>(scanWidth_) - 1;
    uint64_t* out = crossings_.data() + crossingCount_;
    if (dx == 0) {
        crossingCount_ = static_cast<size_t>(
            ScanVertical(out, std::clamp<int64_t>(x, 0, maxX), yStart, yEnd, down) -
            crossings_.data());
        return;
    }
    // The crossing of each sub-scanline is at (row y >> 3, x in 1/256 pixel); neighbouring
    // crossings in one pixel are summed into one cell.  Rows are walked one at a time.
    for (int64_t y = yStart; y < yEnd;) {
        const int64_t row = y >> 3, rowEnd = std::min(yEnd, 8 * row + 8);
        const uint64_t* rowStart = out;
        int64_t column = std::clamp<int64_t>(x, 0, maxX) >> 8;
        uint64_t right = 0, count = 0;
        // Where the previous segment's last cell is this pixel in this direction, this
        // segment's first crossings join it: fewer cells to sort, the same sums.
        if (y == yStart && crossingCount_ > 0) {
            const uint64_t last = out[-1];
            const uint64_t place =
                uint64_t(row) << ZCell::kRowShift | uint64_t(column) << ZCell::kColumnShift | down;
            const uint64_t placeMask = ~uint64_t(0) << ZCell::kColumnShift | 1;
            const uint64_t room = 8 - uint64_t(ZCell::Count(last));
            if ((last & placeMask) == place && uint64_t(rowEnd - y) <= room) {
                --out;
                rowStart = out + 1; // already counted
                right = uint64_t(ZCell::Right(last));
                count = uint64_t(ZCell::Count(last));
            }
        }
        for (; y < rowEnd; ++y) {
            const int64_t xc = std::clamp<int64_t>(x, 0, maxX);
            if ((xc >> 8) != column) {
                *out++ = ZCell::Make(uint64_t(row), uint64_t(column), right, count, down);
                column = xc >> 8;
                right = count = 0;
            }
            right += 255 - uint64_t(xc & 0xFF);
            ++count;
            // The carry without a branch: it follows the slope, which no predictor can.
            rest += part;
            const int64_t carry = -static_cast<int64_t>(rest >= dy);
            rest -= dy & carry;
            x += whole + (xStep & carry);
        }
        *out++ = ZCell::Make(uint64_t(row), uint64_t(column), right, count, down);
        sortScratch_.Count(static_cast<int32_t>(row), static_cast<uint32_t>(out - rowStart));
    }
    crossingCount_ = static_cast<size_t>(out - crossings_.data());
}

// One pass over the sorted cells.  A crossing adds the part of its sub-scanline right of
// it inside its pixel, and a pixel's sums do not depend on the order of its crossings, so
// a cell adds its crossings at once.  The running winding carries whole sub-scanlines into
// the pixels to its right, which are painted as one span.
template <int32_t kBytesPerChannel, bool kEvenOddRule>
void ZRenderer::Accumulate(const uint64_t* keys, size_t count) {
    constexpr int64_t kScale = kBytesPerChannel == 1 ? 256 : 65536;
    constexpr int64_t kLine = kScale / 8; // one full sub-scanline
    const auto coverageOf = [](int64_t total) -> uint32_t {
        if constexpr (kBytesPerChannel == 1) {
            if constexpr (kEvenOddRule)
                return (total & 0x100) ? 255 - (total & 0xFF) : (total & 0xFF);
            return static_cast<uint32_t>(std::min<int64_t>(std::llabs(total), 255));
        } else {
            if constexpr (kEvenOddRule) {
                const int64_t folded =
                    (total & 0x10000) ? 65535 - (total & 0xFFFF) : (total & 0xFFFF);
                return static_cast<uint32_t>(folded * 32768 / 65535);
            }
            return static_cast<uint32_t>(
                std::min<int64_t>(std::llabs(total) * 32768 / 65535, 32768));
        }
    };
    int32_t column = 0, row = 0, winding = 0, windingAtLeft = 0;
    int64_t positive = 0, negative = 0;
    const auto flush = [&] {
        const int64_t total =
            kScale * positive / 2040 + kScale * negative / 2040 + kLine * windingAtLeft;
        if (total != 0) Paint(column, row, 1, coverageOf(total));
    };
    for (size_t i = 0; i < count; ++i) {
        const uint64_t cell = keys[i];
        const int32_t c = ZCell::Column(cell), r = ZCell::Row(cell);
        if (c != column || r != row) {
            flush();
            windingAtLeft = winding;
            if (r != row)
                winding = windingAtLeft = 0;
            else if (winding != 0 && c > column + 1)
                Paint(column + 1, row, c - column - 1, coverageOf(kLine * winding));
            column = c;
            row = r;
            positive = negative = 0;
        }
        if (ZCell::Down(cell)) {
            positive += ZCell::Right(cell);
            winding += ZCell::Count(cell);
        } else {
            negative -= ZCell::Right(cell);
            winding -= ZCell::Count(cell);
        }
    }
    flush();
}

// A vertical edge crosses every sub-scanline of a row in the same place: one cell per row
// holds them all.
uint64_t* ZRenderer::ScanVertical(uint64_t* out, int64_t x, int64_t yStart, int64_t yEnd,
                                  uint64_t down) {
    const uint64_t column = uint64_t(x) >> 8, share = 255 - (uint64_t(x) & 0xFF);
    for (int64_t y = yStart; y < yEnd;) {
        const int64_t row = y >> 3, rowEnd = std::min(yEnd, 8 * row + 8);
        const uint64_t count = uint64_t(rowEnd - y);
        *out++ = ZCell::Make(uint64_t(row), column, share * count, count, down);
        sortScratch_.Count(static_cast<int32_t>(row), 1);
        y = rowEnd;
    }
    return out;
}
