#include "base/PixelBuffer.h"

#include "platform/Win32.h"

#include <new>

PixelBuffer::PixelBuffer(int32_t w, int32_t h, int32_t c, int32_t bpc, int32_t p)
    : width(w > 0 ? w : 0), height(h > 0 ? h : 0), channels(c), bytesPerChannel(bpc),
      bytesPerPixel(c * bpc), hasAlpha(c == 2 || c == 4), validBottom(height), validRight(width) {
    pitch = p > 0 ? p : width * bytesPerPixel;
}

PixelBuffer::~PixelBuffer() {
    if (ownsPixels && pixels) GlobalFree(pixels);
}

PixelBuffer* PixelBuffer::Create(int32_t width, int32_t height, int32_t channels,
                                 int32_t bytesPerChannel, int32_t pitch) {
    if (channels < 1 || channels > 4 || bytesPerChannel < 1 || bytesPerChannel > 2) return nullptr;
    if (int64_t(width) * channels * bytesPerChannel > INT32_MAX) return nullptr;
    auto* buffer = new (std::nothrow) PixelBuffer(width, height, channels, bytesPerChannel, pitch);
    if (!buffer) return nullptr;
    buffer->ownsPixels = true;
    if (buffer->width >= 1 && buffer->height >= 1) {
        buffer->pixels = static_cast<uint8_t*>(GlobalAlloc(GPTR, SIZE_T(buffer->ByteCount())));
        if (!buffer->pixels) {
            delete buffer;
            return nullptr;
        }
    }
    return buffer;
}

PixelBuffer* PixelBuffer::Wrap(uint8_t* pixels, int32_t width, int32_t height, int32_t channels,
                               int32_t bytesPerChannel, int32_t pitch) {
    auto* buffer = new (std::nothrow) PixelBuffer(width, height, channels, bytesPerChannel, pitch);
    if (buffer) buffer->pixels = pixels;
    return buffer;
}
