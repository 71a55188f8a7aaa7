// Bitmap data for fixtures, made with the real codecs: JPEG streams from libjpeg (whole,
// or split into a tables-only stream and an abbreviated image), zlib streams, and the
// bodies of the six bitmap definition tags.
#pragma once

#include "BitWriter.h"

#include <cstdint>
#include <vector>

namespace swftest {

enum BitmapTag : uint16_t {
    kDefineBits = 6,
    kDefineBitsLossless = 20,
    kDefineBitsJPEG2 = 21,
    kDefineBitsJPEG3 = 35,
    kDefineBitsLossless2 = 36,
    kDefineBitsJPEG4 = 90,
};

// Pixels row by row, `components` bytes each: 3 for red, green, blue; 1 for grey.
struct RawImage {
    int width = 0, height = 0, components = 3;
    std::vector<uint8_t> pixels;
};

// A complete JPEG stream (SOI to EOI) with its tables.
std::vector<uint8_t> EncodeJpeg(const RawImage& image, int quality = 90);
// The same encoder's tables as a tables-only stream, and the image without them.
struct SplitJpeg {
    std::vector<uint8_t> tables, image;
};
SplitJpeg EncodeAbbreviatedJpeg(const RawImage& image, int quality = 90);

// zlib's compress at the given level.
std::vector<uint8_t> Deflate(const std::vector<uint8_t>& data, int level = 9);

// Tag bodies.  Lossless `data` is what gets compressed: for format 3 the colour table
// (3 or 4 bytes an entry) followed by the padded index rows, for format 5 the
// ARGB (or xRGB) pixels.
inline std::vector<uint8_t> DefineBitsBody(uint16_t id, const std::vector<uint8_t>& jpeg) {
    return BitWriter().UI16(id).Bytes(jpeg).Data();
}
std::vector<uint8_t> DefineBitsJPEG3Body(uint16_t id, const std::vector<uint8_t>& jpeg,
                                         const std::vector<uint8_t>& compressedAlpha);
// DefineBitsJPEG3's fields with a deblocking value (8.8) before the image.
std::vector<uint8_t> DefineBitsJPEG4Body(uint16_t id, const std::vector<uint8_t>& jpeg,
                                         const std::vector<uint8_t>& compressedAlpha,
                                         uint16_t deblocking = 0x0100);
std::vector<uint8_t> DefineBitsLosslessBody(uint16_t id, uint8_t format, uint16_t width,
                                            uint16_t height, const std::vector<uint8_t>& data,
                                            uint8_t colorTableSize = 0);

} // namespace swftest
