#include "shapes/ShapeRecordReader.h"

#include "base/FlashParser.h"

namespace UT {

namespace {

// Hostile deltas wrap instead of overflowing.
int32_t Add(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

} // namespace

void ShapeRecordReader::ReadIndexBits() {
    parser.AlignBits();
    fillBits = parser.ReadUBits(4);
    lineBits = parser.ReadUBits(4);
}

ShapeRecord ShapeRecordReader::Next() {
    ShapeRecord record;
    if (parser.ReadUBits(1))
        ReadEdge(record);
    else
        ReadStyleChange(record);
    return record;
}

Point3 ShapeRecordReader::ToPixels(int32_t x, int32_t y) const {
    // Shapes divide in double and narrow; glyphs divide in float.  The two differ for
    // coordinates beyond 2^24 units, so each keeps its own.
    if (units == RecordUnits::kTwips)
        return {static_cast<float>(x / double(kTwipsPerPixel)),
                static_cast<float>(y / double(kTwipsPerPixel)), 0.0f};
    const float perPixel = GlyphUnitsPerPixel(units);
    return {static_cast<float>(x) / perPixel, static_cast<float>(y) / perPixel, 0.0f};
}

void ShapeRecordReader::ReadStyleChange(ShapeRecord& record) {
    record.flags = parser.ReadUBits(5);
    if (record.flags == 0) return; // kEnd
    record.kind = ShapeRecord::kStyleChange;
    if (record.flags & ShapeRecord::kMove) {
        const uint32_t moveBits = parser.ReadUBits(5);
        penX = parser.ReadSBits(moveBits);
        penY = parser.ReadSBits(moveBits);
    }
    if (record.flags & ShapeRecord::kFill0) record.fill0 = parser.ReadUBits(fillBits);
    if (record.flags & ShapeRecord::kFill1) record.fill1 = parser.ReadUBits(fillBits);
    if (record.flags & ShapeRecord::kLine) record.line = parser.ReadUBits(lineBits);
}

void ShapeRecordReader::ReadEdge(ShapeRecord& record) {
    startX = penX;
    startY = penY;
    const bool straight = parser.ReadUBits(1);
    const uint32_t bits = parser.ReadUBits(4) + 2;
    if (straight) {
        record.kind = ShapeRecord::kStraightEdge;
        if (parser.ReadUBits(1)) { // general line
            penX = Add(penX, parser.ReadSBits(bits));
            penY = Add(penY, parser.ReadSBits(bits));
        } else if (parser.ReadUBits(1)) { // vertical
            penY = Add(penY, parser.ReadSBits(bits));
        } else {
            penX = Add(penX, parser.ReadSBits(bits));
        }
    } else {
        record.kind = ShapeRecord::kCurvedEdge;
        controlX = Add(penX, parser.ReadSBits(bits));
        controlY = Add(penY, parser.ReadSBits(bits));
        penX = Add(controlX, parser.ReadSBits(bits));
        penY = Add(controlY, parser.ReadSBits(bits));
        record.control = ToPixels(controlX, controlY);
    }
    record.anchor = ToPixels(penX, penY);
}

} // namespace UT
