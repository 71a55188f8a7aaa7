// A morph shape definition (DefineMorphShape, DefineMorphShape2): each placed instance is
// drawn at its placement's ratio as the shape the morph is at that ratio.  The shapes of
// the last few ratios drawn are kept, so a morph that stays at one ratio costs what a
// shape costs.
#pragma once

#include "base/RefCountBase.h"
#include "shapes/MorphShape.h"
#include "shapes/RecordWriter.h"
#include "swf/FObject.h"
#include "swf/FShape.h"

#include <array>
#include <cstdint>
#include <memory>

namespace UT {

class FMorphShape : public FObject {
public:
    // Reads the tag from the owner's reader, positioned at the character id, reading
    // nothing past the tag's end; version 2 is DefineMorphShape2.
    FMorphShape(FlashScript* owner, int version);
    ~FMorphShape() override;

    const char* GetTypeName() const override { return "MorphShape"; }
    void Render(GraphicsContext& context, FDisplayItem* item) override;

    // The shape at `ratio` (made when not kept), or null where the morph draws nothing.
    FShape* ShapeAt(uint16_t ratio);

private:
    struct Kept {
        int32_t ratio = -1; // none
        Held<FShape> shape;
        uint32_t lastUse = 0;
    };

    std::unique_ptr<MorphShape> morph;
    std::array<Kept, 4> kept;
    uint32_t uses = 0;
    RecordWriter image; // the shape body being made, its storage kept
};

} // namespace UT
