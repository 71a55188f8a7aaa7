#include "shapes/MorphStyles.h"

#include "base/FlashParser.h"
#include "shapes/MorphBlend.h"
#include "shapes/RecordWriter.h"
#include "shapes/StyleCodes.h"

namespace UT {

namespace {

// LINESTYLE2, first flag byte: the join in bits 4-5, the fill flag in bit 3.
constexpr uint32_t kHasFill = 0x08;

void WriteCount(RecordWriter& out, size_t count) {
    if (count >= 255) {
        out.UI8(255);
        out.UI16(static_cast<uint16_t>(count));
    } else {
        out.UI8(static_cast<uint8_t>(count));
    }
}

MorphColor ReadRgba(FlashParser& reader) {
    MorphColor c;
    for (uint8_t& channel : c) channel = reader.ReadUI8();
    return c;
}

void WriteRgba(const MorphColor& s, const MorphColor& e, const MorphBlend& blend,
               RecordWriter& out) {
    for (size_t i = 0; i < 4; ++i) out.UI8(blend.Byte(s[i], e[i]));
}

RawMatrix BlendMatrix(const RawMatrix& s, const RawMatrix& e, const MorphBlend& blend) {
    RawMatrix m;
    m.scaleX = blend.Field(s.scaleX, e.scaleX);
    m.scaleY = blend.Field(s.scaleY, e.scaleY);
    m.rotateSkew0 = blend.Field(s.rotateSkew0, e.rotateSkew0);
    m.rotateSkew1 = blend.Field(s.rotateSkew1, e.rotateSkew1);
    m.translateX = blend.Field(s.translateX, e.translateX);
    m.translateY = blend.Field(s.translateY, e.translateY);
    return m;
}

} // namespace

MorphStyles::MorphStyles(FlashParser& reader, int version) : version(version) {
    // Each style takes at least one byte: a count past the readable data stops at its end.
    const uint32_t fillCount = ReadStyleCount(reader);
    for (uint32_t i = 0; i < fillCount && !reader.Exhausted(); ++i)
        fills.push_back(ReadFill(reader));
    const uint32_t lineCount = ReadStyleCount(reader);
    for (uint32_t i = 0; i < lineCount && !reader.Exhausted(); ++i) {
        MorphLine line;
        line.startWidth = reader.ReadUI16();
        line.endWidth = reader.ReadUI16();
        if (version >= 2) {
            line.flags = reader.ReadUI16();
            const uint32_t first = line.flags & 0xFF;
            if (((first >> 4) & 3) == kJoinMiter) line.miterLimit = reader.ReadUI16();
            line.hasFill = first & kHasFill;
        }
        if (line.hasFill) {
            line.fill = ReadFill(reader);
        } else {
            line.startColor = ReadRgba(reader);
            line.endColor = ReadRgba(reader);
        }
        lines.push_back(std::move(line));
    }
}

MorphFill MorphStyles::ReadFill(FlashParser& reader) {
    MorphFill fill;
    fill.type = reader.ReadUI8();
    if (fill.type & kGradientBit) {
        fill.startMatrix = reader.ReadMatrix();
        fill.endMatrix = reader.ReadMatrix();
        fill.countByte = reader.ReadUI8();
        const uint32_t count = fill.countByte & kStopCountMask;
        for (uint32_t i = 0; i < count; ++i) {
            MorphGradientRecord record;
            record.startPosition = reader.ReadUI8();
            record.startColor = ReadRgba(reader);
            record.endPosition = reader.ReadUI8();
            record.endColor = ReadRgba(reader);
            fill.records.push_back(record);
        }
        if (fill.type == kFocalGradient) {
            fill.startFocal = reader.ReadSI16();
            fill.endFocal = reader.ReadSI16();
        }
    } else if (fill.type & kBitmapBit) {
        fill.bitmapId = reader.ReadUI16();
        fill.startMatrix = reader.ReadMatrix();
        fill.endMatrix = reader.ReadMatrix();
    } else {
        fill.startColor = ReadRgba(reader);
        fill.endColor = ReadRgba(reader);
    }
    return fill;
}

void MorphStyles::Write(const MorphBlend& blend, RecordWriter& out) const {
    WriteCount(out, fills.size());
    for (const MorphFill& fill : fills) WriteFill(fill, blend, out);
    WriteCount(out, lines.size());
    for (const MorphLine& line : lines) {
        out.UI16(static_cast<uint16_t>(blend.Rounded(line.startWidth, line.endWidth)));
        if (version >= 2) {
            out.UI16(line.flags);
            if ((((line.flags & 0xFF) >> 4) & 3) == kJoinMiter) out.UI16(line.miterLimit);
        }
        if (line.hasFill)
            WriteFill(line.fill, blend, out);
        else
            WriteRgba(line.startColor, line.endColor, blend, out);
    }
}

void MorphStyles::WriteFill(const MorphFill& fill, const MorphBlend& blend,
                            RecordWriter& out) const {
    out.UI8(fill.type);
    if (fill.type & kGradientBit) {
        out.Matrix(BlendMatrix(fill.startMatrix, fill.endMatrix, blend));
        // Kinds a shape of this version does not draw are written without records, as a
        // shape reader leaves them.
        const bool drawn = fill.type == kLinearGradient || fill.type == kRadialGradient ||
                           (fill.type == kFocalGradient && version >= 2);
        if (!drawn) {
            out.UI8(fill.countByte & ~kStopCountMask);
            return;
        }
        out.UI8(fill.countByte);
        for (const MorphGradientRecord& r : fill.records) {
            out.UI8(blend.Byte(r.startPosition, r.endPosition));
            WriteRgba(r.startColor, r.endColor, blend, out);
        }
        if (fill.type == kFocalGradient)
            out.UI16(static_cast<uint16_t>(
                static_cast<int16_t>(blend.Rounded(fill.startFocal, fill.endFocal))));
    } else if (fill.type & kBitmapBit) {
        out.UI16(fill.bitmapId);
        out.Matrix(BlendMatrix(fill.startMatrix, fill.endMatrix, blend));
    } else {
        WriteRgba(fill.startColor, fill.endColor, blend, out);
    }
}

} // namespace UT
