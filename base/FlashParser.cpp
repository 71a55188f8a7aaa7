#include "base/FlashParser.h"

#include "base/TagCodes.h"

#include <algorithm>
#include <cstring>

namespace UT {

namespace {

// Handed out for a string that has no NUL before the end of the image.
const char kEmptyString[] = "";

constexpr uint32_t kLongTagLength = 0x3F;

} // namespace

void FlashParser::SetStream(const uint8_t* streamData, uint32_t streamLength,
                            uint32_t firstTagOffset, uint32_t readableBytes) {
    data = streamData;
    length = streamLength;
    firstTag = firstTagOffset;
    readable = streamData ? readableBytes : 0;
    position = firstTag;
    exhausted = false;
    AlignBits();
    stateStack.clear();
}

void FlashParser::Rewind() {
    position = firstTag;
    exhausted = false;
    AlignBits();
}

uint8_t FlashParser::NextByte() {
    if (position < readable) return data[position++];
    exhausted = true;
    return 0;
}

void FlashParser::RunTags() {
    if (position >= length || exhausted) return;
    for (;;) {
        const uint16_t code = ReadTagHeader();
        const uint32_t next = tagEnd;
        const bool stop = HandleTag(code);
        // The stream ends at its End tag for every later run too: whatever follows it
        // is not tags.
        if (code == kTagEnd) {
            Seek(tagStart);
            return;
        }
        // The next tag starts at the declared end, whatever the handler read.
        Seek(next);
        if (stop || exhausted) return;
    }
}

uint16_t FlashParser::ReadTagHeader() {
    tagStart = position;
    if (uint64_t(position) + 2 >= length) {
        // Fewer than three bytes left: a synthetic End with an empty body right here, so
        // the loop does not move.
        tagEnd = position;
        tagLength = 0;
        return kTagEnd;
    }
    const uint16_t header = ReadUI16();
    tagLength = header & kLongTagLength;
    if (tagLength == kLongTagLength) tagLength = ReadUI32();
    // Saturate so that a huge length cannot wrap round to an earlier offset.
    tagEnd = uint32_t(std::min<uint64_t>(uint64_t(position) + tagLength, UINT32_MAX));
    return uint16_t(header >> 6);
}

uint8_t FlashParser::ReadUI8() {
    AlignBits();
    return NextByte();
}

uint16_t FlashParser::ReadUI16() {
    AlignBits();
    const uint16_t low = NextByte();
    return uint16_t(low | NextByte() << 8);
}

int16_t FlashParser::ReadSI16() {
    return int16_t(ReadUI16());
}

uint32_t FlashParser::ReadUI32() {
    AlignBits();
    uint32_t value = 0;
    for (int shift = 0; shift < 32; shift += 8) value |= uint32_t(NextByte()) << shift;
    return value;
}

uint32_t FlashParser::ReadUBits(uint32_t count) {
    // Bits come most significant first; only the low 32 bits of a longer field survive.
    uint32_t result = 0;
    while (count > bitsLeft) {
        count -= bitsLeft;
        result = (result << bitsLeft) | bitBuffer;
        bitBuffer = NextByte();
        bitsLeft = 8;
    }
    if (count > 0) {
        bitsLeft -= count;
        result = (result << count) | (bitBuffer >> bitsLeft);
        bitBuffer &= (1u << bitsLeft) - 1;
    }
    return result;
}

int32_t FlashParser::ReadSBits(uint32_t count) {
    uint32_t value = ReadUBits(count);
    if (count > 0 && count < 32 && (value >> (count - 1)) & 1) value |= ~0u << count;
    return int32_t(value);
}

const char* FlashParser::ReadString() {
    AlignBits();
    if (position < readable) {
        const uint8_t* start = data + position;
        const void* nul = std::memchr(start, 0, readable - position);
        if (nul) {
            position += uint32_t(static_cast<const uint8_t*>(nul) - start) + 1;
            return reinterpret_cast<const char*>(start);
        }
        position = readable;
    }
    exhausted = true;
    return kEmptyString;
}

ColorRGBA FlashParser::ReadColor(bool withAlpha) {
    AlignBits();
    ColorRGBA color;
    color.red = NextByte() / 255.0f;
    color.green = NextByte() / 255.0f;
    color.blue = NextByte() / 255.0f;
    color.alpha = withAlpha ? NextByte() / 255.0f : 1.0f;
    return color;
}

RawRect FlashParser::ReadRect() {
    AlignBits();
    const uint32_t bits = ReadUBits(5);
    RawRect rect;
    rect.xmin = ReadSBits(bits);
    rect.xmax = ReadSBits(bits);
    rect.ymin = ReadSBits(bits);
    rect.ymax = ReadSBits(bits);
    return rect;
}

RawMatrix FlashParser::ReadMatrix() {
    AlignBits();
    RawMatrix matrix;
    if (ReadUBits(1)) {
        const uint32_t bits = ReadUBits(5);
        matrix.scaleX = ReadSBits(bits);
        matrix.scaleY = ReadSBits(bits);
    }
    if (ReadUBits(1)) {
        const uint32_t bits = ReadUBits(5);
        matrix.rotateSkew0 = ReadSBits(bits);
        matrix.rotateSkew1 = ReadSBits(bits);
    }
    const uint32_t bits = ReadUBits(5);
    matrix.translateX = ReadSBits(bits);
    matrix.translateY = ReadSBits(bits);
    return matrix;
}

RawCxform FlashParser::ReadCxform(bool withAlpha) {
    AlignBits();
    RawCxform cxform;
    const bool hasAdd = ReadUBits(1);
    const bool hasMult = ReadUBits(1);
    const uint32_t bits = ReadUBits(4);
    if (hasMult) {
        cxform.redMult = int16_t(ReadSBits(bits));
        cxform.greenMult = int16_t(ReadSBits(bits));
        cxform.blueMult = int16_t(ReadSBits(bits));
        if (withAlpha) cxform.alphaMult = int16_t(ReadSBits(bits));
    }
    if (hasAdd) {
        cxform.redAdd = int16_t(ReadSBits(bits));
        cxform.greenAdd = int16_t(ReadSBits(bits));
        cxform.blueAdd = int16_t(ReadSBits(bits));
        if (withAlpha) cxform.alphaAdd = int16_t(ReadSBits(bits));
    }
    return cxform;
}

void FlashParser::PushState() {
    stateStack.push_back({bitsLeft, bitBuffer, position, exhausted});
}

void FlashParser::PopState() {
    // An unmatched pop has nothing to restore and changes nothing.
    if (stateStack.empty()) return;
    const ParserState& saved = stateStack.back();
    bitsLeft = saved.bitsLeft;
    bitBuffer = saved.bitBuffer;
    position = saved.position;
    exhausted = saved.exhausted;
    stateStack.pop_back();
}

} // namespace UT
