#include "support/PngFile.h"

#include <fstream>
#include <zlib.h>

namespace swftest {

namespace {

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
}

// Length, type, data and the CRC of type and data.
void PutChunk(std::vector<uint8_t>& file, const char* type, const std::vector<uint8_t>& data) {
    Put32(file, uint32_t(data.size()));
    const size_t start = file.size();
    file.insert(file.end(), type, type + 4);
    file.insert(file.end(), data.begin(), data.end());
    Put32(file, uint32_t(crc32(0, file.data() + start, uInt(file.size() - start))));
}

} // namespace

bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba) {
    const size_t rowBytes = size_t(width) * 4;
    if (width <= 0 || height <= 0 || rgba.size() != rowBytes * size_t(height)) return false;
    std::vector<uint8_t> rows; // each row after its filter byte, 0: none
    for (int y = 0; y < height; ++y) {
        rows.push_back(0);
        rows.insert(rows.end(), rgba.begin() + std::ptrdiff_t(rowBytes * y),
                    rgba.begin() + std::ptrdiff_t(rowBytes * (y + 1)));
    }
    uLongf size = compressBound(uLong(rows.size()));
    std::vector<uint8_t> packed(size);
    if (compress2(packed.data(), &size, rows.data(), uLong(rows.size()), 6) != Z_OK) return false;
    packed.resize(size);
    std::vector<uint8_t> header, file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Put32(header, uint32_t(width));
    Put32(header, uint32_t(height));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, no filter, no interlace
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", packed);
    PutChunk(file, "IEND", {});
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    return out.good();
}

} // namespace swftest
