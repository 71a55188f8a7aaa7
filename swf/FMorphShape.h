// A morph shape definition (DefineMorphShape, DefineMorphShape2): each placed instance is
// drawn at its placement's ratio as the shape the morph is at that ratio.  The shapes of
// the ratios drawn are kept, so a morph that stays at one ratio costs what a shape costs
// and a tween played again is traced once: the last four always, more while the movie's
// path room allows.
#pragma once

#include "base/RefCountBase.h"
#include "shapes/MorphShape.h"
#include "shapes/RecordWriter.h"
#include "swf/FObject.h"
#include "swf/FShape.h"
#include "swf/KeptPath.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

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

    static constexpr size_t kAlwaysKept = 4;
    static constexpr size_t kMostKept = 256;
    // What a shape of a morph tag of `tagBytes` is taken to occupy once parsed: the tag
    // holds the edges of both ends, each shape about half of them.
    static size_t ShapeRoom(size_t tagBytes) { return 4096 + 16 * tagBytes; }

private:
    struct Kept {
        int32_t ratio = -1; // none
        Held<FShape> shape;
        uint32_t lastUse = 0;
        size_t room = 0; // taken from the movie's path room
    };

    std::unique_ptr<MorphShape> morph;
    std::vector<Kept> kept;
    size_t shapeRoom = 0;    // the room each kept shape past the first few takes
    Held<PathRoom> heldRoom; // where the rooms of the kept shapes came from
    uint32_t uses = 0;
    size_t lastFound = 0; // where the last ratio asked for was found
    RecordWriter image;   // the shape body being made, its storage kept
};

} // namespace UT
