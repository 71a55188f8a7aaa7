// A DefineMorphShape or DefineMorphShape2 definition as read, and the DefineShape3 (for
// DefineMorphShape2, DefineShape4) body it is at any ratio: bounds, styles and edges
// blended value by value, so that the morph at a ratio is read and drawn as that shape.
#pragma once

#include "base/ValueTypes.h"
#include "shapes/MorphEdges.h"
#include "shapes/MorphStyles.h"

#include <cstdint>

namespace UT {

class FlashParser;
class RecordWriter;

class MorphShape {
public:
    // Reads the definition from `reader`, positioned after the character id; nothing is
    // read past `limit` (the tag's end).
    MorphShape(FlashParser& reader, int version, uint32_t limit);

    // The shape body (id first) at `ratio`; false when the morph draws nothing there.
    bool WriteShape(uint16_t id, uint16_t ratio, RecordWriter& out) const;

    // The version of the shape it becomes: 3, or 4 for DefineMorphShape2.
    int ShapeVersion() const { return version >= 2 ? 4 : 3; }
    // The box holding both the start and the end bounds, in twips.
    RawRect Extent() const;

private:
    int version;
    RawRect startBounds, endBounds;
    RawRect startEdgeBounds, endEdgeBounds;
    uint8_t flags = 0;
    uint32_t endOffset; // where the end edges start, in the reader's stream
    MorphStyles styles;
    MorphEdges edges;
};

} // namespace UT
