#include "swf/LosslessDecoder.h"

#include "swf/JpegDecoder.h"

#include <algorithm>
#include <cstring>
#include <vector>
#include <zlib.h>

namespace UT {

namespace {

enum Format : uint8_t { kColorMapped = 3, kTrueColor = 5 };

// Reads a byte range field by field; past the end every field reads 0.
class FieldReader {
public:
    FieldReader(const uint8_t* data, size_t size) : data(data), size(size) {}
    uint32_t UI8() { return at < size ? data[at++] : (at = size, 0); }
    uint32_t UI16() {
        const uint32_t low = UI8();
        return low | UI8() << 8;
    }
    size_t Offset() const { return at; }

private:
    const uint8_t* data;
    size_t size;
    size_t at = 0;
};

} // namespace

void StraightenTexel(uint8_t* bgra) {
    const uint32_t alpha = bgra[3];
    for (int c = 0; c < 3; ++c)
        bgra[c] =
            alpha == 0 ? 0 : uint8_t(std::min<uint32_t>(255, (bgra[c] * 255u + alpha / 2) / alpha));
}

size_t InflateInto(const uint8_t* in, size_t available, uint8_t* out, size_t outSize) {
    if (!in || available == 0 || outSize == 0) return 0;
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return 0;
    size_t consumed = 0;
    stream.next_out = out;
    // Output sizes are bounded by the pixel limit, well inside uInt.
    stream.avail_out = static_cast<uInt>(outSize);
    for (;;) {
        stream.next_in = const_cast<Bytef*>(in + consumed);
        stream.avail_in = static_cast<uInt>(std::min<size_t>(available - consumed, 0x7FFFFFFF));
        const uInt before = stream.avail_in;
        const int result = inflate(&stream, Z_SYNC_FLUSH);
        consumed += before - stream.avail_in;
        if (result != Z_OK || stream.avail_out == 0 || consumed >= available ||
            stream.avail_in == before)
            break;
    }
    inflateEnd(&stream);
    return consumed;
}

PixelBuffer* DecodeLossless(const uint8_t* data, size_t available, bool withAlpha) {
    FieldReader header(data, available);
    const uint32_t format = header.UI8();
    const uint32_t width = header.UI16();
    const uint32_t height = header.UI16();
    if (format != kColorMapped && format != kTrueColor) return nullptr;
    const uint32_t entries = format == kColorMapped ? header.UI8() + 1 : 0;
    if (uint64_t(width) * height > kMaxBitmapPixels) return nullptr;
    PixelBuffer* image = PixelBuffer::Create(int32_t(width), int32_t(height), 4, 1);
    if (!image) return nullptr;
    image->hasAlpha = true;
    if (!image->pixels) return image;

    const uint8_t* in = data + header.Offset();
    const size_t inSize = available - header.Offset();
    if (format == kTrueColor) {
        // Inflated straight into the image, then reordered in place: ARGB (or xRGB) to
        // blue, green, red, alpha.
        const size_t bytes = size_t(width) * 4 * height;
        InflateInto(in, inSize, image->pixels, bytes);
        for (uint8_t* p = image->pixels; p < image->pixels + bytes; p += 4) {
            const uint8_t alpha = p[0], red = p[1], green = p[2], blue = p[3];
            p[0] = blue;
            p[1] = green;
            p[2] = red;
            p[3] = withAlpha ? alpha : 255;
            if (withAlpha && alpha != 255) StraightenTexel(p);
        }
        return image;
    }

    // Colour-mapped: one stream holds the table, then the index rows padded to 4 bytes.
    const size_t entryBytes = withAlpha ? 4 : 3;
    const size_t paddedWidth = (size_t(width) + 3) & ~size_t(3);
    std::vector<uint8_t> planes(entries * entryBytes + paddedWidth * height, 0);
    InflateInto(in, inSize, planes.data(), planes.size());
    const uint8_t* table = planes.data();
    const uint8_t* indices = planes.data() + entries * entryBytes;
    static const uint8_t kOutside[4] = {0, 0, 0, 0};
    // The RGBA table is straightened once, as the texels it gives.
    if (withAlpha)
        for (uint8_t* entry = planes.data(); entry < indices; entry += 4) {
            uint8_t bgra[4] = {entry[2], entry[1], entry[0], entry[3]};
            StraightenTexel(bgra);
            entry[0] = bgra[2], entry[1] = bgra[1], entry[2] = bgra[0];
        }
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* dst = image->Row(int32_t(y));
        const uint8_t* row = indices + y * paddedWidth;
        for (uint32_t x = 0; x < width; ++x, dst += 4) {
            // Indices past the table read as a zero entry.
            const uint8_t* entry = row[x] < entries ? table + row[x] * entryBytes : kOutside;
            dst[0] = entry[2];
            dst[1] = entry[1];
            dst[2] = entry[0];
            dst[3] = withAlpha ? entry[3] : 255;
        }
    }
    return image;
}

} // namespace UT
