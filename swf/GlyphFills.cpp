#include "swf/GlyphFills.h"

#include "raster/ZSegment.h"
#include "swf/GlyphOutline.h"

namespace UT {

GlyphFills::~GlyphFills() {
    if (!heldRoom) return;
    for (const ZKeptFill& fill : fills) heldRoom->Give(fill.Allowed() + fill.SpanBytes());
}

ZKeptFill* GlyphFills::For(size_t g, const GlyphOutline& outline, PathRoom* room) {
    if (!room || (heldRoom && heldRoom.Get() != room)) return nullptr;
    if (g >= fills.size()) {
        fills.resize(g + 1);
        slots.resize(g + 1);
    }
    ZKeptFill& fill = fills[g];
    Slot& slot = slots[g];
    if (slot.tried && slot.outline != &outline) fill.Forget();
    slot.outline = &outline;
    if (!slot.tried) {
        slot.tried = true;
        const size_t bytes = outline.MostSegments() * sizeof(ZSegment);
        if (room->Take(bytes)) {
            fill.Allow(bytes, room);
            heldRoom = room;
        }
    }
    return fill.Allowed() != 0 ? &fill : nullptr;
}

} // namespace UT
