// Writes and reads PNG files through libpng: 8-bit RGBA, straight alpha.
#pragma once

#include "tools/swfframes/RgbaImage.h"

#include <string>

// Throws HostError(kExitOutput) when the file cannot be written.
void WritePng(const std::string& path, const RgbaImage& image);
// Throws HostError(kExitMovieFailed) when the file is not a readable PNG.
RgbaImage ReadPng(const std::string& path);
