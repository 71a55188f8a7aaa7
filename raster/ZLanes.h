// What the four-pixel span and row loops share (SSE2): positions stepped as a span steps
// them, and 8-bit channel arithmetic in 16-bit lanes, exactly as the one-pixel code does
// it.
#pragma once

// Other x86 builds than Windows ones also carry AVX2 loops, taken where the processor has
// AVX2.  Windows builds keep to SSE2: GCC there cannot keep 32-byte spills aligned.
#if defined(__SSE2__) && !defined(_WIN32) && (defined(__x86_64__) || defined(__i386__))
#define Z_WIDE_LANES 1
#endif

#include <atomic>

namespace zlanes_detail {
inline std::atomic<bool> wideLanesAllowed{true};
} // namespace zlanes_detail

// Whether loops take eight lanes at a time: where the build and the processor allow, unless
// tests hold them to four (which give the same pixels) to see both.
inline bool ZWideLanes() {
#if defined(Z_WIDE_LANES)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2 && zlanes_detail::wideLanesAllowed.load(std::memory_order_relaxed);
#else
    return false;
#endif
}

inline void ZAllowWideLanes(bool allow) {
    zlanes_detail::wideLanesAllowed.store(allow, std::memory_order_relaxed);
}

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstdint>

// A position walked by one float addition a pixel, four pixels at a time, giving bit for
// bit the positions that the additions one by one give.  The four are guessed as the start
// plus 0, 1, 2 and 3 times the last step the walk took, and checked side by side: each,
// and the start of the next four, must be the sum of the one before and the step.  Within
// a binade the additions all round alike, so the guesses hold except where the walk
// crosses a power of two (or meets no number); there the four are added one by one.
class ZWalk {
public:
    ZWalk(float start, float step) : p_(start), step_(_mm_set1_ps(step)), step1_(step) {
        Learn(start, start + step);
    }

    // The next four positions; the walk moves past them.
    __m128 Next() {
        const __m128 guess = _mm_add_ps(_mm_set1_ps(p_), offsets_);
        const float after = p_ + four_;
        const __m128 high = _mm_shuffle_ps(guess, _mm_set_ss(after), _MM_SHUFFLE(0, 0, 3, 3));
        const __m128 following = _mm_shuffle_ps(guess, high, _MM_SHUFFLE(2, 0, 2, 1));
        const __m128i same = _mm_cmpeq_epi32(_mm_castps_si128(_mm_add_ps(guess, step_)),
                                             _mm_castps_si128(following));
        if (_mm_movemask_epi8(same) == 0xFFFF) {
            p_ = after;
            return guess;
        }
        return OneByOne();
    }

    // The position of the next pixel.
    float Position() const { return p_; }

private:
    [[gnu::noinline]] __m128 OneByOne() {
        const float p0 = p_, p1 = p0 + step1_, p2 = p1 + step1_, p3 = p2 + step1_;
        p_ = p3 + step1_;
        Learn(p3, p_);
        return _mm_setr_ps(p0, p1, p2, p3);
    }
    // Guesses from here on the step taken from `from` to `to`; lane 0 adds -0, which keeps
    // any start as it is.
    void Learn(float from, float to) {
        const float step = to - from;
        offsets_ = _mm_setr_ps(-0.0f, step, 2 * step, 3 * step);
        four_ = 4 * step;
    }

    float p_;
    __m128 step_;
    float step1_;
    __m128 offsets_;
    float four_ = 0;
};

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
