#include "swf/FlashSubScript.h"

#include "swf/TagCodes.h"

namespace UT {

bool FlashSubScript::HandleTag(uint16_t code) {
    switch (code) {
    case kTagEnd:
        return true;
    case kTagShowFrame:
        return HandleShowFrame();
    case kTagPlaceObject:
        HandlePlaceObject();
        return false;
    case kTagPlaceObject2:
        HandlePlaceObject2();
        return false;
    case kTagRemoveObject:
        HandleRemoveObject();
        return false;
    case kTagRemoveObject2:
        HandleRemoveObject2();
        return false;
    case kTagFrameLabel:
        HandleFrameLabel();
        return false;
    default:
        return false;
    }
}

// Frames are not counted yet, so a tag loop always runs on to the End tag.
bool FlashSubScript::HandleShowFrame() {
    return false;
}

// The display list does not exist yet: placements, removals and labels change nothing.
void FlashSubScript::HandlePlaceObject() {}
void FlashSubScript::HandlePlaceObject2() {}
void FlashSubScript::HandleRemoveObject() {}
void FlashSubScript::HandleRemoveObject2() {}
void FlashSubScript::HandleFrameLabel() {}

} // namespace UT
