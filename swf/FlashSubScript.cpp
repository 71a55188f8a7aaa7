#include "swf/FlashSubScript.h"

#include "base/RecordConversions.h"
#include "base/TagCodes.h"
#include "graphics/GraphicsContext.h"
#include "graphics/LayerStack.h"
#include "raster/ZBlendModes.h"
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

// Clip layers nest by intersection, as the reference pictures of nested and overlapping
// clip layers show (a union shows too much): an item is shown only where every clip layer
// whose range covers its depth draws, in this timeline and in the timelines of the sprites
// around it.  A clip layer placed inside another's range stays clipped by that one for its
// whole range, even past the outer range's end.  Clip shapes clip by their fills (their
// strokes draw nothing into the mask) with the same smooth edges as any fill.  A sprite,
// text or button used as a clip layer clips by everything it draws; clip layers inside
// such a sprite draw nothing into the mask and clip nothing there.
void FlashSubScript::DrawClip(FDisplayItem* clip, GraphicsContext& context, bool intersect) {
    PixelBuffer* mask = context.MaskLayer();
    std::vector<uint8_t>& before = maskBefore;
    before.clear();
    if (intersect && mask && mask->pixels)
        before.assign(mask->pixels, mask->pixels + size_t(mask->pitch) * size_t(mask->height));
    context.SetLayer(GraphicsContext::kMaskLayer);
    context.Clear(ColorRGBA{0, 0, 0, 0});
    RenderItem(clip, context);
    context.SetLayer(GraphicsContext::kTargetLayer);
    if (before.empty()) return;
    // Coverage is one value a pixel, full at 255 (8-bit) or 32768 (16-bit).
    for (int32_t y = 0; y < mask->height; ++y) {
        const size_t row = size_t(mask->pitch) * size_t(y);
        if (mask->bytesPerChannel == 2) {
            auto* now = reinterpret_cast<uint16_t*>(mask->pixels + row);
            const auto* was = reinterpret_cast<const uint16_t*>(before.data() + row);
            for (int32_t x = 0; x < mask->width; ++x)
                now[x] = uint16_t(uint32_t(now[x]) * was[x] / 32768u);
        } else {
            ZIntersectCoverage(mask->pixels + row, before.data() + row, mask->width);
        }
    }
}

void FlashSubScript::KeepOuterClips() {
    std::vector<Held<FDisplayItem>>& ended = endedClips;
    // Innermost first: a clip layer is kept while one still in use was placed in its range.
    for (const Held<FDisplayItem>& c : outerClips) ended.push_back(c);
    std::sort(ended.begin(), ended.end(),
              [](const Held<FDisplayItem>& a, const Held<FDisplayItem>& b) {
                  return a->depth > b->depth;
              });
    outerClips.clear();
    for (const Held<FDisplayItem>& c : ended) {
        const auto inside = [&c](const Held<FDisplayItem>& d) {
            return d->depth > c->depth && d->depth <= c->clipDepth;
        };
        if (std::any_of(activeClips.begin(), activeClips.end(), inside) ||
            std::any_of(outerClips.begin(), outerClips.end(), inside))
            outerClips.push_back(c);
    }
    ended.clear();
}

void FlashSubScript::RedrawClips(GraphicsContext& context, bool& first) {
    if (parent) parent->RedrawClips(context, first); // outermost first
    for (const auto* clips : {&outerClips, &activeClips})
        for (const Held<FDisplayItem>& clip : *clips) {
            DrawClip(clip.Get(), context, !first);
            first = false;
        }
}

void FlashSubScript::RenderDisplayList(GraphicsContext& context) {
    const ColorRGBA transparent{0, 0, 0, 0};
    if (context.Layer() == GraphicsContext::kMaskLayer) {
        // Drawn as (part of) a clip layer: everything it shows goes into the mask.
        for (auto& [depthKey, held] : displayList)
            if (held && held->clipDepth == 0) RenderItem(held.Get(), context);
        return;
    }
    if (!parent) {
        context.SetLayer(GraphicsContext::kMaskLayer);
        context.Clear(transparent);
        context.SetLayer(GraphicsContext::kTargetLayer);
    }
    const bool maskedOnEntry = parent && parent->AnyActiveClips();
    bool drewClips = false; // the mask then no longer holds the parents' clips alone
    uint32_t nearestEnd = kNoClipEnd;
    for (auto& [depthKey, held] : displayList) {
        if (!held) continue;
        FDisplayItem* item = held.Get();
        const uint32_t depth = uint32_t(item->depth);
        const uint32_t clipDepth = uint32_t(item->clipDepth);
        bool clipsEnded = false;
        if (!activeClips.empty() && nearestEnd < depth) {
            nearestEnd = kNoClipEnd;
            // A stable partition by hand: the library's takes a buffer from the heap.
            size_t kept = 0;
            for (size_t i = 0; i < activeClips.size(); ++i) {
                if (uint32_t(activeClips[i]->clipDepth) < depth)
                    endedClips.push_back(activeClips[i]);
                else if (kept++ != i)
                    activeClips[kept - 1] = activeClips[i];
            }
            activeClips.resize(kept);
            clipsEnded = !endedClips.empty();
            KeepOuterClips();
            for (const Held<FDisplayItem>& c : activeClips)
                nearestEnd = std::min(nearestEnd, uint32_t(c->clipDepth));
        }
        if (clipsEnded) {
            bool first = true;
            context.Disable(GraphicsContext::kMaskTest);
            RedrawClips(context, first);
            if (first) { // none left anywhere: the mask goes back to empty
                context.SetLayer(GraphicsContext::kMaskLayer);
                context.Clear(transparent);
                context.SetLayer(GraphicsContext::kTargetLayer);
            }
        }
        if (clipDepth != 0) {
            // A clipping layer never draws into the frame.
            if (clipDepth > depth) {
                const bool nested = AnyActiveClips();
                context.Disable(GraphicsContext::kMaskTest);
                DrawClip(item, context, nested);
                drewClips = true;
                activeClips.push_back(held);
                nearestEnd = std::min(nearestEnd, clipDepth);
            }
            continue;
        }
        if (AnyActiveClips())
            context.Enable(GraphicsContext::kMaskTest);
        else
            context.Disable(GraphicsContext::kMaskTest);
        RenderItem(item, context);
    }
    activeClips.clear();
    outerClips.clear();
    if (maskedOnEntry && drewClips) {
        // The parent's clips hold again for what it draws next.
        bool first = true;
        context.Disable(GraphicsContext::kMaskTest);
        RedrawClips(context, first);
        context.Enable(GraphicsContext::kMaskTest);
    } else if (!maskedOnEntry) {
        context.Disable(GraphicsContext::kMaskTest);
    } else {
        context.Enable(GraphicsContext::kMaskTest);
    }
}

} // namespace UT
