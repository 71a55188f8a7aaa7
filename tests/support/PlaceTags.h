// Bodies of the display-list tags: PlaceObject, PlaceObject2, PlaceObject3, RemoveObject,
// RemoveObject2 and FrameLabel.  Use with TagStream::Tag(code, body).
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

// A PlaceObject2: each field present sets its flag.
struct Placement {
    uint16_t depth = 1;
    std::optional<uint16_t> character = {};
    bool move = false;
    std::optional<MatrixRecord> matrix = {};
    std::optional<CxformRecord> cxform = {}; // written with alpha
    std::optional<uint16_t> ratio = {};
    std::optional<std::string> name = {};
    std::optional<uint16_t> clipDepth = {};
};

std::vector<uint8_t> PlaceObject2(const Placement& placement);

// A PlaceObject3: the placement fields, then what only Flash 8 and later draw.  Each
// field present sets its flag.
struct Placement3 {
    Placement placement;
    std::optional<std::string> className = std::nullopt;
    // A FILTERLIST as written: the count byte, then each filter's kind and fields.
    std::optional<std::vector<uint8_t>> filters = std::nullopt;
    std::optional<uint8_t> blendMode = std::nullopt;
    std::optional<uint8_t> cacheAsBitmap = std::nullopt;
    std::optional<uint8_t> visible = std::nullopt;
    std::optional<uint32_t> background = std::nullopt; // 0xRRGGBBAA
    // Raw clip actions, written last with their flag.
    std::optional<std::vector<uint8_t>> clipActions = std::nullopt;
};

std::vector<uint8_t> PlaceObject3(const Placement3& placement);
// A FILTERLIST of one blur filter (blur 4 by 4 pixels, one pass) and one drop shadow.
std::vector<uint8_t> BlurAndShadowFilters();
// PlaceObject: character, depth, matrix and an optional trailing CXFORM without alpha.
std::vector<uint8_t> PlaceObject(uint16_t character, uint16_t depth, const MatrixRecord& matrix,
                                 const std::optional<CxformRecord>& cxform = std::nullopt);
inline std::vector<uint8_t> RemoveObject(uint16_t character, uint16_t depth) {
    return BitWriter().UI16(character).UI16(depth).Data();
}
inline std::vector<uint8_t> RemoveObject2(uint16_t depth) {
    return BitWriter().UI16(depth).Data();
}
inline std::vector<uint8_t> FrameLabel(const std::string& label) {
    return BitWriter().String(label).Data();
}

// A translation by whole pixels.
MatrixRecord TranslatePixels(int32_t x, int32_t y);
// A new placement of `character` at `depth`, moved by whole pixels when x or y is set.
Placement PlaceCharacter(uint16_t depth, uint16_t character, int32_t x = 0, int32_t y = 0);
// A clipping layer: `character` at `depth` masks the depths up to `clipDepth`.
Placement ClipLayer(uint16_t depth, uint16_t character, uint16_t clipDepth);

} // namespace swftest
