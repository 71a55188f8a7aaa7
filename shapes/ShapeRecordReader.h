// Decodes SHAPERECORDS one record at a time, for shapes and glyph outlines alike.  The pen
// is kept in whole record units and wraps like the 32-bit registers it models; points
// come out in pixels.  New style arrays are left to the caller, which reads them from the
// same parser when a style change record asks for them.
#pragma once

#include "base/ValueTypes.h"

#include <cstdint>

namespace UT {

class FlashParser;

// What one record unit is, and how it becomes a pixel.
enum class RecordUnits : uint8_t {
    kTwips,      // shapes: 20 per pixel, divided in double precision
    kFontUnits,  // DefineFont and DefineFont2 glyphs: 20 per pixel, divided in float
    kFont3Units, // DefineFont3 glyphs: twentieths of a font unit, 400 per pixel, in float
};

// Units per pixel of glyph outlines, advances and ascents.
constexpr float GlyphUnitsPerPixel(RecordUnits units) {
    return units == RecordUnits::kFont3Units ? 20.0f * kTwipsPerPixel : kTwipsPerPixel;
}

struct ShapeRecord {
    enum Kind : uint8_t { kEnd, kStyleChange, kStraightEdge, kCurvedEdge };
    // Style change flag bits: which fields the record carried.
    static constexpr uint32_t kMove = 0x01;
    static constexpr uint32_t kFill0 = 0x02;
    static constexpr uint32_t kFill1 = 0x04;
    static constexpr uint32_t kLine = 0x08;
    static constexpr uint32_t kNewStyles = 0x10;

    Kind kind = kEnd;
    uint32_t flags = 0;
    uint32_t fill0 = 0; // style indices, valid when their flag is set
    uint32_t fill1 = 0;
    uint32_t line = 0;
    Point3 control{}; // curved edge
    Point3 anchor{};  // edges: where the pen is now
};

class ShapeRecordReader {
public:
    ShapeRecordReader(FlashParser& parser, RecordUnits units) : parser(parser), units(units) {}

    // Drops the unread bits of the current byte, then reads NumFillBits and NumLineBits.
    void ReadIndexBits();
    // Reads the next record.  Past the readable data every read gives zeros, which is an
    // end record.
    ShapeRecord Next();
    // Where the last edge started, in pixels.
    Point3 EdgeStart() const { return ToPixels(startX, startY); }
    // The pen after the last record, and the last curve's control point, in record units.
    int32_t PenX() const { return penX; }
    int32_t PenY() const { return penY; }
    int32_t ControlX() const { return controlX; }
    int32_t ControlY() const { return controlY; }

private:
    Point3 ToPixels(int32_t x, int32_t y) const;
    void ReadStyleChange(ShapeRecord& record);
    void ReadEdge(ShapeRecord& record);

    FlashParser& parser;
    RecordUnits units;
    uint32_t fillBits = 0;
    uint32_t lineBits = 0;
    int32_t penX = 0;
    int32_t penY = 0;
    int32_t startX = 0;
    int32_t startY = 0;
    int32_t controlX = 0;
    int32_t controlY = 0;
};

} // namespace UT
