#include "swf/FMorphShape.h"

#include "base/FlashParser.h"
#include "base/RecordConversions.h"
#include "swf/FDisplayItem.h"
#include "swf/FShape.h"
#include "swf/FlashScript.h"

#include <algorithm>

namespace UT {

namespace {

// Reads a shape body made in memory.
class ShapeImage final : public FlashParser {
public:
    explicit ShapeImage(const std::vector<uint8_t>& bytes) {
        const auto size = static_cast<uint32_t>(bytes.size());
        SetStream(bytes.data(), size, 0, size);
    }
    bool HandleTag(uint16_t /*code*/) override { return true; }
};

} // namespace

FMorphShape::FMorphShape(FlashScript* owner, int version)
    // The id comes first in the tag, before what the definition reads.
    : FObject(owner), morph((id = owner->ReadUI16(), *owner), version, owner->TagEnd()) {
    bounds = ToRectF(morph.Extent());
}

FMorphShape::~FMorphShape() = default;

void FMorphShape::Render(GraphicsContext& context, FDisplayItem* item) {
    const int32_t ratio = item ? std::clamp(item->ratio, 0, 65535) : 0;
    if (FShape* shape = ShapeAt(static_cast<uint16_t>(ratio))) shape->Render(context, item);
}

FShape* FMorphShape::ShapeAt(uint16_t ratio) {
    ++uses;
    for (Kept& k : kept) {
        if (k.ratio == ratio) {
            k.lastUse = uses;
            return k.shape.Get();
        }
    }
    // The least recently used entry (unused ones first) makes way.
    Kept& slot = *std::min_element(kept.begin(), kept.end(), [](const Kept& a, const Kept& b) {
        return a.lastUse < b.lastUse;
    });
    slot.ratio = ratio;
    slot.lastUse = uses;
    slot.shape = Held<FShape>();
    if (morph.WriteShape(static_cast<uint16_t>(id), ratio, image)) {
        ShapeImage reader(image.Bytes());
        slot.shape = new FShape(owner, reader, morph.ShapeVersion());
    }
    return slot.shape.Get();
}

} // namespace UT
