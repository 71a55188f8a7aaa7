#include "tools/swfhost/MovieInflater.h"

#include "tools/swfhost/HostError.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>

namespace {

constexpr size_t kHeaderSize = 8;
constexpr size_t kChunk = 64 * 1024;
constexpr uint64_t kMaxLength = UINT32_MAX; // the most a length field states
// The plug-in's own minimum: a header with the smallest frame rectangle.
constexpr uint64_t kMinLength = 21;

uint32_t LittleEndian32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}

// Writes the length field at the stream's position.
void WriteLength(std::ofstream& out, uint64_t length) {
    const char bytes[4] = {char(length), char(length >> 8), char(length >> 16), char(length >> 24)};
    out.write(bytes, 4);
}

struct CompressedHeader {
    uint8_t version = 0;
    uint32_t fileLength = 0; // of the uncompressed movie, header included
};

CompressedHeader ReadHeader(std::ifstream& in) {
    std::array<uint8_t, kHeaderSize> bytes{};
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    if (size_t(in.gcount()) != kHeaderSize || bytes[0] != 'C' || bytes[1] != 'W' || bytes[2] != 'S')
        throw HostError(kExitMovieFailed, "not a compressed SWF movie");
    return {bytes[3], LittleEndian32(bytes.data() + 4)};
}

void WriteHeader(std::ofstream& out, const CompressedHeader& header) {
    const char bytes[4] = {'F', 'W', 'S', char(header.version)};
    out.write(bytes, 4);
    WriteLength(out, header.fileLength);
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
uint64_t InflateBody(std::ifstream& in, std::ofstream& out) {
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
        if (written > kMaxLength - kHeaderSize)
            throw HostError(kExitMovieFailed, "inflates to more than a movie can hold (4 GB)");
        out.write(reinterpret_cast<const char*>(output.data()), std::streamsize(produced));
    }
    return written;
}

// Opens `outPath`, runs `write` on it and closes it; removes it when anything fails.
template <typename Write> void WriteOutput(const std::string& outPath, Write write) {
    std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
    if (!out) throw HostError(kExitOutput, "cannot write " + outPath);
    try {
        write(out);
        out.close();
        if (!out) throw HostError(kExitOutput, "cannot write " + outPath);
    } catch (...) {
        out.close();
        std::error_code ignored;
        std::filesystem::remove(outPath, ignored);
        throw;
    }
}

void CorrectLength(std::ofstream& out, const MovieLength& length) {
    if (!length.Wrong()) return;
    out.seekp(4);
    WriteLength(out, length.actual);
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

MovieLength InflateMovie(const std::string& inPath, const std::string& outPath) {
    std::ifstream in(inPath, std::ios::binary);
    if (!in) throw HostError(kExitMovieFailed, "cannot open");
    const CompressedHeader header = ReadHeader(in);
    MovieLength length{header.fileLength, 0};
    WriteOutput(outPath, [&](std::ofstream& out) {
        WriteHeader(out, header);
        length.actual = kHeaderSize + InflateBody(in, out);
        CorrectLength(out, length);
    });
    return length;
}

MovieLength ReadMovieLength(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::array<uint8_t, kHeaderSize> bytes{};
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    if (size_t(in.gcount()) != kHeaderSize) return {};
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path, error);
    return {LittleEndian32(bytes.data() + 4), error ? 0 : uint64_t(size)};
}

bool LengthIsRepairable(const MovieLength& length) {
    return length.actual >= kMinLength && length.actual <= kMaxLength;
}

void WriteCorrectedMovie(const std::string& inPath, const std::string& outPath) {
    const MovieLength length = ReadMovieLength(inPath);
    std::ifstream in(inPath, std::ios::binary);
    if (!in || !LengthIsRepairable(length))
        throw HostError(kExitMovieFailed, "too short or too long to be a movie");
    WriteOutput(outPath, [&](std::ofstream& out) {
        out << in.rdbuf();
        CorrectLength(out, length);
    });
}

bool MovieIsTruncated(const std::string& path) {
    const MovieLength length = ReadMovieLength(path);
    std::ifstream in(path, std::ios::binary);
    uint8_t rectangle = 0;
    in.seekg(std::streamoff(kHeaderSize));
    in.read(reinterpret_cast<char*>(&rectangle), 1);
    if (!in) return true;
    // The frame rectangle (5 bits of field size, then four fields), rate and frame count.
    const uint64_t bits = 5 + 4 * uint64_t(rectangle >> 3);
    uint64_t at = kHeaderSize + (bits + 7) / 8 + 4;
    while (at < length.actual) {
        uint8_t bytes[6] = {};
        const uint64_t left = length.actual - at;
        in.seekg(std::streamoff(at));
        in.read(reinterpret_cast<char*>(bytes), std::streamsize(std::min<uint64_t>(6, left)));
        if (left < 2) return true;
        const unsigned codeAndLength = unsigned(bytes[0]) | unsigned(bytes[1]) << 8;
        uint64_t size = codeAndLength & 0x3F;
        at += 2;
        if (size == 0x3F) {
            if (left < 6) return true;
            size = LittleEndian32(bytes + 2);
            at += 4;
        }
        if (size > length.actual - at) return true;
        if (codeAndLength >> 6 == 0) return false; // End
        at += size;
    }
    return length.actual < length.declared;
}
