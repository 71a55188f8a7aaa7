#include "raster/ZColorStencil.h"

#include <cstring>

ZColorStencil::ZColorStencil(const uint8_t* bgra) {
    SetColor(bgra);
}

ZColorStencil::ZColorStencil(uint8_t blue, uint8_t green, uint8_t red, uint8_t alpha)
    : color_{blue, green, red, alpha} {}

ZColorStencil::ZColorStencil(const ZColorStencil& other) : ZStencil() {
    SetColor(other.color_);
}

void ZColorStencil::SetColor(const uint8_t* bgra) {
    std::memcpy(color_, bgra, 4);
}

ZStencil* ZColorStencil::Clone() const {
    return new ZColorStencil(*this);
}

void ZColorStencil::ApplyColorTransform(const ColorTransform& cx) {
    if (cx.identity) return;
    ZTransformPixel(cx, color_);
}

uint8_t* ZColorStencil::NextPixel8(uint8_t* out) {
    std::memcpy(out, color_, 4);
    return out;
}
