// Helpers shared by the movie-model tests: parsing, and drawing a frame.
#pragma once

#include "BoxCharacter.h"
#include "platform/Win32.h"
#include "support/Hex.h"
#include "support/SwfWriter.h"
#include "swf/FlashScript.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using Tags = std::vector<std::pair<uint16_t, std::vector<uint8_t>>>;

// Copies the bytes into a global block (the movie takes it over) and parses it.
inline bool ParseBytes(UT::FlashScript& movie, const std::vector<uint8_t>& bytes) {
    auto* image = static_cast<uint8_t*>(GlobalAlloc(GPTR, bytes.size() ? bytes.size() : 1));
    if (!bytes.empty()) std::memcpy(image, bytes.data(), bytes.size());
    return movie.Parse(image, uint32_t(bytes.size()));
}

// The bytes with the header's file-length field set to `length` (as far as they reach).
inline std::vector<uint8_t> WithHeaderLength(std::vector<uint8_t> bytes, uint32_t length) {
    for (size_t i = 0; i < 4 && 4 + i < bytes.size(); ++i) bytes[4 + i] = uint8_t(length >> 8 * i);
    return bytes;
}

// Bytes written as hex digits in file order.
inline std::vector<uint8_t> Hex(std::string_view hex) {
    return swftest::FromHex(hex);
}

// "x,y x,y ..." as pairs.
inline std::vector<std::array<int, 2>> Points(const char* text) {
    std::vector<std::array<int, 2>> points;
    for (int x, y, n; std::sscanf(text, "%d,%d%n", &x, &y, &n) == 2; text += n)
        points.push_back({x, y});
    return points;
}

// A w x h movie of the tags (a ShowFrame and End added).
inline std::vector<uint8_t> MovieOf(const Tags& tags, uint32_t w, uint32_t h, int frames = 1) {
    swftest::SwfWriter writer(w, h, 12);
    for (const auto& [code, body] : tags) writer.Tag(code, body);
    for (int i = 0; i < frames; ++i) writer.ShowFrame();
    writer.End();
    return writer.Finish();
}

// The movie parsed, moved to `frame` and that frame drawn into a new canvas.
struct Drawn {
    BoxMovie movie;
    Canvas canvas;
    bool loaded;

    Drawn(const std::vector<uint8_t>& bytes, int32_t w, int32_t h, int32_t frame = 0)
        : canvas(w, h), loaded(ParseBytes(movie, bytes)) {
        movie.GotoFrame(frame);
        movie.RenderDisplayList(canvas.context);
    }
    Bgra operator()(int32_t x, int32_t y = 0) const { return canvas.Pixel(x, y); }
};
