// What lies behind the picture when it is written: nothing (the alpha channel is kept)
// or an opaque colour that the host composites the straight-alpha pixels over.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct Background {
    bool none = true;
    uint8_t red = 0, green = 0, blue = 0;

    // "none" or "#RRGGBB" (the '#' may be left out).
    static std::optional<Background> Parse(const std::string& text);
    static Background Color(uint8_t red, uint8_t green, uint8_t blue) {
        return {false, red, green, blue};
    }

    // One row of the plug-in's blue, green, red, alpha pixels to red, green, blue,
    // alpha, composited over the colour when there is one:
    //     out = (pixel * alpha + colour * (255 - alpha) + 127) / 255, alpha 255.
    void ConvertRow(const uint8_t* bgra, uint8_t* rgba, int width) const;
    // The same in the plug-in's own channel order: blue, green, red, alpha out.
    void CompositeRow(const uint8_t* bgra, uint8_t* out, int width) const;
};
