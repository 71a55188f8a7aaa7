// A bitmap character (DefineBits, DefineBitsJPEG2, DefineBitsJPEG3, DefineBitsLossless,
// DefineBitsLossless2, DefineBitsJPEG4).  Definition only notes where the data lies; the image is
// decoded the first time a fill asks for its paint, and kept in that paint from then on.
#pragma once

#include "base/PixelBuffer.h"
#include "raster/ZBitmapStencil.h"
#include "swf/FObject.h"

#include <cstdint>

namespace UT {

class FBitmap : public FObject {
public:
    enum Kind : int32_t {
        kJpeg = 0,      // DefineBits: tables from the last JPEGTables tag
        kJpeg2 = 1,     // DefineBitsJPEG2: tables and image
        kJpeg3 = 2,     // DefineBitsJPEG3: tables, image and a zlib alpha plane
        kLossless = 3,  // DefineBitsLossless
        kLossless2 = 4, // DefineBitsLossless2
        kJpeg4 = 5,     // DefineBitsJPEG4: as kJpeg3 with a deblocking value (not applied)
    };

    // Reads the id (and for kJpeg3 and kJpeg4 the alpha data offset, for kJpeg4 the
    // deblocking value) from the owner's reader.  `jpegTablesStart` is where the last
    // non-empty JPEGTables data began, 0 for none.
    FBitmap(FlashScript* owner, int32_t kind, uint32_t jpegTablesStart);
    ~FBitmap() override;

    const char* GetTypeName() const override { return "Bitmap"; }

    // The paint with a new reference for the caller, decoding first; null when the data
    // gives no image (a later call tries again).  The reader's state is left as it was.
    ZBitmapStencil* GetStencil();
    // The decoded image, with a new reference; null when the data gives none.  Does not
    // keep it.
    PixelBuffer* Decode();

    int32_t Kind() const { return kind; }
    uint32_t DataStart() const { return dataStart; }
    uint32_t AlphaStart() const { return alphaStart; }
    uint32_t Width() const { return width; }
    uint32_t Height() const { return height; }
    uint32_t Channels() const { return channels; }
    uint32_t BytesPerChannel() const { return bytesPerChannel; }

private:
    void ApplyAlphaPlane(PixelBuffer& image);

    int32_t kind;
    uint32_t dataStart = 0;
    uint32_t jpegTablesStart;
    uint32_t alphaStart = 0;
    Held<ZBitmapStencil> stencil;
    uint32_t width = 0, height = 0, channels = 0, bytesPerChannel = 0;
};

} // namespace UT
