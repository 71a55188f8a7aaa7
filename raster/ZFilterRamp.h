// The 256 premultiplied colours (bytes blue, green, red, alpha) that shadows, glows and
// bevels colour their blurred alpha through.
#pragma once

#include "raster/ZFilter.h"

#include <array>
#include <cstdint>

using ZRamp = std::array<std::array<uint8_t, 4>, 256>;

// Entry i: the colour with its alpha scaled by i / 255 (shadows and glows).
void ZSolidRamp(const ZFilter::Color& color, ZRamp& ramp);
// Entry 0 the highlight at full alpha, fading to nothing at 128, then the shadow growing
// to full alpha at 255 (bevels, in the order of a gradient bevel's stops).
void ZBevelRamp(const ZFilter::Color& highlight, const ZFilter::Color& shadow, ZRamp& ramp);
// The stops in the order given, blended in straight colour between them and padded
// before the first and after the last; no stops give transparent entries.
void ZGradientRamp(const std::vector<ZFilter::Stop>& stops, ZRamp& ramp);
