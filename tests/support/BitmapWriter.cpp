#include "BitmapWriter.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
// clang-format off: jpeglib.h needs the declarations of stdio.h first
#include <jpeglib.h>
// clang-format on
#include <zlib.h>

namespace swftest {

namespace {

// Compresses into memory; with `tables` they go there and not into the image stream.
std::vector<uint8_t> Compress(const RawImage& image, int quality, std::vector<uint8_t>* tables) {
    if (image.pixels.size() != size_t(image.width) * image.height * image.components)
        throw std::invalid_argument("RawImage: pixel count does not match");
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    cinfo.image_width = JDIMENSION(image.width);
    cinfo.image_height = JDIMENSION(image.height);
    cinfo.input_components = image.components;
    cinfo.in_color_space = image.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);

    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const auto take = [&] {
        std::vector<uint8_t> out(buffer, buffer + size);
        std::free(buffer);
        buffer = nullptr, size = 0;
        return out;
    };
    if (tables) {
        jpeg_mem_dest(&cinfo, &buffer, &size);
        jpeg_write_tables(&cinfo);
        *tables = take();
    }
    jpeg_mem_dest(&cinfo, &buffer, &size);
    jpeg_start_compress(&cinfo, tables ? FALSE : TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(
            image.pixels.data() + size_t(cinfo.next_scanline) * image.width * image.components);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<uint8_t> out = take();
    jpeg_destroy_compress(&cinfo);
    return out;
}

} // namespace

std::vector<uint8_t> EncodeJpeg(const RawImage& image, int quality) {
    return Compress(image, quality, nullptr);
}

SplitJpeg EncodeAbbreviatedJpeg(const RawImage& image, int quality) {
    SplitJpeg split;
    return split.image = Compress(image, quality, &split.tables), split;
}

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& data, int level) {
    uLongf size = compressBound(uLong(data.size()));
    std::vector<uint8_t> out(size);
    if (compress2(out.data(), &size, data.data(), uLong(data.size()), level) != Z_OK)
        throw std::runtime_error("compress2 failed");
    out.resize(size);
    return out;
}

std::vector<uint8_t> DefineBitsLosslessBody(uint16_t id, uint8_t format, uint16_t width,
                                            uint16_t height, const std::vector<uint8_t>& data,
                                            uint8_t colorTableSize) {
    BitWriter body;
    body.UI16(id).UI8(format).UI16(width).UI16(height);
    if (format == 3) body.UI8(colorTableSize);
    return body.Bytes(Deflate(data)).Data();
}

} // namespace swftest
