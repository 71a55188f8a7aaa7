#include "raster/ZSegmentSketcher.h"

#include <algorithm>
#include <bit>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

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

} // namespace

void ZSegmentSketcher::StartPath(const Matrix4* transform, int32_t rows) {
    transform_ = transform;
    limitY_ = 8 * rows;
    lastEndKnown_ = false;
    segmentCount_ = 0;
    extent_ = {};
}

inline Point3 ZSegmentSketcher::ToDevice(float x, float y) const {
    const Point3 p{x, y, 0.0f};
    return transform_ != nullptr ? transform_->Transform(p) : p;
}

// Straight-line code (a NaN position converts 0 instead), so that the point stays in
// registers.
inline ZSegmentSketcher::DevicePoint ZSegmentSketcher::Map(float x, float y) const {
    const Point3 device = ToDevice(x, y);
    const bool isNumber = !std::isnan(device.x) && !std::isnan(device.y);
    return {x, y, ToFixed(isNumber ? device.x * 256.0f : 0.0f),
            ToFixed(isNumber ? device.y * 8.0f : 0.0f), isNumber};
}

// Field by field: a whole copy was assembled on the stack and read back at once, which
// stalls on the narrower stores that built it.
inline void ZSegmentSketcher::KeepEnd(const DevicePoint& p) {
    lastEnd_.x = p.x;
    lastEnd_.y = p.y;
    lastEnd_.fixedX = p.fixedX;
    lastEnd_.fixedY = p.fixedY;
    lastEnd_.isNumber = p.isNumber;
}

#if defined(__SSE2__)
namespace {

// ToFixed of four numbers: clamped, truncated, and one less where truncation went up.
__m128i ToFixed4(__m128 scaled) {
    const __m128 clamped =
        _mm_min_ps(_mm_max_ps(scaled, _mm_set1_ps(-kFixedLimit)), _mm_set1_ps(kFixedLimit));
    const __m128i truncated = _mm_cvttps_epi32(clamped);
    const __m128 above = _mm_cmpgt_ps(_mm_cvtepi32_ps(truncated), clamped);
    return _mm_add_epi32(truncated, _mm_castps_si128(above)); // the mask is -1 where above
}

} // namespace
#endif

void ZSegmentSketcher::MapPoints(const ZPathElement* points, size_t n, int32_t* fixedX,
                                 int32_t* fixedY, bool* isNumber) const {
    size_t i = 0;
#if defined(__SSE2__)
    // Runs of fewer than four points are mapped one by one: no lanes to set up.
    if (n >= 4) {
        const bool mapped = transform_ != nullptr && !transform_->identity;
        const auto at = [&](int row, int column) {
            return _mm_set1_ps(mapped ? transform_->m[row][column] : 0.0f);
        };
        const __m128 m00 = at(0, 0), m10 = at(1, 0), m20 = at(2, 0), m30 = at(3, 0);
        const __m128 m01 = at(0, 1), m11 = at(1, 1), m21 = at(2, 1), m31 = at(3, 1);
        const __m128 zero = _mm_setzero_ps();
        for (; i + 4 <= n; i += 4) {
            const ZPathElement* p = points + i;
            const __m128 x = _mm_setr_ps(p[0].x, p[1].x, p[2].x, p[3].x);
            const __m128 y = _mm_setr_ps(p[0].y, p[1].y, p[2].y, p[3].y);
            __m128 dx = x, dy = y;
            if (mapped) {
                // As Matrix4::Transform adds them: x, then y, then z (0), then the offset.
                dx = _mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(x, m00), _mm_mul_ps(y, m10)),
                                           _mm_mul_ps(zero, m20)),
                                m30);
                dy = _mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(x, m01), _mm_mul_ps(y, m11)),
                                           _mm_mul_ps(zero, m21)),
                                m31);
            }
            const __m128 numbers = _mm_and_ps(_mm_cmpord_ps(dx, dx), _mm_cmpord_ps(dy, dy));
            const __m128i fx = _mm_and_si128(ToFixed4(_mm_mul_ps(dx, _mm_set1_ps(256.0f))),
                                             _mm_castps_si128(numbers));
            const __m128i fy = _mm_and_si128(ToFixed4(_mm_mul_ps(dy, _mm_set1_ps(8.0f))),
                                             _mm_castps_si128(numbers));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(fixedX + i), fx);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(fixedY + i), fy);
            const int lanes = _mm_movemask_ps(numbers);
            for (int k = 0; k < 4; ++k) isNumber[i + k] = (lanes >> k) & 1;
        }
    }
#endif
    for (; i < n; ++i) {
        const DevicePoint d = Map(points[i].x, points[i].y);
        fixedX[i] = d.fixedX;
        fixedY[i] = d.fixedY;
        isNumber[i] = d.isNumber;
    }
}

// Compared bit for bit, so that -0 and 0 stay apart as they would when mapped afresh.
void ZSegmentSketcher::MapStart(float x, float y) {
    const bool same = lastEndKnown_ &&
                      std::bit_cast<uint32_t>(lastEnd_.x) == std::bit_cast<uint32_t>(x) &&
                      std::bit_cast<uint32_t>(lastEnd_.y) == std::bit_cast<uint32_t>(y);
    if (!same) lastEnd_ = Map(x, y);
    lastEndKnown_ = true;
}

void ZSegmentSketcher::LineTo(float x, float y) {
    const ZPathElement point{x, y, ZPath::kLine};
    LineRun(&point, 1);
}

// The run's segments and extent are kept in locals, and each end carried to the next
// segment as its start, so that the loop stays in registers.
void ZSegmentSketcher::LineRun(const ZPathElement* points, size_t n) {
    ReserveSegments(n);
    MapStart(curX_, curY_);
    DevicePoint from = lastEnd_;
    ZSegment* const segments = segments_.data();
    size_t count = segmentCount_;
    ZSegmentExtent extent = extent_;
    const int32_t limitY = limitY_;
    // Mapped a block at a time, then joined point by point.
    constexpr size_t kBlock = 64;
    int32_t fixedX[kBlock], fixedY[kBlock];
    bool isNumber[kBlock];
    for (size_t start = 0; start < n; start += kBlock) {
        const size_t m = std::min(kBlock, n - start);
        MapPoints(points + start, m, fixedX, fixedY, isNumber);
        for (size_t i = 0; i < m; ++i) {
            const DevicePoint to{points[start + i].x, points[start + i].y, fixedX[i], fixedY[i],
                                 isNumber[i]};
            AddSegment(from, to, limitY, segments, count, extent);
            from = to;
        }
    }
    segmentCount_ = count;
    extent_ = extent;
    KeepEnd(from);
    curX_ = from.x;
    curY_ = from.y;
}

// Flatness is judged in device space, so a curve gets as many segments as its size on
// the target needs.
void ZSegmentSketcher::SubdivideQuad(float x0, float y0, float cx, float cy, float x1, float y1) {
    const Point3 e0 = ToDevice(x0, y0), dc = ToDevice(cx, cy), e1 = ToDevice(x1, y1);
    const bool flat = !(ChordDistanceSquared(e0.x, e0.y, dc.x, dc.y, e1.x, e1.y) > 1.0f);
    if (!flat && SplitAllowed()) {
        SplitQuad(x0, y0, cx, cy, x1, y1);
        return;
    }
    MapStart(x0, y0);
    const DevicePoint d1 = Map(x1, y1);
    ReserveSegments(1);
    AddSegment(lastEnd_, d1, limitY_, segments_.data(), segmentCount_, extent_);
    KeepEnd(d1);
    ZSketcher::LineTo(x1, y1);
}

void ZSegmentSketcher::ReserveSegments(size_t n) {
    if (segments_.size() - segmentCount_ < n)
        segments_.resize(std::max({size_t(64), 2 * segments_.size(), segmentCount_ + n}));
}

// Keeps a segment that crosses a sub-scanline of the target, top end first: sub-scanline
// y lies on the segment when y is in [top, bottom).
inline void ZSegmentSketcher::AddSegment(const DevicePoint& p0, const DevicePoint& p1,
                                         int32_t limitY, ZSegment* segments, size_t& count,
                                         ZSegmentExtent& extent) {
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
