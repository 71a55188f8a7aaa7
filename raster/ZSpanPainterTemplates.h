// The span painters written once for both channel depths: Painters<D> over the channel
// arithmetic D of one depth, and the table ChooseSpanPainter picks from.  Included only by
// the two files that instantiate it (ZSpanPainter.cpp at 8 bits, ZSpanPainter16.cpp at 16),
// so everything here stays local to each of them.
#pragma once

#include "raster/ZLanes.h"
#include "raster/ZSpanPainter.h"
#include "raster/ZStencil.h"

#include <bit>
#include <cstring>
#include <type_traits>

// The 16-bit painter of kPainters[row][column] (ZSpanPainter16.cpp).
ZSpanPainter ZChooseSpanPainter16(int row, int column);

namespace {

enum Table { kRed = 0, kGreen = 1, kBlue = 2, kAlpha = 3 };

// Spans from this length on go through the memo; shorter ones are fetched afresh.
constexpr int32_t kMemoSpan = 8;

template <class D> struct Painters {
    using C = typename D::Channel;
    using W = typename D::Wide;

    static C* ColourAt(const ZSpanJob& job, int32_t x, int32_t y) {
        return reinterpret_cast<C*>(job.colour.Row(y)) + 4 * static_cast<intptr_t>(x);
    }
    static C* MaskAt(const ZSpanJob& job, int32_t x, int32_t y) {
        return reinterpret_cast<C*>(job.mask.Row(y)) + x;
    }
    static uint32_t Covered(uint32_t a, uint32_t coverage) {
        return coverage < D::kFull ? D::Mul(a, coverage) : a;
    }

    // Straight-alpha "over" of src (blue, green, red) with alpha a > 0.
    // The pixel is read and written whole: a whole read right after channel-wise writes
    // of the same pixel would wait for them.
    static void Over(C* dst, const C* src, uint32_t a) {
        C out[4];
        std::memcpy(out, dst, sizeof out);
        const uint32_t ad = out[3];
        if (a == D::kFull || ad == 0) {
            out[0] = src[0];
            out[1] = src[1];
            out[2] = src[2];
            out[3] = static_cast<C>(a);
        } else if (sizeof(C) == 1 && ad == D::kFull) {
            // Onto an opaque 8-bit pixel the total is 255, a constant divisor: the same
            // quotients without the reciprocal's table.
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<C>((W(src[c]) * a + W(out[c]) * (255 - a)) / 255);
        } else {
            const uint32_t share = D::DestShare(ad, a);
            const uint32_t total = a + share;
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<C>(D::Divide(W(src[c]) * a + W(out[c]) * share, total));
            out[3] = static_cast<C>(total);
        }
        std::memcpy(dst, out, sizeof out);
    }

    // Stores one pixel value into n pixels.
    static void Fill(C* p, const C* value, int32_t n) {
        using Pixel = std::conditional_t<sizeof(C) == 1, uint32_t, uint64_t>;
        Pixel v;
        std::memcpy(&v, value, sizeof v);
        for (int32_t i = 0; i < n; ++i) std::memcpy(p + 4 * i, &v, sizeof v);
    }

    static void MaskWrite(C* m, uint32_t a) {
        if (a == 0) return;
        if (a >= D::kFull)
            *m = static_cast<C>(D::kFull);
        else if (*m == 0)
            *m = static_cast<C>(a);
        else
            *m = static_cast<C>(a + D::Mul(D::kFull - a, *m));
    }

    static uint32_t TableAlpha(const ZSpanJob& job, uint32_t a) {
        return D::Limit(D::Table(job, kAlpha)[a]);
    }
    static void ThroughTables(const ZSpanJob& job, C* px) {
        px[0] = D::Table(job, kBlue)[D::Limit(px[0])];
        px[1] = D::Table(job, kGreen)[D::Limit(px[1])];
        px[2] = D::Table(job, kRed)[D::Limit(px[2])];
    }

    static bool AllOpaque(const C* px, int32_t n) {
        int32_t i = 0;
#if defined(__SSE2__)
        if constexpr (sizeof(C) == 1)
            for (; i + 4 <= n; i += 4)
                if (!ZAllOpaque(_mm_loadu_si128(reinterpret_cast<const __m128i*>(px + 4 * i))))
                    return false;
#endif
        for (; i < n; ++i)
            if (px[4 * i + 3] != D::kFull) return false;
        return true;
    }

    // The stencil's pixels for a span.  A long span that starts from the walk position of
    // the last one, as rows of a paint that does not change down the page do, reuses its
    // pixels and moves the walk to where that one ended.
    static const C* Source(ZSpanJob& job, int32_t n, bool& opaque) {
        ZStencil* s = job.stencil;
        uint64_t start = 0;
        opaque = false;
        if (n < kMemoSpan || !s->WalkPosition(start)) {
            C* src = D::Scratch(job);
            D::Fetch(s, src, n);
            return src;
        }
        C* memo = reinterpret_cast<C*>(job.memo);
        if (n == job.memoLength && start == job.memoStart) {
            s->SetWalkPosition(job.memoEnd);
        } else {
            D::Fetch(s, memo, n);
            s->WalkPosition(job.memoEnd);
            job.memoStart = start;
            job.memoLength = n;
            job.memoOpaque = AllOpaque(memo, n);
        }
        opaque = job.memoOpaque;
        return memo;
    }

    // Solid colour: the alpha is worked out once per span.

    static void MaskSolid(ZSpanJob& job, int32_t x, int32_t y, int32_t n, uint32_t coverage) {
        const uint32_t a = Covered(D::Solid(job)[3], coverage);
        if (a == 0) return;
        C* m = MaskAt(job, x, y);
        for (int32_t i = 0; i < n; ++i) MaskWrite(m + i, a);
    }

    static void ColourSolid(ZSpanJob& job, int32_t x, int32_t y, int32_t n, uint32_t coverage) {
        const C* solid = D::Solid(job);
        const uint32_t a = Covered(solid[3], coverage);
        if (a == 0) return;
        SolidRun(ColourAt(job, x, y), solid, a, n);
    }

    // ColourSolid of every span, with the colour and the target held in locals: the
    // pixels written cannot then be taken to change them.
    static void ColourSolidSpans(ZSpanJob& job, const ZSpan* spans, size_t count) {
        C solid[4];
        std::memcpy(solid, D::Solid(job), sizeof solid);
        const TargetImage target = job.colour;
        for (const ZSpan* s = spans; s != spans + count; ++s) {
            const uint32_t a = Covered(solid[3], s->coverage);
            if (a == 0) continue;
            C* p = reinterpret_cast<C*>(target.Row(s->y)) + 4 * static_cast<intptr_t>(s->x);
            SolidRun(p, solid, a, s->length);
        }
    }

    // n pixels under the solid colour at alpha a > 0.
    static void SolidRun(C* p, const C* solid, uint32_t a, int32_t n) {
        if (a == D::kFull) {
            Fill(p, solid, n);
            return;
        }
        if (n == 1) { // edge pixels mostly come one at a time
            Over(p, solid, a);
            return;
        }
        BlendRun(p, solid, a, n);
    }

    // Apart, so that the single pixels above need not save the registers this loop uses.
    // The blend depends on the destination pixel alone: a run of equal pixels, as flat
    // areas give, reuses the last result.
    [[gnu::noinline]] static void BlendRun(C* p, const C* solid, uint32_t a, int32_t n) {
        using Pixel = std::conditional_t<sizeof(C) == 1, uint32_t, uint64_t>;
        const C* const end = p + 4 * static_cast<intptr_t>(n);
        while (p != end) {
            Pixel before, after;
            std::memcpy(&before, p, sizeof before);
            Over(p, solid, a);
            std::memcpy(&after, p, sizeof after);
            p += 4;
            for (Pixel here; p != end; p += 4) {
                std::memcpy(&here, p, sizeof here);
                if (here != before) break;
                std::memcpy(p, &after, sizeof after);
            }
        }
    }

    // Where the run of 8-bit mask values equal to `value` from m[i] on ends, at most at n.
    static int32_t RunOf(const C* m, int32_t i, int32_t n, uint8_t value) {
#if defined(__SSE2__)
        const __m128i wanted = _mm_set1_epi8(static_cast<char>(value));
        for (; i + 16 <= n; i += 16) {
            const __m128i sixteen = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m + i));
            const uint32_t same = uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(sixteen, wanted)));
            if (same != 0xFFFF) return i + std::countr_one(same);
        }
#endif
        while (i < n && m[i] == value) ++i;
        return i;
    }

    static void ClipSolid(ZSpanJob& job, int32_t x, int32_t y, int32_t n, uint32_t coverage) {
        const C* solid = D::Solid(job);
        const uint32_t a0 = Covered(solid[3], coverage);
        if (a0 == 0) return;
        C* p = ColourAt(job, x, y);
        const C* m = MaskAt(job, x, y);
        for (int32_t i = 0; i < n;) {
            if constexpr (sizeof(C) == 1) {
                // Pixels the mask holds back wholly are passed over sixteen at a time.
                const int32_t held = RunOf(m, i, n, 0);
                if (held > i) {
                    i = held;
                    continue;
                }
            }
            const uint32_t mv = D::Limit(m[i]);
            if (mv == D::kFull) {
                // Where the mask is full the alpha stays a0, as if unmasked.
                int32_t end = i + 1;
                if constexpr (sizeof(C) == 1)
                    end = RunOf(m, end, n, 255);
                else
                    while (end < n && D::Limit(m[end]) == D::kFull) ++end;
                SolidRun(p + 4 * static_cast<intptr_t>(i), solid, a0, end - i);
                i = end;
                continue;
            }
            if (mv != 0) {
                const uint32_t a = D::Mul(a0, mv);
                if (a != 0) Over(p + 4 * static_cast<intptr_t>(i), solid, a);
            }
            ++i;
        }
    }

    // Other stencils, colours used as they come.

    static void MaskStencil(ZSpanJob& job, int32_t x, int32_t y, int32_t n, uint32_t coverage) {
        job.SeekFor(x, y, n);
        C* m = MaskAt(job, x, y);
        C px[4];
        for (int32_t i = 0; i < n; ++i) {
            D::Next(job.stencil, px);
            MaskWrite(m + i, Covered(D::Limit(px[3]), coverage));
        }
    }

    static void ColourStencil(ZSpanJob& job, int32_t x, int32_t y, int32_t n, uint32_t coverage) {
        job.SeekFor(x, y, n);
        // Paint opaque throughout goes straight into the pixels it covers wholly.
        if constexpr (sizeof(C) == 1) {
            if (coverage >= D::kFull && job.stencil->IsOpaque()) {
                D::Fetch(job.stencil, ColourAt(job, x, y), n);
                return;
            }
        }
        bool opaque = false;
        const C* src = Source(job, n, opaque);
        C* p = ColourAt(job, x, y);
        // Opaque pixels under full coverage are stored as they come.
        if (opaque && coverage >= D::kFull) {
            std::memcpy(p, src, 4 * sizeof(C) * static_cast<size_t>(n));
            return;
        }
        int32_t i = 0;
        if constexpr (sizeof(C) == 1) i = OverQuads(p, src, n, coverage);
        for (; i < n; ++i) OverOne(p + 4 * i, src + 4 * i, coverage);
    }

    // One stencil pixel over its target.  At 8 bits full alpha means an opaque source pixel
    // under full coverage: the pixel is stored as it came (16-bit sources may exceed full
    // and are limited).
    static void OverOne(C* p, const C* src, uint32_t coverage) {
        const uint32_t a = Covered(D::Limit(src[3]), coverage);
        if (sizeof(C) == 1 && a == D::kFull)
            std::memcpy(p, src, 4);
        else if (a != 0)
            Over(p, src, a);
    }

    // 8-bit stencil pixels over target pixels four at a time, where all four targets are
    // opaque or all four are clear; other groups go pixel by pixel.  With a the source
    // alpha under the coverage, Over onto opaque targets is (s a + d (255 - a)) / 255
    // rounded down at alpha 255, and onto clear ones the source colour at alpha a; an
    // alpha of 0 leaves the target as it is.  Returns how many pixels it painted.
    static int32_t OverQuads(C* p, const C* src, int32_t n, uint32_t coverage) {
        int32_t i = 0;
#if defined(__SSE2__)
        if constexpr (sizeof(C) == 1) {
            const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi16(255);
            const __m128i cover = _mm_set1_epi16(int16_t(coverage));
            const __m128i alphaBytes = _mm_set1_epi32(int32_t(0xFF000000u));
            const auto alpha = [&](__m128i s) {
                __m128i a = ZAlphaLanes(s);
                if (coverage < D::kFull) a = ZDiv255DownLanes(_mm_mullo_epi16(a, cover));
                return a;
            };
            const auto over = [&](__m128i s, __m128i d) {
                const __m128i a = alpha(s);
                return ZDiv255DownLanes(_mm_add_epi16(_mm_mullo_epi16(s, a),
                                                      _mm_mullo_epi16(d, _mm_sub_epi16(full, a))));
            };
            for (; i + 4 <= n; i += 4) {
                auto* at = reinterpret_cast<__m128i*>(p + 4 * i);
                const __m128i d = _mm_loadu_si128(at);
                const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * i));
                const __m128i low = _mm_unpacklo_epi8(s, zero), high = _mm_unpackhi_epi8(s, zero);
                if (ZAllOpaque(d)) {
                    const __m128i out = _mm_packus_epi16(over(low, _mm_unpacklo_epi8(d, zero)),
                                                         over(high, _mm_unpackhi_epi8(d, zero)));
                    _mm_storeu_si128(at, _mm_or_si128(out, alphaBytes));
                } else if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(d, alphaBytes), zero)) ==
                           0xFFFF) {
                    const __m128i a =
                        _mm_and_si128(_mm_packus_epi16(alpha(low), alpha(high)), alphaBytes);
                    const __m128i out = _mm_or_si128(_mm_andnot_si128(alphaBytes, s), a);
                    const __m128i keep = _mm_cmpeq_epi32(a, zero);
                    _mm_storeu_si128(
                        at, _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, out)));
                } else {
                    for (int32_t k = i; k < i + 4; ++k) OverOne(p + 4 * k, src + 4 * k, coverage);
                }
            }
        }
#else
        (void)p, (void)src, (void)n, (void)coverage;
#endif
        return i;
    }

    static void ClipStencil(ZSpanJob& job, int32_t x, int32_t y, int32_t n, uint32_t coverage) {
        job.SeekFor(x, y, n);
        bool opaque = false;
        const C* src = Source(job, n, opaque);
        C* p = ColourAt(job, x, y);
        const C* m = MaskAt(job, x, y);
        for (int32_t i = 0; i < n; ++i, p += 4, src += 4) {
            const uint32_t mv = D::Limit(m[i]);
            if (mv == 0) continue;
            const uint32_t a = D::Mul(Covered(D::Limit(src[3]), coverage), mv);
            if (a != 0) Over(p, src, a);
        }
    }

    // Other stencils through the channel tables, pixel by pixel.

    static void MaskTables(ZSpanJob& job, int32_t x, int32_t y, int32_t n, uint32_t coverage) {
        job.SeekFor(x, y, n);
        C* m = MaskAt(job, x, y);
        C px[4];
        for (int32_t i = 0; i < n; ++i) {
            D::Next(job.stencil, px);
            MaskWrite(m + i, TableAlpha(job, Covered(D::Limit(px[3]), coverage)));
        }
    }

    static void ColourTables(ZSpanJob& job, int32_t x, int32_t y, int32_t n, uint32_t coverage) {
        job.SeekFor(x, y, n);
        C* p = ColourAt(job, x, y);
        C px[4];
        for (int32_t i = 0; i < n; ++i, p += 4) {
            D::Next(job.stencil, px);
            const uint32_t a = TableAlpha(job, Covered(D::Limit(px[3]), coverage));
            if (a == 0) continue;
            ThroughTables(job, px);
            Over(p, px, a);
        }
    }

    static void ClipTables(ZSpanJob& job, int32_t x, int32_t y, int32_t n, uint32_t coverage) {
        job.SeekFor(x, y, n);
        C* p = ColourAt(job, x, y);
        const C* m = MaskAt(job, x, y);
        C px[4];
        for (int32_t i = 0; i < n; ++i, p += 4) {
            const uint32_t mv = D::Limit(m[i]);
            if (mv == 0) {
                job.stencil->Skip();
                continue;
            }
            D::Next(job.stencil, px);
            const uint32_t a = TableAlpha(job, D::Mul(Covered(D::Limit(px[3]), coverage), mv));
            if (a == 0) continue;
            ThroughTables(job, px);
            Over(p, px, a);
        }
    }
};

// [mode][solid, stencil, stencil through tables]
template <class D>
constexpr ZSpanPainter kPainters[3][3] = {
    {Painters<D>::MaskSolid, Painters<D>::MaskStencil, Painters<D>::MaskTables},
    {Painters<D>::ColourSolid, Painters<D>::ColourStencil, Painters<D>::ColourTables},
    {Painters<D>::ClipSolid, Painters<D>::ClipStencil, Painters<D>::ClipTables},
};

} // namespace
