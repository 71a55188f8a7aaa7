// The stencils' 16-bit reads: only the 16-bit painters call them, and no caller of the plug-in
// sets a 16-bit target; kept as the stencils' specified second depth.
#include "raster/ZBitmapStencil.h"
#include "raster/ZColorStencil.h"
#include "raster/ZGradientStencils.h"
#include "raster/ZStencil.h"

#include <cstring>

void ZStencil::FetchSpan16(uint16_t* dst, int count) {
    uint16_t pixel[4];
    for (int i = 0; i < count; ++i) std::memcpy(dst + 4 * i, NextPixel16(pixel), 8);
}

uint16_t* ZColorStencil::NextPixel16(uint16_t* out) {
    ZWidenPixel(color_, out);
    return out;
}

uint16_t* ZGradientStencilBase::NextPixel16(uint16_t* out) {
    uint8_t pixel[4];
    ZWidenPixel(NextPixel8(pixel), out);
    return out;
}

void ZGradientStencilBase::FetchSpan16(uint16_t* dst, int count) {
    for (int i = 0; i < count; ++i) NextPixel16(dst + 4 * i);
}

uint16_t* ZBitmapStencil::NextPixel16(uint16_t* out) {
    if (depth_ == 2) {
        Sample(out);
        Skip();
    } else {
        uint8_t pixel[4];
        ZWidenPixel(NextPixel8(pixel), out);
    }
    return out;
}
