// What the four-pixel span and row loops share (SSE2): positions stepped as a span steps
// them, and 8-bit channel arithmetic in 16-bit lanes, exactly as the one-pixel code does
// it.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstdint>

// The next four positions of a walk that steps by one addition a pixel, as a span's pixels
// step, one by one and in the same order; the walk moves past them.
struct ZFour {
    float at[4];
    __m128 lanes;
};
inline ZFour ZNextFour(float& p, float step) {
    const float p1 = p + step, p2 = p1 + step, p3 = p2 + step;
    const ZFour four{{p, p1, p2, p3}, _mm_setr_ps(p, p1, p2, p3)};
    p = p3 + step;
    return four;
}

// x / 255 rounded to nearest, as ZDiv255, for x <= 255 x 255 in each 16-bit lane.
inline __m128i ZDiv255Lanes(__m128i x) {
    x = _mm_add_epi16(x, _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
}

// x / 255 rounded down, for x <= 255 x 255 in each 16-bit lane: (x + 1 + x / 256) / 256.
inline __m128i ZDiv255DownLanes(__m128i x) {
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, _mm_set1_epi16(1)), _mm_srli_epi16(x, 8)),
                          8);
}

// Each pixel's alpha in all four of its 16-bit lanes (two pixels of four channels).
inline __m128i ZAlphaLanes(__m128i pixels) {
    const __m128i low = _mm_shufflelo_epi16(pixels, _MM_SHUFFLE(3, 3, 3, 3));
    return _mm_shufflehi_epi16(low, _MM_SHUFFLE(3, 3, 3, 3));
}

// Whether all four 8-bit pixels have an alpha of 255.
inline bool ZAllOpaque(__m128i pixels) {
    return (_mm_movemask_epi8(_mm_cmpeq_epi8(pixels, _mm_set1_epi8(-1))) & 0x8888) == 0x8888;
}
#endif
