#include "PlaceTags.h"

namespace swftest {

namespace {

// The flag byte that PlaceObject2 and PlaceObject3 share.
uint8_t Flags(const Placement& p) {
    return uint8_t((p.move ? 0x01 : 0) | (p.character ? 0x02 : 0) | (p.matrix ? 0x04 : 0) |
                   (p.cxform ? 0x08 : 0) | (p.ratio ? 0x10 : 0) | (p.name ? 0x20 : 0) |
                   (p.clipDepth ? 0x40 : 0));
}

// The fields from the character to the clip depth, in the order both tags write them.
void WriteFields(BitWriter& body, const Placement& p) {
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
    body.UI8(Flags(p)).UI16(p.depth);
    WriteFields(body, p);
    return body.Data();
}

std::vector<uint8_t> PlaceObject3(const Placement3& p3) {
    BitWriter body;
    body.UI8(uint8_t(Flags(p3.placement) | (p3.clipActions ? 0x80 : 0)));
    body.UI8(uint8_t((p3.filters ? 0x01 : 0) | (p3.blendMode ? 0x02 : 0) |
                     (p3.cacheAsBitmap ? 0x04 : 0) | (p3.className ? 0x08 : 0) |
                     (p3.visible ? 0x20 : 0) | (p3.background ? 0x40 : 0)));
    body.UI16(p3.placement.depth);
    if (p3.className) body.String(*p3.className);
    WriteFields(body, p3.placement);
    if (p3.filters) body.Bytes(*p3.filters);
    for (const auto& byte : {p3.blendMode, p3.cacheAsBitmap, p3.visible})
        if (byte) body.UI8(*byte);
    if (const uint32_t bg = p3.background.value_or(0); p3.background)
        body.RGBA(uint8_t(bg >> 24), uint8_t(bg >> 16), uint8_t(bg >> 8), uint8_t(bg));
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

MatrixRecord TranslatePixels(int32_t x, int32_t y) {
    return {.translateX = x * 20, .translateY = y * 20};
}

Placement PlaceCharacter(uint16_t depth, uint16_t character, int32_t x, int32_t y) {
    Placement p{.depth = depth, .character = character};
    if (x != 0 || y != 0) p.matrix = TranslatePixels(x, y);
    return p;
}

Placement ClipLayer(uint16_t depth, uint16_t character, uint16_t clipDepth) {
    Placement p = PlaceCharacter(depth, character);
    p.clipDepth = clipDepth;
    return p;
}

} // namespace swftest
