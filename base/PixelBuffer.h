// A reference-counted pixel plane: the frame, the mask layer, decoded bitmaps and their
// reduced copies.  Rows are stored top row first, `pitch` bytes apart.
#pragma once

#include <cstdint>

class PixelBuffer {
public:
    // An owning buffer: allocates zero-filled pixels when width and height are both at
    // least 1.  A pitch of 0 means width x bytes per pixel.
    static PixelBuffer* Create(int32_t width, int32_t height, int32_t channels,
                               int32_t bytesPerChannel, int32_t pitch = 0);
    // Wraps memory owned by the caller, which must outlive the buffer.
    static PixelBuffer* Wrap(uint8_t* pixels, int32_t width, int32_t height, int32_t channels,
                             int32_t bytesPerChannel, int32_t pitch = 0);

    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    void AddRef() { ++refCount_; }
    void Release() {
        if (--refCount_ == 0) delete this;
    }
    int32_t RefCount() const { return refCount_; }

    uint8_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t channels = 0;
    int32_t bytesPerChannel = 0;
    int32_t bytesPerPixel = 0;
    int32_t pitch = 0;
    bool hasAlpha = false;
    bool ownsPixels = false;
    // Fills cover exactly this area; bottom and right are exclusive.
    int32_t validTop = 0, validLeft = 0, validBottom = 0, validRight = 0;

    uint8_t* Row(int32_t y) const { return pixels + int64_t(y) * pitch; }
    int64_t ByteCount() const { return int64_t(pitch) * height; }

private:
    PixelBuffer(int32_t width, int32_t height, int32_t channels, int32_t bytesPerChannel,
                int32_t pitch);
    ~PixelBuffer();

    int32_t refCount_ = 1;
};
