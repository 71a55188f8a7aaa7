// Pictures written as PNG files with zlib alone, so that any test program (the Windows
// build's too) can show what it drew.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace swftest {

// Writes 8-bit RGBA pixels, rows top first and packed; false when the picture is empty or
// the file cannot be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba);

} // namespace swftest
