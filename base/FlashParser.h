// The reader under every timeline: walks a Shockwave Flash byte stream in place, reading
// bit fields, byte values, the shared records and tag headers, and runs the tag loop.
//
// Behaviour at the edge of the image: no read ever touches a byte at or beyond the
// readable limit given to SetStream.  A read that would do so yields zero for each
// missing byte, leaves position where it is, and marks the reader exhausted.  The tag
// loop stops after the tag whose handler exhausted the reader, so a truncated or hostile
// stream ends like one with an End tag.  The loop never passes an End tag: a later loop
// meets it again, so bytes after it are never read as tags.  Rewind clears the mark, and
// PopState restores the mark saved with the position.  ReadString never scans past the
// limit: an unterminated string comes back as an empty string (a static one, not in the
// image) and leaves position at the limit.  Tag lengths that would run past 4 GiB saturate, so the
// next header read finds the stream at its end instead of wrapping back.
#pragma once

#include "base/ValueTypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace UT {

// A saved reading position, bit position included.
struct ParserState {
    uint32_t bitsLeft;
    uint32_t bitBuffer;
    uint32_t position;
    bool exhausted;
};

class FlashParser {
public:
    FlashParser() = default;
    FlashParser(const FlashParser&) = delete;
    FlashParser& operator=(const FlashParser&) = delete;
    virtual ~FlashParser() = default;

    // Back to the first tag with the bit state cleared.
    virtual void Rewind();
    // Handles the tag whose header was just read; position is at its first data byte.
    // Returns true to stop the tag loop.
    virtual bool HandleTag(uint16_t code) = 0;

    // Points the reader at a stream.  `readable` is how many bytes from `data` on may be
    // read at all (the rest of the file image); reads never go beyond it, whatever
    // `length` or a tag header claims.
    void SetStream(const uint8_t* data, uint32_t length, uint32_t firstTag, uint32_t readable);

    void RunTags();
    // Reads a tag header and returns its 10-bit code; fewer than three bytes left before
    // `length` count as an End tag.
    uint16_t ReadTagHeader();

    uint8_t ReadUI8();
    uint16_t ReadUI16();
    int16_t ReadSI16();
    uint32_t ReadUI32();
    uint32_t ReadUBits(uint32_t count);
    int32_t ReadSBits(uint32_t count);
    // Drops the unread bits of the current byte.
    void AlignBits() {
        bitsLeft = 0;
        bitBuffer = 0;
    }
    // The NUL-terminated text at position, in place; position moves past the NUL.
    const char* ReadString();

    ColorRGBA ReadColor(bool withAlpha);
    RawRect ReadRect();
    RawMatrix ReadMatrix();
    RawCxform ReadCxform(bool withAlpha);

    // Every push is matched by one pop; the exhausted mark is restored too, so a failed
    // excursion does not end a later tag loop.  Callers bracket an excursion with a
    // ReaderExcursion rather than pairing these by hand.
    void PushState();
    void PopState();

    // Moves to a stream offset (for re-reading a definition), bit state cleared.
    void Seek(uint32_t offset) {
        AlignBits();
        position = offset;
    }

    const uint8_t* Data() const { return data; }
    uint32_t Position() const { return position; }
    uint32_t Length() const { return length; }
    // How many bytes from Data() on may be read at all.
    uint32_t Readable() const { return readable; }
    uint32_t FirstTag() const { return firstTag; }
    uint32_t FrameCount() const { return frameCount; }
    uint32_t TagStart() const { return tagStart; }
    uint32_t TagEnd() const { return tagEnd; }
    uint32_t TagLength() const { return tagLength; }
    bool Exhausted() const { return exhausted; }
    size_t StateDepth() const { return stateStack.size(); }

protected:
    // One byte at position, or 0 (and exhausted) at the readable limit.
    uint8_t NextByte();

    const uint8_t* data = nullptr;
    uint32_t position = 0;
    uint32_t length = 0;
    uint32_t firstTag = 0;
    uint32_t frameCount = 0;
    uint32_t bitsLeft = 0;
    uint32_t bitBuffer = 0;
    uint32_t tagStart = 0;
    uint32_t tagEnd = 0;
    uint32_t tagLength = 0;
    std::vector<ParserState> stateStack;

private:
    uint32_t readable = 0;
    bool exhausted = false;
};

// Saves the reader's position (bit state and exhausted mark included) for the length of a
// scope and restores it on the way out, however the scope is left.
class ReaderExcursion {
public:
    explicit ReaderExcursion(FlashParser& reader) : reader(reader) { reader.PushState(); }
    ~ReaderExcursion() { reader.PopState(); }
    ReaderExcursion(const ReaderExcursion&) = delete;
    ReaderExcursion& operator=(const ReaderExcursion&) = delete;

private:
    FlashParser& reader;
};

} // namespace UT
