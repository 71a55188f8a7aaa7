#include "BitWriter.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace swftest {

namespace {

constexpr unsigned kRectBitsLimit = 31;   // a UB(5) count
constexpr unsigned kMatrixBitsLimit = 31; // a UB(5) count
constexpr unsigned kCxformBitsLimit = 15; // a UB(4) count

unsigned CheckedCount(unsigned bits, unsigned limit, const char* record) {
    if (bits > limit) throw std::invalid_argument(std::string(record) + ": values too large");
    return bits;
}

} // namespace

BitWriter& BitWriter::UB(uint32_t value, unsigned bits) {
    if (bits > 32 || (bits < 32 && value >> bits != 0))
        throw std::invalid_argument("UB: value does not fit");
    for (unsigned bit = bits; bit-- > 0;) {
        pending = pending << 1 | ((value >> bit) & 1);
        if (++pendingBits == 8) {
            bytes.push_back(uint8_t(pending));
            pending = 0;
            pendingBits = 0;
        }
    }
    return *this;
}

BitWriter& BitWriter::SB(int32_t value, unsigned bits) {
    if (bits > 32 || SBitsFor(value) > bits) throw std::invalid_argument("SB: value does not fit");
    const uint32_t mask = bits == 32 ? ~0u : (1u << bits) - 1;
    return UB(uint32_t(value) & mask, bits);
}

BitWriter& BitWriter::Align() {
    if (pendingBits > 0) UB(0, 8 - pendingBits);
    return *this;
}

BitWriter& BitWriter::UI8(uint8_t value) {
    Align();
    bytes.push_back(value);
    return *this;
}

BitWriter& BitWriter::UI16(uint16_t value) {
    return UI8(uint8_t(value)).UI8(uint8_t(value >> 8));
}

BitWriter& BitWriter::UI32(uint32_t value) {
    return UI16(uint16_t(value)).UI16(uint16_t(value >> 16));
}

BitWriter& BitWriter::Bytes(const std::vector<uint8_t>& more) {
    Align();
    bytes.insert(bytes.end(), more.begin(), more.end());
    return *this;
}

BitWriter& BitWriter::String(std::string_view text) {
    Align();
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
    return *this;
}

BitWriter& BitWriter::RGB(uint8_t red, uint8_t green, uint8_t blue) {
    return UI8(red).UI8(green).UI8(blue);
}

BitWriter& BitWriter::RGBA(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    return RGB(red, green, blue).UI8(alpha);
}

BitWriter& BitWriter::Rect(const RectRecord& rect) {
    const unsigned bits = CheckedCount(SBitsFor({rect.xmin, rect.xmax, rect.ymin, rect.ymax}),
                                       kRectBitsLimit, "RECT");
    Align();
    UB(bits, 5);
    return SB(rect.xmin, bits).SB(rect.xmax, bits).SB(rect.ymin, bits).SB(rect.ymax, bits);
}

BitWriter& BitWriter::Matrix(const MatrixRecord& matrix) {
    Align();
    UB(matrix.hasScale, 1);
    if (matrix.hasScale) {
        const unsigned bits = CheckedCount(SBitsFor({matrix.scaleX, matrix.scaleY}),
                                           kMatrixBitsLimit, "MATRIX scale");
        UB(bits, 5).FB(matrix.scaleX, bits).FB(matrix.scaleY, bits);
    }
    UB(matrix.hasRotate, 1);
    if (matrix.hasRotate) {
        const unsigned bits = CheckedCount(SBitsFor({matrix.rotateSkew0, matrix.rotateSkew1}),
                                           kMatrixBitsLimit, "MATRIX rotate");
        UB(bits, 5).FB(matrix.rotateSkew0, bits).FB(matrix.rotateSkew1, bits);
    }
    const unsigned bits = CheckedCount(SBitsFor({matrix.translateX, matrix.translateY}),
                                       kMatrixBitsLimit, "MATRIX translate");
    return UB(bits, 5).SB(matrix.translateX, bits).SB(matrix.translateY, bits);
}

BitWriter& BitWriter::Cxform(const CxformRecord& cxform) {
    return WriteCxform(cxform, false);
}

BitWriter& BitWriter::CxformWithAlpha(const CxformRecord& cxform) {
    return WriteCxform(cxform, true);
}

BitWriter& BitWriter::WriteCxform(const CxformRecord& c, bool withAlpha) {
    std::vector<int32_t> mult = {c.redMult, c.greenMult, c.blueMult};
    std::vector<int32_t> add = {c.redAdd, c.greenAdd, c.blueAdd};
    if (withAlpha) {
        mult.push_back(c.alphaMult);
        add.push_back(c.alphaAdd);
    }
    if (!c.hasMult) mult.clear();
    if (!c.hasAdd) add.clear();
    unsigned bits = 0;
    for (int32_t v : mult) bits = std::max(bits, SBitsFor(v));
    for (int32_t v : add) bits = std::max(bits, SBitsFor(v));
    CheckedCount(bits, kCxformBitsLimit, "CXFORM");
    Align();
    UB(c.hasAdd, 1).UB(c.hasMult, 1).UB(bits, 4);
    for (int32_t v : mult) SB(v, bits);
    for (int32_t v : add) SB(v, bits);
    return *this;
}

std::vector<uint8_t> BitWriter::Data() const {
    std::vector<uint8_t> out = bytes;
    if (pendingBits > 0) out.push_back(uint8_t(pending << (8 - pendingBits)));
    return out;
}

unsigned BitWriter::UBitsFor(uint32_t value) {
    unsigned bits = 0;
    while (value != 0) {
        ++bits;
        value >>= 1;
    }
    return bits;
}

unsigned BitWriter::SBitsFor(int32_t value) {
    if (value == 0) return 0;
    // One bit more than the magnitude needs, for the sign.
    const uint32_t magnitude = value < 0 ? ~uint32_t(value) : uint32_t(value);
    return UBitsFor(magnitude) + 1;
}

unsigned BitWriter::SBitsFor(std::initializer_list<int32_t> values) {
    unsigned bits = 0;
    for (int32_t v : values) bits = std::max(bits, SBitsFor(v));
    return bits;
}

} // namespace swftest
