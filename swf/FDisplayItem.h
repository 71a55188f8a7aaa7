// One placed instance of a character on a timeline's display list.
#pragma once

#include "base/RefCountBase.h"
#include "base/ValueTypes.h"
#include "raster/ZFilter.h"

#include <cstdint>
#include <string>

namespace UT {

class FObject;

class FDisplayItem : public RefCountBase {
public:
    FDisplayItem(FObject* character, int32_t depth);
    ~FDisplayItem() override;

    // Puts the instance at its state for the given frame of its parent.
    virtual void SeekFrame(int32_t frame);
    // One frame of the parent has completed.
    virtual void Advance();

    FObject* Character() const { return character.Get(); }

    std::string name;
    int32_t depth = 0;
    int32_t clipDepth = 0; // 0: not a clipping layer
    int32_t ratio = 0;
    int32_t placedFrame = 0;
    Matrix4 matrix;
    ColorTransform colorTransform;
    // PlaceObject3 and button records: drawn into a layer of its own when either is set.
    ZBlendMode blendMode = ZBlendMode::kNormal;
    ZFilterList filters;
    bool visible = true;
    bool hasBackground = false;
    ColorRGBA background; // filled behind the object over its bounds when set

private:
    Held<FObject> character;
};

} // namespace UT
