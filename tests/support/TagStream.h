// A sequence of tags, as in a movie's body or a sprite's own stream.  Tags with bodies
// shorter than 63 bytes take the short header unless the long one is asked for.
#pragma once

#include "BitWriter.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace swftest {

// Tag codes as the writer knows them.
enum Tag : uint16_t {
    kEnd = 0,
    kShowFrame = 1,
    kFreeCharacter = 3,
    kJPEGTables = 8,
    kSetBackgroundColor = 9,
    kNameCharacter = 40,
};

class TagStream {
public:
    TagStream& Tag(uint16_t code, const std::vector<uint8_t>& body = {});
    TagStream& Tag(uint16_t code, const BitWriter& body) { return Tag(code, body.Data()); }
    // Always the long header, whatever the body's length.
    TagStream& LongTag(uint16_t code, const std::vector<uint8_t>& body = {});
    // Bytes as they are, for streams that break the tag framing.
    TagStream& Raw(const std::vector<uint8_t>& bytes);

    TagStream& End() { return Tag(kEnd); }
    TagStream& ShowFrame();
    TagStream& SetBackgroundColor(uint8_t red, uint8_t green, uint8_t blue);
    TagStream& FreeCharacter(uint16_t id);
    TagStream& NameCharacter(uint16_t id, std::string_view name);
    TagStream& JPEGTables(const std::vector<uint8_t>& tables);

    const std::vector<uint8_t>& Bytes() const { return bytes; }
    uint16_t ShowFrameCount() const { return showFrames; }

    // The two or six header bytes of a tag.
    static std::vector<uint8_t> Header(uint16_t code, uint32_t length, bool longForm);

private:
    std::vector<uint8_t> bytes;
    uint16_t showFrames = 0;
};

} // namespace swftest
