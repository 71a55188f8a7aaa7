#include "swf/FButton.h"

#include "base/RecordConversions.h"
#include "swf/FlashScript.h"
#include "swf/NestingGuard.h"
#include "swf/SurfaceFilters.h"

namespace UT {

FButton::FButton(FlashScript* owner, int32_t kind) : FObject(owner), kind(kind) {
    id = owner->ReadUI16();
    if (kind == 1) {
        trackAsMenu = owner->ReadUI8();
        owner->ReadUI16(); // ActionOffset: actions are not run
    }
    // Records end at the end-of-records byte; a list that runs out of its tag (or of the
    // image, where reads give zeros) ends there too.
    while (owner->Position() < owner->TagEnd() && !owner->Exhausted()) {
        ButtonRecord record;
        owner->AlignBits();
        owner->ReadUBits(2);
        const bool hasBlendMode = owner->ReadUBits(1);
        const bool hasFilters = owner->ReadUBits(1);
        if (owner->ReadUBits(1)) record.states |= ButtonRecord::kHitTest;
        if (owner->ReadUBits(1)) record.states |= ButtonRecord::kDown;
        if (owner->ReadUBits(1)) record.states |= ButtonRecord::kOver;
        if (owner->ReadUBits(1)) record.states |= ButtonRecord::kUp;
        if (record.states == 0) break;
        record.characterId = owner->ReadUI16();
        record.depth = owner->ReadUI16();
        record.matrix = ToPlacementMatrix(owner->ReadMatrix());
        if (kind == 1) {
            record.colorTransform = ToColorTransform(owner->ReadCxform(true));
            if (hasFilters) ReadFilterList(*owner, record.filters);
            if (hasBlendMode) record.blendMode = ZBlendModeFromByte(owner->ReadUI8());
        }
        records.push_back(record);
    }
    actionsStart = owner->Position();
}

FDisplayItem* FButton::CreateDisplayItem(int32_t depth) {
    auto* item = new DisplayItem(this, depth);
    item->AddRef();
    return item;
}

void FButton::Render(GraphicsContext& context, FDisplayItem* item) {
    auto* instance = dynamic_cast<DisplayItem*>(item);
    if (!instance) return;
    int32_t unshared = 0; // the tree of instances is finite: only the depth is bounded
    NestingGuard guard(unshared);
    if (!guard) return;
    for (const auto& [depth, child] : instance->StateItems())
        if (child) owner->RenderItem(child.Get(), context);
}

void FButton::SetColorTransform(const ColorTransform& colorTransform) {
    for (ButtonRecord& record : records) record.colorTransform = colorTransform;
}

FButton::DisplayItem::DisplayItem(FButton* button, int32_t depth) : FDisplayItem(button, depth) {
    SetState(0);
}

void FButton::DisplayItem::Advance() {
    for (auto& [depth, child] : items)
        if (child) child->Advance();
}

void FButton::DisplayItem::SetState(int32_t newState) {
    if (newState == state) return;
    items.clear();
    state = newState;
    const uint8_t mask = newState == 0   ? ButtonRecord::kUp
                         : newState == 1 ? ButtonRecord::kOver
                         : newState == 2 ? ButtonRecord::kDown
                                         : 0;
    auto* button = static_cast<FButton*>(Character());
    // A button that shows itself (directly or through other buttons) stays empty at the
    // inner level; so does one nested too deeply.
    NestingGuard guard(button->building);
    if (!guard) return;
    for (const ButtonRecord& record : button->records) {
        if (!(record.states & mask)) continue;
        // A record naming no character in the dictionary is skipped.
        Held<FObject> character = button->owner->FindCharacter(record.characterId);
        if (!character) continue;
        auto child = Held<FDisplayItem>::Adopt(character->CreateDisplayItem(record.depth));
        if (!child) continue;
        child->matrix = record.matrix;
        child->colorTransform = record.colorTransform;
        child->blendMode = record.blendMode;
        child->filters = record.filters;
        items[record.depth] = child;
    }
}

} // namespace UT
