#include "PlaceTags.h"

namespace swftest {

namespace {

// The PlaceObject2 flag byte; PlaceObject3 shares it.
uint8_t PlacementFlags(const Placement& p) {
    return uint8_t((p.move ? 0x01 : 0) | (p.character ? 0x02 : 0) | (p.matrix ? 0x04 : 0) |
                   (p.cxform ? 0x08 : 0) | (p.ratio ? 0x10 : 0) | (p.name ? 0x20 : 0) |
                   (p.clipDepth ? 0x40 : 0));
}

// The fields from the character to the clip depth, in the order both tags write them.
void WritePlacementFields(BitWriter& body, const Placement& p) {
    if (p.character) body.UI16(*p.character);
    if (p.matrix) body.Matrix(*p.matrix);
    if (p.cxform) body.CxformWithAlpha(*p.cxform);
    if (p.ratio) body.UI16(*p.ratio);
    if (p.name) body.String(*p.name);
    if (p.clipDepth) body.UI16(*p.clipDepth);
}

} // namespace

std::vector<uint8_t> PlaceObject2(const Placement& p) {
    BitWriter body;
    body.UI8(PlacementFlags(p)).UI16(p.depth);
    WritePlacementFields(body, p);
    return body.Data();
}

std::vector<uint8_t> PlaceObject3(const Placement3& p3) {
    const Placement& p = p3.placement;
    const uint8_t flags = uint8_t(PlacementFlags(p) | (p3.clipActions ? 0x80 : 0));
    const uint8_t more = uint8_t((p3.filters ? 0x01 : 0) | (p3.blendMode ? 0x02 : 0) |
                                 (p3.cacheAsBitmap ? 0x04 : 0) | (p3.className ? 0x08 : 0) |
                                 (p3.visible ? 0x20 : 0) | (p3.background ? 0x40 : 0));
    BitWriter body;
    body.UI8(flags).UI8(more).UI16(p.depth);
    if (p3.className) body.String(*p3.className);
    WritePlacementFields(body, p);
    if (p3.filters) body.Bytes(*p3.filters);
    if (p3.blendMode) body.UI8(*p3.blendMode);
    if (p3.cacheAsBitmap) body.UI8(*p3.cacheAsBitmap);
    if (p3.visible) body.UI8(*p3.visible);
    if (p3.background)
        body.RGBA(uint8_t(*p3.background >> 24), uint8_t(*p3.background >> 16),
                  uint8_t(*p3.background >> 8), uint8_t(*p3.background));
    if (p3.clipActions) body.Bytes(*p3.clipActions);
    return body.Data();
}

std::vector<uint8_t> BlurAndShadowFilters() {
    BitWriter out;
    out.UI8(2);
    out.UI8(1).UI32(4 << 16).UI32(4 << 16).UI8(1 << 3);        // blur: x, y, passes
    out.UI8(0).RGBA(0, 0, 0, 128).UI32(4 << 16).UI32(4 << 16); // shadow: colour, blur
    out.UI32(0xC910).UI32(4 << 16).UI16(0x100).UI8(0x60 | 1);  // angle, distance, strength
    return out.Data();
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
