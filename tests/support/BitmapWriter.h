// Bitmap data made with the real codecs (libjpeg, zlib) and the bitmap tags' bodies.
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

// A complete JPEG stream; or its tables and the image without them.
std::vector<uint8_t> EncodeJpeg(const RawImage& image, int quality = 90);
struct SplitJpeg {
    std::vector<uint8_t> tables, image;
};
SplitJpeg EncodeAbbreviatedJpeg(const RawImage& image, int quality = 90);

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& data, int level = 9);

// Lossless `data` is what gets compressed: the colour table and padded index rows for
// format 3, the ARGB pixels for format 5.
inline std::vector<uint8_t> DefineBitsBody(uint16_t id, const std::vector<uint8_t>& jpeg) {
    return BitWriter().UI16(id).Bytes(jpeg).Data();
}
// DefineBitsJPEG4 puts an 8.8 deblocking value before the image.
inline std::vector<uint8_t> DefineBitsJPEG4Body(uint16_t id, const std::vector<uint8_t>& jpeg,
                                                const std::vector<uint8_t>& compressedAlpha,
                                                uint16_t deblocking = 0x0100) {
    BitWriter body;
    body.UI16(id).UI32(uint32_t(jpeg.size())).UI16(deblocking);
    return body.Bytes(jpeg).Bytes(compressedAlpha).Data();
}
inline std::vector<uint8_t> DefineBitsJPEG3Body(uint16_t id, const std::vector<uint8_t>& jpeg,
                                                const std::vector<uint8_t>& compressedAlpha) {
    BitWriter body;
    return body.UI16(id).UI32(uint32_t(jpeg.size())).Bytes(jpeg).Bytes(compressedAlpha).Data();
}
std::vector<uint8_t> DefineBitsLosslessBody(uint16_t id, uint8_t format, uint16_t width,
                                            uint16_t height, const std::vector<uint8_t>& data,
                                            uint8_t colorTableSize = 0);

} // namespace swftest
