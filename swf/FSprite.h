// A sprite definition: a nested timeline over its own tag stream inside the file image.
// Every placed instance runs that stream on its own timeline and moves on one frame each
// time its parent completes a frame.
#pragma once

#include "swf/FDisplayItem.h"
#include "swf/FObject.h"
#include "swf/FlashSubScript.h"

#include <cstdint>

namespace UT {

class FSprite : public FObject {
public:
    // Reads SpriteID and FrameCount from the owner's reader; the control tags that follow
    // are read by the instances.
    explicit FSprite(FlashScript* owner);

    const char* GetTypeName() const override { return "Sprite"; }
    void Render(GraphicsContext& context, FDisplayItem* item) override;
    FDisplayItem* CreateDisplayItem(int32_t depth) override;

    uint32_t FrameCount() const { return frameCount; }
    uint32_t StreamStart() const { return streamStart; }
    uint32_t StreamLength() const { return streamLength; }

    class DisplayItem : public FDisplayItem {
    public:
        DisplayItem(FSprite* sprite, int32_t depth);

        // Frame numbers are the parent's; the instance counts from its placement.
        void SeekFrame(int32_t frame) override;
        void Advance() override;

        FlashSubScript& Timeline() { return timeline; }
        const FlashSubScript& Timeline() const { return timeline; }

    private:
        friend class FSprite;

        FSprite& Sprite() const { return *static_cast<FSprite*>(Character()); }

        // A timeline that also carries the sprite's FrameCount (which timing ignores).
        class SpriteTimeline : public FlashSubScript {
        public:
            void SetFrameCount(uint32_t count) { frameCount = count; }
        };

        SpriteTimeline timeline;
        int32_t rendering = 0; // guards against drawing itself from its own walk
    };

private:
    uint32_t frameCount = 0;
    uint32_t streamStart = 0;
    uint32_t streamLength = 0;
    int32_t running = 0; // instances of this sprite running their tags on the call chain
};

} // namespace UT
