#include "swf/KeptPath.h"

namespace UT {

bool PathRoom::Take(size_t bytes) {
    if (bytes > left) return false;
    left -= bytes;
    return true;
}

KeptPath::~KeptPath() {
    if (heldRoom) heldRoom->Give(bytes);
}

void KeptPath::Keep(GraphicsContext& context, PathRoom* room) {
    state = kNotKept;
    if (!room || !context.KeepPath(built)) return;
    const size_t size = built.path.Capacity() * sizeof(ZPathElement);
    if (!room->Take(size)) {
        built = GraphicsContext::BuiltPath();
        return;
    }
    heldRoom = room;
    bytes = size;
    state = kKept;
}

void KeptPath::KeepOutline(GraphicsContext& context) {
    if (state != kKept || built.outlineKept || !context.KeepStrokeOutline(built)) return;
    const size_t size = built.outline.Capacity() * sizeof(ZPathElement);
    if (!heldRoom->Take(size)) {
        built.outline = ZPath();
        built.outlineKept = false;
        state = kPathOnly;
        return;
    }
    bytes += size;
}

} // namespace UT
