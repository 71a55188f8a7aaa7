#include "PlaceTags.h"

namespace swftest {

std::vector<uint8_t> PlaceObject2(const Placement& p) {
    const uint8_t flags =
        uint8_t((p.move ? 0x01 : 0) | (p.character ? 0x02 : 0) | (p.matrix ? 0x04 : 0) |
                (p.cxform ? 0x08 : 0) | (p.ratio ? 0x10 : 0) | (p.name ? 0x20 : 0) |
                (p.clipDepth ? 0x40 : 0));
    BitWriter body;
    body.UI8(flags).UI16(p.depth);
    if (p.character) body.UI16(*p.character);
    if (p.matrix) body.Matrix(*p.matrix);
    if (p.cxform) body.CxformWithAlpha(*p.cxform);
    if (p.ratio) body.UI16(*p.ratio);
    if (p.name) body.String(*p.name);
    if (p.clipDepth) body.UI16(*p.clipDepth);
    return body.Data();
}

std::vector<uint8_t> PlaceObject(uint16_t character, uint16_t depth, const MatrixRecord& matrix,
                                 const std::optional<CxformRecord>& cxform) {
    BitWriter body;
    body.UI16(character).UI16(depth).Matrix(matrix);
    if (cxform) body.Cxform(*cxform);
    return body.Data();
}

std::vector<uint8_t> RemoveObject(uint16_t character, uint16_t depth) {
    return BitWriter().UI16(character).UI16(depth).Data();
}

std::vector<uint8_t> RemoveObject2(uint16_t depth) {
    return BitWriter().UI16(depth).Data();
}

std::vector<uint8_t> FrameLabel(const std::string& label) {
    return BitWriter().String(label).Data();
}

MatrixRecord TranslatePixels(int32_t x, int32_t y) {
    MatrixRecord m;
    m.translateX = x * 20;
    m.translateY = y * 20;
    return m;
}

Placement PlaceCharacter(uint16_t depth, uint16_t character, int32_t x, int32_t y) {
    Placement p;
    p.depth = depth;
    p.character = character;
    if (x != 0 || y != 0) p.matrix = TranslatePixels(x, y);
    return p;
}

Placement ClipLayer(uint16_t depth, uint16_t character, uint16_t clipDepth) {
    Placement p = PlaceCharacter(depth, character);
    p.clipDepth = clipDepth;
    return p;
}

} // namespace swftest
