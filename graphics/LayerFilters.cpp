#include "graphics/LayerFilters.h"

#include "raster/ZBevelFilter.h"
#include "raster/ZBoxBlur.h"
#include "raster/ZColorMatrixFilter.h"
#include "raster/ZConvolutionFilter.h"
#include "raster/ZFilterRamp.h"
#include "raster/ZShadowFilter.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kMaxBlur = 255.0f;
constexpr float kMaxDistance = 8192.0f;

// Sine and cosine by a fixed series, so that every build gives the same offsets.
void SinCos(double angle, double& s, double& c) {
    constexpr double kTwoPi = 6.283185307179586;
    angle -= kTwoPi * double(int64_t(angle / kTwoPi));
    if (angle < 0) angle += kTwoPi;
    // Into [-pi, pi], then the series to the 25th power.
    if (angle > kTwoPi / 2) angle -= kTwoPi;
    double term = angle, sine = 0, cosine = 0, cterm = 1;
    const double x2 = angle * angle;
    for (int n = 1; n <= 25; n += 2) {
        sine += term;
        cosine += cterm;
        term = -term * x2 / double((n + 1) * (n + 2));
        cterm = -cterm * x2 / double(n * (n + 1));
    }
    s = sine;
    c = cosine;
}

float Blur(float v, float zoom) {
    return std::clamp(v, 0.0f, kMaxBlur) * zoom;
}

struct Offset {
    int32_t x = 0, y = 0;
};

Offset OffsetOf(const ZFilter& f, float zoomX, float zoomY) {
    double s, c;
    SinCos(double(f.angle), s, c);
    const double d = double(std::clamp(f.distance, -kMaxDistance, kMaxDistance));
    return {int32_t(std::lround(c * d * zoomX)), int32_t(std::lround(s * d * zoomY))};
}

int32_t Strength(const ZFilter& f) {
    return int32_t(std::lround(std::clamp(f.strength, 0.0f, 255.0f) * 256.0f));
}

bool HasOffset(const ZFilter& f) {
    return f.kind == ZFilter::kDropShadow || f.kind == ZFilter::kBevel ||
           f.kind == ZFilter::kGradientGlow || f.kind == ZFilter::kGradientBevel;
}

ZPlane PlaneOf(std::vector<uint8_t>& bytes, int32_t width, int32_t height, int32_t channels) {
    const size_t size = size_t(width) * size_t(height) * size_t(channels);
    if (bytes.size() < size) bytes.resize(size);
    return {bytes.data(), width, height, width * channels, channels};
}

} // namespace

FilterReach LayerFilters::ReachOf(const ZFilter& f) const {
    if (f.kind > ZFilter::kGradientBevel || f.kind == ZFilter::kConvolution ||
        f.kind == ZFilter::kColorMatrix)
        return {};
    const ZBoxBlur blur(Blur(f.blurX, zoomX_), Blur(f.blurY, zoomY_), f.passes);
    FilterReach r{blur.ReachX(), blur.ReachY()};
    if (HasOffset(f)) {
        const Offset o = OffsetOf(f, zoomX_, zoomY_);
        r.x += std::abs(o.x);
        r.y += std::abs(o.y);
    }
    return r;
}

FilterReach LayerFilters::Reach() const {
    FilterReach total;
    for (const ZFilter& f : filters_) {
        const FilterReach r = ReachOf(f);
        total.x = std::min(total.x + r.x, kMaxSide + 1);
        total.y = std::min(total.y + r.y, kMaxSide + 1);
    }
    return total;
}

int64_t LayerFilters::Work(int64_t pixels) const {
    int64_t passes = 0;
    for (const ZFilter& f : filters_) passes += 1 + std::min<int64_t>(f.passes, 15);
    return pixels * passes;
}

void LayerFilters::Apply(const ZPlane& image, int32_t x, int32_t y, int32_t w, int32_t h,
                         FilterWorkspace& work) const {
    int32_t x0 = x, y0 = y, x1 = x + w, y1 = y + h;
    for (const ZFilter& f : filters_) {
        const FilterReach r = ReachOf(f);
        x0 = std::max(0, x0 - r.x);
        y0 = std::max(0, y0 - r.y);
        x1 = std::min(image.width, x1 + r.x);
        y1 = std::min(image.height, y1 + r.y);
        if (x1 <= x0 || y1 <= y0) return;
        ApplyOne(f, image.Part(x0, y0, x1 - x0, y1 - y0), work);
    }
}

void LayerFilters::ApplyOne(const ZFilter& f, const ZPlane& image, FilterWorkspace& work) const {
    const int32_t w = image.width, h = image.height;
    ZBoxBlur& blur = work.blur;
    blur.Configure(Blur(f.blurX, zoomX_), Blur(f.blurY, zoomY_), f.passes);
    const Offset o = HasOffset(f) ? OffsetOf(f, zoomX_, zoomY_) : Offset{};
    ZRamp ramp;
    switch (f.kind) {
    case ZFilter::kBlur:
        blur.Apply(image, PlaneOf(work.colour, w, h, 4));
        break;
    case ZFilter::kDropShadow:
    case ZFilter::kGlow:
    case ZFilter::kGradientGlow: {
        if (f.kind == ZFilter::kGradientGlow)
            ZGradientRamp(f.stops, ramp);
        else
            ZSolidRamp(f.color, ramp);
        const ZShadowSettings settings{o.x,         o.y,
                                       Strength(f), f.inner,
                                       f.knockout,  f.kind == ZFilter::kDropShadow && f.hideObject};
        ZShadowFilter(blur, settings, ramp)
            .Apply(image, PlaneOf(work.alpha, w, h, 1), PlaneOf(work.spare, w, h, 1));
        break;
    }
    case ZFilter::kBevel:
    case ZFilter::kGradientBevel: {
        if (f.kind == ZFilter::kGradientBevel)
            ZGradientRamp(f.stops, ramp);
        else
            ZBevelRamp(f.highlight, f.color, ramp);
        const ZEffectPlace place = f.onTop   ? ZEffectPlace::kOver
                                   : f.inner ? ZEffectPlace::kInside
                                             : ZEffectPlace::kBehind;
        const ZBevelSettings settings{o.x, o.y, Strength(f), place, f.knockout};
        ZBevelFilter(blur, settings, ramp)
            .Apply(image, PlaneOf(work.alpha, w, h, 1), PlaneOf(work.spare, w, h, 1));
        break;
    }
    case ZFilter::kColorMatrix:
        ZColorMatrixFilter(f.matrix).Apply(image);
        break;
    case ZFilter::kConvolution:
        ZConvolutionFilter(f).Apply(image, PlaneOf(work.colour, w, h, 4));
        break;
    default:
        break;
    }
}
