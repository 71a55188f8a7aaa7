// SHAPE data for fixtures: style arrays, shape records and DefineShape to DefineShape4
// bodies, coordinates in twips.  Records are written at the end, so each style segment's
// NumFillBits and NumLineBits hold both its style counts and the largest index it uses.
// The pen position is kept, so edges take deltas (LineBy, CurveBy) or points (LineTo).
#pragma once

#include "SwfWriter.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace swftest {

enum ShapeTag : uint16_t {
    kDefineShape = 2,
    kDefineShape2 = 22,
    kDefineShape3 = 32,
    kDefineShape4 = 83
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
    enum Type : uint8_t {
        kSolid = 0x00,
        kLinear = 0x10,
        kRadial = 0x12,
        kFocalRadial = 0x13,
        kRepeatingBitmap = 0x40,
        kClippedBitmap = 0x41,
    };
    // Gradient spread and interpolation, the high bits of the record count.
    enum Spread : uint8_t { kPad = 0, kReflect = 1, kRepeat = 2 };
    enum Interpolation : uint8_t { kNormalRGB = 0, kLinearRGB = 1 };

    uint8_t type = kSolid;
    Rgba color = {};          // solid
    MatrixRecord matrix = {}; // gradient and bitmap
    // At most 15; written only for the gradient kinds a reader knows.
    std::vector<GradientStop> stops;
    uint8_t spread = kPad;
    uint8_t interpolation = kNormalRGB;
    int16_t focalPoint = 0; // 8.8, focal radial gradients of DefineShape4
    uint16_t bitmapId = 0;

    static FillStyleRecord Solid(Rgba color) { return {.color = color, .stops = {}}; }
    static FillStyleRecord Linear(const MatrixRecord& m, std::vector<GradientStop> stops) {
        return {.type = kLinear, .matrix = m, .stops = std::move(stops)};
    }
    static FillStyleRecord Radial(const MatrixRecord& m, std::vector<GradientStop> stops) {
        return {.type = kRadial, .matrix = m, .stops = std::move(stops)};
    }
    static FillStyleRecord Focal(const MatrixRecord& m, std::vector<GradientStop> stops,
                                 int16_t focal) {
        return {.type = kFocalRadial, .matrix = m, .stops = std::move(stops), .focalPoint = focal};
    }
    static FillStyleRecord Bitmap(uint16_t id, const MatrixRecord& m,
                                  uint8_t type = kClippedBitmap) {
        return {.type = type, .matrix = m, .stops = {}, .bitmapId = id};
    }
};

struct LineStyleRecord {
    // The file's codes in LINESTYLE2 (DefineShape4).
    enum Cap : uint8_t { kRoundCap = 0, kNoCap = 1, kSquareCap = 2 };
    enum Join : uint8_t { kRoundJoin = 0, kBevelJoin = 1, kMiterJoin = 2 };

    uint16_t width = 20; // twips
    Rgba color;
    // Written only by DefineShape4; the fill replaces the colour when set.
    uint8_t startCap = kRoundCap, endCap = kRoundCap, join = kRoundJoin;
    uint16_t miterLimit = 0x0300; // 8.8, for miter joins
    bool noClose = false;
    std::optional<FillStyleRecord> fill = {};
    bool noHScale = false, noVScale = false;
};

struct StyleArrays {
    std::vector<FillStyleRecord> fills;
    std::vector<LineStyleRecord> lines;
};

// A non-edge record: each part is written when it is set.
struct StyleChange {
    std::optional<int32_t> moveX, moveY;
    std::optional<uint32_t> fill0, fill1, line;
    std::optional<StyleArrays> newStyles;

    StyleChange& Move(int32_t x, int32_t y) { return moveX = x, moveY = y, *this; }
    StyleChange& Fill0(uint32_t index) { return fill0 = index, *this; }
    StyleChange& Fill1(uint32_t index) { return fill1 = index, *this; }
    StyleChange& Line(uint32_t index) { return line = index, *this; }
    StyleChange& NewStyles(StyleArrays styles) { return newStyles = std::move(styles), *this; }
};

class ShapeWriter {
public:
    // The version (1 to 4) decides whether colours carry alpha; 4 writes edge bounds,
    // LINESTYLE2 and focal gradients.
    explicit ShapeWriter(int version = 3) : version(version) {}

    ShapeWriter& FillStyles(std::vector<FillStyleRecord> fills) {
        return styles.fills = std::move(fills), *this;
    }
    ShapeWriter& LineStyles(std::vector<LineStyleRecord> lines) {
        return styles.lines = std::move(lines), *this;
    }

    ShapeWriter& Change(const StyleChange& change);
    ShapeWriter& MoveTo(int32_t x, int32_t y) { return Change(StyleChange().Move(x, y)); }
    ShapeWriter& LineBy(int32_t dx, int32_t dy) { return Edge({true, dx, dy, 0, 0}); }
    ShapeWriter& LineTo(int32_t x, int32_t y) { return LineBy(x - penX, y - penY); }
    ShapeWriter& CurveBy(int32_t controlDx, int32_t controlDy, int32_t anchorDx, int32_t anchorDy) {
        return Edge({false, controlDx, controlDy, anchorDx, anchorDy});
    }
    ShapeWriter& CurveTo(int32_t controlX, int32_t controlY, int32_t anchorX, int32_t anchorY) {
        return CurveBy(controlX - penX, controlY - penY, anchorX - controlX, anchorY - controlY);
    }
    // A move to (x0, y0), then four edges clockwise on screen (y down).
    ShapeWriter& Rectangle(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
        return MoveTo(x0, y0).LineTo(x1, y0).LineTo(x1, y1).LineTo(x0, y1).LineTo(x0, y0);
    }

    // NumFillBits, NumLineBits, the records and the end record (a glyph's SHAPE).  With
    // `movesOnly`, style changes keep only their moves and index widths are 0, as the
    // end edges of a morph shape are written.
    std::vector<uint8_t> Records(bool movesOnly = false) const;
    const StyleArrays& Styles() const { return styles; }
    int Version() const { return version; }
    // A DefineShape body: id, bounds (twice for version 4, with a flag byte), styles, records.
    std::vector<uint8_t> TagBody(uint16_t id, const RectRecord& bounds) const;
    void AddTo(TagStream& tags, uint16_t id, const RectRecord& bounds) const {
        tags.Tag(TagCode(version), TagBody(id, bounds));
    }
    static uint16_t TagCode(int version) {
        constexpr uint16_t kCodes[] = {kDefineShape, kDefineShape2, kDefineShape3, kDefineShape4};
        return kCodes[std::clamp(version, 1, 4) - 1];
    }

private:
    struct EdgeRecord {
        bool straight;
        int32_t dx, dy, anchorDx, anchorDy;
    };
    struct Record {
        std::optional<StyleChange> change; // set for non-edge records
        EdgeRecord edge;
    };

    ShapeWriter& Edge(const EdgeRecord& edge) {
        penX += edge.dx + edge.anchorDx, penY += edge.dy + edge.anchorDy;
        return records.push_back({std::nullopt, edge}), *this;
    }
    // The index widths of each style segment: the first one and one per NewStyles.
    std::vector<std::pair<unsigned, unsigned>> SegmentBits() const;

    int version;
    StyleArrays styles;
    std::vector<Record> records;
    int32_t penX = 0, penY = 0;
};

} // namespace swftest
