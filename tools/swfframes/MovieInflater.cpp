#include "tools/swfframes/MovieInflater.h"

#include "tools/swfframes/HostError.h"

#include <zlib.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>

namespace {

constexpr size_t kHeaderSize = 8;
constexpr size_t kChunk = 64 * 1024;

struct CompressedHeader {
    uint8_t version = 0;
    uint32_t fileLength = 0; // of the uncompressed movie, header included
};

CompressedHeader ReadHeader(std::ifstream& in) {
    std::array<uint8_t, kHeaderSize> bytes{};
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    if (size_t(in.gcount()) != kHeaderSize || bytes[0] != 'C' || bytes[1] != 'W' || bytes[2] != 'S')
        throw HostError(kExitMovieFailed, "not a compressed SWF movie");
    const uint32_t length = uint32_t(bytes[4]) | uint32_t(bytes[5]) << 8 |
                            uint32_t(bytes[6]) << 16 | uint32_t(bytes[7]) << 24;
    if (length < kHeaderSize)
        throw HostError(kExitMovieFailed, "compressed movie with a bad length field");
    return {bytes[3], length};
}

void WriteHeader(std::ofstream& out, const CompressedHeader& header) {
    const uint32_t length = header.fileLength;
    const char bytes[kHeaderSize] = {'F',
                                     'W',
                                     'S',
                                     char(header.version),
                                     char(length),
                                     char(length >> 8),
                                     char(length >> 16),
                                     char(length >> 24)};
    out.write(bytes, kHeaderSize);
}

// Owns a zlib inflate stream.
class Inflater {
public:
    Inflater() {
        if (inflateInit(&stream_) != Z_OK)
            throw HostError(kExitMovieFailed, "zlib failed to start");
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    ~Inflater() { inflateEnd(&stream_); }
    z_stream& Stream() { return stream_; }

private:
    z_stream stream_{};
};

// Inflates the body of `in` into `out`; returns the number of bytes written.
uint64_t InflateBody(std::ifstream& in, std::ofstream& out, uint64_t expected) {
    Inflater inflater;
    z_stream& stream = inflater.Stream();
    std::array<Bytef, kChunk> input{}, output{};
    uint64_t written = 0;
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        if (stream.avail_in == 0) {
            in.read(reinterpret_cast<char*>(input.data()), std::streamsize(input.size()));
            stream.next_in = input.data();
            stream.avail_in = uInt(in.gcount());
            if (stream.avail_in == 0)
                throw HostError(kExitMovieFailed, "compressed data is truncated");
        }
        stream.next_out = output.data();
        stream.avail_out = uInt(output.size());
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END)
            throw HostError(kExitMovieFailed, std::string("compressed data is damaged (") +
                                                  (stream.msg ? stream.msg : "zlib error") + ")");
        const size_t produced = output.size() - stream.avail_out;
        written += produced;
        if (written > expected)
            throw HostError(kExitMovieFailed, "inflates to more than its header says");
        out.write(reinterpret_cast<const char*>(output.data()), std::streamsize(produced));
    }
    return written;
}

} // namespace

MovieSignature ReadSignature(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char bytes[3] = {};
    in.read(bytes, 3);
    if (in.gcount() != 3 || bytes[1] != 'W' || bytes[2] != 'S') return MovieSignature::kOther;
    if (bytes[0] == 'F') return MovieSignature::kUncompressed;
    if (bytes[0] == 'C') return MovieSignature::kCompressed;
    return MovieSignature::kOther;
}

void InflateMovie(const std::string& inPath, const std::string& outPath) {
    std::ifstream in(inPath, std::ios::binary);
    if (!in) throw HostError(kExitMovieFailed, "cannot open");
    const CompressedHeader header = ReadHeader(in);
    std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
    if (!out) throw HostError(kExitOutput, "cannot write " + outPath);
    try {
        WriteHeader(out, header);
        const uint64_t expected = header.fileLength - kHeaderSize;
        const uint64_t written = InflateBody(in, out, expected);
        if (written != expected)
            throw HostError(kExitMovieFailed, "inflates to " + std::to_string(written) +
                                                  " bytes but its header says " +
                                                  std::to_string(expected));
        out.close();
        if (!out) throw HostError(kExitOutput, "cannot write " + outPath);
    } catch (...) {
        out.close();
        std::error_code ignored;
        std::filesystem::remove(outPath, ignored);
        throw;
    }
}
