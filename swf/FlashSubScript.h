// A timeline: a reader over a tag stream plus the display list it builds frame by frame.
// The movie's main timeline and every placed sprite run one.
#pragma once

#include "base/FlashParser.h"
#include "base/RefCountBase.h"
#include "swf/FDisplayItem.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class GraphicsContext;

namespace UT {

class FlashScript;

class FlashSubScript : public FlashParser {
public:
    using DisplayList = std::map<int32_t, Held<FDisplayItem>>;

    FlashSubScript() = default;
    ~FlashSubScript() override;

    // Back to the first tag with an empty display list and no frame shown.
    void Rewind() override;
    bool HandleTag(uint16_t code) override;

    // Makes `frame` the current frame: forwards from where the timeline stands, or
    // backwards by rewinding and replaying.
    void GotoFrame(int32_t frame);
    // One frame forwards, wrapping to frame 0 after the last.
    void AdvanceFrame();

    // Draws the current display list, clipping layers included.
    void RenderDisplayList(GraphicsContext& context);
    // Draws one item with its matrix and colour transform.
    void RenderItem(FDisplayItem* item, GraphicsContext& context);

    // Attaches a sprite timeline to the movie that owns the dictionary.
    void SetMovie(FlashScript* owner, FlashSubScript* parentTimeline) {
        movie = owner;
        parent = parentTimeline;
    }
    int32_t CurrentFrame() const { return currentFrame; }
    const DisplayList& Items() const { return displayList; }
    const std::map<std::string, int32_t>& Labels() const { return labels; }

protected:
    bool HandleShowFrame();
    void HandlePlaceObject();
    void HandlePlaceObject2();
    void HandlePlaceObject3();
    void HandleRemoveObject();
    void HandleRemoveObject2();
    void HandleFrameLabel();
    void ClearDisplayList();

    FlashSubScript* parent = nullptr;
    FlashScript* movie = nullptr; // owner of the dictionary
    DisplayList displayList;
    std::map<std::string, int32_t> labels;
    int32_t currentFrame = -1;
    int32_t targetFrame = 0;
    std::vector<Held<FDisplayItem>> activeClips;
    // Clip layers whose range has ended but which still clip an active one placed inside it.
    std::vector<Held<FDisplayItem>> outerClips;
    // The clip layers whose range just ended; kept between frames for its room.
    std::vector<Held<FDisplayItem>> endedClips;
    // The mask as it was before a nested clip layer is drawn into it; kept between
    // frames so that nested clips draw without allocating.
    std::vector<uint8_t> maskBefore;

private:
    // False when nothing was placed or moved (and the fields after the id were not read).
    bool Place(uint32_t flags, int32_t depth, uint32_t characterId, bool withAlpha);
    void Remove(int32_t depth);
    // Clip layers nest: the mask holds where every active clip layer (of this timeline and
    // of its parents) draws.  True when one is active.
    bool AnyActiveClips() const {
        return !activeClips.empty() || (parent && parent->AnyActiveClips());
    }
    // Draws the clip layer into the mask: over a cleared mask, or (`intersect`) keeping only
    // where the mask already covers.
    void DrawClip(FDisplayItem* clip, GraphicsContext& context, bool intersect);
    // Of the clip layers in endedClips and those kept before, keeps in outerClips the ones
    // that clip an active clip layer placed inside their range (directly or through another
    // kept one); empties endedClips.
    void KeepOuterClips();
    // Redraws the clipping layers of the parents and then of this timeline into the mask;
    // `first` is true until one is drawn.
    void RedrawClips(GraphicsContext& context, bool& first);
};

} // namespace UT
