#include "raster/ZFilterComposite.h"

#include "raster/ZLanes.h"

namespace {

#if defined(__SSE2__)
// Two pixels of ZCompositeEffect, widened to 16-bit lanes.
__m128i Effect(__m128i object, __m128i effect, ZEffectPlace place, bool knockout, bool hide) {
    const __m128i full = _mm_set1_epi16(255);
    if (place == ZEffectPlace::kInside)
        effect = ZDiv255Lanes(_mm_mullo_epi16(effect, ZAlphaLanes(object)));
    else if (place == ZEffectPlace::kBehind && !(hide && !knockout))
        effect = ZDiv255Lanes(_mm_mullo_epi16(effect, _mm_sub_epi16(full, ZAlphaLanes(object))));
    if (knockout || hide) return effect;
    const __m128i keep =
        place == ZEffectPlace::kBehind ? full : _mm_sub_epi16(full, ZAlphaLanes(effect));
    // Sums above 255 are held there when the lanes are packed back to bytes.
    return _mm_add_epi16(effect, ZDiv255Lanes(_mm_mullo_epi16(object, keep)));
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
