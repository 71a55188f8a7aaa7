// Sprites: construction from DefineSprite, instance timing against the parent's frames
// (played in order and after seeks), moves and re-placements, nesting, clipping layers
// inside sprites, and movies whose sprites place themselves.
#include "bridge/BoxCharacter.h"

#include "MovieTestSupport.h"
#include "support/PlaceTags.h"
#include "support/SpriteWriter.h"
#include "support/SwfWriter.h"
#include "swf/FSprite.h"
#include "swf/NestingGuard.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace swftest;

namespace {

constexpr uint16_t kSpriteId = 10;

// Boxes 1, 2 and 3 side by side in one row of a 12 x 2 frame: which one shows tells
// which frame of the three-frame sprite is on.
void DefineFrameBoxes(TagStream& tags) {
    tags.Tag(kDefineBoxTag, DefineBox(1, 0, 0, 4, 1, {255, 0, 0, 255}))
        .Tag(kDefineBoxTag, DefineBox(2, 4, 0, 8, 1, {0, 255, 0, 255}))
        .Tag(kDefineBoxTag, DefineBox(3, 8, 0, 12, 1, {0, 0, 255, 255}));
}

// Frame k places box k + 1 at depth 1, replacing the one before.
TagStream ThreeFrames() {
    TagStream frames;
    for (uint16_t k = 0; k < 3; ++k)
        frames.Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, k + 1))).ShowFrame();
    frames.End();
    return frames;
}

// The sprite frame on screen, from the pixels: -1 when no box shows.
int ShownFrame(BoxMovie& movie) {
    Canvas canvas(12, 2);
    movie.RenderDisplayList(canvas.context);
    int shown = -1;
    for (int k = 0; k < 3; ++k)
        if (canvas.Pixel(4 * k + 1, 0)[3] == 255) shown = shown == -1 ? k : 99;
    return shown;
}

UT::FSprite::DisplayItem* SpriteAt(const UT::FlashSubScript& timeline, int32_t depth) {
    const auto entry = timeline.Items().find(depth);
    if (entry == timeline.Items().end()) return nullptr;
    return dynamic_cast<UT::FSprite::DisplayItem*>(entry->second.Get());
}

int32_t SpriteFrame(const UT::FlashSubScript& timeline, int32_t depth) {
    const UT::FSprite::DisplayItem* sprite = SpriteAt(timeline, depth);
    return sprite ? sprite->Timeline().CurrentFrame() : -100;
}

} // namespace

TEST(Sprite, ShortOrOverlongDefinitionsStayInsideTheImage) {
    // A three-byte DefineSprite defines nothing; one that claims more bytes than the file
    // holds gets the rest of the image as its stream.
    SwfWriter writer(12, 2, 12);
    writer.Tag(kDefineSprite, {11, 0, 3}).ShowFrame();
    TagStream frames;
    frames.Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, 1))).ShowFrame().End();
    writer.Raw(TagStream::Header(kDefineSprite, 5000, true)).Raw({kSpriteId, 0, 1, 0});
    writer.Raw(frames.Bytes());
    BoxMovie movie;
    const std::vector<uint8_t> bytes = writer.Finish();
    ASSERT_TRUE(ParseBytes(movie, bytes));
    movie.GotoFrame(1);
    EXPECT_FALSE(movie.FindCharacter(11));
    Held<UT::FObject> character = movie.FindCharacter(kSpriteId);
    auto* sprite = dynamic_cast<UT::FSprite*>(character.Get());
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->StreamStart() + sprite->StreamLength(), bytes.size());

    // Its instances run what there is and stop at the end of the image.
    Held<UT::FDisplayItem> item = Held<UT::FDisplayItem>::Adopt(sprite->CreateDisplayItem(1));
    auto* instance = static_cast<UT::FSprite::DisplayItem*>(item.Get());
    for (int i = 0; i < 4; ++i) {
        item->Advance();
        EXPECT_EQ(instance->Timeline().CurrentFrame(), 0);
    }
}

// Which sprite frame shows after each seek of the movie, forwards and back: a sprite
// cycles with the movie's frames, one placed late starts on its first frame, one without
// ShowFrame never reaches a frame, a one-frame sprite stays, and a nested sprite is placed
// afresh when its parent wraps.
TEST(Sprite, FramesShownAfterEachSeek) {
    TagStream noShowFrame, oneFrame, outer;
    noShowFrame.Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, 1))).End();
    oneFrame.Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, 2))).ShowFrame().End();
    outer.Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, kSpriteId)))
        .ShowFrame()
        .ShowFrame()
        .End();
    const std::vector<uint8_t> placeSprite = PlaceObject2(PlaceCharacter(1, kSpriteId));
    struct Case {
        const char* name;
        TagStream sprite;
        std::vector<std::pair<uint16_t, std::vector<uint8_t>>> extra; // before the placement
        int placedAt;
        int frames;
        std::vector<std::pair<int32_t, int>> seeks; // movie frame, sprite frame shown
    };
    const Case cases[] = {
        {"cycles",
         ThreeFrames(),
         {},
         0,
         5,
         {{0, 0}, {1, 1}, {2, 2}, {3, 0}, {4, 1}, {2, 2}, {4, 1}, {0, 0}, {3, 0}}},
        {"placed late", ThreeFrames(), {}, 3, 5, {{2, -1}, {3, 0}, {4, 1}, {3, 0}}},
        {"no ShowFrame", noShowFrame, {}, 0, 3, {{0, -1}, {1, -1}, {2, -1}}},
        {"one frame", oneFrame, {}, 0, 4, {{0, 1}, {1, 1}, {3, 1}, {2, 1}}},
        {"nested",
         ThreeFrames(),
         {{kDefineSprite, DefineSprite(11, outer)}},
         -1,
         4,
         {{0, 0}, {1, 1}, {2, 0}, {3, 1}, {1, 1}}},
    };
    for (const Case& c : cases) {
        SwfWriter writer(12, 2, 12);
        DefineFrameBoxes(writer);
        writer.Tag(kDefineSprite, DefineSprite(kSpriteId, c.sprite));
        for (const auto& [code, body] : c.extra) writer.Tag(code, body);
        if (c.placedAt < 0) writer.Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(5, 11)));
        for (int frame = 0; frame < c.frames; ++frame) {
            if (frame == c.placedAt) writer.Tag(kPlaceObject2, placeSprite);
            writer.ShowFrame();
        }
        writer.End();
        BoxMovie movie;
        ASSERT_TRUE(ParseBytes(movie, writer.Finish()));
        for (const auto& [frame, shown] : c.seeks) {
            movie.GotoFrame(frame);
            EXPECT_EQ(ShownFrame(movie), shown) << c.name << " at " << frame;
        }
    }
}

TEST(Sprite, MoveKeepsTheInstanceRunningAndReplacingRestartsIt) {
    Placement moveDown;
    moveDown.depth = 1;
    moveDown.move = true;
    moveDown.matrix = TranslatePixels(0, 1);
    Placement moveWithCharacter = PlaceCharacter(1, kSpriteId);
    moveWithCharacter.move = true;

    SwfWriter writer(12, 2, 12);
    DefineFrameBoxes(writer);
    writer.Tag(kDefineSprite, DefineSprite(kSpriteId, ThreeFrames()))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, kSpriteId)))
        .ShowFrame()
        .Tag(kPlaceObject2, PlaceObject2(moveDown)) // frame 1: same instance, moved
        .ShowFrame()
        .Tag(kPlaceObject2, PlaceObject2(moveWithCharacter)) // frame 2: new, matrix kept
        .ShowFrame()
        .ShowFrame()
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, kSpriteId))) // frame 4: new and afresh
        .ShowFrame()
        .End();
    BoxMovie movie;
    ASSERT_TRUE(ParseBytes(movie, writer.Finish()));
    movie.GotoFrame(0);
    const UT::FDisplayItem* first = SpriteAt(movie, 1);
    movie.GotoFrame(1);
    EXPECT_EQ(SpriteAt(movie, 1), first);
    EXPECT_EQ(SpriteFrame(movie, 1), 1);
    Canvas moved(12, 2);
    movie.RenderDisplayList(moved.context);
    EXPECT_EQ(moved.Pixel(5, 1), (Bgra{0, 255, 0, 255})); // frame 1's box, one row down
    EXPECT_EQ(moved.Pixel(5, 0)[3], 0);

    movie.GotoFrame(2);
    EXPECT_EQ(SpriteFrame(movie, 1), 0);
    EXPECT_EQ(SpriteAt(movie, 1)->placedFrame, 2);
    EXPECT_FLOAT_EQ(SpriteAt(movie, 1)->matrix.m[3][1], 1.0f);
    movie.GotoFrame(3);
    EXPECT_EQ(SpriteFrame(movie, 1), 1);
    movie.GotoFrame(4);
    EXPECT_EQ(SpriteFrame(movie, 1), 0);
    EXPECT_TRUE(SpriteAt(movie, 1)->matrix.identity);
}

TEST(Sprite, ItsClippingLayersAddToTheParentsMask) {
    // The movie clips depths 2..3 to columns 0..3; inside the sprite at depth 2, a layer
    // over columns 4..7 clips a box over the whole row.  The box shows under the union.
    TagStream frames;
    frames.Tag(kPlaceObject2, PlaceObject2(ClipLayer(1, 2, 2)))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(2, 4)))
        .ShowFrame()
        .End();
    SwfWriter writer(12, 2, 12);
    DefineFrameBoxes(writer);
    writer.Tag(kDefineBoxTag, DefineBox(4, 0, 0, 12, 1, {255, 255, 0, 255}))
        .Tag(kDefineSprite, DefineSprite(kSpriteId, frames))
        .Tag(kPlaceObject2, PlaceObject2(ClipLayer(1, 1, 3)))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(2, kSpriteId)))
        .ShowFrame()
        .End();
    BoxMovie movie;
    ASSERT_TRUE(ParseBytes(movie, writer.Finish()));
    movie.GotoFrame(0);
    Canvas canvas(12, 2);
    movie.RenderDisplayList(canvas.context);
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(canvas.Pixel(x, 0), x < 8 ? (Bgra{0, 255, 255, 255}) : (Bgra{0, 0, 0, 0})) << x;
    EXPECT_EQ(canvas.context.GetInteger(0), 1);
    EXPECT_EQ(canvas.context.GetInteger(5), 1);
    EXPECT_EQ(canvas.context.GetEnabled() & GraphicsContext::kMaskTest, 0u);
}

TEST(Sprite, SelfPlacingSpritesAreBoundedAndStillDraw) {
    // Sprite 10 places itself at two depths and box 1; sprites 11 and 12 place each other.
    TagStream self;
    self.Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, 1)))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(2, kSpriteId)))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(3, kSpriteId)))
        .ShowFrame()
        .ShowFrame()
        .End();
    TagStream toTwelve, toEleven;
    toTwelve.Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, 12)))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(2, 2)))
        .ShowFrame()
        .End();
    toEleven.Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, 11)))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(2, 3)))
        .ShowFrame()
        .End();
    SwfWriter writer(12, 2, 12);
    DefineFrameBoxes(writer);
    writer.Tag(kDefineSprite, DefineSprite(kSpriteId, self))
        .Tag(kDefineSprite, DefineSprite(11, toTwelve))
        .Tag(kDefineSprite, DefineSprite(12, toEleven))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, kSpriteId)))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(2, 11)));
    for (int i = 0; i < 4; ++i) writer.ShowFrame();
    writer.End();
    BoxMovie movie;
    ASSERT_TRUE(ParseBytes(movie, writer.Finish()));
    for (int frame : {0, 1, 2, 3, 1, 3}) {
        movie.GotoFrame(frame);
        EXPECT_EQ(UT::NestingGuard::Depth(), 0);
        const UT::FSprite::DisplayItem* top = SpriteAt(movie, 1);
        ASSERT_NE(top, nullptr);
        // The instance inside itself is refused: it never runs.
        EXPECT_EQ(SpriteFrame(top->Timeline(), 2), -1);
        EXPECT_EQ(SpriteFrame(top->Timeline(), 3), -1);
        // 11 shows 12, which shows 11 again, which does not run.
        const UT::FSprite::DisplayItem* twelve = SpriteAt(SpriteAt(movie, 2)->Timeline(), 1);
        ASSERT_NE(twelve, nullptr);
        EXPECT_GE(twelve->Timeline().CurrentFrame(), 0);
        EXPECT_EQ(SpriteFrame(twelve->Timeline(), 1), -1);
        Canvas canvas(12, 2);
        movie.RenderDisplayList(canvas.context);
        EXPECT_EQ(canvas.Pixel(1, 0), (Bgra{0, 0, 255, 255}));
        EXPECT_EQ(canvas.Pixel(5, 0), (Bgra{0, 255, 0, 255}));
        EXPECT_EQ(canvas.Pixel(9, 0), (Bgra{255, 0, 0, 255}));
    }
}

TEST(Sprite, DeepChainsOfDistinctSpritesAreCutAtTheNestingLimit) {
    // Sprite n places sprite n + 1; the last places a box.
    constexpr uint16_t kChain = 300;
    SwfWriter writer(12, 2, 12);
    DefineFrameBoxes(writer);
    for (uint16_t n = 0; n < kChain; ++n) {
        TagStream frames;
        const uint16_t inner = n + 1 < kChain ? uint16_t(100 + n + 1) : uint16_t(1);
        frames.Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, inner))).ShowFrame().End();
        writer.Tag(kDefineSprite, DefineSprite(uint16_t(100 + n), frames));
    }
    writer.Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, 100))).ShowFrame().ShowFrame().End();
    BoxMovie movie;
    ASSERT_TRUE(ParseBytes(movie, writer.Finish()));
    movie.GotoFrame(1);
    int running = 0;
    const UT::FSprite::DisplayItem* level = SpriteAt(movie, 1);
    while (level && level->Timeline().CurrentFrame() >= 0) {
        ++running;
        level = SpriteAt(level->Timeline(), 1);
    }
    EXPECT_EQ(running, UT::NestingGuard::kMaxDepth);
    EXPECT_EQ(ShownFrame(movie), -1); // the box lies beyond the limit
    movie.GotoFrame(0);
    EXPECT_EQ(UT::NestingGuard::Depth(), 0);
}
