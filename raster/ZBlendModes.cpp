#include "raster/ZBlendModes.h"

#include "raster/ZBlendMath.h"
#include "raster/ZPlane.h"

#include <algorithm>

namespace {

// Sa x Da x B(s, d) on the 255 x 255 scale, s = S / Sa and d = D / Da.
uint32_t Mixed(ZBlendMode mode, uint32_t s, uint32_t sa, uint32_t d, uint32_t da) {
    const uint32_t sd = s * da, ds = d * sa;
    auto overlay = [&](bool low) { return low ? 2 * s * d : sa * da - 2 * (da - d) * (sa - s); };
    switch (mode) {
    case ZBlendMode::kMultiply:
        return s * d;
    case ZBlendMode::kLighten:
        return std::max(sd, ds);
    case ZBlendMode::kDarken:
        return std::min(sd, ds);
    case ZBlendMode::kDifference:
        return sd > ds ? sd - ds : ds - sd;
    case ZBlendMode::kInvert:
        return sa * (da - d);
    case ZBlendMode::kOverlay:
        return overlay(2 * d <= da);
    case ZBlendMode::kHardLight:
        return overlay(2 * s <= sa);
    default:
        return 0;
    }
}

} // namespace

uint32_t ZBlendAlpha(ZBlendMode mode, uint32_t sa, uint32_t da) {
    switch (mode) {
    case ZBlendMode::kAlpha:
        return ZDiv255(da * sa);
    case ZBlendMode::kErase:
        return ZDiv255(da * (255 - sa));
    default:
        return sa + ZDiv255(da * (255 - sa));
    }
}

uint32_t ZBlendChannel(ZBlendMode mode, uint32_t s, uint32_t sa, uint32_t d, uint32_t da) {
    switch (mode) {
    case ZBlendMode::kAdd:
        return std::min(255u, s + d);
    case ZBlendMode::kSubtract:
        return d > s ? d - s : 0;
    case ZBlendMode::kScreen:
        return s + d - ZDiv255(s * d);
    case ZBlendMode::kAlpha:
        return ZDiv255(d * sa);
    case ZBlendMode::kErase:
        return ZDiv255(d * (255 - sa));
    case ZBlendMode::kMultiply:
    case ZBlendMode::kLighten:
    case ZBlendMode::kDarken:
    case ZBlendMode::kDifference:
    case ZBlendMode::kInvert:
    case ZBlendMode::kOverlay:
    case ZBlendMode::kHardLight: {
        const uint32_t sum = s * (255 - da) + d * (255 - sa) + Mixed(mode, s, sa, d, da);
        return std::min(ZDiv255(sum), ZBlendAlpha(mode, sa, da));
    }
    default:
        return s + ZDiv255(d * (255 - sa));
    }
}

void ZCompositeRow(ZBlendMode mode, const uint8_t* layer, uint8_t* target, const uint8_t* coverage,
                   int32_t count) {
    for (int32_t i = 0; i < count; ++i, layer += 4, target += 4) {
        uint32_t src[4] = {layer[0], layer[1], layer[2], layer[3]};
        if (coverage) {
            const uint32_t m = coverage[i];
            for (uint32_t& c : src) c = ZDiv255(c * m);
        }
        const uint32_t sa = src[3];
        if (sa == 0) continue;
        const uint32_t da = target[3];
        if (da == 0 && mode != ZBlendMode::kAlpha && mode != ZBlendMode::kErase &&
            mode != ZBlendMode::kSubtract) {
            // Over nothing every other mode gives the layer itself.
            for (int c = 0; c < 3; ++c)
                target[c] = uint8_t(std::min(255u, ZDivideSmall(src[c] * 255 + sa / 2, sa)));
            target[3] = uint8_t(sa);
            continue;
        }
        const uint32_t a = ZBlendAlpha(mode, sa, da);
        for (int c = 0; c < 3; ++c) {
            const uint32_t d = ZDiv255(target[c] * da);
            const uint32_t v = std::min(ZBlendChannel(mode, src[c], sa, d, da), a);
            target[c] = a ? uint8_t(std::min(255u, ZDivideSmall(v * 255 + a / 2, a))) : 0;
        }
        target[3] = uint8_t(a);
    }
}

void ZPremultiplyRow(uint8_t* p, int32_t count) {
    for (int32_t i = 0; i < count; ++i, p += 4) {
        const uint32_t a = p[3];
        if (a == 255) continue;
        for (int c = 0; c < 3; ++c) p[c] = uint8_t(ZDiv255(p[c] * a));
    }
}

void ZUnpremultiplyRow(uint8_t* p, int32_t count) {
    for (int32_t i = 0; i < count; ++i, p += 4) {
        const uint32_t a = p[3];
        if (a == 255) continue;
        for (int c = 0; c < 3; ++c)
            p[c] = a ? uint8_t(std::min(255u, ZDivideSmall(p[c] * 255 + a / 2, a))) : 0;
    }
}
