// Kept fills for the glyphs a text draws, one for each glyph in the order it is drawn.  A
// glyph's outline is one kept path shared by every place the glyph appears, so on its own
// it keeps its first place alone; here each drawn glyph keeps its own.  A fill keeps what
// it drew for its transform alone, so only its glyph may use it: a place that comes to
// draw another outline (the text changed) forgets what it kept.  Outlines are told apart
// by where they lie, so they must outlive the fills: the movie keeps both for its life.
// The room goes back when the fills go.
#pragma once

#include "base/RefCountBase.h"
#include "raster/ZKeptFill.h"
#include "swf/KeptPath.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace UT {

class GlyphOutline;

class GlyphFills : public RefCountBase {
public:
    GlyphFills() = default;
    GlyphFills(const GlyphFills&) = delete;
    GlyphFills& operator=(const GlyphFills&) = delete;
    ~GlyphFills() override;

    // The fill of the `g`th glyph drawn, with this outline; its segments' room is taken
    // from `room` when first asked.  Null without room.
    ZKeptFill* For(size_t g, const GlyphOutline& outline, PathRoom* room);

private:
    struct Slot {
        const GlyphOutline* outline = nullptr;
        bool tried = false;
    };
    std::vector<ZKeptFill> fills;
    std::vector<Slot> slots;
    Held<PathRoom> heldRoom;
};

} // namespace UT
