#include "MediaCheck.h"

#include "ToolRunner.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace tooltest {

namespace {

// Bounds-checked little- and big-endian reads: zero past the end.
struct Bytes {
    const std::vector<uint8_t>& data;
    uint32_t At(size_t i) const { return i < data.size() ? data[i] : 0; }
    uint32_t Le(size_t i, int n) const {
        uint32_t value = 0;
        for (int k = n - 1; k >= 0; --k) value = value << 8 | At(i + size_t(k));
        return value;
    }
    uint32_t Be(size_t i, int n) const {
        uint32_t value = 0;
        for (int k = 0; k < n; ++k) value = value << 8 | At(i + size_t(k));
        return value;
    }
    bool Is(size_t i, const char* text) const {
        for (size_t k = 0; text[k]; ++k)
            if (At(i + k) != uint8_t(text[k])) return false;
        return true;
    }
};

size_t SkipSubBlocks(const Bytes& b, size_t at) {
    while (at < b.data.size() && b.At(at) != 0) at += b.At(at) + 1;
    return at + 1;
}

Animation ReadGif(const Bytes& b) {
    Animation gif;
    gif.width = int(b.Le(6, 2));
    gif.height = int(b.Le(8, 2));
    size_t at = 13 + ((b.At(10) & 0x80) ? 3u * (2u << (b.At(10) & 7)) : 0);
    double delay = 0;
    while (at < b.data.size()) {
        const uint32_t block = b.At(at++);
        if (block == 0x21) {
            const uint32_t label = b.At(at++);
            if (label == 0xF9) delay = b.Le(at + 2, 2) / 100.0;
            if (label == 0xFF && b.Is(at + 1, "NETSCAPE2.0")) gif.loops = int(b.Le(at + 14, 2));
            at = SkipSubBlocks(b, at);
        } else if (block == 0x2C) {
            const uint32_t flags = b.At(at + 8);
            at += 9 + ((flags & 0x80) ? 3u * (2u << (flags & 7)) : 0) + 1;
            at = SkipSubBlocks(b, at);
            gif.durations.push_back(delay);
        } else {
            break; // the trailer, or damage
        }
    }
    return gif;
}

Animation ReadApng(const Bytes& b) {
    Animation png;
    for (size_t at = 8; at + 8 <= b.data.size(); at += 12 + b.Be(at, 4)) {
        const size_t body = at + 8;
        if (b.Is(at + 4, "IHDR")) {
            png.width = int(b.Be(body, 4));
            png.height = int(b.Be(body + 4, 4));
        } else if (b.Is(at + 4, "acTL")) {
            png.loops = int(b.Be(body + 4, 4));
        } else if (b.Is(at + 4, "fcTL")) {
            const uint32_t denominator = b.Be(body + 22, 2);
            png.durations.push_back(b.Be(body + 20, 2) / double(denominator ? denominator : 100));
        }
    }
    return png;
}

Animation ReadWebp(const Bytes& b) {
    Animation webp;
    for (size_t at = 12; at + 8 <= b.data.size(); at += 8 + ((b.Le(at + 4, 4) + 1) & ~1u)) {
        const size_t body = at + 8;
        if (b.Is(at, "VP8X")) {
            webp.width = int(b.Le(body + 4, 3)) + 1;
            webp.height = int(b.Le(body + 7, 3)) + 1;
        } else if (b.Is(at, "ANIM")) {
            webp.loops = int(b.Le(body + 4, 2));
        } else if (b.Is(at, "ANMF")) {
            webp.durations.push_back(b.Le(body + 12, 3) / 1000.0);
        }
    }
    return webp;
}

} // namespace

bool HaveFfmpeg() {
    return std::system("command -v ffmpeg >/dev/null 2>&1") == 0;
}

std::vector<RgbaImage> DecodeWithFfmpeg(const std::string& file, int width, int height,
                                        const std::string& decoder) {
    const std::string raw = TempPath("decoded.rgba");
    std::filesystem::remove(raw);
    const std::string command = "ffmpeg -nostdin -v error " +
                                (decoder.empty() ? "" : "-c:v " + decoder + " ") + "-i '" + file +
                                "' -fps_mode passthrough -f rawvideo -pix_fmt rgba '" + raw + "'";
    std::vector<RgbaImage> frames;
    if (std::system(command.c_str()) != 0) return frames;
    const std::string bytes = FileBytes(raw);
    const size_t frameSize = size_t(width) * size_t(height) * 4;
    for (size_t at = 0; frameSize && at + frameSize <= bytes.size(); at += frameSize) {
        RgbaImage image(width, height);
        std::copy_n(bytes.begin() + long(at), frameSize, image.pixels.begin());
        frames.push_back(std::move(image));
    }
    return frames;
}

Animation ReadAnimation(const std::string& path) {
    const std::string text = FileBytes(path);
    const std::vector<uint8_t> data(text.begin(), text.end());
    const Bytes bytes{data};
    const std::string extension = std::filesystem::path(path).extension().string();
    if (extension == ".gif" && bytes.Is(0, "GIF89a")) return ReadGif(bytes);
    if (extension == ".apng" && bytes.Is(1, "PNG")) return ReadApng(bytes);
    if (extension == ".webp" && bytes.Is(8, "WEBP")) return ReadWebp(bytes);
    return {};
}

} // namespace tooltest
