#include "raster/ZGradientStencils.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "raster/ZLanes.h"

namespace {

constexpr int kLastEntry = ZGradient::kRampSize - 1;

// Integer square root, rounded down.  n stays below 2^22 here, where the double square
// root is exact enough that its truncation is the integer root; the correction steps make
// that independent of the library.
uint32_t IntegerSqrt(uint32_t n) {
    uint32_t root = static_cast<uint32_t>(std::sqrt(static_cast<double>(n)));
    while (root * root > n) --root;
    while ((root + 1) * (root + 1) <= n) ++root;
    return root;
}

// The ramp entry for a position t along the ramp (0 start, 1 end): padded with the end
// entries, or folded back into the ramp for reflect and repeat.  Decided in float so that
// no out-of-range value is ever converted.
int RampIndex(float t, ZGradient::Spread spread) {
    if (spread == ZGradient::kRepeat) {
        t -= std::floor(t);
    } else if (spread == ZGradient::kReflect) {
        t = std::fmod(std::fabs(t), 2.0f);
        if (t > 1.0f) t = 2.0f - t;
    }
    const float position = t * 1024.0f;
    if (!(position >= 1.0f)) return 0;
    if (position >= static_cast<float>(kLastEntry)) return kLastEntry;
    return static_cast<int>(position);
}

// Far beyond the ramp every position pads or folds the same, so huge positions are held
// to one that a float can carry.
float ToRampFloat(double t) {
    constexpr double kFar = 1.0e9;
    return static_cast<float>(t < kFar ? t : kFar);
}

} // namespace

ZStencil* ZLinearGradientStencil::Clone() const {
    auto* copy = new ZLinearGradientStencil;
    copy->CopyStopsFrom(*this);
    return copy;
}

void ZLinearGradientStencil::Seek(int32_t x, int32_t y) {
    const Point3 a = DeviceToPaint(static_cast<float>(x), static_cast<float>(y));
    const Point3 b = DeviceToPaint(static_cast<float>(x) + 1.0f, static_cast<float>(y));
    t_ = a.x + 0.5f;
    dt_ = (b.x + 0.5f) - t_;
}

int ZLinearGradientStencil::Index() const {
    return RampIndex(t_, spread_);
}

uint8_t* ZLinearGradientStencil::NextPixel8(uint8_t* out) {
    std::memcpy(out, ramp_[Index()], 4);
    t_ += dt_;
    return out;
}

// The position steps in a local: dst may alias the stencil, so stepping the member would
// chain every pixel through memory.  A span across the ramp (no step at all) is one entry.
void ZLinearGradientStencil::FetchSpan8(uint8_t* dst, int count) {
    float t = t_;
    const float dt = dt_;
    if (dt == 0.0f && count > 0) {
        uint32_t pixel;
        std::memcpy(&pixel, ramp_[Index()], 4);
        for (int i = 0; i < count; ++i) std::memcpy(dst + 4 * i, &pixel, 4);
        t_ = t + dt; // as the steps leave it: further zero steps change nothing
        return;
    }
#if defined(__SSE2__)
    const int done = IndexQuads(t, dt, dst, count);
    dst += 4 * done;
    count -= done;
#endif
    for (int i = 0; i < count; ++i) {
        t_ = t;
        std::memcpy(dst + 4 * i, ramp_[Index()], 4);
        t += dt;
    }
    t_ = t;
}

#if defined(__SSE2__)
// RampIndex() of four positions side by side.  Positions within 2^22 of the ramp's start
// are folded exactly as RampIndex folds them: a float less its floor, and |t| less twice
// the floor of its half (fmod by 2), are exact, and so are the floors found by truncation
// there.  A group with a position beyond that, or not a number, is folded one by one.
int ZLinearGradientStencil::IndexQuads(float& t, float dt, uint8_t* dst, int count) const {
    const __m128 near = _mm_set1_ps(4194304.0f), one = _mm_set1_ps(1.0f);
    const __m128 two = _mm_set1_ps(2.0f), half = _mm_set1_ps(0.5f);
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
    const __m128 scale = _mm_set1_ps(1024.0f), last = _mm_set1_ps(float(kLastEntry));
    const auto floor = [&one](__m128 f) {
        const __m128 truncated = _mm_cvtepi32_ps(_mm_cvttps_epi32(f));
        return _mm_sub_ps(truncated, _mm_and_ps(_mm_cmpgt_ps(truncated, f), one));
    };
    ZWalk walk(t, dt);
    int done = 0;
    for (; done + 4 <= count; done += 4, dst += 16) {
        __m128 p = walk.Next();
        alignas(16) int32_t index[4];
        if (spread_ != ZGradient::kPad) {
            const __m128 size = _mm_and_ps(p, magnitude);
            if (_mm_movemask_ps(_mm_cmplt_ps(size, near)) != 15) {
                alignas(16) float at[4];
                _mm_store_ps(at, p);
                for (int k = 0; k < 4; ++k)
                    std::memcpy(dst + 4 * k, ramp_[RampIndex(at[k], spread_)], 4);
                continue;
            }
            if (spread_ == ZGradient::kRepeat) {
                p = _mm_sub_ps(p, floor(p));
            } else {
                const __m128 folded =
                    _mm_sub_ps(size, _mm_mul_ps(two, floor(_mm_mul_ps(size, half))));
                const __m128 back = _mm_cmpgt_ps(folded, one);
                p = _mm_or_ps(_mm_and_ps(back, _mm_sub_ps(two, folded)),
                              _mm_andnot_ps(back, folded));
            }
        }
        // Below 1 (or no number) the first entry, from the last entry on the last.
        const __m128 position = _mm_mul_ps(p, scale);
        const __m128 inside = _mm_cmpge_ps(position, one);
        _mm_store_si128(reinterpret_cast<__m128i*>(index),
                        _mm_cvttps_epi32(_mm_and_ps(inside, _mm_min_ps(position, last))));
        for (int k = 0; k < 4; ++k) std::memcpy(dst + 4 * k, ramp_[index[k]], 4);
    }
    t = walk.Position();
    return done;
}
#endif

// The pixels ahead depend on the position, its step, the ramp and the spread, and the
// last two are fixed for the fill.
bool ZLinearGradientStencil::WalkPosition(uint64_t& position) const {
    position = uint64_t(std::bit_cast<uint32_t>(t_)) << 32 | std::bit_cast<uint32_t>(dt_);
    return true;
}

void ZLinearGradientStencil::SetWalkPosition(uint64_t position) {
    t_ = std::bit_cast<float>(static_cast<uint32_t>(position >> 32));
    dt_ = std::bit_cast<float>(static_cast<uint32_t>(position));
}

void ZRadialGradientStencil::SetFocalPoint(float focal) {
    focal_ = focal > -kMaxFocal ? (focal < kMaxFocal ? focal : kMaxFocal) : -kMaxFocal;
    PaintChanged();
}

ZStencil* ZRadialGradientStencil::Clone() const {
    auto* copy = new ZRadialGradientStencil;
    copy->CopyStopsFrom(*this);
    copy->focal_ = focal_;
    return copy;
}

void ZRadialGradientStencil::Seek(int32_t x, int32_t y) {
    const Point3 a = DeviceToPaint(static_cast<float>(x), static_cast<float>(y));
    const Point3 b = DeviceToPaint(static_cast<float>(x) + 1.0f, static_cast<float>(y));
    gx_ = 2.0f * a.x;
    dgx_ = 2.0f * b.x - gx_;
    gy_ = 2.0f * a.y;
    dgy_ = 2.0f * b.y - gy_;
}

// With the focus at f, the point p lies at t on the ray from f through p to the rim:
// p = f + (q - f) t with |q| = 1.  For d = p - f that is
// t = |d|^2 / (-(f.d) + sqrt((f.d)^2 + |d|^2 (1 - |f|^2))).
float ZRadialGradientStencil::RampPosition() const {
    if (focal_ == 0.0f) return ToRampFloat(std::sqrt(double(gx_) * gx_ + double(gy_) * gy_));
    const double dx = double(gx_) - focal_, dy = gy_;
    const double d2 = dx * dx + dy * dy;
    if (!(d2 > 0.0)) return 0.0f; // the focus itself, or no number at all
    const double fd = focal_ * dx;
    const double f2 = double(focal_) * focal_;
    return ToRampFloat(d2 / (std::sqrt(fd * fd + d2 * (1.0 - f2)) - fd));
}

// A coordinate of 1023 or more already puts the radius at the ramp end, so only small
// values reach the integer square root and the sum of squares stays well inside 32 bits.
int ZRadialGradientStencil::Index() const {
    if (focal_ != 0.0f || spread_ != kPad) return RampIndex(RampPosition(), spread_);
    const float fx = 1024.0f * gx_, fy = 1024.0f * gy_;
    const float limit = static_cast<float>(kLastEntry);
    if (!(std::fabs(fx) < limit) || !(std::fabs(fy) < limit)) return kLastEntry;
    const int32_t ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
    const uint32_t r = IntegerSqrt(static_cast<uint32_t>(ix * ix + iy * iy));
    return r > static_cast<uint32_t>(kLastEntry) ? kLastEntry : static_cast<int>(r);
}

uint8_t* ZRadialGradientStencil::NextPixel8(uint8_t* out) {
    std::memcpy(out, ramp_[Index()], 4);
    Skip();
    return out;
}

#if defined(__SSE2__)
// Index() of a padded gradient without focus for four positions: the same float products
// and truncations.  The sum of squares n stays below 2^21, exact in float, and truncating
// its correctly rounded float root gives the integer root: below (k + 1)^2 the root falls
// short of k + 1 by more than 1 / (2k + 2), more than half the float spacing there.
int ZRadialGradientStencil::CentredQuads(float& gx, float& gy, float dgx, float dgy, uint8_t* dst,
                                         int count) const {
    const __m128 scale = _mm_set1_ps(1024.0f), limit = _mm_set1_ps(float(kLastEntry));
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
    int done = 0;
    ZWalk xs(gx, dgx), ys(gy, dgy);
    for (; done + 4 <= count; done += 4, dst += 16) {
        const __m128 fx = _mm_mul_ps(scale, xs.Next());
        const __m128 fy = _mm_mul_ps(scale, ys.Next());
        const __m128 near = _mm_and_ps(_mm_cmplt_ps(_mm_and_ps(fx, magnitude), limit),
                                       _mm_cmplt_ps(_mm_and_ps(fy, magnitude), limit));
        // Far lanes are zeroed before they are converted, and take the last entry below.
        const __m128 ix = _mm_cvtepi32_ps(_mm_cvttps_epi32(_mm_and_ps(fx, near)));
        const __m128 iy = _mm_cvtepi32_ps(_mm_cvttps_epi32(_mm_and_ps(fy, near)));
        const __m128 n = _mm_add_ps(_mm_mul_ps(ix, ix), _mm_mul_ps(iy, iy));
        const __m128 root = _mm_cvtepi32_ps(_mm_cvttps_epi32(_mm_sqrt_ps(n)));
        const __m128 entry =
            _mm_or_ps(_mm_and_ps(near, _mm_min_ps(root, limit)), _mm_andnot_ps(near, limit));
        alignas(16) int32_t index[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(index), _mm_cvttps_epi32(entry));
        for (int k = 0; k < 4; ++k) std::memcpy(dst + 4 * k, ramp_[index[k]], 4);
    }
    gx = xs.Position();
    gy = ys.Position();
    return done;
}

// RampPosition() for four positions, two at a time in double lanes with the same
// operations in the same order; the ramp index of each is found one by one.
int ZRadialGradientStencil::PositionQuads(float& gx, float& gy, float dgx, float dgy, uint8_t* dst,
                                          int count) const {
    const __m128d focal = _mm_set1_pd(focal_), far = _mm_set1_pd(1.0e9);
    const __m128d keep = _mm_set1_pd(1.0 - double(focal_) * focal_);
    const auto positions = [&](__m128d x, __m128d y) {
        if (focal_ == 0.0f)
            return _mm_min_pd(_mm_sqrt_pd(_mm_add_pd(_mm_mul_pd(x, x), _mm_mul_pd(y, y))), far);
        const __m128d dx = _mm_sub_pd(x, focal);
        const __m128d d2 = _mm_add_pd(_mm_mul_pd(dx, dx), _mm_mul_pd(y, y));
        const __m128d fd = _mm_mul_pd(focal, dx);
        const __m128d root = _mm_sqrt_pd(_mm_add_pd(_mm_mul_pd(fd, fd), _mm_mul_pd(d2, keep)));
        const __m128d t = _mm_min_pd(_mm_div_pd(d2, _mm_sub_pd(root, fd)), far);
        // The focus itself, or no number at all, is the ramp's start.
        return _mm_and_pd(_mm_cmpgt_pd(d2, _mm_setzero_pd()), t);
    };
    int done = 0;
    for (; done + 4 <= count; done += 4, dst += 16) {
        const float x0 = gx, x1 = x0 + dgx, x2 = x1 + dgx, x3 = x2 + dgx;
        const float y0 = gy, y1 = y0 + dgy, y2 = y1 + dgy, y3 = y2 + dgy;
        gx = x3 + dgx;
        gy = y3 + dgy;
        const __m128 low =
            _mm_movelh_ps(_mm_cvtpd_ps(positions(_mm_setr_pd(x0, x1), _mm_setr_pd(y0, y1))),
                          _mm_cvtpd_ps(positions(_mm_setr_pd(x2, x3), _mm_setr_pd(y2, y3))));
        alignas(16) float t[4];
        _mm_store_ps(t, low);
        for (int k = 0; k < 4; ++k) std::memcpy(dst + 4 * k, ramp_[RampIndex(t[k], spread_)], 4);
    }
    return done;
}
#endif

void ZRadialGradientStencil::FetchSpan8(uint8_t* dst, int count) {
    float gx = gx_, gy = gy_;
    const float dgx = dgx_, dgy = dgy_;
#if defined(__SSE2__)
    const int done = focal_ == 0.0f && spread_ == kPad
                         ? CentredQuads(gx, gy, dgx, dgy, dst, count)
                         : PositionQuads(gx, gy, dgx, dgy, dst, count);
    dst += 4 * done;
    count -= done;
#endif
    for (int i = 0; i < count; ++i) {
        gx_ = gx;
        gy_ = gy;
        std::memcpy(dst + 4 * i, ramp_[Index()], 4);
        gx += dgx;
        gy += dgy;
    }
    gx_ = gx;
    gy_ = gy;
}
