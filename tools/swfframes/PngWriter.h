// Writes PNG files (8-bit RGBA, straight alpha) with zlib and reads them through libpng.
#pragma once

#include "tools/swfframes/RgbaImage.h"

#include <cstdint>
#include <string>
#include <vector>

// How hard the writer compresses.  kFast: zlib level 1, run-length matches only, over rows
// filtered with Up: about as fast as deflating the raw pixels at level 1; kDefault: level
// 6, the filter chosen per row and the strategy for filtered data, as libpng does;
// kBest: level 9, likewise.
enum class PngCompression { kFast, kDefault, kBest };

// The whole file in memory.
std::vector<uint8_t> EncodePng(const RgbaImage& image, PngCompression compression);
// Throws HostError(kExitOutput) when the file cannot be written.
void WritePng(const std::string& path, const RgbaImage& image,
              PngCompression compression = PngCompression::kFast);
// Throws HostError(kExitMovieFailed) when the file is not a readable PNG.
RgbaImage ReadPng(const std::string& path);
