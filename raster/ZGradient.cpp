#include "raster/ZGradient.h"

#include "raster/ZStencil.h"

#include <cmath>
#include <cstring>

namespace {

constexpr float kMinShape = 0.0009775171f; // 1/1023: one ramp step
constexpr int kMaxBisections = 10;

// Ramp index of a stop position, clamped so that out-of-range stops stay inside the ramp.
int RampIndex(float p) {
    if (!(p > 0.0f)) return 0;
    if (p >= 1.0f) return ZGradient::kRampSize - 1;
    return static_cast<int>(p * 1023.0f);
}

uint8_t Mix(uint32_t c0, uint32_t c1, uint32_t w) {
    return ((255 - w) * c0 + w * c1) / 255;
}

uint32_t WeightOf(float s) {
    const float w = 255.0f * s;
    if (!(w > 0.0f)) return 0;
    if (w >= 255.0f) return 255;
    return static_cast<uint32_t>(w);
}

} // namespace

ZGradient::ZGradient() {
    std::memset(ramp_, 0, sizeof(ramp_));
}

ZGradient::~ZGradient() = default;

void ZGradient::AddStop(const ZGradientStop& stop) {
    auto it = stops_.begin();
    while (it != stops_.end() && it->position < stop.position) ++it;
    if (it != stops_.end() && it->position == stop.position)
        *it = stop;
    else
        stops_.insert(it, stop);
    dirty_ = true;
}

void ZGradient::CopyStopsFrom(const ZGradient& other) {
    stops_ = other.stops_;
    dirty_ = true;
}

void ZGradient::TransformStops(const ColorTransform& cx) {
    for (ZGradientStop& s : stops_) ZTransformPixel(cx, s.color);
    dirty_ = true;
}

void ZGradient::FillRange(int from, int to, const uint8_t* color) {
    for (int k = from; k <= to; ++k) std::memcpy(ramp_[k], color, 4);
}

float ZGradient::SolveBezier(float x0, float x1, float x2, float x3, float target) {
    if (x1 == x0 && x3 == x2) return (target - x0) / (x3 - x0);
    // Power form: X(s) = x0 + c1 s + c2 s^2 + c3 s^3.
    const float c1 = 3.0f * (x1 - x0);
    const float c2 = 3.0f * (x0 - 2.0f * x1 + x2);
    const float c3 = x3 - x0 + 3.0f * (x1 - x2);
    float lo = 0.0f, hi = 1.0f, s = 0.5f;
    for (int round = 0; round < kMaxBisections; ++round) {
        s = (lo + hi) * 0.5f;
        const float x = x0 + s * (c1 + s * (c2 + s * c3));
        if (std::fabs(x - target) < kMinShape) return s;
        if (x < target)
            lo = s;
        else
            hi = s;
    }
    return s;
}

void ZGradient::BlendPair(const ZGradientStop& s0, const ZGradientStop& s1) {
    const int i0 = RampIndex(s0.position), i1 = RampIndex(s1.position);
    if (i1 <= i0) return;
    float e = s0.a, f = 1.0f - s0.b;
    const bool linear = e == 0.5f && f == 0.5f;
    if (!linear) {
        if (!(e >= kMinShape)) e = kMinShape;
        if (!(f >= kMinShape)) f = kMinShape;
    }
    const float p0 = s0.position, p1 = s1.position, span = p1 - p0;
    for (int k = i0; k <= i1; ++k) {
        uint32_t w;
        if (linear)
            w = 255u * static_cast<uint32_t>(k - i0) / static_cast<uint32_t>(i1 - i0);
        else
            w = WeightOf(SolveBezier(p0, p0 + e * span, p1 - f * span, p1, k / 1023.0f));
        for (int c = 0; c < 4; ++c) ramp_[k][c] = Mix(s0.color[c], s1.color[c], w);
    }
}

void ZGradient::BuildRamp() {
    if (!dirty_) return;
    dirty_ = false;
    // Start from zero on every build so that a rebuild never keeps entries of old stops.
    std::memset(ramp_, 0, sizeof(ramp_));
    const size_t n = stops_.size();
    if (n == 0) return;
    if (n == 1) {
        FillRange(0, kRampSize - 1, stops_[0].color);
        return;
    }
    if (stops_[0].position > 0.0f) FillRange(0, RampIndex(stops_[0].position), stops_[0].color);
    for (size_t i = 0; i < n; ++i) {
        const ZGradientStop& s = stops_[i];
        if (s.position < 0.0f) continue;
        if (i + 1 < n && !(stops_[i + 1].position < 0.0f))
            BlendPair(s, stops_[i + 1]);
        else
            FillRange(RampIndex(s.position), kRampSize - 1, s.color);
    }
}
