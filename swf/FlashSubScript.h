// A timeline: a reader over a tag stream that acts on the display-list tags (the
// movie's main timeline, or a placed sprite's own).
#pragma once

#include "swf/FlashParser.h"

#include <cstdint>

namespace UT {

class FlashSubScript : public FlashParser {
public:
    // Acts on End, ShowFrame, the placements, the removals and FrameLabel; every other
    // code is skipped.  Returns true to stop the tag loop.
    bool HandleTag(uint16_t code) override;

protected:
    // A frame is complete; true when it is the frame being sought.
    bool HandleShowFrame();
    void HandlePlaceObject();
    void HandlePlaceObject2();
    void HandleRemoveObject();
    void HandleRemoveObject2();
    void HandleFrameLabel();
};

} // namespace UT
