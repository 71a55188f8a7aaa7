// Builds movie bytes: bit fields (most significant bit first), little-endian byte
// values, strings and the shared records, each written with the fewest bits that hold
// its values.  Byte values and records start at a byte boundary, padding the partly
// written byte with zero bits.  Values that do not fit their field throw
// std::invalid_argument, so a fixture mistake shows up where it is made.
#pragma once

#include "SwfRecords.h"

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace swftest {

class BitWriter {
public:
    BitWriter& UB(uint32_t value, unsigned bits);
    BitWriter& SB(int32_t value, unsigned bits);
    // A 16.16 fixed-point value; its bits are laid out like SB.
    BitWriter& FB(int32_t fixed, unsigned bits) { return SB(fixed, bits); }
    BitWriter& Align();

    BitWriter& UI8(uint8_t value);
    BitWriter& UI16(uint16_t value);
    BitWriter& SI16(int16_t value) { return UI16(uint16_t(value)); }
    BitWriter& UI32(uint32_t value);
    BitWriter& Bytes(const std::vector<uint8_t>& bytes);
    // The text and its NUL.
    BitWriter& String(std::string_view text);

    BitWriter& RGB(uint8_t red, uint8_t green, uint8_t blue);
    BitWriter& RGBA(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
    BitWriter& Rect(const RectRecord& rect);
    BitWriter& Matrix(const MatrixRecord& matrix);
    BitWriter& Cxform(const CxformRecord& cxform);
    BitWriter& CxformWithAlpha(const CxformRecord& cxform);

    // The bytes so far, the partly written byte included.
    std::vector<uint8_t> Data() const;

    // Fewest bits for a field: 0 for a zero value.
    static unsigned UBitsFor(uint32_t value);
    static unsigned SBitsFor(int32_t value);
    static unsigned SBitsFor(std::initializer_list<int32_t> values);

private:
    BitWriter& WriteCxform(const CxformRecord& cxform, bool withAlpha);

    std::vector<uint8_t> bytes;
    uint32_t pending = 0;     // bits of the partly written byte, right-aligned
    unsigned pendingBits = 0; // how many of them there are (0 to 7)
};

} // namespace swftest
