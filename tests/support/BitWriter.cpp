#include "BitWriter.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace swftest {

BitWriter& BitWriter::UB(uint32_t value, unsigned bits) {
    if (bits > 32 || (bits < 32 && value >> bits != 0))
        throw std::invalid_argument("UB: value does not fit");
    for (unsigned bit = bits; bit-- > 0;) {
        pending = pending << 1 | ((value >> bit) & 1);
        if (++pendingBits == 8) bytes.push_back(uint8_t(pending)), pending = pendingBits = 0;
    }
    return *this;
}

BitWriter& BitWriter::SB(int32_t value, unsigned bits) {
    if (bits > 32 || SBitsFor({value}) > bits)
        throw std::invalid_argument("SB: value does not fit");
    return UB(uint32_t(value) & (bits == 32 ? ~0u : (1u << bits) - 1), bits);
}

BitWriter& BitWriter::Align() {
    return pendingBits > 0 ? UB(0, 8 - pendingBits) : *this;
}

BitWriter& BitWriter::UI8(uint8_t value) {
    return Align().bytes.push_back(value), *this;
}

BitWriter& BitWriter::Bytes(const std::vector<uint8_t>& more) {
    return Align().bytes.insert(bytes.end(), more.begin(), more.end()), *this;
}

BitWriter& BitWriter::String(std::string_view text) {
    return Bytes({text.begin(), text.end()}).UI8(0);
}

BitWriter& BitWriter::Counted(unsigned countBits, std::initializer_list<int32_t> values) {
    const unsigned bits = SBitsFor(values);
    if (bits >= 1u << countBits) throw std::invalid_argument("record: values too large");
    UB(bits, countBits);
    for (int32_t v : values) SB(v, bits);
    return *this;
}

BitWriter& BitWriter::Rect(const RectRecord& r) {
    return Align().Counted(5, {r.xmin, r.xmax, r.ymin, r.ymax});
}

BitWriter& BitWriter::Matrix(const MatrixRecord& m) {
    Align().UB(m.hasScale, 1);
    if (m.hasScale) Counted(5, {m.scaleX, m.scaleY});
    UB(m.hasRotate, 1);
    if (m.hasRotate) Counted(5, {m.rotateSkew0, m.rotateSkew1});
    return Counted(5, {m.translateX, m.translateY});
}

BitWriter& BitWriter::WriteCxform(const CxformRecord& c, bool withAlpha) {
    std::vector<int32_t> values;
    if (c.hasMult) values.insert(values.end(), {c.redMult, c.greenMult, c.blueMult});
    if (c.hasMult && withAlpha) values.push_back(c.alphaMult);
    if (c.hasAdd) values.insert(values.end(), {c.redAdd, c.greenAdd, c.blueAdd});
    if (c.hasAdd && withAlpha) values.push_back(c.alphaAdd);
    unsigned bits = 0;
    for (int32_t v : values) bits = std::max(bits, SBitsFor({v}));
    if (bits > 15) throw std::invalid_argument("CXFORM: values too large");
    Align().UB(c.hasAdd, 1).UB(c.hasMult, 1).UB(bits, 4);
    for (int32_t v : values) SB(v, bits);
    return *this;
}

std::vector<uint8_t> BitWriter::Data() const {
    std::vector<uint8_t> out = bytes;
    if (pendingBits > 0) out.push_back(uint8_t(pending << (8 - pendingBits)));
    return out;
}

unsigned BitWriter::UBitsFor(uint32_t value) {
    return unsigned(std::bit_width(value));
}

unsigned BitWriter::SBitsFor(std::initializer_list<int32_t> values) {
    unsigned bits = 0;
    // One bit more than the magnitude needs, for the sign.
    for (int32_t v : values)
        if (v != 0) bits = std::max(bits, UBitsFor(v < 0 ? ~uint32_t(v) : uint32_t(v)) + 1);
    return bits;
}

} // namespace swftest
