// One filter of a display object's filter list, as the movie gives it, and the blend modes
// an object is composited with.  Plain values: the movie model fills them, the graphics
// context draws them.  Lengths are pixels of the movie (before the host's zoom).
#pragma once

#include <cstdint>
#include <vector>

enum class ZBlendMode : uint8_t {
    kNormal = 0, // 0 and 1 both mean normal
    kLayer = 2,
    kMultiply = 3,
    kScreen = 4,
    kLighten = 5,
    kDarken = 6,
    kDifference = 7,
    kAdd = 8,
    kSubtract = 9,
    kInvert = 10,
    kAlpha = 11,
    kErase = 12,
    kOverlay = 13,
    kHardLight = 14,
};

// The blend mode a stored byte names; 1 and every unknown value mean normal.
inline ZBlendMode ZBlendModeFromByte(uint8_t value) {
    return value >= 2 && value <= 14 ? ZBlendMode(value) : ZBlendMode::kNormal;
}

struct ZFilter {
    enum Kind : uint8_t {
        kDropShadow = 0,
        kBlur = 1,
        kGlow = 2,
        kBevel = 3,
        kGradientGlow = 4,
        kConvolution = 5,
        kColorMatrix = 6,
        kGradientBevel = 7,
    };
    // Colours are straight RGBA bytes.
    struct Color {
        uint8_t red = 0, green = 0, blue = 0, alpha = 0;
    };
    struct Stop {
        Color color;
        uint8_t ratio = 0;
    };

    Kind kind = kBlur;
    // Blur, shadow, glow and bevel kinds.
    float blurX = 0, blurY = 0;
    float angle = 0;    // radians
    float distance = 0; // pixels
    float strength = 1;
    uint8_t passes = 1;
    bool inner = false;
    bool knockout = false;
    bool hideObject = false; // drop shadow without its object
    bool onTop = false;      // bevels: both inner and outer
    Color color;             // drop shadow and glow colour; bevel shadow colour
    Color highlight;         // bevel highlight colour
    std::vector<Stop> stops; // gradient glow and gradient bevel
    // Colour matrix: four rows of five (the fifth an offset in 0..255).
    float matrix[20] = {};
    // Convolution.
    uint8_t columns = 0, rows = 0;
    std::vector<float> kernel;
    float divisor = 1, bias = 0;
    Color defaultColor;
    bool clamp = true;
    bool preserveAlpha = false;
};

using ZFilterList = std::vector<ZFilter>;
