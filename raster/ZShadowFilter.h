// Drop shadows, glows and gradient glows: the object's alpha blurred, moved by an offset,
// scaled by a strength and coloured through a ramp, then composited with the object.
#pragma once

#include "raster/ZBoxBlur.h"
#include "raster/ZFilterComposite.h"
#include "raster/ZFilterRamp.h"
#include "raster/ZPlane.h"

#include <cstdint>

struct ZShadowSettings {
    int32_t offsetX = 0, offsetY = 0; // where the shadow moves to, pixels
    int32_t strength = 256;           // 1/256; the blurred alpha is multiplied by it
    bool inner = false;               // inside the object, from its inverted alpha
    bool knockout = false;
    bool hideObject = false;
};

class ZShadowFilter {
public:
    ZShadowFilter(ZBoxBlur& blur, const ZShadowSettings& settings, const ZRamp& ramp)
        : blur_(blur), settings_(settings), ramp_(ramp) {}
    // `alpha` and `scratch` are one-channel planes of the image's size.
    void Apply(const ZPlane& image, const ZPlane& alpha, const ZPlane& scratch);

private:
    ZBoxBlur& blur_;
    ZShadowSettings settings_;
    const ZRamp& ramp_;
};
