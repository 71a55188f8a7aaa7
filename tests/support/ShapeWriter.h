// Builds SHAPE data for fixtures: style arrays (solid, gradient and bitmap fills, line
// styles, LINESTYLE2 with caps, joins and fill-styled strokes), shape records (style
// changes with moves, style indices and new styles, straight and curved edges) and whole
// DefineShape, DefineShape2, DefineShape3 and DefineShape4 tags.
// Every field is written with the fewest bits that hold it.  Records are collected and
// written at the end, so index widths follow the style arrays they refer to: a style
// segment's NumFillBits and NumLineBits hold both its style counts and the largest index
// that its records use (glyph shapes, which have no styles, get 1 fill bit for index 1).
//
//     ShapeWriter shape(3);
//     shape.FillStyles({FillStyleRecord::Solid({255, 0, 0})})
//         .Change(StyleChange().Move(0, 0).Fill1(1))
//         .LineTo(200, 0).LineTo(200, 200).LineTo(0, 200).LineTo(0, 0);
//     movie.Tag(ShapeWriter::TagCode(3), shape.TagBody(1, {0, 200, 0, 200}));
//
// Coordinates are twips.  The writer keeps the pen position, so edges can be given as
// deltas (LineBy, CurveBy) or as absolute points (LineTo, CurveTo).
#pragma once

#include "BitWriter.h"
#include "SwfRecords.h"
#include "TagStream.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace swftest {

// Tag codes of the shape definitions.
enum ShapeTag : uint16_t {
    kDefineShape = 2,
    kDefineShape2 = 22,
    kDefineShape3 = 32,
    kDefineShape4 = 83,
};

// A colour as written: RGB for shape versions 1 and 2 (alpha dropped), RGBA for 3.
struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 255;
};

struct GradientStop {
    uint8_t ratio = 0;
    Rgba color;
};

struct FillStyleRecord {
    // Fill style types: solid, linear and radial gradient, and the four bitmap kinds
    // (repeating, clipped, and both again without smoothing).
    enum Type : uint8_t {
        kSolid = 0x00,
        kLinear = 0x10,
        kRadial = 0x12,
        kFocalRadial = 0x13,
        kRepeatingBitmap = 0x40,
        kClippedBitmap = 0x41,
        kHardRepeatingBitmap = 0x42,
        kHardClippedBitmap = 0x43,
    };

    // Gradient spread and interpolation, the high bits of the record count.
    enum Spread : uint8_t { kPad = 0, kReflect = 1, kRepeat = 2 };
    enum Interpolation : uint8_t { kNormalRGB = 0, kLinearRGB = 1 };

    uint8_t type = kSolid;
    Rgba color;          // solid
    MatrixRecord matrix; // gradient and bitmap
    // Gradient, at most 15; only counted for kinds other than 0x10, 0x12 (and 0x13 in
    // DefineShape4).
    std::vector<GradientStop> stops;
    uint8_t spread = kPad;
    uint8_t interpolation = kNormalRGB;
    int16_t focalPoint = 0; // 8.8, focal radial gradients of DefineShape4
    uint16_t bitmapId = 0;  // bitmap

    static FillStyleRecord Solid(Rgba color);
    static FillStyleRecord Linear(const MatrixRecord& matrix, std::vector<GradientStop> stops);
    static FillStyleRecord Radial(const MatrixRecord& matrix, std::vector<GradientStop> stops);
    static FillStyleRecord Focal(const MatrixRecord& matrix, std::vector<GradientStop> stops,
                                 int16_t focalPoint);
    static FillStyleRecord Bitmap(uint16_t id, const MatrixRecord& matrix,
                                  uint8_t type = kClippedBitmap);
};

struct LineStyleRecord {
    // The file's codes in LINESTYLE2 (DefineShape4).
    enum Cap : uint8_t { kRoundCap = 0, kNoCap = 1, kSquareCap = 2 };
    enum Join : uint8_t { kRoundJoin = 0, kBevelJoin = 1, kMiterJoin = 2 };

    uint16_t width = 20; // twips
    Rgba color;
    // Written only by DefineShape4.
    uint8_t startCap = kRoundCap, endCap = kRoundCap, join = kRoundJoin;
    uint16_t miterLimit = 0x0300; // 8.8, for miter joins
    bool noClose = false;
    bool hasFill = false;
    FillStyleRecord fill = {}; // instead of the colour when hasFill

    LineStyleRecord& FilledWith(FillStyleRecord style) {
        fill = std::move(style);
        hasFill = true;
        return *this;
    }
};

// A FILLSTYLEARRAY with its LINESTYLEARRAY, as at the start of a shape or in a NewStyles
// record.
struct StyleArrays {
    std::vector<FillStyleRecord> fills;
    std::vector<LineStyleRecord> lines;
};

// A non-edge record: each part is written only when it is set.
struct StyleChange {
    std::optional<int32_t> moveX, moveY;
    std::optional<uint32_t> fill0, fill1, line;
    std::optional<StyleArrays> newStyles;

    StyleChange& Move(int32_t x, int32_t y) {
        moveX = x;
        moveY = y;
        return *this;
    }
    StyleChange& Fill0(uint32_t index) {
        fill0 = index;
        return *this;
    }
    StyleChange& Fill1(uint32_t index) {
        fill1 = index;
        return *this;
    }
    StyleChange& Line(uint32_t index) {
        line = index;
        return *this;
    }
    StyleChange& NewStyles(StyleArrays styles) {
        newStyles = std::move(styles);
        return *this;
    }
};

class ShapeWriter {
public:
    // The shape version (1 to 4) decides whether colours carry alpha, and 4 writes edge
    // bounds, LINESTYLE2 and focal gradients.
    explicit ShapeWriter(int version = 3) : version(version) {}

    // The styles written before the records (empty for glyphs).
    ShapeWriter& FillStyles(std::vector<FillStyleRecord> fills);
    ShapeWriter& LineStyles(std::vector<LineStyleRecord> lines);

    ShapeWriter& Change(const StyleChange& change);
    ShapeWriter& MoveTo(int32_t x, int32_t y) { return Change(StyleChange().Move(x, y)); }
    // Straight edges: horizontal and vertical ones take the short form.
    ShapeWriter& LineBy(int32_t dx, int32_t dy);
    ShapeWriter& LineTo(int32_t x, int32_t y) { return LineBy(x - penX, y - penY); }
    ShapeWriter& CurveBy(int32_t controlDx, int32_t controlDy, int32_t anchorDx, int32_t anchorDy);
    ShapeWriter& CurveTo(int32_t controlX, int32_t controlY, int32_t anchorX, int32_t anchorY) {
        return CurveBy(controlX - penX, controlY - penY, anchorX - controlX, anchorY - controlY);
    }
    // A closed axis-aligned rectangle from (x0, y0), clockwise on screen (y down):
    // a move, then four edges.  The styles in effect apply to it.
    ShapeWriter& Rectangle(int32_t x0, int32_t y0, int32_t x1, int32_t y1);

    // NumFillBits, NumLineBits, the records and the end record (a glyph's SHAPE).
    std::vector<uint8_t> Records() const;
    // The style arrays followed by Records() (a SHAPEWITHSTYLE).
    std::vector<uint8_t> WithStyles() const;
    // A DefineShape body of this version: id, bounds (twice for version 4, with a zero flag
    // byte), WithStyles().
    std::vector<uint8_t> TagBody(uint16_t id, const RectRecord& bounds) const;
    // Adds the DefineShape tag of this version to a tag stream.
    void AddTo(TagStream& tags, uint16_t id, const RectRecord& bounds) const;

    static uint16_t TagCode(int version);

    // Style arrays as a shape of the given version writes them; counts of 255 and
    // more take the extended form.
    static void WriteFillStyles(BitWriter& out, const std::vector<FillStyleRecord>& fills,
                                int version);
    static void WriteFillStyle(BitWriter& out, const FillStyleRecord& fill, int version);
    static void WriteLineStyles(BitWriter& out, const std::vector<LineStyleRecord>& lines,
                                int version);
    static void WriteColor(BitWriter& out, const Rgba& color, bool withAlpha);

private:
    struct Edge {
        bool straight;
        int32_t dx, dy, anchorDx, anchorDy;
    };
    struct Record {
        std::optional<StyleChange> change; // set for non-edge records
        Edge edge;
    };

    // The index widths of each style segment: the first one and one per NewStyles.
    std::vector<std::pair<unsigned, unsigned>> SegmentBits() const;

    int version;
    StyleArrays styles;
    std::vector<Record> records;
    int32_t penX = 0, penY = 0;
};

} // namespace swftest
