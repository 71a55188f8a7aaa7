#include "raster/ZFilterRamp.h"

#include "raster/ZPlane.h"

#include <algorithm>

namespace {

void Store(std::array<uint8_t, 4>& entry, const ZFilter::Color& c, uint32_t alpha) {
    entry = {uint8_t(ZDiv255(c.blue * alpha)), uint8_t(ZDiv255(c.green * alpha)),
             uint8_t(ZDiv255(c.red * alpha)), uint8_t(alpha)};
}

} // namespace

void ZSolidRamp(const ZFilter::Color& color, ZRamp& ramp) {
    for (uint32_t i = 0; i < 256; ++i) Store(ramp[i], color, ZDiv255(color.alpha * i));
}

void ZBevelRamp(const ZFilter::Color& highlight, const ZFilter::Color& shadow, ZRamp& ramp) {
    for (uint32_t i = 0; i < 256; ++i) {
        if (i < 128) {
            const uint32_t k = std::min(255u, (128 - i) * 255 / 127);
            Store(ramp[i], highlight, ZDiv255(highlight.alpha * k));
        } else {
            const uint32_t k = (i - 128) * 255 / 127;
            Store(ramp[i], shadow, ZDiv255(shadow.alpha * k));
        }
    }
}

void ZGradientRamp(const std::vector<ZFilter::Stop>& stops, ZRamp& ramp) {
    if (stops.empty()) {
        for (auto& entry : ramp) entry = {0, 0, 0, 0};
        return;
    }
    size_t next = 0;
    uint32_t lastRatio = 0;
    for (uint32_t i = 0; i < 256; ++i) {
        while (next < stops.size() && std::max<uint32_t>(stops[next].ratio, lastRatio) < i)
            lastRatio = std::max<uint32_t>(stops[next++].ratio, lastRatio);
        ZFilter::Color c;
        if (next == 0) {
            c = stops.front().color;
        } else if (next == stops.size()) {
            c = stops.back().color;
        } else {
            const ZFilter::Stop& a = stops[next - 1];
            const ZFilter::Stop& b = stops[next];
            const uint32_t from = std::max<uint32_t>(a.ratio, 0), to = std::max(b.ratio, a.ratio);
            const uint32_t span = to - from, t = span ? (i - from) * 255 / span : 255;
            auto mix = [&](uint8_t x, uint8_t y) {
                return uint8_t((uint32_t(x) * (255 - t) + uint32_t(y) * t + 127) / 255);
            };
            c = {mix(a.color.red, b.color.red), mix(a.color.green, b.color.green),
                 mix(a.color.blue, b.color.blue), mix(a.color.alpha, b.color.alpha)};
        }
        Store(ramp[i], c, c.alpha);
    }
}
