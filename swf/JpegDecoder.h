// JPEG decoding for the bitmap tags, with libjpeg.  Errors never leave the decoder: they
// give no image.  Inputs are byte ranges of the file image and are never read past.
#pragma once

#include "base/PixelBuffer.h"

#include <cstddef>
#include <cstdint>

namespace UT {

// The largest decoded image, in pixels; larger ones are refused before allocating.
constexpr uint64_t kMaxBitmapPixels = uint64_t(1) << 24;

// A stream of interchange format data: tables, image or both.
struct JpegInput {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// Reads the tables-only stream `tables` first, then the image from `image`, one byte per
// request each (the shared JPEGTables of DefineBits).  Null when either fails.
PixelBuffer* DecodeJpegWithTables(const JpegInput& tables, const JpegInput& image);

// The image from `data`, which may start with a tables-only stream of its own.
PixelBuffer* DecodeJpeg(const JpegInput& data);

// Colour images come out as blue, green, red, alpha bytes (alpha 255); images of another
// component count keep it (grey has one channel).  hasAlpha is set for 2 and 4 bytes per
// pixel.

} // namespace UT
