#include "raster/ZFilterComposite.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

#if defined(__SSE2__)
// x / 255 rounded, as ZDiv255, in 16-bit lanes (x <= 255 x 255).
__m128i Div255(__m128i x) {
    x = _mm_add_epi16(x, _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
}

// Each pixel's alpha in all four of its 16-bit lanes.
__m128i Alphas(__m128i pixels) {
    const __m128i low = _mm_shufflelo_epi16(pixels, _MM_SHUFFLE(3, 3, 3, 3));
    return _mm_shufflehi_epi16(low, _MM_SHUFFLE(3, 3, 3, 3));
}

// Two pixels of ZCompositeEffect, widened to 16-bit lanes.
__m128i Effect(__m128i object, __m128i effect, ZEffectPlace place, bool knockout, bool hide) {
    const __m128i full = _mm_set1_epi16(255);
    if (place == ZEffectPlace::kInside)
        effect = Div255(_mm_mullo_epi16(effect, Alphas(object)));
    else if (place == ZEffectPlace::kBehind && !(hide && !knockout))
        effect = Div255(_mm_mullo_epi16(effect, _mm_sub_epi16(full, Alphas(object))));
    if (knockout || hide) return effect;
    const __m128i keep =
        place == ZEffectPlace::kBehind ? full : _mm_sub_epi16(full, Alphas(effect));
    // Sums above 255 are held there when the lanes are packed back to bytes.
    return _mm_add_epi16(effect, Div255(_mm_mullo_epi16(object, keep)));
}
#endif

} // namespace

void ZCompositeEffects(uint8_t* objects, const uint8_t* effects, int32_t count, ZEffectPlace place,
                       bool knockout, bool hide) {
    int32_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 4 <= count; i += 4) {
        __m128i* at = reinterpret_cast<__m128i*>(objects + 4 * i);
        const __m128i object = _mm_loadu_si128(at);
        const __m128i effect = _mm_loadu_si128(reinterpret_cast<const __m128i*>(effects + 4 * i));
        const __m128i low = Effect(_mm_unpacklo_epi8(object, zero), _mm_unpacklo_epi8(effect, zero),
                                   place, knockout, hide);
        const __m128i high = Effect(_mm_unpackhi_epi8(object, zero),
                                    _mm_unpackhi_epi8(effect, zero), place, knockout, hide);
        _mm_storeu_si128(at, _mm_packus_epi16(low, high));
    }
#endif
    for (; i < count; ++i)
        ZCompositeEffect(objects + 4 * i, effects + 4 * i, place, knockout, hide);
}
