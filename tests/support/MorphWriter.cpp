#include "MorphWriter.h"

#include <stdexcept>

namespace swftest {

namespace {

void WriteCount(BitWriter& out, size_t count) {
    if (count > 0xFFFF) throw std::invalid_argument("morph style array: too many styles");
    count >= 255 ? out.UI8(255).UI16(uint16_t(count)) : out.UI8(uint8_t(count));
}

BitWriter& WriteRgba(BitWriter& out, const Rgba& c) {
    return out.RGBA(c.r, c.g, c.b, c.a);
}

void WriteMorphFill(BitWriter& out, const FillStyleRecord& s, const FillStyleRecord& e) {
    if (s.type != e.type) throw std::invalid_argument("morph fill: types differ");
    out.UI8(s.type);
    if (s.type & 0x10) {
        if (s.stops.size() != e.stops.size() || s.stops.size() > 15)
            throw std::invalid_argument("morph gradient: stop counts differ or exceed 15");
        out.Matrix(s.matrix).Matrix(e.matrix);
        out.UI8(uint8_t(s.spread << 6 | (s.interpolation & 3) << 4 | s.stops.size()));
        for (size_t i = 0; i < s.stops.size(); ++i) {
            WriteRgba(out.UI8(s.stops[i].ratio), s.stops[i].color);
            WriteRgba(out.UI8(e.stops[i].ratio), e.stops[i].color);
        }
        if (s.type == FillStyleRecord::kFocalRadial) out.SI16(s.focalPoint).SI16(e.focalPoint);
    } else if (s.type & 0x40) {
        out.UI16(s.bitmapId).Matrix(s.matrix).Matrix(e.matrix);
    } else {
        WriteRgba(WriteRgba(out, s.color), e.color);
    }
}

void WriteMorphStyles(BitWriter& out, const StyleArrays& s, const StyleArrays& e, int version) {
    if (s.fills.size() != e.fills.size() || s.lines.size() != e.lines.size())
        throw std::invalid_argument("morph styles: the two shapes' arrays differ in size");
    WriteCount(out, s.fills.size());
    for (size_t i = 0; i < s.fills.size(); ++i) WriteMorphFill(out, s.fills[i], e.fills[i]);
    WriteCount(out, s.lines.size());
    for (size_t i = 0; i < s.lines.size(); ++i) {
        const LineStyleRecord& sl = s.lines[i];
        const LineStyleRecord& el = e.lines[i];
        out.UI16(sl.width).UI16(el.width);
        if (version < 2) {
            WriteRgba(WriteRgba(out, sl.color), el.color);
            continue;
        }
        if (sl.fill.has_value() != el.fill.has_value())
            throw std::invalid_argument("morph line: one end filled, the other not");
        out.UB(sl.startCap, 2).UB(sl.join, 2).UB(sl.fill.has_value(), 1).UB(0, 3);
        out.UB(0, 5).UB(sl.noClose, 1).UB(sl.endCap, 2);
        if (sl.join == LineStyleRecord::kMiterJoin) out.UI16(sl.miterLimit);
        if (sl.fill)
            WriteMorphFill(out, *sl.fill, *el.fill);
        else
            WriteRgba(WriteRgba(out, sl.color), el.color);
    }
}

} // namespace

std::vector<uint8_t> MorphWriter::TagBody(uint16_t id, const RectRecord& startBounds,
                                          const RectRecord& endBounds) const {
    BitWriter head;
    head.UI16(id).Rect(startBounds).Rect(endBounds);
    if (version >= 2) head.Rect(startBounds).Rect(endBounds).UI8(0);
    BitWriter styles;
    WriteMorphStyles(styles, start.Styles(), end.Styles(), version);
    const std::vector<uint8_t> startEdges = start.Records();
    const std::vector<uint8_t> endEdges = end.Records(!endStyles);
    const uint32_t offset = endOffset.value_or(uint32_t(styles.Data().size() + startEdges.size()));
    return head.UI32(offset).Bytes(styles.Data()).Bytes(startEdges).Bytes(endEdges).Data();
}

} // namespace swftest
