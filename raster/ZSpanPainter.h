// The span painters of the scanline renderer: one per target mode, paint kind and depth.
// A span is a run of pixels on one row sharing one coverage (255, or 32768 at 16 bits, is
// full).  The renderer picks one painter per fill and calls it for every span.
#pragma once

#include "raster/TargetImage.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class ZStencil;

enum class ZPaintMode {
    kMaskRender, // paint alpha into the mask target
    kColour,     // paint into the colour target
    kClipByMask, // paint into the colour target, scaled by the mask target
};

// Everything a painter reads during one fill.
struct ZSpanJob {
    TargetImage colour;
    TargetImage mask;
    uint16_t* scratch = nullptr; // one row of 4-channel pixels at the fill's depth
    ZStencil* stencil = nullptr;
    uint8_t solid8[4] = {};   // blue, green, red, alpha
    uint16_t solid16[4] = {}; // the same, widened
    // Channel lookup tables in the order red, green, blue, alpha.
    const uint8_t* tables8[4] = {};
    const uint16_t* tables16[4] = {};
    // Where the previous span ended; a span that starts there continues the stencil walk.
    int32_t nextX = -1;
    int32_t nextY = -1;
    // The last long span fetched into memo (room as scratch): the stencil walk position
    // it started from and ended at, its length (0: none yet) and whether all of it is
    // opaque.  Valid for one fill.
    uint16_t* memo = nullptr;
    uint64_t memoStart = 0;
    uint64_t memoEnd = 0;
    int32_t memoLength = 0;
    bool memoOpaque = false;

    void SeekFor(int32_t x, int32_t y, int32_t length);
};

using ZSpanPainter = void (*)(ZSpanJob& job, int32_t x, int32_t y, int32_t length,
                              uint32_t coverage);

// A painted span, as a fill's spans are kept to be painted again: positions and lengths
// within a target (below 2^14 a side), coverage at most 32768.
struct ZSpan {
    uint16_t x, y, length, coverage;
};

using ZKeptSpansPainter = void (*)(ZSpanJob& job, const ZSpan* spans, size_t count);

// A painter bound to its fill's job: where the coverage gatherers send their spans.  A
// span of coverage 0 is not painted.  With `record`, painted spans are noted there too.
struct ZSpanSink {
    ZSpanPainter painter = nullptr;
    ZSpanJob* job = nullptr;
    std::vector<ZSpan>* record = nullptr;
    // Where set, paints kept spans in one call, as `painter` paints them one by one.
    ZKeptSpansPainter keptPainter = nullptr;

    void Paint(int32_t x, int32_t y, int32_t length, uint32_t coverage) const {
        if (coverage == 0) return;
        if (record)
            record->push_back({static_cast<uint16_t>(x), static_cast<uint16_t>(y),
                               static_cast<uint16_t>(length), static_cast<uint16_t>(coverage)});
        painter(*job, x, y, length, coverage);
    }

    // Spans kept from an earlier fill, each of coverage above 0.
    void PaintKept(const ZSpan* spans, size_t count) const {
        if (keptPainter) return keptPainter(*job, spans, count);
        for (size_t i = 0; i < count; ++i)
            painter(*job, spans[i].x, spans[i].y, spans[i].length, spans[i].coverage);
    }
};

// bytesPerChannel is 1 or 2; solid means the job's solid colour is painted without the
// stencil; tables means stencil colours pass through the channel tables.
ZSpanPainter ChooseSpanPainter(int32_t bytesPerChannel, ZPaintMode mode, bool solid, bool tables);

// The painter of whole runs of kept spans for the same choice, where there is one (solid
// colour into 8-bit colour, the spans most fills keep); null elsewhere.
ZKeptSpansPainter ChooseKeptSpansPainter(int32_t bytesPerChannel, ZPaintMode mode, bool solid);

// Straight-alpha "over" of src (blue, green, red) with alpha a (at most full) onto dst,
// as the painters blend; a = 0 leaves dst alone.
void ZBlendOver(uint8_t* dst, const uint8_t* src, uint32_t a);
void ZBlendOver(uint16_t* dst, const uint16_t* src, uint32_t a);
