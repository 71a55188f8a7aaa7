#include "tools/swfframes/DigitFont.h"

#include <string>

namespace {

// Each digit as five rows of three bits, most significant bit on the left.
constexpr uint8_t kGlyphs[10][kDigitHeight] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

void FillCell(RgbaImage& image, int x, int y, int scale, const std::array<uint8_t, 4>& rgba) {
    for (int dy = 0; dy < scale; ++dy)
        for (int dx = 0; dx < scale; ++dx) {
            const int px = x + dx, py = y + dy;
            if (px < 0 || py < 0 || px >= image.width || py >= image.height) continue;
            uint8_t* pixel = image.Row(py) + size_t(px) * 4;
            for (int c = 0; c < 4; ++c) pixel[c] = rgba[size_t(c)];
        }
}

void DrawDigit(RgbaImage& image, int x, int y, int digit, int scale,
               const std::array<uint8_t, 4>& rgba) {
    for (int row = 0; row < kDigitHeight; ++row)
        for (int column = 0; column < kDigitWidth; ++column)
            if (kGlyphs[digit][row] & (4 >> column))
                FillCell(image, x + column * scale, y + row * scale, scale, rgba);
}

} // namespace

int NumberWidth(int64_t number, int scale) {
    const int digits = int(std::to_string(number).size());
    return (digits * (kDigitWidth + 1) - 1) * scale;
}

void DrawNumber(RgbaImage& image, int x, int y, int64_t number, int scale,
                const std::array<uint8_t, 4>& rgba) {
    for (const char c : std::to_string(number)) {
        if (c >= '0' && c <= '9') DrawDigit(image, x, y, c - '0', scale, rgba);
        x += (kDigitWidth + 1) * scale;
    }
}
