#include "ShapeWriter.h"

#include <algorithm>
#include <stdexcept>

namespace swftest {

namespace {

constexpr uint32_t kExtendedCount = 255;
constexpr unsigned kMaxEdgeBits = 17;  // a UB(4) count plus 2
constexpr unsigned kMaxMoveBits = 31;  // a UB(5) count
constexpr unsigned kMaxIndexBits = 15; // a UB(4) count

void WriteCount(BitWriter& out, size_t count) {
    if (count > 0xFFFF) throw std::invalid_argument("style array: too many styles");
    if (count >= kExtendedCount) {
        out.UI8(uint8_t(kExtendedCount)).UI16(uint16_t(count));
    } else {
        out.UI8(uint8_t(count));
    }
}

unsigned IndexBitsFor(size_t count, uint32_t largestIndex) {
    const unsigned bits = BitWriter::UBitsFor(std::max(uint32_t(count), largestIndex));
    if (bits > kMaxIndexBits) throw std::invalid_argument("style index: too many bits");
    return bits;
}

} // namespace

FillStyleRecord FillStyleRecord::Solid(Rgba color) {
    FillStyleRecord fill;
    fill.color = color;
    return fill;
}

FillStyleRecord FillStyleRecord::Linear(const MatrixRecord& matrix,
                                        std::vector<GradientStop> stops) {
    FillStyleRecord fill;
    fill.type = kLinear;
    fill.matrix = matrix;
    fill.stops = std::move(stops);
    return fill;
}

FillStyleRecord FillStyleRecord::Radial(const MatrixRecord& matrix,
                                        std::vector<GradientStop> stops) {
    FillStyleRecord fill = Linear(matrix, std::move(stops));
    fill.type = kRadial;
    return fill;
}

FillStyleRecord FillStyleRecord::Focal(const MatrixRecord& matrix, std::vector<GradientStop> stops,
                                       int16_t focalPoint) {
    FillStyleRecord fill = Linear(matrix, std::move(stops));
    fill.type = kFocalRadial;
    fill.focalPoint = focalPoint;
    return fill;
}

FillStyleRecord FillStyleRecord::Bitmap(uint16_t id, const MatrixRecord& matrix, uint8_t type) {
    FillStyleRecord fill;
    fill.type = type;
    fill.bitmapId = id;
    fill.matrix = matrix;
    return fill;
}

ShapeWriter& ShapeWriter::FillStyles(std::vector<FillStyleRecord> fills) {
    styles.fills = std::move(fills);
    return *this;
}

ShapeWriter& ShapeWriter::LineStyles(std::vector<LineStyleRecord> lines) {
    styles.lines = std::move(lines);
    return *this;
}

ShapeWriter& ShapeWriter::Change(const StyleChange& change) {
    if (change.moveX.has_value() != change.moveY.has_value())
        throw std::invalid_argument("StyleChange: a move needs both coordinates");
    if (change.moveX) {
        penX = *change.moveX;
        penY = *change.moveY;
    }
    records.push_back({change, {}});
    return *this;
}

ShapeWriter& ShapeWriter::LineBy(int32_t dx, int32_t dy) {
    penX += dx;
    penY += dy;
    records.push_back({std::nullopt, {true, dx, dy, 0, 0}});
    return *this;
}

ShapeWriter& ShapeWriter::CurveBy(int32_t controlDx, int32_t controlDy, int32_t anchorDx,
                                  int32_t anchorDy) {
    penX += controlDx + anchorDx;
    penY += controlDy + anchorDy;
    records.push_back({std::nullopt, {false, controlDx, controlDy, anchorDx, anchorDy}});
    return *this;
}

ShapeWriter& ShapeWriter::Rectangle(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    return MoveTo(x0, y0).LineTo(x1, y0).LineTo(x1, y1).LineTo(x0, y1).LineTo(x0, y0);
}

std::vector<std::pair<unsigned, unsigned>> ShapeWriter::SegmentBits() const {
    // Largest index used per segment, together with that segment's style counts.
    struct Segment {
        size_t fills, lines;
        uint32_t largestFill = 0, largestLine = 0;
    };
    std::vector<Segment> segments{{styles.fills.size(), styles.lines.size()}};
    for (const Record& record : records) {
        if (!record.change) continue;
        const StyleChange& change = *record.change;
        // Indices of a record that also brings new styles are written with the old
        // widths: they come before the new arrays.
        Segment& current = segments.back();
        if (change.fill0) current.largestFill = std::max(current.largestFill, *change.fill0);
        if (change.fill1) current.largestFill = std::max(current.largestFill, *change.fill1);
        if (change.line) current.largestLine = std::max(current.largestLine, *change.line);
        if (change.newStyles)
            segments.push_back({change.newStyles->fills.size(), change.newStyles->lines.size()});
    }
    std::vector<std::pair<unsigned, unsigned>> bits;
    for (const Segment& segment : segments)
        bits.emplace_back(IndexBitsFor(segment.fills, segment.largestFill),
                          IndexBitsFor(segment.lines, segment.largestLine));
    return bits;
}

std::vector<uint8_t> ShapeWriter::Records() const {
    const auto bits = SegmentBits();
    size_t segment = 0;
    BitWriter out;
    out.Align().UB(bits[0].first, 4).UB(bits[0].second, 4);
    for (const Record& record : records) {
        if (record.change) {
            const StyleChange& c = *record.change;
            const uint32_t flags = (c.newStyles ? 0x10 : 0) | (c.line ? 0x08 : 0) |
                                   (c.fill1 ? 0x04 : 0) | (c.fill0 ? 0x02 : 0) |
                                   (c.moveX ? 0x01 : 0);
            // A style change with nothing set would read as the end record.
            if (flags == 0) throw std::invalid_argument("StyleChange: nothing set");
            out.UB(0, 1).UB(flags, 5);
            if (c.moveX) {
                const unsigned moveBits = BitWriter::SBitsFor({*c.moveX, *c.moveY});
                if (moveBits > kMaxMoveBits) throw std::invalid_argument("move: too large");
                out.UB(moveBits, 5).SB(*c.moveX, moveBits).SB(*c.moveY, moveBits);
            }
            const auto [fillBits, lineBits] = bits[segment];
            if (c.fill0) out.UB(*c.fill0, fillBits);
            if (c.fill1) out.UB(*c.fill1, fillBits);
            if (c.line) out.UB(*c.line, lineBits);
            if (c.newStyles) {
                WriteFillStyles(out, c.newStyles->fills, version);
                WriteLineStyles(out, c.newStyles->lines, version);
                ++segment;
                out.UB(bits[segment].first, 4).UB(bits[segment].second, 4);
            }
            continue;
        }
        const Edge& e = record.edge;
        out.UB(1, 1).UB(e.straight ? 1 : 0, 1);
        const unsigned coordBits =
            std::max(2u, e.straight ? BitWriter::SBitsFor({e.dx, e.dy})
                                    : BitWriter::SBitsFor({e.dx, e.dy, e.anchorDx, e.anchorDy}));
        if (coordBits > kMaxEdgeBits) throw std::invalid_argument("edge: delta too large");
        out.UB(coordBits - 2, 4);
        if (!e.straight) {
            out.SB(e.dx, coordBits).SB(e.dy, coordBits);
            out.SB(e.anchorDx, coordBits).SB(e.anchorDy, coordBits);
        } else if (e.dx != 0 && e.dy != 0) {
            out.UB(1, 1).SB(e.dx, coordBits).SB(e.dy, coordBits);
        } else if (e.dx == 0) {
            out.UB(0, 1).UB(1, 1).SB(e.dy, coordBits);
        } else {
            out.UB(0, 1).UB(0, 1).SB(e.dx, coordBits);
        }
    }
    out.UB(0, 6); // end record
    return out.Data();
}

std::vector<uint8_t> ShapeWriter::WithStyles() const {
    BitWriter out;
    WriteFillStyles(out, styles.fills, version);
    WriteLineStyles(out, styles.lines, version);
    out.Bytes(Records());
    return out.Data();
}

std::vector<uint8_t> ShapeWriter::TagBody(uint16_t id, const RectRecord& bounds) const {
    BitWriter out;
    out.UI16(id).Rect(bounds);
    if (version >= 4) out.Rect(bounds).UI8(0);
    out.Bytes(WithStyles());
    return out.Data();
}

void ShapeWriter::AddTo(TagStream& tags, uint16_t id, const RectRecord& bounds) const {
    tags.Tag(TagCode(version), TagBody(id, bounds));
}

uint16_t ShapeWriter::TagCode(int version) {
    if (version >= 4) return kDefineShape4;
    return version == 3 ? kDefineShape3 : version == 2 ? kDefineShape2 : kDefineShape;
}

void ShapeWriter::WriteColor(BitWriter& out, const Rgba& color, bool withAlpha) {
    if (withAlpha) {
        out.RGBA(color.r, color.g, color.b, color.a);
    } else {
        out.RGB(color.r, color.g, color.b);
    }
}

void ShapeWriter::WriteFillStyles(BitWriter& out, const std::vector<FillStyleRecord>& fills,
                                  int version) {
    WriteCount(out, fills.size());
    for (const FillStyleRecord& fill : fills) WriteFillStyle(out, fill, version);
}

void ShapeWriter::WriteFillStyle(BitWriter& out, const FillStyleRecord& fill, int version) {
    const bool withAlpha = version >= 3;
    out.UI8(fill.type);
    if (fill.type & 0x10) {
        if (fill.stops.size() > 15) throw std::invalid_argument("gradient: too many stops");
        // Spread in the top two bits, interpolation in the next two, then the count.
        const uint8_t count =
            uint8_t(fill.spread << 6 | (fill.interpolation & 3) << 4 | fill.stops.size());
        out.Matrix(fill.matrix).UI8(count);
        const bool focal = fill.type == FillStyleRecord::kFocalRadial && version >= 4;
        // Readers skip the records of gradient kinds they do not know, so the writer leaves
        // them out.
        if (fill.type != FillStyleRecord::kLinear && fill.type != FillStyleRecord::kRadial &&
            !focal)
            return;
        for (const GradientStop& stop : fill.stops) {
            out.UI8(stop.ratio);
            WriteColor(out, stop.color, withAlpha);
        }
        if (focal) out.SI16(fill.focalPoint);
    } else if (fill.type & 0x40) {
        out.UI16(fill.bitmapId).Matrix(fill.matrix);
    } else {
        WriteColor(out, fill.color, withAlpha);
    }
}

void ShapeWriter::WriteLineStyles(BitWriter& out, const std::vector<LineStyleRecord>& lines,
                                  int version) {
    WriteCount(out, lines.size());
    for (const LineStyleRecord& line : lines) {
        out.UI16(line.width);
        if (version < 4) {
            WriteColor(out, line.color, version >= 3);
            continue;
        }
        out.UB(line.startCap, 2).UB(line.join, 2).UB(line.hasFill ? 1 : 0, 1).UB(0, 3);
        out.UB(0, 5).UB(line.noClose ? 1 : 0, 1).UB(line.endCap, 2);
        if (line.join == LineStyleRecord::kMiterJoin) out.UI16(line.miterLimit);
        if (line.hasFill)
            WriteFillStyle(out, line.fill, version);
        else
            WriteColor(out, line.color, true);
    }
}

} // namespace swftest
