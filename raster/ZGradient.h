// A colour ramp of 1024 entries built lazily from stops in the order they were added.  Between two
// stops the blend follows a Bezier-shaped curve; a = b = 0.5 gives a straight blend.
#pragma once

#include "base/ValueTypes.h"

#include <cstdint>
#include <vector>

struct ZGradientStop {
    float position = 0; // 0..1
    float a = 0.5f;     // shape of the blend towards the next stop
    float b = 0.5f;
    uint8_t color[4] = {0, 0, 0, 0}; // blue, green, red, alpha
};

class ZGradient {
public:
    static constexpr int kRampSize = 1024;

    // What lies beyond the ends of the ramp.
    enum Spread : uint8_t { kPad = 0, kReflect = 1, kRepeat = 2 };

    ZGradient();
    virtual ~ZGradient();

    // Appends: stops are kept in the order they come.
    void AddStop(const ZGradientStop& stop);
    const std::vector<ZGradientStop>& Stops() const { return stops_; }
    void TransformStops(const ColorTransform& cx);
    void SetSpread(Spread spread) {
        spread_ = spread;
        StopsChanged();
    }
    Spread GetSpread() const { return spread_; }
    // Blends the colour channels in linear light instead of in their stored (sRGB) values.
    void SetLinearRGB(bool linear) {
        linearRGB_ = linear;
        dirty_ = true;
        StopsChanged();
    }
    bool LinearRGB() const { return linearRGB_; }

    bool IsDirty() const { return dirty_; }
    // Rebuilds the ramp when the stops changed since the last build.
    void BuildRamp();
    const uint8_t* RampEntry(int k) const { return ramp_[k]; }

    // Solves X(s) = target on [0, 1] for the cubic Bezier with control values x0..x3.
    static float SolveBezier(float x0, float x1, float x2, float x3, float target);

protected:
    void CopyStopsFrom(const ZGradient& other);
    // After every change of the stops, their blending or the spread.
    virtual void StopsChanged() {}

    uint8_t ramp_[kRampSize][4];
    Spread spread_ = kPad;

private:
    void FillRange(int from, int to, const uint8_t* color);
    // Entries [from, to) of the pair's stretch.
    void BlendPair(const ZGradientStop& s0, const ZGradientStop& s1, int from, int to);

    std::vector<ZGradientStop> stops_;
    bool dirty_ = false;
    bool linearRGB_ = false;
};
