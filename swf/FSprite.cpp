#include "swf/FSprite.h"

#include "swf/FlashScript.h"
#include "swf/NestingGuard.h"

#include <algorithm>

namespace UT {

namespace {

constexpr uint32_t kSpriteHeaderSize = 4; // SpriteID and FrameCount

} // namespace

FSprite::FSprite(FlashScript* owner) : FObject(owner) {
    id = owner->ReadUI16();
    frameCount = owner->ReadUI16();
    streamStart = owner->Position();
    // The handler refuses tags shorter than the header; the stream never reaches past the
    // end of the image, whatever the tag claims.
    const uint32_t tagLength = std::max(owner->TagLength(), kSpriteHeaderSize);
    const uint64_t end = std::min<uint64_t>(uint64_t(streamStart) + (tagLength - kSpriteHeaderSize),
                                            owner->Length());
    streamLength = end > streamStart ? uint32_t(end - streamStart) : 0;
}

FDisplayItem* FSprite::CreateDisplayItem(int32_t depth) {
    auto* item = new DisplayItem(this, depth);
    item->AddRef();
    return item;
}

void FSprite::Render(GraphicsContext& context, FDisplayItem* item) {
    auto* instance = dynamic_cast<DisplayItem*>(item);
    // Before its first ShowFrame an instance shows nothing, even what its stream placed.
    if (!instance || instance->timeline.CurrentFrame() < 0) return;
    NestingGuard guard(instance->rendering);
    if (!guard) return;
    instance->timeline.RenderDisplayList(context);
}

FSprite::DisplayItem::DisplayItem(FSprite* sprite, int32_t depth) : FDisplayItem(sprite, depth) {
    FlashScript* movie = sprite->Owner();
    // Sprite timelines hang off the movie, wherever the instance is placed.
    timeline.SetMovie(movie, movie);
    timeline.SetStream(movie->Data(), sprite->streamStart + sprite->streamLength,
                       sprite->streamStart, movie->Length());
    timeline.SetFrameCount(sprite->frameCount);
}

void FSprite::DisplayItem::SeekFrame(int32_t frame) {
    NestingGuard guard(Sprite().running);
    if (guard) timeline.GotoFrame(frame - placedFrame);
}

void FSprite::DisplayItem::Advance() {
    NestingGuard guard(Sprite().running);
    if (guard) timeline.AdvanceFrame();
}

} // namespace UT
