// Builds movie bytes: bit fields (most significant bit first), little-endian byte values,
// strings and the shared records, each record with the fewest bits that hold its values.
// Byte values and records start at a byte boundary.  Values that do not fit their field
// throw std::invalid_argument, so a fixture mistake shows where it is made.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace swftest {

// The shared records in file units (twips, 16.16 and 8.8 fixed point), fields in file
// order so that designated initialisers read like the record; defaults are the identity.
struct RectRecord {
    int32_t xmin = 0, xmax = 0, ymin = 0, ymax = 0;
};
struct MatrixRecord {
    bool hasScale = false;
    int32_t scaleX = 0x10000, scaleY = 0x10000;
    bool hasRotate = false;
    int32_t rotateSkew0 = 0, rotateSkew1 = 0;
    int32_t translateX = 0, translateY = 0;
};
struct CxformRecord {
    bool hasMult = false;
    int16_t redMult = 256, greenMult = 256, blueMult = 256, alphaMult = 256;
    bool hasAdd = false;
    int16_t redAdd = 0, greenAdd = 0, blueAdd = 0, alphaAdd = 0;
};

class BitWriter {
public:
    BitWriter& UB(uint32_t value, unsigned bits);
    BitWriter& SB(int32_t value, unsigned bits);
    BitWriter& Align();
    BitWriter& UI8(uint8_t value);
    BitWriter& UI16(uint16_t value) { return UI8(uint8_t(value)).UI8(uint8_t(value >> 8)); }
    BitWriter& SI16(int16_t value) { return UI16(uint16_t(value)); }
    BitWriter& UI32(uint32_t value) { return UI16(uint16_t(value)).UI16(uint16_t(value >> 16)); }
    BitWriter& Bytes(const std::vector<uint8_t>& bytes);
    BitWriter& String(std::string_view text); // with its NUL
    BitWriter& RGB(uint8_t r, uint8_t g, uint8_t b) { return UI8(r).UI8(g).UI8(b); }
    BitWriter& RGBA(uint8_t r, uint8_t g, uint8_t b, uint8_t a) { return RGB(r, g, b).UI8(a); }
    BitWriter& Rect(const RectRecord& rect);
    BitWriter& Matrix(const MatrixRecord& matrix);
    BitWriter& Cxform(const CxformRecord& cxform) { return WriteCxform(cxform, false); }
    BitWriter& CxformWithAlpha(const CxformRecord& cxform) { return WriteCxform(cxform, true); }

    // The bytes so far, the partly written byte included.
    std::vector<uint8_t> Data() const;

    // Fewest bits for a field: 0 for a zero value.
    static unsigned UBitsFor(uint32_t value);
    static unsigned SBitsFor(std::initializer_list<int32_t> values);
    // A UB(countBits) bit count, then the values as signed fields of that many bits.
    BitWriter& Counted(unsigned countBits, std::initializer_list<int32_t> values);

private:
    BitWriter& WriteCxform(const CxformRecord& cxform, bool withAlpha);

    std::vector<uint8_t> bytes;
    uint32_t pending = 0;     // bits of the partly written byte, right-aligned
    unsigned pendingBits = 0; // how many of them there are (0 to 7)
};

} // namespace swftest
