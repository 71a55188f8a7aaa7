// A stencil that paints one colour.  The renderer recognises it through IsSolidColor and
// reads the colour once per fill.
#pragma once

#include "raster/ZStencil.h"

class ZColorStencil : public ZStencil {
public:
    // bgra: blue, green, red, alpha bytes.
    explicit ZColorStencil(const uint8_t* bgra);
    ZColorStencil(uint8_t blue, uint8_t green, uint8_t red, uint8_t alpha);
    // Copies the colour only, like Clone.
    ZColorStencil(const ZColorStencil& other);

    void SetColor(const uint8_t* bgra);
    const uint8_t* Color() const { return color_; }

    ZStencil* Clone() const override;
    // Skipped when the transform is marked identity.
    void ApplyColorTransform(const ColorTransform& cx) override;
    void Seek(int32_t, int32_t) override {}
    uint8_t* NextPixel8(uint8_t* out) override;
    uint16_t* NextPixel16(uint16_t* out) override;
    bool IsSolidColor() const override { return true; }

private:
    uint8_t color_[4];
};
