// Bytes as hex digits and back, for expected values written compactly in tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace swftest {

// Pairs of hex digits in order; spaces between pairs are skipped.
inline std::vector<uint8_t> FromHex(std::string_view hex) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += hex[i] == ' ' ? 1 : 2)
        if (hex[i] != ' ')
            bytes.push_back(uint8_t(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    return bytes;
}

// Lower-case digits, a space after every `group` bytes when group is non-zero.
inline std::string ToHex(const uint8_t* bytes, size_t count, size_t group = 0) {
    std::string hex;
    for (size_t i = 0; i < count; ++i) {
        if (group && i && i % group == 0) hex.push_back(' ');
        hex += "0123456789abcdef"[bytes[i] >> 4];
        hex += "0123456789abcdef"[bytes[i] & 15];
    }
    return hex;
}

} // namespace swftest
