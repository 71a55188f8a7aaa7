#include "tools/swfhost/Background.h"

#include <charconv>
#include <cstring>

namespace {

uint8_t Over(uint8_t pixel, uint8_t alpha, uint8_t colour) {
    return uint8_t((pixel * alpha + colour * (255 - alpha) + 127) / 255);
}

} // namespace

std::optional<Background> Background::Parse(const std::string& text) {
    if (text == "none") return Background{};
    const size_t start = !text.empty() && text[0] == '#' ? 1 : 0;
    if (text.size() - start != 6) return std::nullopt;
    uint32_t value = 0;
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value, 16);
    if (error != std::errc() || end != last) return std::nullopt;
    return Color(uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value));
}

void Background::ConvertRow(const uint8_t* bgra, uint8_t* rgba, int width) const {
    for (int x = 0; x < width; ++x, bgra += 4, rgba += 4) {
        const uint8_t alpha = bgra[3];
        if (none) {
            rgba[0] = bgra[2];
            rgba[1] = bgra[1];
            rgba[2] = bgra[0];
            rgba[3] = alpha;
        } else {
            rgba[0] = Over(bgra[2], alpha, red);
            rgba[1] = Over(bgra[1], alpha, green);
            rgba[2] = Over(bgra[0], alpha, blue);
            rgba[3] = 255;
        }
    }
}

void Background::CompositeRow(const uint8_t* bgra, uint8_t* out, int width) const {
    if (none) {
        std::memcpy(out, bgra, size_t(width) * 4);
        return;
    }
    for (int x = 0; x < width; ++x, bgra += 4, out += 4) {
        const uint8_t alpha = bgra[3];
        out[0] = Over(bgra[0], alpha, blue);
        out[1] = Over(bgra[1], alpha, green);
        out[2] = Over(bgra[2], alpha, red);
        out[3] = 255;
    }
}
