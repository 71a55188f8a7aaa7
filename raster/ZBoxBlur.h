// Box blur by running sums: the cost per pixel does not grow with the width.
#pragma once

#include "raster/ZPlane.h"

#include <cstdint>
#include <vector>

class ZBoxBlur {
public:
    // Widths in pixels; a width of 1 or less leaves that direction alone.  A fractional
    // width weighs the two pixels just outside the whole-pixel box by half the fraction
    // each.  Passes are clamped to 0..15.
    ZBoxBlur() = default;
    ZBoxBlur(float widthX, float widthY, int32_t passes) { Configure(widthX, widthY, passes); }
    // Keeps the scratch lines, so one blur serves many pictures without allocating.
    void Configure(float widthX, float widthY, int32_t passes);

    // How far one side of a blurred picture reaches beyond its input, per direction.
    int32_t ReachX() const { return Reach(x_); }
    int32_t ReachY() const { return Reach(y_); }
    bool Acts() const { return passes_ > 0 && (x_.width > 0 || y_.width > 0); }

    // Blurs every channel of `image` in place; `scratch` is a plane of the same size and
    // channel count.  Outside the plane counts as transparent.
    void Apply(const ZPlane& image, const ZPlane& scratch);

private:
    struct Axis {
        int32_t width = 0;    // 1/256 pixel; 0 when the axis is left alone
        int32_t radius = 0;   // whole pixels each side of the centre
        int32_t fraction = 0; // weight of each outer pixel, 1/512 pixel
        uint64_t inverse = 0; // 2^32 / (2 x width), rounded
    };
    static Axis MakeAxis(float width);
    int32_t Reach(const Axis& a) const {
        return a.width ? passes_ * (a.radius + (a.fraction ? 1 : 0)) : 0;
    }
    void Horizontal(const ZPlane& from, const ZPlane& to);
    void Vertical(const ZPlane& from, const ZPlane& to);

    Axis x_, y_;
    int32_t passes_ = 0;
    std::vector<uint8_t> line_;
    std::vector<uint8_t> woven_; // four rows' results side by side
    std::vector<uint32_t> sums_;
};
