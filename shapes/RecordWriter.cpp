#include "shapes/RecordWriter.h"

namespace UT {

void RecordWriter::Clear() {
    bytes.clear();
    pending = 0;
    pendingBits = 0;
}

void RecordWriter::UB(uint32_t value, uint32_t bits) {
    for (uint32_t i = bits; i-- > 0;) {
        pending = pending << 1 | ((value >> i) & 1);
        if (++pendingBits == 8) {
            bytes.push_back(static_cast<uint8_t>(pending));
            pending = 0;
            pendingBits = 0;
        }
    }
}

void RecordWriter::Align() {
    if (pendingBits > 0) UB(0, 8 - pendingBits);
}

void RecordWriter::UI8(uint8_t value) {
    Align();
    bytes.push_back(value);
}

void RecordWriter::UI16(uint16_t value) {
    UI8(static_cast<uint8_t>(value));
    UI8(static_cast<uint8_t>(value >> 8));
}

void RecordWriter::UI32(uint32_t value) {
    UI16(static_cast<uint16_t>(value));
    UI16(static_cast<uint16_t>(value >> 16));
}

void RecordWriter::Rect(const RawRect& rect) {
    Align();
    const uint32_t bits = SignedBits({rect.xmin, rect.xmax, rect.ymin, rect.ymax});
    UB(bits, 5);
    for (int32_t v : {rect.xmin, rect.xmax, rect.ymin, rect.ymax}) SB(v, bits);
    Align();
}

void RecordWriter::Matrix(const RawMatrix& m) {
    Align();
    const bool scaled = m.scaleX != 0x10000 || m.scaleY != 0x10000;
    UB(scaled, 1);
    if (scaled) SignedPair(m.scaleX, m.scaleY);
    const bool rotated = m.rotateSkew0 != 0 || m.rotateSkew1 != 0;
    UB(rotated, 1);
    if (rotated) SignedPair(m.rotateSkew0, m.rotateSkew1);
    SignedPair(m.translateX, m.translateY);
    Align();
}

void RecordWriter::SignedPair(int32_t a, int32_t b) {
    const uint32_t bits = SignedBits({a, b});
    UB(bits, 5);
    SB(a, bits);
    SB(b, bits);
}

uint32_t RecordWriter::SignedBits(std::initializer_list<int32_t> values) {
    uint32_t bits = 1;
    for (int32_t v : values) {
        // Bits of the magnitude (of ~v for negative values) plus the sign.
        const uint32_t magnitude = static_cast<uint32_t>(v < 0 ? ~v : v);
        const uint32_t needed = UnsignedBits(magnitude) + 1;
        if (needed > bits) bits = needed;
    }
    return bits;
}

uint32_t RecordWriter::UnsignedBits(uint32_t value) {
    uint32_t bits = 0;
    while (value) {
        ++bits;
        value >>= 1;
    }
    return bits;
}

} // namespace UT
