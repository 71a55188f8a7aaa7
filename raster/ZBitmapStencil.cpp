#include "raster/ZBitmapStencil.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "raster/ZLanes.h"

#if defined(Z_WIDE_LANES)
#include <immintrin.h>
#endif

namespace {

// Truncation toward zero that stays defined for any float: positions far outside the
// image (or NaN from a degenerate matrix) land well outside it, never on a huge value.
int32_t Trunc(float f) {
    constexpr float kFar = 1 << 30;
    if (f != f) return 0;
    if (f <= -kFar) return -(1 << 30);
    if (f >= kFar) return 1 << 30;
    return static_cast<int32_t>(f);
}

int32_t Wrap(int32_t i, int32_t n) {
    if (uint32_t(i) < uint32_t(n)) return i;
    const int32_t r = i % n;
    return r < 0 ? r + n : r;
}

// Wrap(i, n), given `tile`, a multiple of n where an earlier position's tile starts:
// within that tile the offset is the answer, elsewhere the tile moves to i's.
int32_t WrapFrom(int32_t i, int32_t n, int64_t& tile) {
    const int64_t offset = int64_t(i) - tile;
    if (offset >= 0 && offset < n) return int32_t(offset);
    const int32_t wrapped = Wrap(i, n);
    tile = int64_t(i) - wrapped;
    return wrapped;
}

int32_t Clamp(int32_t i, int32_t n) {
    return i < 0 ? 0 : i >= n ? n - 1 : i;
}

// 12-bit fraction of the position past floor(f).
uint32_t Fraction(float f) {
    const float fraction = f - std::floor(f);
    return fraction >= 0.0f && fraction < 1.0f ? static_cast<uint32_t>(fraction * 4096.0f) : 0;
}

template <class T> struct Accumulator;
template <> struct Accumulator<uint8_t> {
    using Type = uint32_t; // 255 x 4096 x 4096 fits
};
template <> struct Accumulator<uint16_t> { using Type = uint64_t; };

template <class T>
void Blend(const T* c00, const T* c10, const T* c01, const T* c11, uint32_t wx, uint32_t wy,
           T* out) {
    using Acc = typename Accumulator<T>::Type;
    const Acc w00 = Acc(4096 - wx) * (4096 - wy), w10 = Acc(wx) * (4096 - wy);
    const Acc w01 = Acc(4096 - wx) * wy, w11 = Acc(wx) * wy;
    for (int c = 0; c < 4; ++c)
        out[c] = static_cast<T>((c00[c] * w00 + c10[c] * w10 + c01[c] * w01 + c11[c] * w11) >> 24);
}

// Blend of 8-bit texels whose right neighbours follow them in their rows: the same sums,
// gathered as (4096 - wy) (c00 (4096 - wx) + c10 wx) + wy (c01 (4096 - wx) + c11 wx),
// which is the same whole number, four channels at a time.
void BlendNeighbours(const uint8_t* top, const uint8_t* bottom, uint32_t wx, uint32_t wy,
                     uint8_t* out) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    // Each texel pair as (left, right) 16-bit pairs per channel.
    const auto pairs = [&zero](const uint8_t* p) {
        const __m128i wide =
            _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), zero);
        return _mm_unpacklo_epi16(wide, _mm_srli_si128(wide, 8));
    };
    const __m128i across = _mm_set1_epi32(int32_t((wx << 16) | (4096 - wx)));
    const __m128i upper = _mm_madd_epi16(pairs(top), across); // below 2^20 each
    const __m128i lower = _mm_madd_epi16(pairs(bottom), across);
    const __m128i keep = _mm_set1_epi32(int32_t(4096 - wy)), take = _mm_set1_epi32(int32_t(wy));
    const __m128i even =
        _mm_srli_epi64(_mm_add_epi64(_mm_mul_epu32(upper, keep), _mm_mul_epu32(lower, take)), 24);
    const __m128i odd =
        _mm_srli_epi64(_mm_add_epi64(_mm_mul_epu32(_mm_srli_epi64(upper, 32), keep),
                                     _mm_mul_epu32(_mm_srli_epi64(lower, 32), take)),
                       24);
    const __m128i sums = _mm_or_si128(even, _mm_slli_epi64(odd, 32));
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(sums, zero), zero);
    const int32_t packed = _mm_cvtsi128_si32(bytes);
    std::memcpy(out, &packed, 4);
#else
    Blend(top, top + 4, bottom, bottom + 4, wx, wy, out);
#endif
}

// Whether every texel of an 8-bit, 4-channel image has an alpha of 255.
bool AllTexelsOpaque(const PixelBuffer& image) {
    for (int32_t y = 0; y < image.height; ++y) {
        const uint8_t* row = image.Row(y);
        for (int32_t x = 0; x < image.width; ++x)
            if (row[4 * x + 3] != 255) return false;
    }
    return true;
}

// A 1-, 2- or 3-channel image (grey, grey and alpha, or raw colour) as blue, green, red,
// alpha texels of the same depth.
template <class T> void Widen(const PixelBuffer& in, PixelBuffer& out) {
    for (int32_t y = 0; y < in.height; ++y) {
        const T* src = reinterpret_cast<const T*>(in.Row(y));
        T* dst = reinterpret_cast<T*>(out.Row(y));
        const T full = sizeof(T) == 1 ? T(255) : T(32768);
        for (int32_t x = 0; x < in.width; ++x, src += in.channels, dst += 4) {
            switch (in.channels) {
            case 1:
                dst[0] = dst[1] = dst[2] = src[0];
                dst[3] = full;
                break;
            case 2:
                dst[0] = dst[1] = dst[2] = src[0];
                dst[3] = src[1];
                break;
            default:
                dst[0] = src[0];
                dst[1] = src[1];
                dst[2] = src[2];
                dst[3] = full;
                break;
            }
        }
    }
}

// Halves one dimension of `src` with a box filter: each output texel is the truncated
// mean of the two texels it covers.
template <class T> void Halve(const PixelBuffer& src, PixelBuffer& dst, bool horizontal) {
    for (int32_t y = 0; y < dst.height; ++y) {
        const T* a = reinterpret_cast<const T*>(src.Row(horizontal ? y : 2 * y));
        const T* b = horizontal ? a + 4 : reinterpret_cast<const T*>(src.Row(2 * y + 1));
        T* out = reinterpret_cast<T*>(dst.Row(y));
        const int step = horizontal ? 8 : 4;
        for (int32_t x = 0; x < dst.width; ++x, out += 4, a += step, b += step)
            for (int c = 0; c < 4; ++c) out[c] = static_cast<T>((uint32_t(a[c]) + b[c]) >> 1);
    }
}

} // namespace

ZBitmapStencil::~ZBitmapStencil() = default;

void ZBitmapStencil::SetImage(PixelBuffer* image, int32_t maxLevels) {
    PaintChanged();
    for (auto& row : levels_)
        for (auto& level : row) level.Reset();
    current_ = nullptr;
    xLevels_ = yLevels_ = 0;
    depth_ = 0;
    std::memset(widths_, 0, sizeof(widths_));
    std::memset(heights_, 0, sizeof(heights_));
    if (!image) return;
    Held<PixelBuffer> base = image;
    const bool texels = image->bytesPerChannel >= 1 && image->bytesPerChannel <= 2;
    if (texels && image->channels != 4 && image->pixels) {
        PixelBuffer* wide =
            PixelBuffer::Create(image->width, image->height, 4, image->bytesPerChannel);
        if (!wide) return;
        base = Held<PixelBuffer>::Adopt(wide);
        if (image->bytesPerChannel == 1)
            Widen<uint8_t>(*image, *wide);
        else
            Widen<uint16_t>(*image, *wide);
    } else if (!texels) {
        return;
    }
    levels_[0][0] = base;
    depth_ = base->bytesPerChannel;
    opaque_ = depth_ == 1 && base->pixels && AllTexelsOpaque(*base);

    const int32_t limit = maxLevels < 0 ? 0 : maxLevels > kMaxLevels ? kMaxLevels : maxLevels;
    xLevels_ = yLevels_ = limit;
    if (limit == 0) return;
    widths_[0] = uint32_t(base->width);
    heights_[0] = uint32_t(base->height);
    for (int32_t i = 1; i < limit && xLevels_ == limit; ++i) {
        widths_[i] = widths_[i - 1] >> 1;
        if (widths_[i] == 0) xLevels_ = i;
    }
    for (int32_t j = 1; j < limit && yLevels_ == limit; ++j) {
        heights_[j] = heights_[j - 1] >> 1;
        if (heights_[j] == 0) yLevels_ = j;
    }
}

PixelBuffer* ZBitmapStencil::Level(int i, int j) {
    if (i < 0 || j < 0 || i >= xLevels_ || j >= yLevels_) return nullptr;
    if (levels_[i][j]) return levels_[i][j].Get();
    // Reduce horizontally from the level to the left when there is one, else vertically.
    const bool horizontal = i > 0;
    PixelBuffer* source = horizontal ? Level(i - 1, j) : Level(i, j - 1);
    if (!source || !source->pixels) return nullptr;
    PixelBuffer* reduced =
        PixelBuffer::Create(int32_t(widths_[i]), int32_t(heights_[j]), 4, depth_);
    if (!reduced) return nullptr;
    reduced->hasAlpha = source->hasAlpha;
    if (reduced->pixels) {
        if (depth_ == 1)
            Halve<uint8_t>(*source, *reduced, horizontal);
        else
            Halve<uint16_t>(*source, *reduced, horizontal);
    }
    levels_[i][j] = Held<PixelBuffer>::Adopt(reduced);
    return reduced;
}

ZStencil* ZBitmapStencil::Clone() const {
    auto* copy = new ZBitmapStencil;
    for (int i = 0; i < kMaxLevels; ++i)
        for (int j = 0; j < kMaxLevels; ++j) copy->levels_[i][j] = levels_[i][j];
    std::memcpy(copy->widths_, widths_, sizeof(widths_));
    std::memcpy(copy->heights_, heights_, sizeof(heights_));
    copy->xLevels_ = xLevels_;
    copy->yLevels_ = yLevels_;
    copy->depth_ = depth_;
    copy->opaque_ = opaque_;
    return copy;
}

bool ZBitmapStencil::IsOpaque() const {
    return opaque_ && current_ == levels_[0][0].Get() && mode_ != kTransparentNearest &&
           mode_ != kTransparentBilinear;
}

void ZBitmapStencil::Prepare() {
    current_ = nullptr;
    const int32_t repeat = RepeatMode() >= 0 && RepeatMode() <= 2 ? RepeatMode() : 0;
    mode_ = repeat * 256 + (Smoothing() != 0 ? 1 : 0);
}

void ZBitmapStencil::Seek(int32_t x, int32_t y) {
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    const Point3 a = DeviceToPaint(fx, fy);
    const Point3 b = DeviceToPaint(fx + 1.0f, fy);
    u_ = a.x + 0.5f;
    du_ = (b.x + 0.5f) - u_;
    v_ = a.y + 0.5f;
    dv_ = (b.y + 0.5f) - v_;
    if (!current_) ChooseLevel(x, y, a);
    const float w = static_cast<float>(currentWidth_), h = static_cast<float>(currentHeight_);
    u_ *= w;
    du_ *= w;
    v_ *= h;
    dv_ *= h;
}

// Once per fill: the smallest level on which one device pixel covers at most two texels.
void ZBitmapStencil::ChooseLevel(int32_t x, int32_t y, const Point3& a) {
    int i = 0, j = 0;
    if (MipMap() && xLevels_ > 0 && yLevels_ > 0) {
        const Point3 c = DeviceToPaint(static_cast<float>(x) + 1.0f, static_cast<float>(y) + 1.0f);
        const float su = std::fabs(c.x - a.x), sv = std::fabs(c.y - a.y);
        i = xLevels_ - 1;
        for (int k = 0; k <= xLevels_ - 2; ++k)
            if (static_cast<float>(widths_[k]) * su <= 2.0f) {
                i = k;
                break;
            }
        j = yLevels_ - 1;
        for (int k = 0; k <= yLevels_ - 2; ++k)
            if (static_cast<float>(heights_[k]) * sv <= 2.0f) {
                j = k;
                break;
            }
    }
    current_ = Level(i, j);
    if (current_ && !current_->pixels) current_ = nullptr;
    currentWidth_ = current_ ? current_->width : 0;
    currentHeight_ = current_ ? current_->height : 0;
    const float below = DeviceToPaint(static_cast<float>(x), static_cast<float>(y) + 1.0f).y;
    rowStep_ = (below - a.y) * static_cast<float>(currentHeight_);
}

// One texel read at (u, v) of the current level, in one of the six modes.  The level's
// geometry is passed by value so that span loops keep it in registers.
template <class T, int32_t Mode>
void ZBitmapStencil::SampleAt(const Texels& level, float u, float v, T* out) {
    const int32_t w = level.width, h = level.height;
    const auto texel = [&level](int32_t x, int32_t y) {
        return reinterpret_cast<const T*>(level.pixels + int64_t(y) * level.pitch) + 4 * x;
    };
    static const T kClear[4] = {0, 0, 0, 0};
    if constexpr (Mode == kRepeatNearest) {
        const T* t = texel(WrapFrom(Trunc(u + 0.5f), w, level.xTile),
                           WrapFrom(Trunc(v + 0.5f), h, level.yTile));
        std::memcpy(out, t, 4 * sizeof(T));
    } else if constexpr (Mode == kTransparentNearest) {
        const int32_t ix = Trunc(u + 0.5f), iy = Trunc(v + 0.5f);
        const bool inside = ix >= 0 && ix < w && iy >= 0 && iy < h;
        std::memcpy(out, inside ? texel(ix, iy) : kClear, 4 * sizeof(T));
    } else if constexpr (Mode == kClampBilinear) {
        // Inside the image, away from its last row and column: the whole texel is the
        // truncation, and what lies past it is the fraction, exactly as the general reading
        // below finds them.
        if (u >= 0.0f && v >= 0.0f && u < float(w - 1) && v < float(h - 1)) {
            const int32_t x = static_cast<int32_t>(u), y = static_cast<int32_t>(v);
            const uint32_t fx = static_cast<uint32_t>((u - static_cast<float>(x)) * 4096.0f);
            const uint32_t fy = static_cast<uint32_t>((v - static_cast<float>(y)) * 4096.0f);
            const T* top = texel(x, y);
            const T* bottom = texel(x, y + 1);
            if constexpr (sizeof(T) == 1)
                BlendNeighbours(top, bottom, fx, fy, out);
            else
                Blend(top, top + 4, bottom, bottom + 4, fx, fy, out);
            return;
        }
        int32_t x0 = Trunc(u), y0 = Trunc(v), x1, y1;
        if (x0 >= 0 && x0 < w - 1 && y0 >= 0 && y0 < h - 1) {
            x1 = x0 + 1;
            y1 = y0 + 1;
        } else {
            x0 = Clamp(x0, w);
            y0 = Clamp(y0, h);
            x1 = x0 < w - 1 ? x0 + 1 : x0;
            y1 = y0 < h - 1 ? y0 + 1 : y0;
        }
        Blend(texel(x0, y0), texel(x1, y0), texel(x0, y1), texel(x1, y1), Fraction(u), Fraction(v),
              out);
    } else if constexpr (Mode == kRepeatBilinear) {
        const int32_t x0 = WrapFrom(Trunc(u), w, level.xTile);
        const int32_t y0 = WrapFrom(Trunc(v), h, level.yTile);
        const int32_t x1 = x0 < w - 1 ? x0 + 1 : x0, y1 = y0 < h - 1 ? y0 + 1 : y0;
        if constexpr (sizeof(T) == 1) {
            if (x1 > x0 && y1 > y0)
                return BlendNeighbours(texel(x0, y0), texel(x0, y1), Fraction(u), Fraction(v), out);
        }
        Blend(texel(x0, y0), texel(x1, y0), texel(x0, y1), texel(x1, y1), Fraction(u), Fraction(v),
              out);
    } else if constexpr (Mode == kTransparentBilinear) {
        const int32_t x0 = Trunc(u), y0 = Trunc(v);
        const auto at = [&](int32_t x, int32_t y) {
            return x >= 0 && x < w && y >= 0 && y < h ? texel(x, y) : kClear;
        };
        Blend(at(x0, y0), at(x0 + 1, y0), at(x0, y0 + 1), at(x0 + 1, y0 + 1), Fraction(u),
              Fraction(v), out);
    } else {
        const T* t = texel(Clamp(Trunc(u + 0.5f), w), Clamp(Trunc(v + 0.5f), h));
        std::memcpy(out, t, 4 * sizeof(T));
    }
}

ZBitmapStencil::Texels ZBitmapStencil::CurrentTexels() const {
    return {current_->pixels, current_->pitch, currentWidth_, currentHeight_, 0, 0};
}

template <class T> void ZBitmapStencil::Sample(T* out) const {
    if (!current_) {
        std::memset(out, 0, 4 * sizeof(T));
        return;
    }
    const Texels level = CurrentTexels();
    switch (mode_) {
    case kRepeatNearest:
        return SampleAt<T, kRepeatNearest>(level, u_, v_, out);
    case kTransparentNearest:
        return SampleAt<T, kTransparentNearest>(level, u_, v_, out);
    case kClampBilinear:
        return SampleAt<T, kClampBilinear>(level, u_, v_, out);
    case kRepeatBilinear:
        return SampleAt<T, kRepeatBilinear>(level, u_, v_, out);
    case kTransparentBilinear:
        return SampleAt<T, kTransparentBilinear>(level, u_, v_, out);
    default:
        return SampleAt<T, kClampNearest>(level, u_, v_, out);
    }
}

uint8_t* ZBitmapStencil::NextPixel8(uint8_t* out) {
    if (depth_ == 2) {
        uint16_t wide[4];
        Sample(wide);
        for (int c = 0; c < 4; ++c)
            out[c] = static_cast<uint8_t>(wide[c] >= 32768 ? 255 : (wide[c] * 255u) >> 15);
    } else {
        Sample(out);
    }
    Skip();
    return out;
}

#if defined(__SSE2__)
namespace {

// Four pixels' whole texels and the 12-bit fractions past them, out of their lanes.
struct TexelQuad {
    TexelQuad(__m128i xs, __m128i ys, __m128i fxs, __m128i fys) : fxs(fxs), fys(fys) {
        _mm_store_si128(reinterpret_cast<__m128i*>(x), xs);
        _mm_store_si128(reinterpret_cast<__m128i*>(y), ys);
        _mm_store_si128(reinterpret_cast<__m128i*>(fx), fxs);
        _mm_store_si128(reinterpret_cast<__m128i*>(fy), fys);
    }
    alignas(16) int32_t x[4], y[4];
    alignas(16) uint32_t fx[4], fy[4];
    __m128i fxs, fys;
};

// One pixel of BlendFour.  Pixel k's texel pairs down each column, times (4096 - wy, wy),
// give the columns' sums v0 and v1 (below 2^20); the whole number is then
// (4096 - wx) v0 + wx v1 = 4096 v0 + wx e with e = v1 - v0, and wx e is taken as
// 4096 wx (e >> 12) + wx (e & 4095), two 16-bit multiply-adds.  Its terms wrap alike in
// 32 bits and the number itself stays below 2^32.
template <int k>
__m128i BlendOfFour(const uint8_t* top, int32_t pitch, __m128i down, __m128i across) {
    const __m128i zero = _mm_setzero_si128();
    // Per channel: (top left, bottom left) bytes, then (top right, bottom right).
    const __m128i columns =
        _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(top)),
                          _mm_loadl_epi64(reinterpret_cast<const __m128i*>(top + pitch)));
    const __m128i weights = _mm_shuffle_epi32(down, k * 0x55);
    const __m128i v0 = _mm_madd_epi16(_mm_unpacklo_epi8(columns, zero), weights);
    const __m128i v1 = _mm_madd_epi16(_mm_unpackhi_epi8(columns, zero), weights);
    const __m128i e = _mm_sub_epi32(v1, v0);
    // wx in the low half of each lane, 0 in the high half: the multiply-adds take the
    // low halves of (e & 4095) and of (e >> 12), which lies within 16 signed bits.
    const __m128i wx = _mm_shuffle_epi32(across, k * 0x55);
    const __m128i low = _mm_madd_epi16(_mm_and_si128(e, _mm_set1_epi32(4095)), wx);
    const __m128i high = _mm_madd_epi16(_mm_srai_epi32(e, 12), wx);
    return _mm_srli_epi32(_mm_add_epi32(_mm_slli_epi32(_mm_add_epi32(v0, high), 12), low), 24);
}

// BlendNeighbours of four pixels at once: tops[k] is pixel k's top left texel, its bottom
// row a pitch below, and fxs and fys hold the fractions (below 4096) in their lanes.
void BlendFour(const uint8_t* const tops[4], int32_t pitch, __m128i fxs, __m128i fys,
               uint8_t* dst) {
    const __m128i down =
        _mm_or_si128(_mm_sub_epi32(_mm_set1_epi32(4096), fys), _mm_slli_epi32(fys, 16));
    const __m128i first = _mm_packs_epi32(BlendOfFour<0>(tops[0], pitch, down, fxs),
                                          BlendOfFour<1>(tops[1], pitch, down, fxs));
    const __m128i second = _mm_packs_epi32(BlendOfFour<2>(tops[2], pitch, down, fxs),
                                           BlendOfFour<3>(tops[3], pitch, down, fxs));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_packus_epi16(first, second));
}

// The 12-bit fractions of positions past their truncations, as SampleAt finds them.
inline __m128i Fractions(__m128 f, __m128i whole) {
    return _mm_cvttps_epi32(
        _mm_mul_ps(_mm_sub_ps(f, _mm_cvtepi32_ps(whole)), _mm_set1_ps(4096.0f)));
}

// A texel row (with the next below it) that a span reads along, the fraction below it in
// every lane, and the last column a pair may start at.
struct RowOfTexels {
    const uint8_t* texels;
    int32_t pitch;
    __m128i fys;
    __m128 lastX;
    int64_t below; // bytes from this row to the one a device row down
};

// Whether the four positions lie where a pair of columns starts.
inline bool Inside(__m128 us, __m128 lastX) {
    const __m128 inside = _mm_and_ps(_mm_cmpge_ps(us, _mm_setzero_ps()), _mm_cmplt_ps(us, lastX));
    return _mm_movemask_ps(inside) == 15;
}

// The columns' byte offsets and the fractions past them, of four positions inside.
inline __m128i Columns(__m128 us, __m128i& fxs) {
    const __m128i x = _mm_cvttps_epi32(us);
    fxs = Fractions(us, x);
    return _mm_slli_epi32(x, 2);
}

// Asks for the texels a device row down from `count` pixels' columns, every third: a
// span reads its rows afresh, from memory, where the image is scaled down.
inline void PrefetchBelow(const RowOfTexels& row, const int32_t* offsets, int count) {
    if (row.below == 0) return;
    for (int k = 0; k < count; k += 3) {
        const uint8_t* below = row.texels + row.below + offsets[k];
        _mm_prefetch(reinterpret_cast<const char*>(below), _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(below + row.pitch), _MM_HINT_T0);
    }
}

// One group of four along a row: blended where all four lie inside, by `outside` (given
// their positions and where they go) elsewhere.
template <class Outside>
void FourAlongRow(const RowOfTexels& row, __m128 us, uint8_t* dst, const Outside& outside) {
    if (!Inside(us, row.lastX)) return outside(us, dst);
    __m128i fxs;
    alignas(16) int32_t offsets[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(offsets), Columns(us, fxs));
    PrefetchBelow(row, offsets, 4);
    const uint8_t* tops[4] = {row.texels + offsets[0], row.texels + offsets[1],
                              row.texels + offsets[2], row.texels + offsets[3]};
    BlendFour(tops, row.pitch, fxs, row.fys, dst);
}

// The groups of four of a span along a row; returns how many pixels it fetched.
template <class Outside>
int BlendAlongRow(const RowOfTexels& row, ZWalk& walk, uint8_t* dst, int count,
                  const Outside& outside) {
    int done = 0;
    for (; done + 4 <= count; done += 4, dst += 16) FourAlongRow(row, walk.Next(), dst, outside);
    return done;
}

#if defined(Z_WIDE_LANES)
// BlendOfFour for pixels k and k + 4 at once, in the two halves of the lanes, their top
// left texels `at` bytes into the texel row.  `down` holds (4096 - wy, wy) in every lane,
// as the whole span shares its row.  AVX2 multiplies whole 32-bit lanes, so wx e is taken
// at once: it may wrap in 32 bits, but the sum it goes into stays below 2^32 and comes out
// whole.
template <int k>
[[gnu::target("avx2")]] inline __m256i BlendOfEight(const RowOfTexels& row, const int32_t at[8],
                                                    __m256i down, __m256i across) {
    const uint8_t* top = row.texels;
    const uint8_t* bottom = row.texels + row.pitch;
    const auto columns = [top, bottom](int32_t offset) {
        return _mm_unpacklo_epi8(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(top + offset)),
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bottom + offset)));
    };
    const __m256i both =
        _mm256_inserti128_si256(_mm256_castsi128_si256(columns(at[k])), columns(at[k + 4]), 1);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i v0 = _mm256_madd_epi16(_mm256_unpacklo_epi8(both, zero), down);
    const __m256i v1 = _mm256_madd_epi16(_mm256_unpackhi_epi8(both, zero), down);
    const __m256i wx = _mm256_shuffle_epi32(across, k * 0x55);
    const __m256i whole = _mm256_add_epi32(_mm256_slli_epi32(v0, 12),
                                           _mm256_mullo_epi32(_mm256_sub_epi32(v1, v0), wx));
    return _mm256_srli_epi32(whole, 24);
}

// BlendFour of eight pixels along a row: the sums of pixels k and k + 4 share their lanes,
// and the packing puts every pixel back in its place.
[[gnu::target("avx2")]] inline void BlendEight(const RowOfTexels& row, const int32_t at[8],
                                               __m256i down, __m256i fxs, uint8_t* dst) {
    const __m256i first = _mm256_packs_epi32(BlendOfEight<0>(row, at, down, fxs),
                                             BlendOfEight<1>(row, at, down, fxs));
    const __m256i second = _mm256_packs_epi32(BlendOfEight<2>(row, at, down, fxs),
                                              BlendOfEight<3>(row, at, down, fxs));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), _mm256_packus_epi16(first, second));
}

// BlendAlongRow eight pixels at a time where both fours lie inside.
template <class Outside>
[[gnu::target("avx2")]] int BlendAlongRowWide(const RowOfTexels& row, ZWalk& walk, uint8_t* dst,
                                              int count, const Outside& outside) {
    int done = 0;
    const __m128i fy = row.fys;
    const __m128i down128 =
        _mm_or_si128(_mm_sub_epi32(_mm_set1_epi32(4096), fy), _mm_slli_epi32(fy, 16));
    const __m256i down = _mm256_set_m128i(down128, down128);
    for (; done + 8 <= count; done += 8, dst += 32) {
        const __m128 first = walk.Next(), second = walk.Next();
        if (!Inside(first, row.lastX) || !Inside(second, row.lastX)) {
            FourAlongRow(row, first, dst, outside);
            FourAlongRow(row, second, dst + 16, outside);
            continue;
        }
        __m128i lowFractions, highFractions;
        alignas(32) int32_t offsets[8];
        _mm_store_si128(reinterpret_cast<__m128i*>(offsets), Columns(first, lowFractions));
        _mm_store_si128(reinterpret_cast<__m128i*>(offsets + 4), Columns(second, highFractions));
        PrefetchBelow(row, offsets, 8);
        BlendEight(row, offsets, down, _mm256_set_m128i(highFractions, lowFractions), dst);
    }
    return done + BlendAlongRow(row, walk, dst, count - done, outside);
}
#endif

} // namespace

// Four texels at positions in lanes, one by one.
template <int32_t Mode, class Lanes>
void ZBitmapStencil::SampleFour(const Texels& level, Lanes us, Lanes vs, uint8_t* dst) {
    alignas(16) float u[4], v[4];
    _mm_store_ps(u, us);
    _mm_store_ps(v, vs);
    for (int k = 0; k < 4; ++k) SampleAt<uint8_t, Mode>(level, u[k], v[k], dst + 4 * k);
}

// Clamped nearest texels four at a time.  Clamp(Trunc(f), n) is the truncation of f held
// to [0, n - 1] first, with NaN going to 0: the vector max returns its second operand for
// NaN.
int ZBitmapStencil::ClampNearestQuads(const Texels& level, float& u, float& v, float du, float dv,
                                      float vBelow, uint8_t* dst, int count) {
    int done = 0;
    constexpr int32_t kExact = 1 << 24; // sizes whose last index is a float exactly
    if (level.width > kExact || level.height > kExact) return 0;
    const __m128 half = _mm_set1_ps(0.5f), zero = _mm_setzero_ps();
    const __m128 lastX = _mm_set1_ps(static_cast<float>(level.width - 1));
    const __m128 lastY = _mm_set1_ps(static_cast<float>(level.height - 1));
    const auto index = [&](__m128 f, __m128 last) {
        return _mm_cvttps_epi32(_mm_min_ps(_mm_max_ps(_mm_add_ps(f, half), zero), last));
    };
    ZWalk us(u, du), vs(v, dv);
    if (dv == 0.0f) {
        // A span along a texel row (the image not turned): the row is found once, and each
        // group's four texels are read from it by their columns.  Adding 0 leaves the row
        // as it is (a -0 becomes +0, on the same row).
        const __m128i row = index(_mm_set1_ps(v), lastY);
        const uint8_t* texels = level.pixels + int64_t(_mm_cvtsi128_si32(row)) * level.pitch;
        // The texels a device row down, read next, are asked for while these are read.
        const int64_t below =
            int64_t(_mm_cvtsi128_si32(index(_mm_set1_ps(vBelow), lastY)) - _mm_cvtsi128_si32(row)) *
            level.pitch;
        const auto texel = [&texels](int32_t offset) {
            int32_t t;
            std::memcpy(&t, texels + offset, 4);
            return _mm_cvtsi32_si128(t);
        };
        for (; done + 4 <= count; done += 4, dst += 16) {
            alignas(16) int32_t offsets[4];
            _mm_store_si128(reinterpret_cast<__m128i*>(offsets),
                            _mm_slli_epi32(index(us.Next(), lastX), 2));
            _mm_prefetch(reinterpret_cast<const char*>(texels + below + offsets[3]), _MM_HINT_T0);
            const __m128i four =
                _mm_unpacklo_epi64(_mm_unpacklo_epi32(texel(offsets[0]), texel(offsets[1])),
                                   _mm_unpacklo_epi32(texel(offsets[2]), texel(offsets[3])));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), four);
        }
        u = us.Position();
        if (done) v += dv;
        return done;
    }
    for (; done + 4 <= count; done += 4, dst += 16) {
        alignas(16) int32_t xs[4], ys[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(xs), index(us.Next(), lastX));
        _mm_store_si128(reinterpret_cast<__m128i*>(ys), index(vs.Next(), lastY));
        for (int k = 0; k < 4; ++k)
            std::memcpy(dst + 4 * k, level.pixels + int64_t(ys[k]) * level.pitch + 4 * xs[k], 4);
    }
    u = us.Position();
    v = vs.Position();
    return done;
}

// Smoothed clamped texels four at a time.  Where all four lie inside the image, away from
// its last row and column, the whole texels and the fractions past them are worked out
// side by side with the same float operations SampleAt uses there; other groups go through
// SampleAt.
int ZBitmapStencil::ClampBilinearQuads(const Texels& level, float& u, float& v, float du, float dv,
                                       float vBelow, uint8_t* dst, int count) {
    int done = 0;
    constexpr int32_t kExact = 1 << 24; // sizes whose last index is a float exactly
    if (level.width > kExact || level.height > kExact) return 0;
    const __m128 zero = _mm_setzero_ps();
    const __m128 lastX = _mm_set1_ps(static_cast<float>(level.width - 1));
    const __m128 lastY = _mm_set1_ps(static_cast<float>(level.height - 1));
    ZWalk uWalk(u, du), vWalk(v, dv);
    if (dv == 0.0f && v >= 0.0f && v < static_cast<float>(level.height - 1)) {
        // A span along a row inside the image (the image not turned): its texel row and
        // the fraction below it hold for every group.  Adding 0 leaves both as they are (a
        // -0 becomes +0, with the same row and fraction).
        const __m128 vs = _mm_set1_ps(v);
        const __m128i y = _mm_cvttps_epi32(vs);
        // The rows a device row down, read next, are asked for while these are blended.
        const float below =
            vBelow >= 0.0f ? std::min(vBelow, static_cast<float>(level.height - 2)) : 0.0f;
        const int32_t top = _mm_cvtsi128_si32(y);
        const RowOfTexels row{level.pixels + int64_t(top) * level.pitch, level.pitch,
                              Fractions(vs, y), lastX, (int64_t(below) - top) * level.pitch};
        const auto outside = [&level, &vs](__m128 us, uint8_t* at) {
            SampleFour<kClampBilinear>(level, us, vs, at);
        };
#if defined(Z_WIDE_LANES)
        done = ZWideLanes() ? BlendAlongRowWide(row, uWalk, dst, count, outside)
                            : BlendAlongRow(row, uWalk, dst, count, outside);
#else
        done = BlendAlongRow(row, uWalk, dst, count, outside);
#endif
        u = uWalk.Position();
        if (done) v += dv;
        return done;
    }
    for (; done + 4 <= count; done += 4, dst += 16) {
        const __m128 us = uWalk.Next(), vs = vWalk.Next();
        const __m128 inside =
            _mm_and_ps(_mm_and_ps(_mm_cmpge_ps(us, zero), _mm_cmpge_ps(vs, zero)),
                       _mm_and_ps(_mm_cmplt_ps(us, lastX), _mm_cmplt_ps(vs, lastY)));
        if (_mm_movemask_ps(inside) == 15) {
            const __m128i x = _mm_cvttps_epi32(us), y = _mm_cvttps_epi32(vs);
            const TexelQuad q(x, y, Fractions(us, x), Fractions(vs, y));
            const uint8_t* tops[4];
            for (int k = 0; k < 4; ++k)
                tops[k] = level.pixels + int64_t(q.y[k]) * level.pitch + 4 * q.x[k];
            BlendFour(tops, level.pitch, q.fxs, q.fys, dst);
        } else {
            SampleFour<kClampBilinear>(level, us, vs, dst);
        }
    }
    u = uWalk.Position();
    v = vWalk.Position();
    return done;
}

// Smoothed repeated texels four at a time.  Where all four positions lie within 2^23 of
// the origin, their truncations, floors and fractions are worked out side by side, exactly
// as SampleAt finds them (a fraction that rounds up to 1 counts as 0 there too); wrapping
// and reading go one by one.  Other groups go through SampleAt.
int ZBitmapStencil::RepeatBilinearQuads(const Texels& level, float& u, float& v, float du, float dv,
                                        uint8_t* dst, int count) {
    int done = 0;
    const __m128 near = _mm_set1_ps(8388608.0f), scale = _mm_set1_ps(4096.0f);
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
    const int32_t w = level.width, h = level.height;
    const auto texel = [&level](int32_t x, int32_t y) {
        return level.pixels + int64_t(y) * level.pitch + 4 * x;
    };
    ZWalk uWalk(u, du), vWalk(v, dv);
    for (; done + 4 <= count; done += 4, dst += 16) {
        const __m128 us = uWalk.Next(), vs = vWalk.Next();
        const __m128 small = _mm_and_ps(_mm_cmplt_ps(_mm_and_ps(us, magnitude), near),
                                        _mm_cmplt_ps(_mm_and_ps(vs, magnitude), near));
        if (_mm_movemask_ps(small) == 15) {
            const auto fraction = [&](__m128 f, __m128i whole) {
                const __m128 truncated = _mm_cvtepi32_ps(whole);
                const __m128 floor =
                    _mm_sub_ps(truncated, _mm_and_ps(_mm_cmpgt_ps(truncated, f), one));
                const __m128 part = _mm_sub_ps(f, floor);
                return _mm_cvttps_epi32(
                    _mm_mul_ps(_mm_and_ps(_mm_cmplt_ps(part, one), part), scale));
            };
            const __m128i x = _mm_cvttps_epi32(us), y = _mm_cvttps_epi32(vs);
            const TexelQuad q(x, y, fraction(us, x), fraction(vs, y));
            int32_t x0[4], y0[4];
            bool within = true;
            for (int k = 0; k < 4; ++k) {
                x0[k] = WrapFrom(q.x[k], w, level.xTile);
                y0[k] = WrapFrom(q.y[k], h, level.yTile);
                within = within && x0[k] < w - 1 && y0[k] < h - 1;
            }
            if (within) {
                const uint8_t* tops[4] = {texel(x0[0], y0[0]), texel(x0[1], y0[1]),
                                          texel(x0[2], y0[2]), texel(x0[3], y0[3])};
                BlendFour(tops, level.pitch, q.fxs, q.fys, dst);
                continue;
            }
            // Texels on the last row or column take themselves for their missing neighbours.
            for (int k = 0; k < 4; ++k) {
                const int32_t x1 = x0[k] < w - 1 ? x0[k] + 1 : x0[k];
                const int32_t y1 = y0[k] < h - 1 ? y0[k] + 1 : y0[k];
                Blend(texel(x0[k], y0[k]), texel(x1, y0[k]), texel(x0[k], y1), texel(x1, y1),
                      q.fx[k], q.fy[k], dst + 4 * k);
            }
        } else {
            SampleFour<kRepeatBilinear>(level, us, vs, dst);
        }
    }
    u = uWalk.Position();
    v = vWalk.Position();
    return done;
}

#endif

// The span loop of one mode: the position steps exactly as Skip steps it, pixel by pixel.
template <int32_t Mode> void ZBitmapStencil::FetchSpanOf8(uint8_t* dst, int count) {
    const Texels level = CurrentTexels();
    const float du = du_, dv = dv_;
    float u = u_, v = v_;
#if defined(__SSE2__)
    if constexpr (Mode == kClampNearest || Mode == kClampBilinear || Mode == kRepeatBilinear) {
        const int done = Mode == kClampNearest
                             ? ClampNearestQuads(level, u, v, du, dv, v + rowStep_, dst, count)
                         : Mode == kClampBilinear
                             ? ClampBilinearQuads(level, u, v, du, dv, v + rowStep_, dst, count)
                             : RepeatBilinearQuads(level, u, v, du, dv, dst, count);
        dst += 4 * done;
        count -= done;
    }
#endif
    for (int i = 0; i < count; ++i, dst += 4) {
        SampleAt<uint8_t, Mode>(level, u, v, dst);
        u += du;
        v += dv;
    }
    u_ = u;
    v_ = v;
}

void ZBitmapStencil::FetchSpan8(uint8_t* dst, int count) {
    if (depth_ != 1 || !current_) {
        for (int i = 0; i < count; ++i) NextPixel8(dst + 4 * i);
        return;
    }
    switch (mode_) {
    case kRepeatNearest:
        return FetchSpanOf8<kRepeatNearest>(dst, count);
    case kTransparentNearest:
        return FetchSpanOf8<kTransparentNearest>(dst, count);
    case kClampBilinear:
        return FetchSpanOf8<kClampBilinear>(dst, count);
    case kRepeatBilinear:
        return FetchSpanOf8<kRepeatBilinear>(dst, count);
    case kTransparentBilinear:
        return FetchSpanOf8<kTransparentBilinear>(dst, count);
    default:
        return FetchSpanOf8<kClampNearest>(dst, count);
    }
}

// NextPixel16 (ZStencils16.cpp) samples 16-bit images through this from another file.
template void ZBitmapStencil::Sample<uint16_t>(uint16_t* out) const;
