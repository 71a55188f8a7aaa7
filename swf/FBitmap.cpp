#include "swf/FBitmap.h"

#include "swf/FlashScript.h"
#include "swf/JpegDecoder.h"
#include "swf/LosslessDecoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace UT {

FBitmap::FBitmap(FlashScript* owner, int32_t kind, uint32_t jpegTablesStart)
    : FObject(owner), kind(kind), jpegTablesStart(kind == kJpeg ? jpegTablesStart : 0) {
    FlashScript& reader = *owner;
    id = reader.ReadUI16();
    if (kind == kJpeg3 || kind == kJpeg4) {
        const uint32_t alphaOffset = reader.ReadUI32();
        if (kind == kJpeg4) reader.ReadUI16(); // deblocking, not applied
        const uint32_t end = reader.Position();
        // An offset past 4 GiB cannot point into the image: no alpha plane.
        alphaStart = alphaOffset <= UINT32_MAX - end ? end + alphaOffset : 0;
    }
    dataStart = reader.Position();
}

FBitmap::~FBitmap() = default;

ZBitmapStencil* FBitmap::GetStencil() {
    if (!stencil) {
        PixelBuffer* image = Decode();
        if (!image) return nullptr;
        width = uint32_t(image->width);
        height = uint32_t(image->height);
        channels = uint32_t(image->channels);
        bytesPerChannel = uint32_t(image->bytesPerChannel);
        stencil = Held<ZBitmapStencil>::Adopt(new ZBitmapStencil);
        stencil->SetImage(image, ZBitmapStencil::kMaxLevels);
        image->Release();
    }
    stencil->AddRef();
    return stencil.Get();
}

PixelBuffer* FBitmap::Decode() {
    const uint8_t* file = owner->Data();
    const size_t size = owner->Readable();
    if (!file || dataStart > size) return nullptr;
    const JpegInput rest{file + dataStart, size - dataStart};
    switch (kind) {
    case kJpeg: {
        // Without shared tables, or with tables that do not read, the data may still be
        // a whole image with tables of its own.
        PixelBuffer* image = nullptr;
        if (jpegTablesStart != 0) {
            const JpegInput tables{file + std::min<size_t>(jpegTablesStart, size),
                                   size - std::min<size_t>(jpegTablesStart, size)};
            image = DecodeJpegWithTables(tables, rest);
        }
        return image ? image : DecodeJpeg(rest);
    }
    case kJpeg2:
        return DecodeJpeg(rest);
    case kJpeg3:
    case kJpeg4: {
        PixelBuffer* image = DecodeJpeg(rest);
        if (image && alphaStart > 0) ApplyAlphaPlane(*image);
        return image;
    }
    case kLossless:
    case kLossless2:
        return DecodeLossless(rest.data, rest.size, kind == kLossless2);
    default:
        return nullptr;
    }
}

// The plane's bytes become byte 3 of each pixel; what the stream does not hold stays
// opaque.  The colours were stored premultiplied by that alpha and are straightened.  Images of
// another channel count than 4 have no alpha byte to set.
void FBitmap::ApplyAlphaPlane(PixelBuffer& image) {
    if (image.channels != 4 || image.bytesPerChannel != 1 || !image.pixels) return;
    const size_t size = owner->Readable();
    if (alphaStart >= size) return;
    const size_t w = size_t(image.width), h = size_t(image.height);
    std::vector<uint8_t> plane(w * h, 255);
    const size_t available = size - alphaStart;
    InflateInto(owner->Data() + alphaStart, available, plane.data(), plane.size());
    for (size_t y = 0; y < h; ++y) {
        uint8_t* pixel = image.Row(int32_t(y));
        for (size_t x = 0; x < w; ++x, pixel += 4) {
            pixel[3] = plane[y * w + x];
            if (pixel[3] != 255) StraightenTexel(pixel);
        }
    }
}

} // namespace UT
