// zlib-compressed bitmap data: the lossless bitmap formats and the alpha plane of
// DefineBitsJPEG3.  Inputs are byte ranges of the file image and are never read past.
#pragma once

#include "base/PixelBuffer.h"

#include <cstddef>
#include <cstdint>

namespace UT {

// Inflates from `in` (at most `available` bytes, the rest of the file image) into `out`
// until the stream ends, the output is full or zlib reports anything but progress.  What
// is not produced keeps its contents.  Returns the bytes consumed.
size_t InflateInto(const uint8_t* in, size_t available, uint8_t* out, size_t outSize);

// A texel (blue, green, red, alpha) stored with its colour premultiplied by its alpha, made
// straight: each colour byte c becomes min(255, (c * 255 + a / 2) / a); alpha 0 gives
// transparent black.  DefineBitsLossless2 and the alpha-planed JPEG kinds store them so.
void StraightenTexel(uint8_t* bgra);

// A lossless bitmap from its header on (format, width, height, and for colour-mapped
// data the table size), `withAlpha` for DefineBitsLossless2.  Formats 3 (colour-mapped)
// and 5 (32-bit) give blue, green, red, alpha images; other formats and refused sizes give
// null.
PixelBuffer* DecodeLossless(const uint8_t* data, size_t available, bool withAlpha);

} // namespace UT
