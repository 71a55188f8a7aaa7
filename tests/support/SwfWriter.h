// Uncompressed movies for tests and demos.  A TagStream is a sequence of tags, a movie's
// body or a sprite's own stream: bodies under 63 bytes take the short header unless
// LongTag asks for the long one.  SwfWriter puts the header (signature, version, exact
// file length, frame rectangle, 8.8 frame rate, frame count) before its tags; End() is
// never added by itself.
#pragma once

#include "BitWriter.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace swftest {

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
    TagStream& Tag(uint16_t code, const std::vector<uint8_t>& body = {}) {
        return LongTag(code, body, body.size() >= 63);
    }
    TagStream& Tag(uint16_t code, const BitWriter& body) { return Tag(code, body.Data()); }
    TagStream& LongTag(uint16_t code, const std::vector<uint8_t>& body = {}, bool longForm = true) {
        return Raw(Header(code, uint32_t(body.size()), longForm)).Raw(body);
    }
    // Bytes as they are, for streams that break the tag framing.
    TagStream& Raw(const std::vector<uint8_t>& more) {
        return bytes.insert(bytes.end(), more.begin(), more.end()), *this;
    }

    TagStream& End() { return Tag(kEnd); }
    TagStream& ShowFrame() { return ++showFrames, Tag(kShowFrame); }
    TagStream& SetBackgroundColor(uint8_t red, uint8_t green, uint8_t blue) {
        return Tag(kSetBackgroundColor, BitWriter().RGB(red, green, blue));
    }
    TagStream& FreeCharacter(uint16_t id) { return Tag(kFreeCharacter, BitWriter().UI16(id)); }
    TagStream& NameCharacter(uint16_t id, std::string_view name) {
        return Tag(kNameCharacter, BitWriter().UI16(id).String(name));
    }
    TagStream& JPEGTables(const std::vector<uint8_t>& tables) { return Tag(kJPEGTables, tables); }

    // The two or six header bytes of a tag.
    static std::vector<uint8_t> Header(uint16_t code, uint32_t length, bool longForm) {
        if (code > 0x3FF || (!longForm && length >= 0x3F))
            throw std::invalid_argument("tag header: code or length does not fit");
        BitWriter header;
        header.UI16(uint16_t(code << 6 | (longForm ? 0x3F : length)));
        return (longForm ? header.UI32(length) : header).Data();
    }

    const std::vector<uint8_t>& Bytes() const { return bytes; }
    uint16_t ShowFrameCount() const { return showFrames; }

private:
    std::vector<uint8_t> bytes;
    uint16_t showFrames = 0;
};

class SwfWriter : public TagStream {
public:
    // A frame of width x height pixels at the origin.
    SwfWriter(uint32_t width, uint32_t height, double rate)
        : frameRect{0, int32_t(width) * 20, 0, int32_t(height) * 20},
          frameRate(uint16_t(std::lround(rate * 256.0))) {}

    SwfWriter& Version(uint8_t value) { return version = value, *this; }
    SwfWriter& FrameRect(const RectRecord& twips) { return frameRect = twips, *this; }
    // The raw 8.8 field, for rates that a double would not say exactly.
    SwfWriter& FrameRate8_8(uint16_t rate) { return frameRate = rate, *this; }
    // Overrides the count of ShowFrame tags written.
    SwfWriter& FrameCount(uint16_t count) { return frameCount = count, *this; }

    std::vector<uint8_t> Finish() const {
        BitWriter rest;
        rest.Rect(frameRect).UI16(frameRate).UI16(frameCount.value_or(ShowFrameCount()));
        const std::vector<uint8_t> body = rest.Bytes(Bytes()).Data();
        BitWriter movie;
        movie.UI8('F').UI8('W').UI8('S').UI8(version).UI32(uint32_t(8 + body.size()));
        return movie.Bytes(body).Data();
    }

private:
    uint8_t version = 6;
    RectRecord frameRect;
    uint16_t frameRate;
    std::optional<uint16_t> frameCount;
};

} // namespace swftest
