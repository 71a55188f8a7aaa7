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

// The coverage of a pixel from its sums: the right parts of its downward and upward
// crossings (each up to 255 per sub-scanline) and the winding carried in from its left.
template <int32_t kBytesPerChannel, bool kEvenOddRule> struct PixelSums {
    static constexpr int64_t kScale = kBytesPerChannel == 1 ? 256 : 65536;
    static constexpr int64_t kLine = kScale / 8; // one full sub-scanline

    static int64_t Total(int64_t positive, int64_t negative, int32_t windingAtLeft) {
        return kScale * positive / 2040 - kScale * negative / 2040 + kLine * windingAtLeft;
    }
    static uint32_t Coverage(int64_t total) {
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
    }
};

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
        minX_ = minY_ = kHuge;
        maxX_ = maxY_ = -kHuge;
        trackBounds_ = !solid;
        fillRule_ = fillRule;
        segmentCount_ = 0;
        extent_ = {};
        path.Walk(*this);
        if (!solid) stencil->SetBounds(minX_, minY_, maxX_, maxY_);
        const bool evenOdd = fillRule_ == kEvenOdd;
        if (Depth() == 1)
            evenOdd ? Gather<1, true>() : Gather<1, false>();
        else
            evenOdd ? Gather<2, true>() : Gather<2, false>();
    }
    transform_ = nullptr;
    stencil_ = nullptr;
    job_.stencil = nullptr;
    scanWidth_ = scanHeight_ = 0;
}

inline Point3 ZRenderer::ToDevice(float x, float y) const {
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

// Straight-line code (a NaN position converts 0 instead), so that the point stays in
// registers.
inline ZRenderer::DevicePoint ZRenderer::Map(float x, float y) const {
    const Point3 device = ToDevice(x, y);
    const bool isNumber = !std::isnan(device.x) && !std::isnan(device.y);
    return {x, y, ToFixed(isNumber ? device.x * 256.0f : 0.0f),
            ToFixed(isNumber ? device.y * 8.0f : 0.0f), isNumber};
}

// Field by field: a whole copy was assembled on the stack and read back at once, which
// stalls on the narrower stores that built it.
inline void ZRenderer::KeepEnd(const DevicePoint& p) {
    lastEnd_.x = p.x;
    lastEnd_.y = p.y;
    lastEnd_.fixedX = p.fixedX;
    lastEnd_.fixedY = p.fixedY;
    lastEnd_.isNumber = p.isNumber;
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
    const ZPathElement point{x, y, ZPath::kLine};
    LineRun(&point, 1);
}

// The run's segments and extent are kept in locals, and each end carried to the next
// segment as its start, so that the loop stays in registers.
void ZRenderer::LineRun(const ZPathElement* points, size_t n) {
    ReserveSegments(n);
    MapStart(curX_, curY_);
    DevicePoint from = lastEnd_;
    Segment* const segments = segments_.data();
    size_t count = segmentCount_;
    SegmentExtent extent = extent_;
    const int32_t limitY = 8 * scanHeight_;
    const bool trackBounds = trackBounds_;
    for (size_t i = 0; i < n; ++i) {
        const float x = points[i].x, y = points[i].y;
        if (trackBounds) GrowBounds(from.x, from.y, x, y);
        const DevicePoint to = Map(x, y);
        AddSegment(from, to, limitY, segments, count, extent);
        from = to;
    }
    segmentCount_ = count;
    extent_ = extent;
    KeepEnd(from);
    curX_ = from.x;
    curY_ = from.y;
}

// Flatness is judged in device space, so a curve gets as many segments as its size on
// the target needs.
void ZRenderer::SubdivideQuad(float x0, float y0, float cx, float cy, float x1, float y1) {
    GrowBounds(std::min(x0, cx), std::min(y0, cy), x1, y1);
    const Point3 e0 = ToDevice(x0, y0), dc = ToDevice(cx, cy), e1 = ToDevice(x1, y1);
    const bool flat = !(ChordDistanceSquared(e0.x, e0.y, dc.x, dc.y, e1.x, e1.y) > 1.0f);
    if (!flat && SplitAllowed()) {
        SplitQuad(x0, y0, cx, cy, x1, y1);
        return;
    }
    MapStart(x0, y0);
    const DevicePoint d1 = Map(x1, y1);
    ReserveSegments(1);
    AddSegment(lastEnd_, d1, 8 * scanHeight_, segments_.data(), segmentCount_, extent_);
    KeepEnd(d1);
    ZSketcher::LineTo(x1, y1);
}

void ZRenderer::ReserveSegments(size_t n) {
    if (segments_.size() - segmentCount_ < n)
        segments_.resize(std::max({size_t(64), 2 * segments_.size(), segmentCount_ + n}));
}

// Keeps a segment that crosses a sub-scanline of the target, top end first: sub-scanline
// y lies on the segment when y is in [top, bottom).
inline void ZRenderer::AddSegment(const DevicePoint& p0, const DevicePoint& p1, int32_t limitY,
                                  Segment* segments, size_t& count, SegmentExtent& extent) {
    if (!p0.isNumber || !p1.isNumber) return;
    // Values picked rather than references, so that the points can stay in registers.
    const bool down = p0.fixedY < p1.fixedY;
    const int32_t xTop = down ? p0.fixedX : p1.fixedX, yTop = down ? p0.fixedY : p1.fixedY;
    const int32_t xBottom = down ? p1.fixedX : p0.fixedX;
    const int32_t yBottom = down ? p1.fixedY : p0.fixedY;
    const int32_t top = std::max(yTop, 0), bottom = std::min(yBottom, limitY);
    if (top >= bottom) return;
    segments[count++] = {xTop, yTop, xBottom, yBottom, down};
    extent.minX = std::min<int64_t>(extent.minX, std::min(xTop, xBottom));
    extent.maxX = std::max<int64_t>(extent.maxX, std::max(xTop, xBottom));
    extent.firstRow = std::min(extent.firstRow, top >> 3);
    extent.lastRow = std::max(extent.lastRow, (bottom - 1) >> 3);
    extent.crossings += bottom - top;
}

// A segment's walk down the sub-scanlines it crosses inside the target.  Each sub-scanline
// adds dx to the error and moves x by as many whole dy as bring the error back into
// (0, dy]: dx div dy, plus one when the remainders carry.  rest is error - 1, in [0, dy).
struct ZRenderer::SegmentSteps {
    int64_t yStart = 0, yEnd = 0; // sub-scanlines [yStart, yEnd)
    int64_t x = 0;                // 1/256 pixel, on sub-scanline yStart
    int64_t dx = 0, dy = 0, whole = 0, part = 0, rest = 0, xStep = 0;
    int64_t partLessDy = 0; // part - dy
    uint64_t down = 0;

    void Step() {
        // The carry without a branch (it follows the slope, which no predictor can), and
        // both candidates for the next rest worked out from this one, so that one step
        // waits for the last only as long as a select takes.
        const int64_t kept = rest + part, carried = rest + partLessDy;
        const bool carry = carried >= 0;
        rest = carry ? carried : kept;
        x += whole + (xStep & -static_cast<int64_t>(carry));
    }
};

[[gnu::always_inline]] inline bool ZRenderer::StartSteps(const Segment& s, int64_t yLow,
                                                         int64_t yHigh, SegmentSteps& steps) const {
    int64_t yStart = s.yTop;
    const int64_t yEnd = std::min<int64_t>(s.yBottom, yHigh);
    steps.xStep = s.xBottom > s.xTop ? 1 : -1;
    steps.down = s.down;
    const int64_t dx = std::abs(static_cast<int64_t>(s.xBottom) - s.xTop);
    const int64_t dy = int64_t(s.yBottom) - s.yTop;
    if (std::max(yStart, yLow) >= yEnd) return false;
    int64_t error = dy, x = s.xTop;
    if (yStart < yLow) {
        // The sub-scanlines above the window, stepped in one go: after n steps the
        // Bresenham walk has advanced ceil(n * dx / dy) and its error is what remains.
        const int64_t n = yLow - yStart, advance = CeilDiv(n * dx, dy);
        x += advance * steps.xStep;
        error = dy + n * dx - advance * dy;
        yStart = yLow;
    }
    // Both fit in 32 bits (positions are clamped to 2^30), and a steep edge needs no
    // division at all.  A single sub-scanline takes no step that matters: no division
    // then either.
    int64_t whole = 0, part = dx;
    if (dx >= dy && yEnd - yStart > 1) {
        const uint32_t dx32 = static_cast<uint32_t>(dx), dy32 = static_cast<uint32_t>(dy);
        whole = static_cast<int64_t>(dx32 / dy32) * steps.xStep;
        part = dx32 % dy32;
    }
    steps.yStart = yStart;
    steps.yEnd = yEnd;
    steps.x = x;
    steps.dx = dx;
    steps.dy = dy;
    steps.whole = whole;
    steps.part = part;
    steps.rest = error - 1;
    steps.partLessDy = part - dy;
    return true;
}

// One crossing key per sub-scanline: row << 23 | x in 1/256 pixel << 1 | downward.
void ZRenderer::ScanSegment(const Segment& s) {
    SegmentSteps st;
    if (!StartSteps(s, 0, 8 * static_cast<int64_t>(scanHeight_), st)) return;
    const int64_t yStart = st.yStart, yEnd = st.yEnd;
    const uint64_t down = st.down;
    // At most one cell per sub-scanline.
    const size_t room = crossingCount_ + static_cast<size_t>(yEnd - yStart);
    if (room > crossings_.size()) crossings_.resize(std::max(room, 2 * crossings_.size()));

    const int64_t maxX = 256 * static_cast<int64_t>(scanWidth_) - 1;
    uint64_t* out = crossings_.data() + crossingCount_;
    if (st.dx == 0) {
        crossingCount_ = static_cast<size_t>(
            ScanVertical(out, std::clamp<int64_t>(st.x, 0, maxX), yStart, yEnd, down) -
            crossings_.data());
        return;
    }
    // The crossing of each sub-scanline is at (row y >> 3, x in 1/256 pixel); neighbouring
    // crossings in one pixel are summed into one cell.  Rows are walked one at a time.
    for (int64_t y = yStart; y < yEnd;) {
        const int64_t row = y >> 3, rowEnd = std::min(yEnd, 8 * row + 8);
        const uint64_t* rowStart = out;
        int64_t column = std::clamp<int64_t>(st.x, 0, maxX) >> 8;
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
            const int64_t xc = std::clamp<int64_t>(st.x, 0, maxX);
            if ((xc >> 8) != column) {
                *out++ = ZCell::Make(uint64_t(row), uint64_t(column), right, count, down);
                column = xc >> 8;
                right = count = 0;
            }
            right += 255 - uint64_t(xc & 0xFF);
            ++count;
            st.Step();
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
    using Sums = PixelSums<kBytesPerChannel, kEvenOddRule>;
    int32_t column = 0, row = 0, winding = 0, windingAtLeft = 0;
    int64_t positive = 0, negative = 0;
    const auto flush = [&] {
        const int64_t total = Sums::Total(positive, negative, windingAtLeft);
        if (total != 0) Paint(column, row, 1, Sums::Coverage(total));
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
                Paint(column + 1, row, c - column - 1, Sums::Coverage(Sums::kLine * winding));
            column = c;
            row = r;
            positive = negative = 0;
        }
        if (ZCell::Down(cell)) {
            positive += ZCell::Right(cell);
            winding += ZCell::Count(cell);
        } else {
            negative += ZCell::Right(cell);
            winding -= ZCell::Count(cell);
        }
    }
    flush();
}

// A pixel gets at most one crossing per segment and sub-scanline, so with few segments (or
// few crossings in all) the grid's fields cannot overflow.  Fills with so few crossings for
// their pixels that sweeping the grid would cost more than sorting them go through sorted
// cells instead.
bool ZRenderer::FitsGrid() const {
    constexpr int64_t kMaxCrossings = 32767; // the winding field holds -32768..32767
    constexpr int64_t kPixelsPerCrossing = 16;
    if (std::min<int64_t>(extent_.crossings, 8 * static_cast<int64_t>(segmentCount_)) >
        kMaxCrossings)
        return false;
    return GridColumns() * (int64_t(extent_.lastRow) - extent_.firstRow + 1) <=
           kPixelsPerCrossing * extent_.crossings;
}

int64_t ZRenderer::GridColumns() const {
    const int64_t maxX = 256 * static_cast<int64_t>(scanWidth_) - 1;
    return (std::clamp<int64_t>(extent_.maxX, 0, maxX) >> 8) -
           (std::clamp<int64_t>(extent_.minX, 0, maxX) >> 8) + 1;
}

template <int32_t kBytesPerChannel, bool kEvenOddRule> void ZRenderer::Gather() {
    if (segmentCount_ == 0) return;
    if (!FitsGrid()) {
        for (size_t i = 0; i < segmentCount_; ++i) ScanSegment(segments_[i]);
        const size_t n = crossingCount_;
        const uint64_t* keys =
            ZSortCrossings(crossings_.data(), n, extent_.firstRow, extent_.lastRow, sortScratch_);
        Accumulate<kBytesPerChannel, kEvenOddRule>(keys, n);
        return;
    }
    // The grid covers a band of rows at a time, so that it stays within the cache.
    constexpr int64_t kBandPixels = int64_t(1) << 16;
    const int64_t maxX = 256 * static_cast<int64_t>(scanWidth_) - 1;
    gridColumn_ = static_cast<int32_t>(std::clamp<int64_t>(extent_.minX, 0, maxX) >> 8);
    gridColumns_ = static_cast<int32_t>(GridColumns());
    const int32_t bandRows = static_cast<int32_t>(std::clamp<int64_t>(
        kBandPixels / gridColumns_, 1, int64_t(extent_.lastRow) - extent_.firstRow + 1));
    const size_t cells = static_cast<size_t>(bandRows) * static_cast<size_t>(gridColumns_);
    if (grid_.size() < cells) grid_.resize(cells);
    gridWords_ = (gridColumns_ + 63) / 64;
    const size_t words = static_cast<size_t>(bandRows) * static_cast<size_t>(gridWords_);
    if (gridTouched_.size() < words) gridTouched_.resize(words);
    const bool inside = extent_.minX >= 0 && extent_.maxX <= maxX;
    for (int32_t band = extent_.firstRow; band <= extent_.lastRow; band += bandRows) {
        gridRow_ = band;
        gridRows_ = std::min(bandRows, extent_.lastRow - band + 1);
        const int64_t yLow = 8 * int64_t(band), yHigh = 8 * (int64_t(band) + gridRows_);
        for (size_t i = 0; i < segmentCount_; ++i) {
            const Segment& s = segments_[i];
            if (s.yBottom > yLow && s.yTop < yHigh)
                inside ? ScanIntoGrid<false>(s, yLow, yHigh) : ScanIntoGrid<true>(s, yLow, yHigh);
        }
        SweepGrid<kBytesPerChannel, kEvenOddRule>();
    }
}

// The same crossings as ScanSegment makes, added into their pixels: a downward crossing
// adds its right part to the low field and one to the winding, an upward one its right
// part to the middle field and minus one (the sums cannot overflow: FitsGrid).
template <bool kClamp> void ZRenderer::ScanIntoGrid(const Segment& s, int64_t yLow, int64_t yHigh) {
    SegmentSteps st;
    if (!StartSteps(s, yLow, yHigh, st)) return;
    const int shift = st.down ? 0 : 24;
    const uint64_t unit = st.down ? uint64_t(1) << 48 : uint64_t(0xFFFF) << 48;
    const int64_t maxX = 256 * static_cast<int64_t>(scanWidth_) - 1;
    // Fills inside the target's width need no clamping.
    const auto clampX = [maxX](int64_t x) { return kClamp ? std::clamp<int64_t>(x, 0, maxX) : x; };
    for (int64_t y = st.yStart; y < st.yEnd;) {
        const int64_t row = y >> 3, rowEnd = std::min(st.yEnd, 8 * row + 8);
        const size_t gridRow = static_cast<size_t>(row - gridRow_);
        uint64_t* line = grid_.data() + gridRow * static_cast<size_t>(gridColumns_);
        uint64_t* touched = gridTouched_.data() + gridRow * static_cast<size_t>(gridWords_);
        const auto add = [&](int64_t column, uint64_t sum) {
            line[column] += sum;
            touched[column >> 6] |= uint64_t(1) << (column & 63);
        };
        int64_t column = (clampX(st.x) >> 8) - gridColumn_;
        uint64_t sum = 0;
        if (st.dx == 0) {
            const uint64_t count = uint64_t(rowEnd - y);
            const uint64_t share = 255 - (uint64_t(clampX(st.x)) & 0xFF);
            sum = (share << shift) * count + unit * count;
            y = rowEnd;
        }
        for (; y < rowEnd; ++y) {
            const int64_t xc = clampX(st.x);
            if ((xc >> 8) - gridColumn_ != column) {
                add(column, sum);
                column = (xc >> 8) - gridColumn_;
                sum = 0;
            }
            sum += ((255 - uint64_t(xc & 0xFF)) << shift) + unit;
            st.Step();
        }
        add(column, sum);
    }
}

// Row by row over the pixels with crossings, as Accumulate walks the cells: such a pixel
// adds its sums to the winding carried from the left, the pixels between carry the winding
// alone.  Neighbouring pixels of equal coverage are painted as one span.  The grid and its
// marks are left zero.
template <int32_t kBytesPerChannel, bool kEvenOddRule> void ZRenderer::SweepGrid() {
    using Sums = PixelSums<kBytesPerChannel, kEvenOddRule>;
    for (int32_t r = 0; r < gridRows_; ++r) {
        const int32_t row = gridRow_ + r;
        uint64_t* line = grid_.data() + static_cast<size_t>(r) * static_cast<size_t>(gridColumns_);
        uint64_t* touched =
            gridTouched_.data() + static_cast<size_t>(r) * static_cast<size_t>(gridWords_);
        int32_t runX = 0, runLength = 0;
        uint32_t runCoverage = 0;
        const auto add = [&](int32_t x, int32_t n, uint32_t coverage) {
            if (coverage == runCoverage && x == runX + runLength) {
                runLength += n;
                return;
            }
            Paint(gridColumn_ + runX, row, runLength, runCoverage);
            runX = x;
            runLength = n;
            runCoverage = coverage;
        };
        int32_t winding = 0, last = -1;
        for (int32_t w = 0; w < gridWords_; ++w) {
            for (uint64_t marks = touched[w]; marks != 0; marks &= marks - 1) {
                const int32_t x = 64 * w + std::countr_zero(marks);
                if (x > last + 1 && last >= 0)
                    add(last + 1, x - last - 1, Sums::Coverage(Sums::kLine * winding));
                const uint64_t v = line[x];
                line[x] = 0;
                const int64_t positive = int64_t(v & 0xFFFFFF);
                const int64_t negative = int64_t((v >> 24) & 0xFFFFFF);
                add(x, 1, Sums::Coverage(Sums::Total(positive, negative, winding)));
                winding += static_cast<int16_t>(v >> 48);
                last = x;
            }
            touched[w] = 0;
        }
        Paint(gridColumn_ + runX, row, runLength, runCoverage);
    }
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
