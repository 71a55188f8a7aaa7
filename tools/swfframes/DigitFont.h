// A tiny built-in font of the ten digits, 3 x 5 cells, for frame numbers on sheets.
#pragma once

#include "tools/swfframes/RgbaImage.h"

#include <array>
#include <cstdint>

inline constexpr int kDigitWidth = 3;
inline constexpr int kDigitHeight = 5;

// The width in pixels of `number` drawn at `scale` (one cell of space between digits).
int NumberWidth(int64_t number, int scale);

// Draws `number` with its top left corner at (x, y), each font cell scale x scale
// pixels; pixels outside the image are skipped.
void DrawNumber(RgbaImage& image, int x, int y, int64_t number, int scale,
                const std::array<uint8_t, 4>& rgba);
