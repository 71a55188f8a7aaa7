// DefineMorphShape and DefineMorphShape2 bodies for fixtures, paired from two shapes: the
// start shape gives the styles' start values and the start edges with their style
// changes; the end shape gives the end values and the end edges, of whose style changes
// only the moves are written.  Style arrays pair element by element (types, caps, joins
// and flags from the start), so a fixture's two shapes are also the DefineShape3 (or
// DefineShape4) pictures the morph must draw at ratios 0 and 65535.
#pragma once

#include "ShapeWriter.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace swftest {

enum MorphTag : uint16_t { kDefineMorphShape = 46, kDefineMorphShape2 = 84 };

class MorphWriter {
public:
    // Version 1 writes DefineMorphShape (its shapes are DefineShape3), 2 DefineMorphShape2
    // (its shapes DefineShape4).
    MorphWriter(const ShapeWriter& start, const ShapeWriter& end, int version = 1)
        : start(start), end(end), version(version) {}

    // Replaces the offset to the end edges, for streams that lie about it.
    MorphWriter& EndEdgesOffset(uint32_t offset) { return endOffset = offset, *this; }
    // Writes the end edges with their style changes whole, as no authoring tool does.
    MorphWriter& EndStyleChanges() { return endStyles = true, *this; }

    std::vector<uint8_t> TagBody(uint16_t id, const RectRecord& startBounds,
                                 const RectRecord& endBounds) const;
    void AddTo(TagStream& tags, uint16_t id, const RectRecord& startBounds,
               const RectRecord& endBounds) const {
        tags.Tag(TagCode(), TagBody(id, startBounds, endBounds));
    }
    uint16_t TagCode() const { return version >= 2 ? kDefineMorphShape2 : kDefineMorphShape; }

private:
    ShapeWriter start, end;
    int version;
    std::optional<uint32_t> endOffset;
    bool endStyles = false;
};

} // namespace swftest
