// Helpers shared by the movie-model tests: parsing writer output the way LoadFile
// would, and a bare reader over a byte array that records the tags it is handed.
#pragma once

#include "base/FlashParser.h"
#include "platform/Win32.h"
#include "swf/FlashScript.h"

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

// Copies the bytes into a global block (the movie takes it over) and parses it.
inline bool ParseBytes(UT::FlashScript& movie, const std::vector<uint8_t>& bytes) {
    auto* image = static_cast<uint8_t*>(GlobalAlloc(GPTR, bytes.size()));
    if (!bytes.empty()) std::memcpy(image, bytes.data(), bytes.size());
    return movie.Parse(image, uint32_t(bytes.size()));
}

// The bytes with the header's file-length field set to `length` (as far as they reach).
inline std::vector<uint8_t> WithHeaderLength(std::vector<uint8_t> bytes, uint32_t length) {
    const uint8_t field[4] = {uint8_t(length), uint8_t(length >> 8), uint8_t(length >> 16),
                              uint8_t(length >> 24)};
    for (size_t i = 0; i < 4 && 4 + i < bytes.size(); ++i) bytes[4 + i] = field[i];
    return bytes;
}

// A reader over exactly `bytes` (nothing beyond them is readable).
class ByteReader : public UT::FlashParser {
public:
    struct SeenTag {
        uint16_t code;
        uint32_t start, length, end;
    };

    explicit ByteReader(std::vector<uint8_t> bytes, uint32_t firstTag = 0)
        : bytes(std::move(bytes)) {
        SetStream(this->bytes.data(), uint32_t(this->bytes.size()), firstTag,
                  uint32_t(this->bytes.size()));
    }

    bool HandleTag(uint16_t code) override {
        seen.push_back({code, TagStart(), TagLength(), TagEnd()});
        for (uint32_t i = 0; i < readOnHandle; ++i) ReadUI8();
        return code == 0;
    }

    std::vector<uint8_t> bytes;
    std::vector<SeenTag> seen;
    uint32_t readOnHandle = 0; // bytes each handler reads, whatever the tag holds
};
