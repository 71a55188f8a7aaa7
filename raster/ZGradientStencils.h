// Linear and radial gradient stencils: a ZGradient ramp laid along the x axis of gradient
// space, or around its centre.  All matrix work happens once per span in Seek; per pixel
// it is one lookup and one or two additions.
#pragma once

#include "raster/ZGradient.h"
#include "raster/ZStencil.h"

class ZGradientStencilBase : public ZStencil, public ZGradient {
public:
    void ApplyColorTransform(const ColorTransform& cx) override { TransformStops(cx); }
    void Prepare() override { BuildRamp(); }
    uint16_t* NextPixel16(uint16_t* out) override;
    void FetchSpan16(uint16_t* dst, int count) override;
    bool IsSolidColor() const override { return false; }
    bool KeepsPaint() const override { return true; }

protected:
    void StopsChanged() override { PaintChanged(); }
};

// Ramp start at gradient x = -0.5, end at +0.5, padded with the end colours beyond.
class ZLinearGradientStencil : public ZGradientStencilBase {
public:
    ZStencil* Clone() const override;
    void Seek(int32_t x, int32_t y) override;
    uint8_t* NextPixel8(uint8_t* out) override;
    void Skip() override { t_ += dt_; }
    void FetchSpan8(uint8_t* dst, int count) override;
    bool WalkPosition(uint64_t& position) const override;
    void SetWalkPosition(uint64_t position) override;

private:
    int Index() const;
    // SSE2 builds: the span loop, whole groups of four at a time; returns how many pixels
    // it fetched.
    int IndexQuads(float& t, float dt, uint8_t* dst, int count) const;

    float t_ = 0, dt_ = 0;
};

// Ramp start at the centre of gradient space (or at the focal point), end at radius 0.5.
class ZRadialGradientStencil : public ZGradientStencilBase {
public:
    // The focal point lies on the x axis, as a fraction of the radius towards +x; values
    // are held inside (-kMaxFocal, kMaxFocal), where the ramp still covers every ray.
    static constexpr float kMaxFocal = 0.98f;
    void SetFocalPoint(float focal);
    float FocalPoint() const { return focal_; }

    ZStencil* Clone() const override;
    void Seek(int32_t x, int32_t y) override;
    uint8_t* NextPixel8(uint8_t* out) override;
    void Skip() override {
        gx_ += dgx_;
        gy_ += dgy_;
    }
    void FetchSpan8(uint8_t* dst, int count) override;

private:
    int Index() const;
    // FetchSpan8 of a padded gradient without focus, whole groups of four at a time;
    // returns how many pixels it fetched.
    int CentredQuads(float& gx, float& gy, float dgx, float dgy, uint8_t* dst, int count) const;
    // FetchSpan8 of any other, the same way.
    int PositionQuads(float& gx, float& gy, float dgx, float dgy, uint8_t* dst, int count) const;

    // The ramp position of the current point, in radii (0 at the focus, 1 on the rim).
    float RampPosition() const;

    float gx_ = 0, dgx_ = 0, gy_ = 0, dgy_ = 0;
    float focal_ = 0;
};
