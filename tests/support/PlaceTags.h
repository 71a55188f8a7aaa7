// Bodies of the display-list tags, for TagStream::Tag(code, body).  Each optional field
// that is set is written with its flag.
#pragma once

#include "BitWriter.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace swftest {

enum DisplayListTag : uint16_t {
    kPlaceObject = 4,
    kRemoveObject = 5,
    kPlaceObject2 = 26,
    kRemoveObject2 = 28,
    kFrameLabel = 43,
    kPlaceObject3 = 70,
};

struct Placement {
    uint16_t depth = 1;
    std::optional<uint16_t> character = {};
    bool move = false;
    std::optional<MatrixRecord> matrix = {};
    std::optional<CxformRecord> cxform = {}; // written with alpha
    std::optional<uint16_t> ratio = {};
    std::optional<std::string> name = {};
    std::optional<uint16_t> clipDepth = {};

    // The flag byte and the fields from the character on, as PlaceObject2 and 3 share them.
    uint8_t Flags() const {
        return uint8_t(move | (character ? 0x02 : 0) | (matrix ? 0x04 : 0) | (cxform ? 0x08 : 0) |
                       (ratio ? 0x10 : 0) | (name ? 0x20 : 0) | (clipDepth ? 0x40 : 0));
    }
    BitWriter& WriteFields(BitWriter& body) const {
        if (character) body.UI16(*character);
        if (matrix) body.Matrix(*matrix);
        if (cxform) body.CxformWithAlpha(*cxform);
        if (ratio) body.UI16(*ratio);
        if (name) body.String(*name);
        return clipDepth ? body.UI16(*clipDepth) : body;
    }
};

inline std::vector<uint8_t> PlaceObject2(const Placement& p) {
    BitWriter body;
    return p.WriteFields(body.UI8(p.Flags()).UI16(p.depth)).Data();
}

// The placement, then what only Flash 8 and later draw.
struct Placement3 {
    Placement placement;
    std::optional<std::string> className = std::nullopt;
    // A FILTERLIST as written: the count byte, then each filter's kind and fields.
    std::optional<std::vector<uint8_t>> filters = std::nullopt;
    std::optional<uint8_t> blendMode = std::nullopt;
    std::optional<uint8_t> cacheAsBitmap = std::nullopt;
    std::optional<uint8_t> visible = std::nullopt;
    std::optional<uint32_t> background = std::nullopt;              // 0xRRGGBBAA
    std::optional<std::vector<uint8_t>> clipActions = std::nullopt; // raw, written last
};

inline std::vector<uint8_t> PlaceObject3(const Placement3& p3) {
    BitWriter body;
    body.UI8(uint8_t(p3.placement.Flags() | (p3.clipActions ? 0x80 : 0)));
    body.UI8(uint8_t((p3.filters ? 0x01 : 0) | (p3.blendMode ? 0x02 : 0) |
                     (p3.cacheAsBitmap ? 0x04 : 0) | (p3.className ? 0x08 : 0) |
                     (p3.visible ? 0x20 : 0) | (p3.background ? 0x40 : 0)));
    body.UI16(p3.placement.depth);
    if (p3.className) body.String(*p3.className);
    p3.placement.WriteFields(body);
    if (p3.filters) body.Bytes(*p3.filters);
    for (const auto& byte : {p3.blendMode, p3.cacheAsBitmap, p3.visible})
        if (byte) body.UI8(*byte);
    if (const uint32_t bg = p3.background.value_or(0); p3.background)
        body.RGBA(uint8_t(bg >> 24), uint8_t(bg >> 16), uint8_t(bg >> 8), uint8_t(bg));
    return (p3.clipActions ? body.Bytes(*p3.clipActions) : body).Data();
}

// A FILTERLIST of one blur filter (blur 4 by 4 pixels, one pass) and one drop shadow.
inline std::vector<uint8_t> BlurAndShadowFilters() {
    BitWriter out;
    out.UI8(2);
    out.UI8(1).UI32(4 << 16).UI32(4 << 16).UI8(1 << 3);        // blur: x, y, passes
    out.UI8(0).RGBA(0, 0, 0, 128).UI32(4 << 16).UI32(4 << 16); // shadow: colour, blur
    out.UI32(0xC910).UI32(4 << 16).UI16(0x100).UI8(0x60 | 1);  // angle, distance, strength
    return out.Data();
}

// Character, depth, matrix and an optional trailing CXFORM without alpha.
inline std::vector<uint8_t> PlaceObject(uint16_t character, uint16_t depth,
                                        const MatrixRecord& matrix,
                                        const std::optional<CxformRecord>& cxform = std::nullopt) {
    BitWriter body;
    body.UI16(character).UI16(depth).Matrix(matrix);
    return (cxform ? body.Cxform(*cxform) : body).Data();
}
inline std::vector<uint8_t> RemoveObject(uint16_t character, uint16_t depth) {
    return BitWriter().UI16(character).UI16(depth).Data();
}
inline std::vector<uint8_t> RemoveObject2(uint16_t depth) {
    return BitWriter().UI16(depth).Data();
}
inline std::vector<uint8_t> FrameLabel(const std::string& label) {
    return BitWriter().String(label).Data();
}

inline MatrixRecord TranslatePixels(int32_t x, int32_t y) {
    return {.translateX = x * 20, .translateY = y * 20};
}
// A new placement of `character` at `depth`, moved by whole pixels when x or y is set.
inline Placement PlaceCharacter(uint16_t depth, uint16_t character, int32_t x = 0, int32_t y = 0) {
    Placement p{.depth = depth, .character = character};
    if (x != 0 || y != 0) p.matrix = TranslatePixels(x, y);
    return p;
}
// `character` at `depth` masks the depths up to `clipDepth`.
inline Placement ClipLayer(uint16_t depth, uint16_t character, uint16_t clipDepth) {
    Placement p = PlaceCharacter(depth, character);
    return p.clipDepth = clipDepth, p;
}

} // namespace swftest
