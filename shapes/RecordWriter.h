// Writes SWF records into a byte buffer: bit fields (most significant bit first),
// little-endian byte values, and RECT and MATRIX records with the fewest bits that hold
// their values.  The buffer keeps its storage from one use to the next.
#pragma once

#include "base/ValueTypes.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace UT {

class RecordWriter {
public:
    // Empties the buffer, keeping its storage.
    void Clear();
    void UB(uint32_t value, uint32_t bits);
    void SB(int32_t value, uint32_t bits) { UB(static_cast<uint32_t>(value), bits); }
    void Align();
    void UI8(uint8_t value);
    void UI16(uint16_t value);
    void UI32(uint32_t value);
    void Rect(const RawRect& rect);
    void Matrix(const RawMatrix& matrix);

    // The bytes written, the partly written byte included once Align has run.
    const std::vector<uint8_t>& Bytes() const { return bytes; }

    // Fewest bits of a signed field holding every one of the values (at least 1).
    static uint32_t SignedBits(std::initializer_list<int32_t> values);
    // Fewest bits of an unsigned field holding the value (0 for 0).
    static uint32_t UnsignedBits(uint32_t value);

private:
    // Two values in the fewest bits that hold both, after a 5-bit count of them.
    void SignedPair(int32_t a, int32_t b);

    std::vector<uint8_t> bytes;
    uint32_t pending = 0;
    uint32_t pendingBits = 0;
};

} // namespace UT
