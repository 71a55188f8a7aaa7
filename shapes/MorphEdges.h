// The two edge lists of a morph shape, and the shape records they make at one ratio.
//
// The start edges carry style changes, the end edges only moves and edges.  Points are
// absolute, in twips.  At a ratio, records are walked pairwise: each start edge with the
// next end edge, each move with the other list's move at the same place.  A move in one
// list without a partner is followed on its own (the other list's pen stays where it
// is).  A straight edge paired with a curved one is a curve whose control point is its
// midpoint.  Edges past the end of the shorter list are not drawn.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace UT {

class FlashParser;
class MorphBlend;
class RecordWriter;

struct MorphRecord {
    enum Kind : uint8_t { kStyleChange, kStraightEdge, kCurvedEdge };
    Kind kind = kStyleChange;
    uint32_t flags = 0; // style change: which fields it carries (ShapeRecord flags)
    uint32_t fill0 = 0, fill1 = 0, line = 0;
    int64_t x = 0, y = 0;               // where the pen is after the record (moves and edges)
    int64_t controlX = 0, controlY = 0; // curved edge
};

class MorphEdges {
public:
    // Reads the start edges from `reader` at its position (NumFillBits and NumLineBits
    // first), then the end edges from `endOffset`, neither past `limit`.  A NewStyles
    // record ends a list; the end edges' style changes count only for their moves.
    MorphEdges(FlashParser& reader, uint32_t endOffset, uint32_t limit);

    // NumFillBits, NumLineBits, the records at the blend's ratio and an end record, with
    // style indices as wide as the largest one read needs.  False when an edge would need
    // more records than a hostile morph deserves.
    bool Write(const MorphBlend& blend, RecordWriter& out) const;

    const std::vector<MorphRecord>& Start() const { return start; }
    const std::vector<MorphRecord>& End() const { return end; }

private:
    static void ReadList(FlashParser& reader, uint32_t limit, bool withStyles,
                         std::vector<MorphRecord>& list);

    std::vector<MorphRecord> start;
    std::vector<MorphRecord> end;
    uint32_t fillIndexMax = 0;
    uint32_t lineIndexMax = 0;
};

} // namespace UT
