#include "raster/ZBoxBlur.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr int32_t kMaxPasses = 15;
constexpr float kMaxWidth = 8192.0f;

inline uint8_t Average(uint32_t sum, uint32_t edges, int32_t fraction, uint64_t inverse) {
    const uint64_t n = uint64_t(sum) * 512 + uint64_t(edges) * uint32_t(fraction);
    return uint8_t(std::min<uint64_t>(255, (n * inverse + (uint64_t(1) << 31)) >> 32));
}

#if defined(__SSE2__)
// Average for four sums at once.  The window holds at most 8191 texels, so n stays below
// 2^31, and the inverse of a window wider than one texel below 2^32 / 514: each product
// fits its 64-bit lane, and each average stays far below 2^15.
inline __m128i Averages(__m128i sums, __m128i edges, __m128i fraction, __m128i inverse) {
    // Edges and fraction sit in the low halves of their lanes: the pair product is theirs.
    const __m128i n = _mm_add_epi32(_mm_slli_epi32(sums, 9), _mm_madd_epi16(edges, fraction));
    const __m128i half = _mm_set1_epi64x(int64_t(1) << 31);
    const __m128i even = _mm_add_epi64(_mm_mul_epu32(n, inverse), half);
    const __m128i odd = _mm_add_epi64(_mm_mul_epu32(_mm_srli_epi64(n, 32), inverse), half);
    // The high halves: even lanes moved down into place, odd lanes already there.
    const __m128i quotients = _mm_or_si128(
        _mm_srli_epi64(even, 32), _mm_and_si128(odd, _mm_set1_epi64x(int64_t(0xFFFFFFFF00000000))));
    return _mm_min_epi16(quotients, _mm_set1_epi32(255));
}

// Four bytes in the low halves of four 32-bit lanes.
inline __m128i WidenFour(const uint8_t* p) {
    int32_t four;
    std::memcpy(&four, p, 4);
    const __m128i zero = _mm_setzero_si128();
    return _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(four), zero), zero);
}

// The four averages, stored as four bytes.
inline void StoreAverages(uint8_t* out, __m128i sums, __m128i edges, __m128i fraction,
                          __m128i inverse) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i average = Averages(sums, edges, fraction, inverse);
    const int32_t bytes = _mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(average, zero), zero));
    std::memcpy(out, &bytes, 4);
}
#endif

} // namespace

void ZBoxBlur::Configure(float widthX, float widthY, int32_t passes) {
    x_ = MakeAxis(widthX);
    y_ = MakeAxis(widthY);
    passes_ = std::clamp(passes, 0, kMaxPasses);
}

ZBoxBlur::Axis ZBoxBlur::MakeAxis(float width) {
    Axis a;
    if (!(width > 1.0f)) return a;
    a.width = int32_t(std::lround(std::min(width, kMaxWidth) * 256.0f));
    if (a.width <= 256) return {};
    a.radius = (a.width - 256) / 512;
    a.fraction = a.width - (2 * a.radius + 1) * 256;
    a.inverse = ((uint64_t(1) << 32) + uint64_t(a.width)) / (2 * uint64_t(a.width));
    return a;
}

void ZBoxBlur::Apply(const ZPlane& image, const ZPlane& scratch) {
    if (image.Empty() || !Acts()) return;
    for (int32_t pass = 0; pass < passes_; ++pass) {
        if (x_.width) {
            Horizontal(image, scratch);
            for (int32_t y = 0; y < image.height; ++y)
                std::memcpy(image.Row(y), scratch.Row(y), size_t(image.width) * image.channels);
        }
        if (y_.width) Vertical(image, image);
    }
}

namespace {

// One row of `kCh` channels, all channels at once, from a padded copy of the row.
template <int32_t kCh>
void BlurRow(const uint8_t* padded, uint8_t* out, int32_t width, int32_t r, int32_t fraction,
             uint64_t inverse) {
    const int32_t pad = r + 1;
    uint32_t sum[kCh] = {};
    for (int32_t i = pad - r; i <= pad + r; ++i)
        for (int32_t c = 0; c < kCh; ++c) sum[c] += padded[i * kCh + c];
    for (int32_t x = 0; x < width; ++x) {
        const uint8_t* before = padded + (x + pad - r - 1) * kCh;
        const uint8_t* after = padded + (x + pad + r + 1) * kCh;
        const uint8_t* leaving = before + kCh;
        for (int32_t c = 0; c < kCh; ++c) {
            out[x * kCh + c] = Average(sum[c], uint32_t(before[c]) + after[c], fraction, inverse);
            sum[c] += after[c];
            sum[c] -= leaving[c];
        }
    }
}

#if defined(__SSE2__)
// BlurRow<4> with its four sums side by side in one register: the four channels of one
// row, or one channel of four rows laid side by side.
void BlurLanes(const uint8_t* padded, uint8_t* out, int32_t width, int32_t r, int32_t fraction,
               uint64_t inverse) {
    const __m128i fractions = _mm_set1_epi32(fraction), inverses = _mm_set1_epi32(int32_t(inverse));
    const int32_t pad = r + 1;
    __m128i sum = _mm_setzero_si128();
    for (int32_t i = pad - r; i <= pad + r; ++i)
        sum = _mm_add_epi32(sum, WidenFour(padded + 4 * i));
    for (int32_t x = 0; x < width; ++x) {
        const uint8_t* before = padded + 4 * (x + pad - r - 1);
        const __m128i after = WidenFour(padded + 4 * (x + pad + r + 1));
        StoreAverages(out + 4 * x, sum, _mm_add_epi32(WidenFour(before), after), fractions,
                      inverses);
        sum = _mm_sub_epi32(_mm_add_epi32(sum, after), WidenFour(before + 4));
    }
}
#endif

} // namespace

// Each row goes through a copy padded with transparent pixels on both sides.  Planes of one
// channel go four rows at a time, woven into one padded line of four-byte columns.
void ZBoxBlur::Horizontal(const ZPlane& from, const ZPlane& to) {
    const int32_t ch = from.channels, r = x_.radius, pad = r + 1;
    const size_t paddedWidth = size_t(from.width + 2 * pad);
    int32_t y = 0;
#if defined(__SSE2__)
    if (ch == 1) {
        line_.assign(paddedWidth * 4, 0);
        woven_.resize(size_t(from.width) * 4);
        for (; y + 4 <= from.height; y += 4) {
            for (int32_t k = 0; k < 4; ++k) {
                const uint8_t* row = from.Row(y + k);
                for (int32_t x = 0; x < from.width; ++x) line_[size_t(pad + x) * 4 + k] = row[x];
            }
            BlurLanes(line_.data(), woven_.data(), from.width, r, x_.fraction, x_.inverse);
            for (int32_t k = 0; k < 4; ++k) {
                uint8_t* row = to.Row(y + k);
                for (int32_t x = 0; x < from.width; ++x) row[x] = woven_[size_t(x) * 4 + k];
            }
        }
    }
#endif
    line_.assign(paddedWidth * ch, 0);
    for (; y < from.height; ++y) {
        std::memcpy(&line_[size_t(pad) * ch], from.Row(y), size_t(from.width) * ch);
        if (ch == 4) {
#if defined(__SSE2__)
            BlurLanes(line_.data(), to.Row(y), from.width, r, x_.fraction, x_.inverse);
#else
            BlurRow<4>(line_.data(), to.Row(y), from.width, r, x_.fraction, x_.inverse);
#endif
        } else {
            BlurRow<1>(line_.data(), to.Row(y), from.width, r, x_.fraction, x_.inverse);
        }
    }
}

// Column sums for the whole row at once, rows read before they are overwritten: the
// window's rows are kept in a ring of copies.
void ZBoxBlur::Vertical(const ZPlane& from, const ZPlane& to) {
    const int32_t r = y_.radius, rowBytes = from.width * from.channels;
    // The rows the window spans at once, or all of them when the window is taller.
    const int32_t ring = std::min(2 * r + 3, std::max(from.height, 1));
    line_.assign(size_t(rowBytes) * (ring + 1), 0);
    uint8_t* zero = &line_[size_t(rowBytes) * ring];
    auto slot = [&](int32_t y) { return &line_[size_t(((y % ring) + ring) % ring) * rowBytes]; };
    auto source = [&](int32_t y) -> const uint8_t* {
        return y < 0 || y >= from.height ? zero : slot(y);
    };
    // Rows 0 .. r + 1 are copied into the ring before the first output row.
    for (int32_t y = 0; y <= r + 1 && y < from.height; ++y)
        std::memcpy(slot(y), from.Row(y), size_t(rowBytes));
    sums_.assign(size_t(rowBytes), 0);
    for (int32_t y = 0; y <= r && y < from.height; ++y) {
        const uint8_t* row = source(y);
        for (int32_t i = 0; i < rowBytes; ++i) sums_[i] += row[i];
    }
    for (int32_t y = 0; y < from.height; ++y) {
        // Row y + r + 1 joins the ring before row y is written over.
        const int32_t incoming = y + r + 1;
        if (incoming < from.height && incoming > r + 1)
            std::memcpy(slot(incoming), from.Row(incoming), size_t(rowBytes));
        const uint8_t* above = source(y - r - 1);
        const uint8_t* below = source(incoming);
        const uint8_t* leaving = source(y - r);
        uint8_t* out = to.Row(y);
        int32_t i = 0;
#if defined(__SSE2__)
        const __m128i fraction = _mm_set1_epi32(y_.fraction),
                      inverse = _mm_set1_epi32(int32_t(y_.inverse));
        for (; i + 4 <= rowBytes; i += 4) {
            __m128i* sums = reinterpret_cast<__m128i*>(&sums_[size_t(i)]);
            const __m128i sum = _mm_loadu_si128(sums);
            const __m128i down = WidenFour(below + i);
            StoreAverages(out + i, sum, _mm_add_epi32(WidenFour(above + i), down), fraction,
                          inverse);
            _mm_storeu_si128(sums, _mm_sub_epi32(_mm_add_epi32(sum, down), WidenFour(leaving + i)));
        }
#endif
        for (; i < rowBytes; ++i) {
            out[i] = Average(sums_[i], uint32_t(above[i]) + below[i], y_.fraction, y_.inverse);
            sums_[i] += below[i];
            sums_[i] -= leaving[i];
        }
    }
}
