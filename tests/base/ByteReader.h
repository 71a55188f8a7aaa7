// A bare stream reader over exactly the bytes given (nothing beyond them is readable)
// that records the tags it is handed.
#pragma once

#include "base/FlashParser.h"

#include <cstdint>
#include <utility>
#include <vector>

class ByteReader : public UT::FlashParser {
public:
    struct SeenTag {
        uint16_t code;
        uint32_t start, end;
    };

    explicit ByteReader(std::vector<uint8_t> bytes) : bytes(std::move(bytes)) {
        const uint32_t size = uint32_t(this->bytes.size());
        SetStream(this->bytes.data(), size, 0, size);
    }

    bool HandleTag(uint16_t code) override {
        seen.push_back({code, TagStart(), TagEnd()});
        for (uint32_t i = 0; i < readOnHandle; ++i) ReadUI8();
        return code == 0;
    }
    std::vector<uint16_t> Codes() const {
        std::vector<uint16_t> codes;
        for (const auto& tag : seen) codes.push_back(tag.code);
        return codes;
    }

    std::vector<uint8_t> bytes;
    std::vector<SeenTag> seen;
    uint32_t readOnHandle = 0; // bytes each handler reads, whatever the tag holds
};
