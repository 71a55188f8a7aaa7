#include "swf/FMorphShape.h"

#include "base/FlashParser.h"
#include "base/RecordConversions.h"
#include "swf/FDisplayItem.h"
#include "swf/FShape.h"
#include "swf/FlashScript.h"

#include <algorithm>

namespace UT {

namespace {

// Reads bytes from `position` up to `end` and no further: a shape body made in memory, or
// one tag of the movie, so that a morph claiming more than its tag holds reads zeros
// instead of the tags after it.
class ByteReader final : public FlashParser {
public:
    ByteReader(const uint8_t* data, uint32_t position, uint32_t end) {
        SetStream(data, end, position, end);
    }
    bool HandleTag(uint16_t /*code*/) override { return true; }
};

} // namespace

FMorphShape::FMorphShape(FlashScript* owner, int version) : FObject(owner) {
    const uint32_t end = std::min(owner->TagEnd(), owner->Readable());
    ByteReader tag(owner->Data(), owner->Position(), end);
    id = tag.ReadUI16();
    morph = std::make_unique<MorphShape>(tag, version, end);
    shapeRoom = ShapeRoom(end > owner->Position() ? end - owner->Position() : 0);
    bounds = ToRectF(morph->Extent());
}

FMorphShape::~FMorphShape() {
    for (const Kept& k : kept)
        if (k.room) heldRoom->Give(k.room);
}

void FMorphShape::Render(GraphicsContext& context, FDisplayItem* item) {
    const int32_t ratio = item ? std::clamp(item->ratio, 0, 65535) : 0;
    if (FShape* shape = ShapeAt(static_cast<uint16_t>(ratio))) shape->Render(context, item);
}

FShape* FMorphShape::ShapeAt(uint16_t ratio) {
    ++uses;
    // A frame drawn again asks for the ratio found last, and a tween played on for the one
    // kept after it: those places are looked at first.
    size_t i = lastFound < kept.size() ? lastFound : 0;
    for (size_t n = 0; n < kept.size(); ++n, i = i + 1 < kept.size() ? i + 1 : 0) {
        Kept& k = kept[i];
        if (k.ratio == ratio) {
            k.lastUse = uses;
            lastFound = i;
            return k.shape.Get();
        }
    }
    Held<FShape> shape;
    if (morph->WriteShape(static_cast<uint16_t>(id), ratio, image)) {
        const auto size = static_cast<uint32_t>(image.Bytes().size());
        ByteReader reader(image.Bytes().data(), 0, size);
        shape = new FShape(owner, reader, morph->ShapeVersion());
    }
    // A new entry while there is room for it, else the least recently used one makes way
    // (and its room goes to the new shape).
    const size_t room = kept.size() < kAlwaysKept ? 0 : shapeRoom;
    PathRoom* movieRoom = owner->KeptPathRoom();
    if (kept.size() < kAlwaysKept ||
        (kept.size() < kMostKept && movieRoom && movieRoom->Take(room))) {
        if (room) heldRoom = movieRoom;
        kept.push_back(Kept{ratio, shape, uses, room});
        lastFound = kept.size() - 1;
        return shape.Get();
    }
    Kept& slot = *std::min_element(kept.begin(), kept.end(), [](const Kept& a, const Kept& b) {
        return a.lastUse < b.lastUse;
    });
    lastFound = size_t(&slot - kept.data());
    slot.ratio = ratio;
    slot.lastUse = uses;
    slot.shape = shape;
    return shape.Get();
}

} // namespace UT
