#include "tools/swfframes/PngWriter.h"

#include "tools/swfhost/HostError.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>

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

constexpr size_t kBytesPerPixel = 4;

enum Filter : uint8_t { kNone, kSub, kUp, kAverage, kPaeth };

uint8_t PaethPredictor(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return uint8_t(a);
    return uint8_t(pb <= pc ? b : c);
}

// `out` gets the filter byte and the row filtered with it; `above` is null on the first row.
void FilterRow(Filter filter, const uint8_t* row, const uint8_t* above, size_t bytes,
               uint8_t* out) {
    out[0] = filter;
    uint8_t* o = out + 1;
    const size_t n = std::min(bytes, kBytesPerPixel);
    if (!above) {
        // Above the first row lie zeros: Up is None, Average halves the left and Paeth
        // picks the left.
        if (filter == kUp) filter = kNone;
        if (filter == kPaeth) filter = kSub;
        if (filter == kAverage) {
            for (size_t i = 0; i < n; ++i) o[i] = row[i];
            for (size_t i = n; i < bytes; ++i) o[i] = uint8_t(row[i] - row[i - kBytesPerPixel] / 2);
            return;
        }
    }
    switch (filter) {
    case kNone:
        std::memcpy(o, row, bytes);
        break;
    case kSub:
        for (size_t i = 0; i < n; ++i) o[i] = row[i];
        for (size_t i = n; i < bytes; ++i) o[i] = uint8_t(row[i] - row[i - kBytesPerPixel]);
        break;
    case kUp:
        for (size_t i = 0; i < bytes; ++i) o[i] = uint8_t(row[i] - above[i]);
        break;
    case kAverage:
        for (size_t i = 0; i < n; ++i) o[i] = uint8_t(row[i] - above[i] / 2);
        for (size_t i = n; i < bytes; ++i)
            o[i] = uint8_t(row[i] - (row[i - kBytesPerPixel] + above[i]) / 2);
        break;
    case kPaeth:
        for (size_t i = 0; i < n; ++i) o[i] = uint8_t(row[i] - PaethPredictor(0, above[i], 0));
        for (size_t i = n; i < bytes; ++i)
            o[i] = uint8_t(row[i] - PaethPredictor(row[i - kBytesPerPixel], above[i],
                                                   above[i - kBytesPerPixel]));
        break;
    }
}

// libpng's heuristic: the filter whose output, read as signed bytes, sums smallest.
uint64_t SignedSum(const uint8_t* filtered, size_t bytes) {
    uint64_t sum = 0;
    for (size_t i = 0; i < bytes; ++i) sum += uint64_t(std::abs(int(int8_t(filtered[i]))));
    return sum;
}

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t v) {
    const uint8_t bytes[4] = {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
    out.insert(out.end(), bytes, bytes + 4);
}

// Appends a chunk whose data already sits at the end of `out`, after `dataStart` + 8
// bytes reserved for its length and type.
void CloseChunk(std::vector<uint8_t>& out, size_t chunkStart) {
    const uint32_t length = uint32_t(out.size() - chunkStart - 8);
    for (int i = 0; i < 4; ++i) out[chunkStart + size_t(i)] = uint8_t(length >> (24 - 8 * i));
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), out.data() + chunkStart + 4, uInt(length + 4));
    PutBigEndian32(out, uint32_t(crc));
}

size_t OpenChunk(std::vector<uint8_t>& out, const char type[4]) {
    const size_t start = out.size();
    out.insert(out.end(), 4, 0);
    out.insert(out.end(), type, type + 4);
    return start;
}

struct Deflater {
    z_stream stream{};
    Deflater(int level, int strategy) {
        if (deflateInit2(&stream, level, Z_DEFLATED, 15, 9, strategy) != Z_OK)
            throw std::bad_alloc();
    }
    ~Deflater() { deflateEnd(&stream); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    void Add(std::vector<uint8_t>& out, const uint8_t* data, size_t size, int flush) {
        stream.next_in = const_cast<Bytef*>(data);
        stream.avail_in = uInt(size);
        do {
            stream.next_out = buffer;
            stream.avail_out = sizeof(buffer);
            deflate(&stream, flush);
            out.insert(out.end(), buffer, buffer + (sizeof(buffer) - stream.avail_out));
        } while (stream.avail_out == 0 || (flush == Z_FINISH && stream.avail_in > 0));
    }

    uint8_t buffer[1 << 16];
};

} // namespace

std::vector<uint8_t> EncodePng(const RgbaImage& image, PngCompression compression) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> out(kSignature, kSignature + 8);
    size_t chunk = OpenChunk(out, "IHDR");
    PutBigEndian32(out, uint32_t(image.width));
    PutBigEndian32(out, uint32_t(image.height));
    const uint8_t format[5] = {8, 6, 0, 0, 0}; // 8 bits, RGBA, deflate, filters, no interlace
    out.insert(out.end(), format, format + 5);
    CloseChunk(out, chunk);

    const int level = compression == PngCompression::kFast      ? 1
                      : compression == PngCompression::kDefault ? 6
                                                                : 9;
    // Run-length matches only: Flash pictures are mostly flat runs, and Up turns a run of
    // equal rows into zeros.
    const bool fast = compression == PngCompression::kFast;
    Deflater deflater(level, fast ? Z_RLE : Z_FILTERED);
    const size_t rowBytes = size_t(image.width) * kBytesPerPixel;
    std::vector<uint8_t> filtered(rowBytes + 1), trial(rowBytes + 1);
    out.reserve(out.size() + image.pixels.size() / 4 + 1024);
    chunk = OpenChunk(out, "IDAT");
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* row = image.Row(y);
        const uint8_t* above = y > 0 ? image.Row(y - 1) : nullptr;
        if (fast) {
            FilterRow(kUp, row, above, rowBytes, filtered.data());
        } else {
            uint64_t best = UINT64_MAX;
            for (const Filter filter : {kNone, kSub, kUp, kAverage, kPaeth}) {
                FilterRow(filter, row, above, rowBytes, trial.data());
                const uint64_t sum = SignedSum(trial.data() + 1, rowBytes);
                if (sum < best) best = sum, filtered.swap(trial);
            }
        }
        deflater.Add(out, filtered.data(), filtered.size(), Z_NO_FLUSH);
    }
    deflater.Add(out, nullptr, 0, Z_FINISH);
    CloseChunk(out, chunk);
    chunk = OpenChunk(out, "IEND");
    CloseChunk(out, chunk);
    return out;
}

void WritePng(const std::string& path, const RgbaImage& image, PngCompression compression) {
    const std::vector<uint8_t> bytes = EncodePng(image, compression);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw HostError(kExitOutput, "cannot write " + path + ": " + std::strerror(errno));
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed)
        throw HostError(kExitOutput, "cannot write " + path + ": " + std::strerror(errno));
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
