#include "swf/FlashSubScript.h"

#include "base/RecordConversions.h"
#include "base/TagCodes.h"
#include "graphics/GraphicsContext.h"
#include "graphics/LayerStack.h"
#include "swf/FlashScript.h"
#include "swf/SurfaceFilters.h"

#include <algorithm>

namespace UT {

namespace {

// PlaceObject2 flag bits.
constexpr uint32_t kMove = 0x01;
constexpr uint32_t kHasCharacter = 0x02;
constexpr uint32_t kHasMatrix = 0x04;
constexpr uint32_t kHasColorTransform = 0x08;
constexpr uint32_t kHasRatio = 0x10;
constexpr uint32_t kHasName = 0x20;
constexpr uint32_t kHasClipDepth = 0x40;
// PlaceObject3's second flag byte.
constexpr uint32_t kHasFilterList = 0x01;
constexpr uint32_t kHasBlendMode = 0x02;
constexpr uint32_t kHasCacheAsBitmap = 0x04;
constexpr uint32_t kHasClassName = 0x08;
constexpr uint32_t kHasImage = 0x10;
constexpr uint32_t kHasVisible = 0x20;
constexpr uint32_t kHasBackground = 0x40;

constexpr uint32_t kNoClipEnd = 0xFFFFFFFFu;

} // namespace

FlashSubScript::~FlashSubScript() {
    activeClips.clear();
    labels.clear();
    displayList.clear();
}

void FlashSubScript::ClearDisplayList() {
    displayList.clear();
}

void FlashSubScript::Rewind() {
    FlashParser::Rewind();
    ClearDisplayList();
    labels.clear();
    currentFrame = -1;
}

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
    case kTagPlaceObject3:
        HandlePlaceObject3();
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

bool FlashSubScript::HandleShowFrame() {
    ++currentFrame;
    for (auto& [depth, item] : displayList)
        if (item) item->Advance();
    return currentFrame == targetFrame;
}

void FlashSubScript::HandlePlaceObject() {
    const uint32_t id = ReadUI16();
    const int32_t depth = ReadUI16();
    Place(kHasCharacter | kHasMatrix, depth, id, false);
}

void FlashSubScript::HandlePlaceObject2() {
    const uint32_t flags = ReadUI8();
    const int32_t depth = ReadUI16();
    const uint32_t id = (flags & kHasCharacter) ? ReadUI16() : 0;
    Place(flags, depth, id, true);
}

// Placed as PlaceObject2, then the filters, blend mode, visibility and background colour.
void FlashSubScript::HandlePlaceObject3() {
    const uint32_t flags = ReadUI8();
    const uint32_t moreFlags = ReadUI8();
    const int32_t depth = ReadUI16();
    if ((moreFlags & kHasClassName) || ((moreFlags & kHasImage) && (flags & kHasCharacter)))
        ReadString();
    const uint32_t id = (flags & kHasCharacter) ? ReadUI16() : 0;
    if (!Place(flags, depth, id, true)) return;
    FDisplayItem* item = displayList[depth].Get();
    // A list that ran to the tag's end leaves nothing more to read.
    auto has = [&](uint32_t flag) { return (moreFlags & flag) && Position() < TagEnd(); };
    if (has(kHasFilterList)) ReadFilterList(*this, item->filters);
    if (has(kHasBlendMode)) item->blendMode = ZBlendModeFromByte(ReadUI8());
    if (has(kHasCacheAsBitmap)) ReadUI8();
    if (has(kHasVisible)) item->visible = ReadUI8() != 0;
    if (has(kHasBackground)) {
        item->hasBackground = true;
        item->background = ReadColor(true);
    }
    // Clip actions, the last field, run to the tag's end.
}

bool FlashSubScript::Place(uint32_t flags, int32_t depth, uint32_t characterId, bool placeObject2) {
    Held<FDisplayItem> item;
    const auto existing = displayList.find(depth);
    const bool occupied = existing != displayList.end() && existing->second;
    if (flags & kHasCharacter) {
        if (!movie) return false;
        Held<FObject> character = movie->FindCharacter(characterId);
        if (!character) return false;
        item = Held<FDisplayItem>::Adopt(character->CreateDisplayItem(depth));
        if (!item) return false;
        // A move with a new character keeps only the old instance's matrix.
        if ((flags & kMove) && occupied) item->matrix = existing->second->matrix;
        item->placedFrame = currentFrame + 1;
        displayList[depth] = item;
    } else if ((flags & kMove) && occupied) {
        item = existing->second;
    } else {
        return false;
    }
    if (flags & kHasMatrix) item->matrix = ToPlacementMatrix(ReadMatrix());
    // PlaceObject may carry a colour transform in whatever the tag holds after its matrix.
    if ((flags & kHasColorTransform) || (!placeObject2 && Position() < TagEnd()))
        item->colorTransform = ToColorTransform(ReadCxform(placeObject2));
    if (flags & kHasRatio) item->ratio = ReadUI16();
    if (flags & kHasName) item->name = ReadString();
    if (flags & kHasClipDepth) item->clipDepth = ReadUI16();
    return true;
}

void FlashSubScript::Remove(int32_t depth) {
    displayList.erase(depth);
}

void FlashSubScript::HandleRemoveObject() {
    ReadUI16(); // the character id is not compared with the item
    Remove(ReadUI16());
}

void FlashSubScript::HandleRemoveObject2() {
    Remove(ReadUI16());
}

void FlashSubScript::HandleFrameLabel() {
    labels[ReadString()] = currentFrame + 1;
}

void FlashSubScript::GotoFrame(int32_t frame) {
    // A run that stopped short of its target (the stream ended inside a frame) may have
    // acted on tags past the last ShowFrame: the current frame itself is then reached
    // again only by replaying, so that a frame's picture never depends on earlier seeks.
    if (frame == currentFrame && targetFrame == currentFrame) return;
    targetFrame = frame;
    if (frame <= currentFrame) Rewind();
    if (frame >= 0) RunTags();
}

void FlashSubScript::AdvanceFrame() {
    const int32_t next = currentFrame + 1;
    targetFrame = next;
    RunTags();
    if (currentFrame == next || currentFrame == 0) return;
    // The End tag came first: wrap to frame 0.
    targetFrame = 0;
    if (currentFrame > 0) Rewind();
    RunTags();
}

void FlashSubScript::RenderItem(FDisplayItem* item, GraphicsContext& context) {
    const bool intoFrame = context.Layer() == GraphicsContext::kTargetLayer;
    // A hidden object draws nothing into the frame; as a clipping layer it still clips.
    if (!item->visible && intoFrame) return;
    Held<FDisplayItem> hold(item);
    const bool wantsLayer =
        item->blendMode != ZBlendMode::kNormal || !item->filters.empty() || item->hasBackground;
    LayerRequest request;
    request.mode = item->blendMode;
    request.filters = &item->filters;
    request.hasBackground = item->hasBackground;
    request.background = item->background;
    const bool layered = wantsLayer && intoFrame && context.PushLayer(request);
    context.PushTransform();
    context.MultTransform(item->matrix);
    context.PushColorTransform();
    context.MultColorTransform(item->colorTransform);
    if (FObject* character = item->Character()) character->Render(context, item);
    context.PopColorTransform();
    context.PopTransform();
    if (layered) context.PopLayer();
}

void FlashSubScript::RedrawClips(GraphicsContext& context) {
    if (parent) parent->RedrawClips(context); // outermost first
    for (const Held<FDisplayItem>& clip : activeClips) RenderItem(clip.Get(), context);
}

void FlashSubScript::RenderDisplayList(GraphicsContext& context) {
    const ColorRGBA transparent{0, 0, 0, 0};
    if (!parent) {
        context.SetLayer(GraphicsContext::kMaskLayer);
        context.Clear(transparent);
        context.SetLayer(GraphicsContext::kTargetLayer);
    }
    uint32_t nearestEnd = kNoClipEnd;
    for (auto& [depthKey, held] : displayList) {
        if (!held) continue;
        FDisplayItem* item = held.Get();
        const uint32_t depth = uint32_t(item->depth);
        const uint32_t clipDepth = uint32_t(item->clipDepth);
        bool drawNormally = true, startsClip = false, clipsEnded = false;
        if (clipDepth != 0) {
            drawNormally = false; // a clipping layer never draws into the frame
            if (clipDepth > depth) {
                activeClips.push_back(held);
                startsClip = true;
                nearestEnd = std::min(nearestEnd, clipDepth);
            }
        }
        if (!activeClips.empty()) {
            if (nearestEnd < depth) {
                nearestEnd = kNoClipEnd;
                const auto ended = std::remove_if(activeClips.begin(), activeClips.end(),
                                                  [depth](const Held<FDisplayItem>& c) {
                                                      return uint32_t(c->clipDepth) < depth;
                                                  });
                clipsEnded = ended != activeClips.end();
                activeClips.erase(ended, activeClips.end());
                for (const Held<FDisplayItem>& c : activeClips)
                    nearestEnd = std::min(nearestEnd, uint32_t(c->clipDepth));
            }
            if (!activeClips.empty()) context.Enable(GraphicsContext::kMaskTest);
        }
        if (clipsEnded || startsClip) {
            context.SetLayer(GraphicsContext::kMaskLayer);
            if (clipsEnded) {
                context.Clear(transparent);
                RedrawClips(context);
            } else {
                RenderItem(item, context);
            }
            context.SetLayer(GraphicsContext::kTargetLayer);
        }
        if (drawNormally) RenderItem(item, context);
        if (!activeClips.empty()) context.Disable(GraphicsContext::kMaskTest);
    }
    activeClips.clear();
}

} // namespace UT
