#include "tools/swfframes/PngWriter.h"

#include "tools/swfhost/HostError.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// libpng's simplified interface: no longjmp reaches C++ frames.
png_image ImageHeader(int width, int height) {
    png_image header;
    std::memset(&header, 0, sizeof(header));
    header.version = PNG_IMAGE_VERSION;
    header.width = png_uint_32(width);
    header.height = png_uint_32(height);
    header.format = PNG_FORMAT_RGBA;
    return header;
}

} // namespace

void WritePng(const std::string& path, const RgbaImage& image) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw HostError(kExitOutput, "cannot write " + path + ": " + std::strerror(errno));
    png_image header = ImageHeader(image.width, image.height);
    const png_int_32 rowStride = png_int_32(image.width) * 4;
    const bool written =
        png_image_write_to_stdio(&header, file, 0, image.pixels.data(), rowStride, nullptr);
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        const std::string reason = written ? std::strerror(errno) : header.message;
        png_image_free(&header);
        throw HostError(kExitOutput, "cannot write " + path + ": " + reason);
    }
}

RgbaImage ReadPng(const std::string& path) {
    png_image header = ImageHeader(0, 0);
    if (!png_image_begin_read_from_file(&header, path.c_str()))
        throw HostError(kExitMovieFailed, "cannot read " + path + ": " + header.message);
    header.format = PNG_FORMAT_RGBA;
    RgbaImage image(int(header.width), int(header.height));
    if (!png_image_finish_read(&header, nullptr, image.pixels.data(), 0, nullptr)) {
        const std::string reason = header.message;
        png_image_free(&header);
        throw HostError(kExitMovieFailed, "cannot read " + path + ": " + reason);
    }
    return image;
}
