#include "raster/ZBlendModes.h"

#include "raster/ZBlendMath.h"
#include "raster/ZLanes.h"
#include "raster/ZPlane.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#if defined(Z_WIDE_LANES)
#include <immintrin.h>
#endif

namespace {

// Sa x Da x B(s, d) on the 255 x 255 scale, s = S / Sa and d = D / Da.
template <ZBlendMode mode> inline uint32_t Mixed(uint32_t s, uint32_t sa, uint32_t d, uint32_t da) {
    const uint32_t sd = s * da, ds = d * sa;
    auto overlay = [&](bool low) { return low ? 2 * s * d : sa * da - 2 * (da - d) * (sa - s); };
    switch (mode) {
    case ZBlendMode::kMultiply:
        return s * d;
    case ZBlendMode::kLighten:
        return std::max(sd, ds);
    case ZBlendMode::kDarken:
        return std::min(sd, ds);
    case ZBlendMode::kDifference:
        return sd > ds ? sd - ds : ds - sd;
    case ZBlendMode::kInvert:
        return sa * (da - d);
    case ZBlendMode::kOverlay:
        return overlay(2 * d <= da);
    case ZBlendMode::kHardLight:
        return overlay(2 * s <= sa);
    default:
        return 0;
    }
}

template <ZBlendMode mode> inline uint32_t AlphaOf(uint32_t sa, uint32_t da) {
    switch (mode) {
    case ZBlendMode::kAlpha:
        return ZDiv255(da * sa);
    case ZBlendMode::kErase:
        return ZDiv255(da * (255 - sa));
    default:
        return sa + ZDiv255(da * (255 - sa));
    }
}

template <ZBlendMode mode>
inline uint32_t ChannelOf(uint32_t s, uint32_t sa, uint32_t d, uint32_t da) {
    switch (mode) {
    case ZBlendMode::kAdd:
        return std::min(255u, s + d);
    case ZBlendMode::kSubtract:
        return d > s ? d - s : 0;
    case ZBlendMode::kScreen:
        return s + d - ZDiv255(s * d);
    case ZBlendMode::kAlpha:
        return ZDiv255(d * sa);
    case ZBlendMode::kErase:
        return ZDiv255(d * (255 - sa));
    case ZBlendMode::kMultiply:
    case ZBlendMode::kLighten:
    case ZBlendMode::kDarken:
    case ZBlendMode::kDifference:
    case ZBlendMode::kInvert:
    case ZBlendMode::kOverlay:
    case ZBlendMode::kHardLight: {
        const uint32_t sum = s * (255 - da) + d * (255 - sa) + Mixed<mode>(s, sa, d, da);
        return std::min(ZDiv255(sum), AlphaOf<mode>(sa, da));
    }
    default:
        return s + ZDiv255(d * (255 - sa));
    }
}

// One pixel of CompositeRow.
template <ZBlendMode mode>
void CompositePixel(const uint8_t* layer, uint8_t* target, const uint8_t* coverage, int32_t i) {
    uint32_t src[4] = {layer[0], layer[1], layer[2], layer[3]};
    if (coverage) {
        const uint32_t m = coverage[i];
        for (uint32_t& c : src) c = ZDiv255(c * m);
    }
    const uint32_t sa = src[3];
    if (sa == 0) return;
    if (mode == ZBlendMode::kNormal && sa == 255) {
        // Opaque over anything: the layer's colour, already straight.
        for (int c = 0; c < 4; ++c) target[c] = uint8_t(src[c]);
        return;
    }
    const uint32_t da = target[3];
    if (da == 0 && mode != ZBlendMode::kAlpha && mode != ZBlendMode::kErase &&
        mode != ZBlendMode::kSubtract) {
        // Over nothing every other mode gives the layer itself.
        for (int c = 0; c < 3; ++c)
            target[c] = uint8_t(std::min(255u, ZDivideSmall(src[c] * 255 + sa / 2, sa)));
        target[3] = uint8_t(sa);
        return;
    }
    const uint32_t a = AlphaOf<mode>(sa, da);
    if (a == 255 && da == 255) {
        // Opaque onto opaque: the target's channels are their own premultiplied values,
        // and dividing the result by an alpha of 255 gives it back unchanged.
        for (int c = 0; c < 3; ++c)
            target[c] = uint8_t(std::min(ChannelOf<mode>(src[c], sa, target[c], 255), 255u));
        return;
    }
    for (int c = 0; c < 3; ++c) {
        const uint32_t d = ZDiv255(target[c] * da);
        const uint32_t v = std::min(ChannelOf<mode>(src[c], sa, d, da), a);
        target[c] = a ? uint8_t(std::min(255u, ZDivideSmall(v * 255 + a / 2, a))) : 0;
    }
    target[3] = uint8_t(a);
}

#if defined(__SSE2__)
// Unsigned 16-bit maximum and minimum, by the signed ones on values moved down by 2^15.
inline __m128i MaxU16(__m128i a, __m128i b) {
    const __m128i bias = _mm_set1_epi16(int16_t(-32768));
    return _mm_xor_si128(_mm_max_epi16(_mm_xor_si128(a, bias), _mm_xor_si128(b, bias)), bias);
}
inline __m128i MinU16(__m128i a, __m128i b) {
    const __m128i bias = _mm_set1_epi16(int16_t(-32768));
    return _mm_xor_si128(_mm_min_epi16(_mm_xor_si128(a, bias), _mm_xor_si128(b, bias)), bias);
}

// Four layer pixels widened to 16-bit lanes, scaled by the clip's coverage as
// CompositePixel scales them.
inline void ScaledLayer(__m128i l, const uint8_t* coverage, __m128i& low, __m128i& high) {
    const __m128i zero = _mm_setzero_si128();
    low = _mm_unpacklo_epi8(l, zero);
    high = _mm_unpackhi_epi8(l, zero);
    uint32_t m = 0xFFFFFFFFu;
    if (coverage) std::memcpy(&m, coverage, 4);
    if (m == 0xFFFFFFFFu) return;
    // Each pixel's coverage in its four lanes.
    const __m128i wide = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(m)), zero);
    const __m128i pairs = _mm_unpacklo_epi16(wide, wide);
    low = ZDiv255Lanes(_mm_mullo_epi16(low, _mm_unpacklo_epi32(pairs, pairs)));
    high = ZDiv255Lanes(_mm_mullo_epi16(high, _mm_unpackhi_epi32(pairs, pairs)));
}

// Four straight pixels premultiplied: each channel times its pixel's alpha over 255 in
// 16-bit lanes (255 x 255 + 128 and its high byte stay below 2^16); alpha itself is put
// back.  Four opaque pixels are their own premultiplied values, and come back at once.
inline __m128i Premultiplied(__m128i px) {
    if (ZAllOpaque(px)) return px;
    const __m128i zero = _mm_setzero_si128();
    const __m128i alpha = _mm_set1_epi32(int32_t(0xFF000000u));
    const auto times = [](__m128i wide) {
        return ZDiv255Lanes(_mm_mullo_epi16(wide, ZAlphaLanes(wide)));
    };
    const __m128i out =
        _mm_packus_epi16(times(_mm_unpacklo_epi8(px, zero)), times(_mm_unpackhi_epi8(px, zero)));
    return _mm_or_si128(_mm_andnot_si128(alpha, out), _mm_and_si128(alpha, px));
}

// Four pixels in 16-bit lanes (each pixel's alpha in its alpha lane, no channel above it)
// made straight: each channel times 255, plus half the alpha, divided by the alpha, at most
// 255.  Float quotients truncate to the whole ones: below 256 they fall short of the next
// whole number by at least 1 / 255, far more than the float spacing there, and from 256 up
// they saturate alike.
inline __m128i StraightPixels(__m128i low, __m128i high) {
    const __m128i zero = _mm_setzero_si128();
    const auto pixel = [&zero](__m128i channels16, bool upper) {
        const __m128i wide =
            upper ? _mm_unpackhi_epi16(channels16, zero) : _mm_unpacklo_epi16(channels16, zero);
        const __m128i alpha = _mm_shuffle_epi32(wide, _MM_SHUFFLE(3, 3, 3, 3));
        const __m128 numerator = _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(wide), _mm_set1_ps(255.0f)),
                                            _mm_cvtepi32_ps(_mm_srli_epi32(alpha, 1)));
        const __m128 divisor = _mm_cvtepi32_ps(_mm_max_epi16(alpha, _mm_set1_epi32(1)));
        return _mm_cvttps_epi32(_mm_div_ps(numerator, divisor));
    };
    const __m128i colours =
        _mm_packus_epi16(_mm_packs_epi32(pixel(low, false), pixel(low, true)),
                         _mm_packs_epi32(pixel(high, false), pixel(high, true)));
    const __m128i alphaBytes = _mm_set1_epi32(int32_t(0xFF000000u));
    const __m128i alphas = _mm_and_si128(_mm_packus_epi16(low, high), alphaBytes);
    return _mm_or_si128(_mm_andnot_si128(alphaBytes, colours), alphas);
}

// `pixels` where the layer pixel is not transparent, the target where it is.
inline __m128i UnderLayer(__m128i pixels, __m128i layer, __m128i target) {
    const __m128i clear = _mm_cmpeq_epi32(
        _mm_and_si128(layer, _mm_set1_epi32(int32_t(0xFF000000u))), _mm_setzero_si128());
    return _mm_or_si128(_mm_and_si128(clear, target), _mm_andnot_si128(clear, pixels));
}

// The layer itself, straight, onto four transparent target pixels, as every mode but
// alpha, erase and subtract leaves it there.  Target pixels under a transparent layer
// pixel are kept.
inline __m128i Straightened(__m128i low, __m128i high, __m128i target) {
    return UnderLayer(StraightPixels(low, high), _mm_packus_epi16(low, high), target);
}

// ChannelOf for any target alpha, in 16-bit lanes of two pixels: s and sa the layer's
// premultiplied channels and alpha, d and da the target's.  As the layer and the target
// are premultiplied (s <= sa, d <= da), every sum stays at most 255 x 255; overlay and
// hard light work both halves out and keep the one that applies (the other may wrap).
// Onto an opaque target (da 255) the result's alpha is 255 and no channel exceeds it.
template <ZBlendMode mode>
inline __m128i ChannelLanes(__m128i s, __m128i sa, __m128i d, __m128i da) {
    const __m128i full = _mm_set1_epi16(255);
    const __m128i sd = _mm_mullo_epi16(s, da), ds = _mm_mullo_epi16(d, sa);
    const auto mixed = [&](__m128i m) {
        const __m128i kept = _mm_add_epi16(_mm_mullo_epi16(s, _mm_sub_epi16(full, da)),
                                           _mm_mullo_epi16(d, _mm_sub_epi16(full, sa)));
        return ZDiv255Lanes(_mm_add_epi16(kept, m));
    };
    switch (mode) {
    case ZBlendMode::kMultiply:
        return mixed(_mm_mullo_epi16(s, d));
    case ZBlendMode::kScreen:
        return _mm_sub_epi16(_mm_add_epi16(s, d), ZDiv255Lanes(_mm_mullo_epi16(s, d)));
    case ZBlendMode::kLighten:
        return mixed(MaxU16(sd, ds));
    case ZBlendMode::kDarken:
        return mixed(MinU16(sd, ds));
    case ZBlendMode::kDifference:
        return mixed(_mm_or_si128(_mm_subs_epu16(sd, ds), _mm_subs_epu16(ds, sd)));
    case ZBlendMode::kAdd:
        return _mm_min_epi16(_mm_add_epi16(s, d), full);
    case ZBlendMode::kSubtract:
        return _mm_subs_epu16(d, s);
    case ZBlendMode::kAlpha:
        return ZDiv255Lanes(ds);
    case ZBlendMode::kErase:
        return ZDiv255Lanes(_mm_mullo_epi16(d, _mm_sub_epi16(full, sa)));
    case ZBlendMode::kInvert:
        return mixed(_mm_mullo_epi16(sa, _mm_sub_epi16(da, d)));
    case ZBlendMode::kOverlay:
    case ZBlendMode::kHardLight: {
        const __m128i product = _mm_mullo_epi16(s, d);
        const __m128i low = _mm_add_epi16(product, product);
        const __m128i inverse = _mm_mullo_epi16(_mm_sub_epi16(sa, s), _mm_sub_epi16(da, d));
        const __m128i high =
            _mm_sub_epi16(_mm_mullo_epi16(sa, da), _mm_add_epi16(inverse, inverse));
        // Overlay takes the high half where 2 d > da, hard light where 2 s > sa.
        const __m128i useHigh = mode == ZBlendMode::kOverlay
                                    ? _mm_cmpgt_epi16(_mm_add_epi16(d, d), da)
                                    : _mm_cmpgt_epi16(_mm_add_epi16(s, s), sa);
        return mixed(_mm_or_si128(_mm_and_si128(useHigh, high), _mm_andnot_si128(useHigh, low)));
    }
    default: // normal: the layer over the target
        return _mm_add_epi16(s, ZDiv255Lanes(_mm_mullo_epi16(d, _mm_sub_epi16(full, sa))));
    }
}

// CompositePixel of two layer pixels (premultiplied, 16-bit lanes) onto two straight
// target pixels: the target premultiplied, the mode's channels no higher than the
// result's alpha, which takes the alpha lanes; still premultiplied.
template <ZBlendMode mode> inline __m128i OverAny(__m128i s, __m128i target) {
    const __m128i full = _mm_set1_epi16(255);
    const __m128i sa = ZAlphaLanes(s), da = ZAlphaLanes(target);
    const __m128i d = ZDiv255Lanes(_mm_mullo_epi16(target, da));
    const __m128i kept = ZDiv255Lanes(_mm_mullo_epi16(da, _mm_sub_epi16(full, sa)));
    const __m128i a = mode == ZBlendMode::kAlpha   ? ZDiv255Lanes(_mm_mullo_epi16(da, sa))
                      : mode == ZBlendMode::kErase ? kept
                                                   : _mm_add_epi16(sa, kept);
    const __m128i v = _mm_min_epi16(ChannelLanes<mode>(s, sa, d, da), a);
    const __m128i alphaLanes = _mm_set1_epi64x(int64_t(0xFFFF000000000000ull));
    return _mm_or_si128(_mm_andnot_si128(alphaLanes, v), _mm_and_si128(alphaLanes, a));
}

// Four pixels composited at once, each as CompositePixel composites it.  Quicker ways
// serve where every layer pixel is transparent (nothing to do), where every target pixel
// is opaque, and where every target pixel is transparent; in normal mode also where every
// layer pixel is opaque (its colour is then stored).  Onto opaque targets the layer goes
// by ChannelLanes at an alpha of 255 (a transparent layer pixel, premultiplied to nothing, leaves
// the target as it is).
template <ZBlendMode mode>
inline void CompositeQuad(__m128i layer, uint8_t* target, const uint8_t* coverage) {
    __m128i low, high;
    ScaledLayer(layer, coverage, low, high);
    auto* out = reinterpret_cast<__m128i*>(target);
    const __m128i source = _mm_packus_epi16(low, high);
    const __m128i zero = _mm_setzero_si128();
    const int sourceZero = _mm_movemask_epi8(_mm_cmpeq_epi8(source, zero)) & 0x8888;
    if (sourceZero == 0x8888) return;
    if constexpr (mode == ZBlendMode::kNormal) {
        if (ZAllOpaque(source)) {
            _mm_storeu_si128(out, source);
            return;
        }
    }
    const __m128i t = _mm_loadu_si128(out);
    // Alpha and erase cut what lies below: they take the general way.
    if constexpr (mode != ZBlendMode::kAlpha && mode != ZBlendMode::kErase) {
        if (ZAllOpaque(t)) {
            const __m128i full = _mm_set1_epi16(255);
            const auto blend = [&](__m128i lowAlphas, __m128i highAlphas) {
                return _mm_packus_epi16(
                    ChannelLanes<mode>(low, lowAlphas, _mm_unpacklo_epi8(t, zero), full),
                    ChannelLanes<mode>(high, highAlphas, _mm_unpackhi_epi8(t, zero), full));
            };
            // Opaque onto opaque, the alphas are known, and the terms they zero drop out.
            const __m128i blended =
                ZAllOpaque(source) ? blend(full, full) : blend(ZAlphaLanes(low), ZAlphaLanes(high));
            _mm_storeu_si128(out, _mm_or_si128(blended, _mm_set1_epi32(int32_t(0xFF000000u))));
            return;
        }
        if constexpr (mode != ZBlendMode::kSubtract) {
            if ((_mm_movemask_epi8(_mm_cmpeq_epi8(t, zero)) & 0x8888) == 0x8888) {
                // Opaque layer pixels are their own straight colours.
                _mm_storeu_si128(out, ZAllOpaque(source) ? source : Straightened(low, high, t));
                return;
            }
        }
    }
    // Targets of any alpha: each pixel as CompositePixel works it out.
    const __m128i blended = StraightPixels(OverAny<mode>(low, _mm_unpacklo_epi8(t, zero)),
                                           OverAny<mode>(high, _mm_unpackhi_epi8(t, zero)));
    _mm_storeu_si128(out, UnderLayer(blended, source, t));
}
#endif

#if defined(Z_WIDE_LANES)
// ZDiv255Lanes in sixteen 16-bit lanes.
[[gnu::target("avx2")]] inline __m256i Div255Wide(__m256i x) {
    x = _mm256_add_epi16(x, _mm256_set1_epi16(128));
    return _mm256_srli_epi16(_mm256_add_epi16(x, _mm256_srli_epi16(x, 8)), 8);
}

// ChannelLanes of opaque layer pixels onto opaque targets, four pixels in each half: the
// same sums with both alphas 255, where the terms they zero drop out (the unsigned maximum
// and minimum are those the biased signed ones give).
template <ZBlendMode mode>
[[gnu::target("avx2")]] inline __m256i OpaqueChannelsWide(__m256i s, __m256i d) {
    const __m256i full = _mm256_set1_epi16(255);
    const __m256i sd = _mm256_mullo_epi16(s, full), ds = _mm256_mullo_epi16(d, full);
    switch (mode) {
    case ZBlendMode::kMultiply:
        return Div255Wide(_mm256_mullo_epi16(s, d));
    case ZBlendMode::kScreen:
        return _mm256_sub_epi16(_mm256_add_epi16(s, d), Div255Wide(_mm256_mullo_epi16(s, d)));
    case ZBlendMode::kLighten:
        return Div255Wide(_mm256_max_epu16(sd, ds));
    case ZBlendMode::kDarken:
        return Div255Wide(_mm256_min_epu16(sd, ds));
    case ZBlendMode::kDifference:
        return Div255Wide(_mm256_or_si256(_mm256_subs_epu16(sd, ds), _mm256_subs_epu16(ds, sd)));
    case ZBlendMode::kAdd:
        return _mm256_min_epi16(_mm256_add_epi16(s, d), full);
    case ZBlendMode::kSubtract:
        return _mm256_subs_epu16(d, s);
    case ZBlendMode::kInvert:
        return Div255Wide(_mm256_mullo_epi16(full, _mm256_sub_epi16(full, d)));
    case ZBlendMode::kOverlay:
    case ZBlendMode::kHardLight: {
        const __m256i product = _mm256_mullo_epi16(s, d);
        const __m256i low = _mm256_add_epi16(product, product);
        const __m256i inverse =
            _mm256_mullo_epi16(_mm256_sub_epi16(full, s), _mm256_sub_epi16(full, d));
        const __m256i high =
            _mm256_sub_epi16(_mm256_mullo_epi16(full, full), _mm256_add_epi16(inverse, inverse));
        const __m256i useHigh = mode == ZBlendMode::kOverlay
                                    ? _mm256_cmpgt_epi16(_mm256_add_epi16(d, d), full)
                                    : _mm256_cmpgt_epi16(_mm256_add_epi16(s, s), full);
        return Div255Wide(_mm256_blendv_epi8(low, high, useHigh));
    }
    default: // normal: the layer covers the target
        return s;
    }
}

// Eight opaque layer pixels onto eight opaque target pixels, unclipped, as CompositeQuad
// blends four; false, and nothing written, where any of them is not opaque.
template <ZBlendMode mode>
[[gnu::target("avx2")]] inline bool OpaqueEight(const uint8_t* layer, uint8_t* target,
                                                const uint8_t* coverage) {
    const __m256i ones = _mm256_set1_epi8(-1);
    const __m256i l = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(layer));
    auto* out = reinterpret_cast<__m256i*>(target);
    const __m256i t = _mm256_loadu_si256(out);
    const auto opaque = uint32_t(_mm256_movemask_epi8(
        _mm256_and_si256(_mm256_cmpeq_epi8(l, ones), _mm256_cmpeq_epi8(t, ones))));
    if ((opaque & 0x88888888u) != 0x88888888u) return false;
    if (coverage) {
        uint64_t m;
        std::memcpy(&m, coverage, 8);
        if (m != ~uint64_t(0)) return false;
    }
    const __m256i zero = _mm256_setzero_si256();
    // Unpacking and packing both go by 128-bit halves, so the pixels come back in place.
    const __m256i blended = _mm256_packus_epi16(
        OpaqueChannelsWide<mode>(_mm256_unpacklo_epi8(l, zero), _mm256_unpacklo_epi8(t, zero)),
        OpaqueChannelsWide<mode>(_mm256_unpackhi_epi8(l, zero), _mm256_unpackhi_epi8(t, zero)));
    _mm256_storeu_si256(out, _mm256_or_si256(blended, _mm256_set1_epi32(int32_t(0xFF000000u))));
    return true;
}

// From pixel i on, the groups of eight that are opaque onto opaque; returns where the
// first other group (or the row's last few pixels) starts.
template <ZBlendMode mode>
[[gnu::target("avx2")]] int32_t OpaqueEights(const uint8_t* layer, uint8_t* cleared,
                                             uint8_t* target, const uint8_t* coverage, int32_t i,
                                             int32_t count) {
    for (; i + 8 <= count; i += 8) {
        if (!OpaqueEight<mode>(layer + 4 * i, target + 4 * i, coverage ? coverage + i : nullptr))
            break;
        if (cleared)
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(cleared + 4 * i),
                                _mm256_setzero_si256());
    }
    return i;
}
#endif

#if defined(__SSE2__)
// The groups of four of a row, by `quad`.  Where the build and the processor allow, runs of
// eight opaque layer pixels onto opaque targets go by OpaqueEights, and after each run a
// stretch of groups by `quad`, so that rows with few such runs seldom pay for the test.
// Alpha and erase, which cut what lies below, never blend opaque onto opaque.  `cleared`,
// where given, is the layer row, cleared as its pixels are taken.  Returns how many pixels
// it took.
template <ZBlendMode mode, class Quad>
int32_t QuadsAlongRow(const uint8_t* layer, uint8_t* cleared, uint8_t* target,
                      const uint8_t* coverage, int32_t count, const Quad& quad) {
    int32_t i = 0;
#if defined(Z_WIDE_LANES)
    constexpr int32_t kStretch = 32;
    if constexpr (mode != ZBlendMode::kAlpha && mode != ZBlendMode::kErase) {
        const bool wide = ZWideLanes();
        while (wide && i + 8 <= count) {
            i = OpaqueEights<mode>(layer, cleared, target, coverage, i, count);
            for (const int32_t end = std::min(count, i + kStretch); i + 4 <= end; i += 4) quad(i);
        }
    }
#else
    (void)layer;
    (void)cleared;
    (void)target;
    (void)coverage;
#endif
    for (; i + 4 <= count; i += 4) quad(i);
    return i;
}
#endif

template <ZBlendMode mode>
void CompositeRow(const uint8_t* layer, uint8_t* target, const uint8_t* coverage, int32_t count) {
    int32_t i = 0;
#if defined(__SSE2__)
    // The layer mode composites as normal does.
    constexpr ZBlendMode quadMode = mode == ZBlendMode::kLayer ? ZBlendMode::kNormal : mode;
    const auto quad = [&](int32_t at) {
        CompositeQuad<quadMode>(_mm_loadu_si128(reinterpret_cast<const __m128i*>(layer + 4 * at)),
                                target + 4 * at, coverage ? coverage + at : nullptr);
    };
    i = QuadsAlongRow<quadMode>(layer, nullptr, target, coverage, count, quad);
#endif
    for (; i < count; ++i) CompositePixel<mode>(layer + 4 * i, target + 4 * i, coverage, i);
}

template <ZBlendMode mode>
void CompositeStraightRow(uint8_t* layer, uint8_t* target, const uint8_t* coverage, int32_t count) {
    int32_t i = 0;
#if defined(__SSE2__)
    constexpr ZBlendMode quadMode = mode == ZBlendMode::kLayer ? ZBlendMode::kNormal : mode;
    const auto quad = [&](int32_t at) {
        auto* four = reinterpret_cast<__m128i*>(layer + 4 * at);
        const __m128i straight = _mm_loadu_si128(four);
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(straight, _mm_setzero_si128())) == 0xFFFF) return;
        _mm_storeu_si128(four, _mm_setzero_si128());
        CompositeQuad<quadMode>(Premultiplied(straight), target + 4 * at,
                                coverage ? coverage + at : nullptr);
    };
    // Opaque straight pixels are their own premultiplied ones.
    i = QuadsAlongRow<quadMode>(layer, layer, target, coverage, count, quad);
#endif
    for (; i < count; ++i) {
        uint8_t pixel[4];
        std::memcpy(pixel, layer + 4 * i, 4);
        std::memset(layer + 4 * i, 0, 4);
        ZPremultiplyRow(pixel, 1);
        // CompositePixel reads coverage[i]: the pixel stands at index i of its row.
        CompositePixel<mode>(pixel, target + 4 * i, coverage, i);
    }
}

// Calls f with the mode as a type, std::integral_constant<ZBlendMode, mode>: one switch
// for every entry point; unknown modes are normal.
template <class F> decltype(auto) WithMode(ZBlendMode mode, F&& f) {
    switch (mode) {
#define Z_CASE(m)                                                                                  \
    case ZBlendMode::m:                                                                            \
        return f(std::integral_constant<ZBlendMode, ZBlendMode::m>{});
        Z_CASE(kLayer)
        Z_CASE(kMultiply)
        Z_CASE(kScreen)
        Z_CASE(kLighten)
        Z_CASE(kDarken)
        Z_CASE(kDifference)
        Z_CASE(kAdd)
        Z_CASE(kSubtract)
        Z_CASE(kInvert)
        Z_CASE(kAlpha)
        Z_CASE(kErase)
        Z_CASE(kOverlay)
        Z_CASE(kHardLight)
#undef Z_CASE
    default:
        return f(std::integral_constant<ZBlendMode, ZBlendMode::kNormal>{});
    }
}

} // namespace

uint32_t ZBlendAlpha(ZBlendMode mode, uint32_t sa, uint32_t da) {
    return WithMode(mode, [&](auto m) { return AlphaOf<decltype(m)::value>(sa, da); });
}

uint32_t ZBlendChannel(ZBlendMode mode, uint32_t s, uint32_t sa, uint32_t d, uint32_t da) {
    return WithMode(mode, [&](auto m) { return ChannelOf<decltype(m)::value>(s, sa, d, da); });
}

void ZCompositeRow(ZBlendMode mode, const uint8_t* layer, uint8_t* target, const uint8_t* coverage,
                   int32_t count) {
    WithMode(mode,
             [&](auto m) { CompositeRow<decltype(m)::value>(layer, target, coverage, count); });
}

void ZCompositeStraightRow(ZBlendMode mode, uint8_t* layer, uint8_t* target,
                           const uint8_t* coverage, int32_t count) {
    WithMode(mode, [&](auto m) {
        CompositeStraightRow<decltype(m)::value>(layer, target, coverage, count);
    });
}

void ZPremultiplyRow(uint8_t* p, int32_t count) {
    int32_t i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= count; i += 4, p += 16) {
        auto* four = reinterpret_cast<__m128i*>(p);
        _mm_storeu_si128(four, Premultiplied(_mm_loadu_si128(four)));
    }
#endif
    for (; i < count; ++i, p += 4) {
        const uint32_t a = p[3];
        if (a == 255) continue;
        for (int c = 0; c < 3; ++c) p[c] = uint8_t(ZDiv255(p[c] * a));
    }
}

void ZUnpremultiplyRow(uint8_t* p, int32_t count) {
    for (int32_t i = 0; i < count; ++i, p += 4) {
        const uint32_t a = p[3];
        if (a == 255) continue;
        for (int c = 0; c < 3; ++c)
            p[c] = a ? uint8_t(std::min(255u, ZDivideSmall(p[c] * 255 + a / 2, a))) : 0;
    }
}

void ZIntersectCoverage(uint8_t* now, const uint8_t* was, int32_t count) {
    int32_t i = 0;
#if defined(__SSE2__)
    // Sixteen at a time.
    const __m128i zero = _mm_setzero_si128();
    const auto quotient = [](__m128i a, __m128i b) {
        return ZDiv255DownLanes(_mm_mullo_epi16(a, b));
    };
    for (; i + 16 <= count; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(now + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(was + i));
        const __m128i low = quotient(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero));
        const __m128i high = quotient(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(now + i), _mm_packus_epi16(low, high));
    }
#endif
    for (; i < count; ++i) now[i] = uint8_t(uint32_t(now[i]) * was[i] / 255u);
}
