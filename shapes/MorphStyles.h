// The fill and line styles of a morph shape: each value read for the start and the end,
// and written at one ratio as the FILLSTYLEARRAY and LINESTYLEARRAY of the DefineShape3
// (DefineShape4 for DefineMorphShape2) that the morph is at that ratio.
#pragma once

#include "base/ValueTypes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace UT {

class FlashParser;
class MorphBlend;
class RecordWriter;

using MorphColor = std::array<uint8_t, 4>; // RGBA as stored

struct MorphGradientRecord {
    uint8_t startPosition = 0;
    MorphColor startColor{};
    uint8_t endPosition = 0;
    MorphColor endColor{};
};

struct MorphFill {
    uint8_t type = 0;
    MorphColor startColor{}, endColor{}; // solid
    RawMatrix startMatrix, endMatrix;    // gradient and bitmap
    uint8_t countByte = 0;               // gradient: spread, interpolation and count
    std::vector<MorphGradientRecord> records;
    int16_t startFocal = 0, endFocal = 0; // focal radial gradient, 8.8
    uint16_t bitmapId = 0;
};

struct MorphLine {
    uint16_t startWidth = 0, endWidth = 0; // twips
    uint16_t flags = 0;                    // LINESTYLE2 flag bytes as read (morph version 2)
    uint16_t miterLimit = 0;
    MorphColor startColor{}, endColor{};
    bool hasFill = false;
    MorphFill fill;
};

class MorphStyles {
public:
    // Reads the morph fill and line style arrays of a morph of `version` (1 or 2).
    MorphStyles(FlashParser& reader, int version);

    // The two arrays at the blend's ratio, as a shape of version 3 (morph version 1) or 4
    // writes them.
    void Write(const MorphBlend& blend, RecordWriter& out) const;

    size_t FillCount() const { return fills.size(); }
    size_t LineCount() const { return lines.size(); }

private:
    static MorphFill ReadFill(FlashParser& reader);
    void WriteFill(const MorphFill& fill, const MorphBlend& blend, RecordWriter& out) const;

    std::vector<MorphFill> fills;
    std::vector<MorphLine> lines;
    int version;
};

} // namespace UT
