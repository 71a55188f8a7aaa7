#include "ShapeWriter.h"

#include <algorithm>
#include <stdexcept>

namespace swftest {

namespace {

void WriteCount(BitWriter& out, size_t count) {
    if (count > 0xFFFF) throw std::invalid_argument("style array: too many styles");
    count >= 255 ? out.UI8(255).UI16(uint16_t(count)) : out.UI8(uint8_t(count));
}

BitWriter& WriteColor(BitWriter& out, const Rgba& c, bool withAlpha) {
    return withAlpha ? out.RGBA(c.r, c.g, c.b, c.a) : out.RGB(c.r, c.g, c.b);
}

void WriteFillStyle(BitWriter& out, const FillStyleRecord& fill, int version) {
    out.UI8(fill.type);
    if (fill.type & 0x10) {
        if (fill.stops.size() > 15) throw std::invalid_argument("gradient: too many stops");
        // Spread in the top two bits, interpolation in the next two, then the count.
        out.Matrix(fill.matrix)
            .UI8(uint8_t(fill.spread << 6 | (fill.interpolation & 3) << 4 | fill.stops.size()));
        const bool focal = fill.type == FillStyleRecord::kFocalRadial && version >= 4;
        if (fill.type != FillStyleRecord::kLinear && fill.type != FillStyleRecord::kRadial &&
            !focal)
            return;
        for (const GradientStop& stop : fill.stops)
            WriteColor(out.UI8(stop.ratio), stop.color, version >= 3);
        if (focal) out.SI16(fill.focalPoint);
    } else if (fill.type & 0x40) {
        out.UI16(fill.bitmapId).Matrix(fill.matrix);
    } else {
        WriteColor(out, fill.color, version >= 3);
    }
}

void WriteStyles(BitWriter& out, const StyleArrays& styles, int version) {
    WriteCount(out, styles.fills.size());
    for (const FillStyleRecord& fill : styles.fills) WriteFillStyle(out, fill, version);
    WriteCount(out, styles.lines.size());
    for (const LineStyleRecord& line : styles.lines) {
        out.UI16(line.width);
        if (version < 4) {
            WriteColor(out, line.color, version >= 3);
            continue;
        }
        out.UB(line.startCap, 2).UB(line.join, 2).UB(line.fill.has_value(), 1);
        out.UB(line.noHScale, 1).UB(line.noVScale, 1).UB(0, 1);
        out.UB(0, 5).UB(line.noClose, 1).UB(line.endCap, 2);
        if (line.join == LineStyleRecord::kMiterJoin) out.UI16(line.miterLimit);
        line.fill ? WriteFillStyle(out, *line.fill, version)
                  : void(WriteColor(out, line.color, true));
    }
}

} // namespace

ShapeWriter& ShapeWriter::Change(const StyleChange& change) {
    if (change.moveX.has_value() != change.moveY.has_value())
        throw std::invalid_argument("StyleChange: a move needs both coordinates");
    if (change.moveX) penX = *change.moveX, penY = *change.moveY;
    return records.push_back({change, {}}), *this;
}

std::vector<std::pair<unsigned, unsigned>> ShapeWriter::SegmentBits() const {
    // Per segment: its fill and line counts, raised to the largest index used in it.
    std::vector<std::pair<uint32_t, uint32_t>> largest{
        {uint32_t(styles.fills.size()), uint32_t(styles.lines.size())}};
    for (const Record& record : records) {
        if (!record.change) continue;
        const StyleChange& c = *record.change;
        // Indices of a record that also brings new styles are written with the old widths:
        // they come before the new arrays.
        auto& [fills, lines] = largest.back();
        fills = std::max({fills, c.fill0.value_or(0), c.fill1.value_or(0)});
        lines = std::max(lines, c.line.value_or(0));
        if (c.newStyles) largest.emplace_back(c.newStyles->fills.size(), c.newStyles->lines.size());
    }
    std::vector<std::pair<unsigned, unsigned>> bits;
    for (const auto& [fills, lines] : largest) {
        bits.emplace_back(BitWriter::UBitsFor(fills), BitWriter::UBitsFor(lines));
        if (std::max(bits.back().first, bits.back().second) > 15)
            throw std::invalid_argument("style index: too many bits");
    }
    return bits;
}

std::vector<uint8_t> ShapeWriter::Records(bool movesOnly) const {
    const auto bits =
        movesOnly ? std::vector<std::pair<unsigned, unsigned>>{{0, 0}} : SegmentBits();
    auto segment = bits.begin();
    BitWriter out;
    out.Align().UB(segment->first, 4).UB(segment->second, 4);
    for (const Record& record : records) {
        if (record.change && movesOnly) {
            if (record.change->moveX)
                out.UB(0, 1).UB(0x01, 5).Counted(5, {*record.change->moveX, *record.change->moveY});
            continue;
        }
        if (record.change) {
            const StyleChange& c = *record.change;
            const uint32_t flags = (c.newStyles ? 0x10 : 0) | (c.line ? 0x08 : 0) |
                                   (c.fill1 ? 0x04 : 0) | (c.fill0 ? 0x02 : 0) |
                                   (c.moveX ? 0x01 : 0);
            // A style change with nothing set would read as the end record.
            if (flags == 0) throw std::invalid_argument("StyleChange: nothing set");
            out.UB(0, 1).UB(flags, 5);
            if (c.moveX) out.Counted(5, {*c.moveX, *c.moveY});
            if (c.fill0) out.UB(*c.fill0, segment->first);
            if (c.fill1) out.UB(*c.fill1, segment->first);
            if (c.line) out.UB(*c.line, segment->second);
            if (c.newStyles) {
                WriteStyles(out, *c.newStyles, version);
                ++segment;
                out.UB(segment->first, 4).UB(segment->second, 4);
            }
            continue;
        }
        const EdgeRecord& e = record.edge;
        const unsigned coordBits =
            std::max(2u, e.straight ? BitWriter::SBitsFor({e.dx, e.dy})
                                    : BitWriter::SBitsFor({e.dx, e.dy, e.anchorDx, e.anchorDy}));
        if (coordBits > 17) throw std::invalid_argument("edge: delta too large");
        out.UB(1, 1).UB(e.straight, 1).UB(coordBits - 2, 4);
        if (!e.straight)
            for (int32_t v : {e.dx, e.dy, e.anchorDx, e.anchorDy}) out.SB(v, coordBits);
        else if (e.dx != 0 && e.dy != 0)
            out.UB(1, 1).SB(e.dx, coordBits).SB(e.dy, coordBits);
        else // a vertical or horizontal line
            out.UB(0, 1).UB(e.dx == 0, 1).SB(e.dx == 0 ? e.dy : e.dx, coordBits);
    }
    out.UB(0, 6); // end record
    return out.Data();
}

std::vector<uint8_t> ShapeWriter::TagBody(uint16_t id, const RectRecord& bounds) const {
    BitWriter out;
    out.UI16(id).Rect(bounds);
    if (version >= 4) out.Rect(bounds).UI8(0);
    WriteStyles(out, styles, version);
    return out.Bytes(Records()).Data();
}

} // namespace swftest
