// A button definition: records naming the characters that make up its states.  Buttons
// are never pressed here, so every instance shows its Up state for its whole life.
#pragma once

#include "base/RefCountBase.h"
#include "base/ValueTypes.h"
#include "raster/ZFilter.h"
#include "swf/FDisplayItem.h"
#include "swf/FObject.h"

#include <cstdint>
#include <map>
#include <vector>

namespace UT {

// One BUTTONRECORD as read.
struct ButtonRecord {
    enum State : uint8_t { kHitTest = 0x01, kDown = 0x02, kOver = 0x04, kUp = 0x08 };

    uint8_t states = 0;
    uint16_t characterId = 0;
    uint16_t depth = 0;
    Matrix4 matrix;
    ColorTransform colorTransform;
    ZBlendMode blendMode = ZBlendMode::kNormal; // DefineButton2 only
    ZFilterList filters;                        // DefineButton2 only
};

class FButton : public FObject {
public:
    // Reads a DefineButton (kind 0) or DefineButton2 (kind 1) from the owner's reader.
    FButton(FlashScript* owner, int32_t kind);

    const char* GetTypeName() const override { return "Button"; }
    void Render(GraphicsContext& context, FDisplayItem* item) override;
    FDisplayItem* CreateDisplayItem(int32_t depth) override;

    // DefineButtonCxform: replaces every record's colour transform.  Instances made
    // before keep the copies they took.
    void SetColorTransform(const ColorTransform& colorTransform);

    int32_t Kind() const { return kind; }
    uint8_t TrackAsMenu() const { return trackAsMenu; }
    const std::vector<ButtonRecord>& Records() const { return records; }
    uint32_t ActionsStart() const { return actionsStart; }

    class DisplayItem : public FDisplayItem {
    public:
        using Items = std::map<int32_t, Held<FDisplayItem>>;

        // Builds the Up state.
        DisplayItem(FButton* button, int32_t depth);

        void Advance() override;
        // 0 Up, 1 Over, 2 Down; any other state shows nothing.
        void SetState(int32_t newState);

        int32_t State() const { return state; }
        const Items& StateItems() const { return items; }

    private:
        int32_t state = -1;
        Items items;
    };

protected:
    // A button without records that reads nothing, for subclasses that fill it in
    // themselves.
    explicit FButton(FlashScript* owner) : FObject(owner) {}

private:
    int32_t kind = 0;
    uint8_t trackAsMenu = 0;
    std::vector<ButtonRecord> records;
    uint32_t actionsStart = 0;
    int32_t building = 0; // instances of this button being built on the call chain
};

} // namespace UT
