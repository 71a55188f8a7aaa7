// The blend modes a layer is composited with, on 8-bit premultiplied colour.
#pragma once

#include "raster/ZFilter.h"

#include <cstdint>

// One colour channel of the result: S and D the layer's and the backdrop's premultiplied
// values, Sa and Da their alphas (all 0..255, S <= Sa, D <= Da).
uint32_t ZBlendChannel(ZBlendMode mode, uint32_t s, uint32_t sa, uint32_t d, uint32_t da);
// The result's alpha.
uint32_t ZBlendAlpha(ZBlendMode mode, uint32_t sa, uint32_t da);

// Composites `count` premultiplied layer pixels onto straight-alpha target pixels (both
// bytes blue, green, red, alpha).  `coverage`, when not null, scales each layer pixel by
// its byte (a clip mask).  Where the layer's alpha is 0 the target is left as it is.
void ZCompositeRow(ZBlendMode mode, const uint8_t* layer, uint8_t* target, const uint8_t* coverage,
                   int32_t count);

// ZPremultiplyRow of `count` straight layer pixels and ZCompositeRow of them in one pass,
// leaving the layer's pixels cleared to 0.
void ZCompositeStraightRow(ZBlendMode mode, uint8_t* layer, uint8_t* target,
                           const uint8_t* coverage, int32_t count);

// Straight colour to premultiplied and back, in place, `count` pixels.
void ZPremultiplyRow(uint8_t* pixels, int32_t count);
void ZUnpremultiplyRow(uint8_t* pixels, int32_t count);

// Two 8-bit coverages of the same pixels together: `now` becomes now x was / 255, rounded
// down, `count` bytes.
void ZIntersectCoverage(uint8_t* now, const uint8_t* was, int32_t count);
