// Bevels and gradient bevels: the object's alpha blurred once and read at +offset and
// -offset; where the first is higher the highlight shows, where lower the shadow.
#pragma once

#include "raster/ZBoxBlur.h"
#include "raster/ZFilterComposite.h"
#include "raster/ZFilterRamp.h"
#include "raster/ZPlane.h"

#include <cstdint>

struct ZBevelSettings {
    int32_t offsetX = 0, offsetY = 0; // towards the shadow side, pixels
    int32_t strength = 256;           // 1/256
    ZEffectPlace place = ZEffectPlace::kInside;
    bool knockout = false;
};

class ZBevelFilter {
public:
    // The ramp runs from the highlight (0) through nothing (128) to the shadow (255).
    ZBevelFilter(ZBoxBlur& blur, const ZBevelSettings& settings, const ZRamp& ramp)
        : blur_(blur), settings_(settings), ramp_(ramp) {}
    void Apply(const ZPlane& image, const ZPlane& alpha, const ZPlane& scratch);

private:
    ZBoxBlur& blur_;
    ZBevelSettings settings_;
    const ZRamp& ramp_;
};
