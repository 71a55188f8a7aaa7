// How a shadow, glow or bevel picture meets the object it was made from.
#pragma once

#include "raster/ZPlane.h"

#include <algorithm>
#include <cstdint>

enum class ZEffectPlace : uint8_t {
    kBehind, // outside the object, drawn under it
    kInside, // inside the object, drawn over it
    kOver,   // everywhere, drawn over it
};

// One pixel: `object` (premultiplied, in place) meets `effect` (premultiplied).  With
// `knockout` the object itself is removed; with `hide` (behind only) the effect is kept
// whole and the object removed.
inline void ZCompositeEffect(uint8_t* object, const uint8_t* effect, ZEffectPlace place,
                             bool knockout, bool hide) {
    const uint32_t oa = object[3];
    uint32_t e[4] = {effect[0], effect[1], effect[2], effect[3]};
    if (place == ZEffectPlace::kInside)
        for (uint32_t& v : e) v = ZDiv255(v * oa);
    else if (place == ZEffectPlace::kBehind && !(hide && !knockout))
        for (uint32_t& v : e) v = ZDiv255(v * (255 - oa));
    if (knockout || hide) {
        for (int c = 0; c < 4; ++c) object[c] = uint8_t(e[c]);
        return;
    }
    // Behind: the effect cut to the outside fills what the object leaves.  Otherwise the
    // effect goes over the object.
    const uint32_t keep = place == ZEffectPlace::kBehind ? 255 : 255 - e[3];
    for (int c = 0; c < 4; ++c)
        object[c] = uint8_t(std::min<uint32_t>(255, e[c] + ZDiv255(object[c] * keep)));
}

// ZCompositeEffect over `count` pixels: objects[i] meets effects[i].
void ZCompositeEffects(uint8_t* objects, const uint8_t* effects, int32_t count, ZEffectPlace place,
                       bool knockout, bool hide);
