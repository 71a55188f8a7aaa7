#include "swf/KeptPath.h"

#include <cstring>

namespace UT {

bool PathRoom::Take(size_t bytes) {
    if (bytes > left) return false;
    left -= bytes;
    return true;
}

KeptPath::~KeptPath() {
    if (heldRoom)
        heldRoom->Give(bytes + built.keptFill.SpanBytes() + built.keptOutlineFill.SpanBytes());
}

bool KeptPath::SameKey(const Matrix4* key) const {
    if (!key) return !keyed;
    return keyed && std::memcmp(key->m, keyMatrix.m, sizeof keyMatrix.m) == 0;
}

void KeptPath::Keep(GraphicsContext& context, PathRoom* room, const Matrix4* key) {
    state = kNotKept;
    if (!room || !context.KeepPath(built)) return;
    keyed = key != nullptr;
    if (key) keyMatrix = *key;
    const size_t size = built.path.Capacity() * sizeof(ZPathElement);
    if (!room->Take(size)) {
        built = GraphicsContext::BuiltPath();
        return;
    }
    heldRoom = room;
    bytes = size;
    state = kKept;
    AllowFill(built.keptFill, built.path, false, 0);
}

// Room for the device segments of a fill of `path`: one a line at most (the context puts
// curves in as lines), when the allowance has it; and the allowance for the fill's spans
// to take their room from when they are kept.  A fill allowed `afterDraw` takes room for
// `spans` of them, and its memory, at once.
void KeptPath::AllowFill(ZKeptFill& fill, const ZPath& path, bool afterDraw, size_t spans) {
    const size_t size = path.Count() * sizeof(ZSegment);
    if (!heldRoom->Take(size)) return;
    fill.Allow(size, heldRoom.Get(), afterDraw, spans);
    bytes += size;
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
    // The outline is kept after its first stroke: its spans get the room that stroke's
    // took, so that keeping them on the next stroke allocates nothing.
    AllowFill(built.keptOutlineFill, built.outline, true, context.LastFillSpans());
}

} // namespace UT
