// Sprites: instance timing against the parent's frames, moves and re-placements, nesting
// and clipping layers inside sprites.
#include "MovieTestSupport.h"
#include "support/PlaceTags.h"
#include "support/SpriteWriter.h"
#include "swf/FSprite.h"
#include "swf/NestingGuard.h"

#include <gtest/gtest.h>

using namespace swftest;
using Instance = UT::FSprite::DisplayItem;

namespace {

constexpr uint16_t kSprite = 10;

// Boxes 1, 2 and 3 side by side (red, green, blue): which one shows tells the sprite's frame.
const Tags kBoxes = {{kDefineBoxTag, DefineBox(1, 0, 0, 4, 1, {255, 0, 0, 255})},
                     {kDefineBoxTag, DefineBox(2, 4, 0, 8, 1, {0, 255, 0, 255})},
                     {kDefineBoxTag, DefineBox(3, 8, 0, 12, 1, {0, 0, 255, 255})}};

std::vector<uint8_t> Place(uint16_t depth, uint16_t id) {
    return PlaceObject2(PlaceCharacter(depth, id));
}

// Each frame places its character at depth 1 (box k + 1 in frame k by default).
TagStream Frames(std::vector<uint16_t> ids = {1, 2, 3}) {
    TagStream frames;
    for (uint16_t id : ids) frames.Tag(kPlaceObject2, Place(1, id)).ShowFrame();
    frames.End();
    return frames;
}

std::vector<uint8_t> Movie(const Tags& tags, int frames = 1) {
    Tags all = kBoxes;
    all.insert(all.end(), tags.begin(), tags.end());
    return MovieOf(all, 12, 2, frames);
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

const Instance* SpriteAt(const UT::FlashSubScript& timeline, int32_t depth) {
    const auto entry = timeline.Items().find(depth);
    return entry == timeline.Items().end() ? nullptr
                                           : dynamic_cast<const Instance*>(entry->second.Get());
}

} // namespace

// Which sprite frame shows after each seek, forwards and back: a sprite cycles with the movie's
// frames, one placed late starts on its first frame, a one-frame sprite stays, a nested sprite
// is placed afresh when its parent wraps, a moved instance runs on and a replaced one restarts.
TEST(Sprite, FramesShownAfterEachSeek) {
    Placement moved = PlaceCharacter(1, kSprite), replaced = PlaceCharacter(1, kSprite);
    moved.character.reset();
    moved.move = replaced.move = true;
    TagStream outer;
    outer.Tag(kPlaceObject2, Place(1, kSprite)).ShowFrame().ShowFrame().End();
    const struct Case {
        const char* name;
        TagStream sprite;
        int placedAt; // -1: sprite 11 holding the sprite is placed in frame 0
        int frames;
        const char* seeks; // movie frame, sprite frame shown
        Tags later = {};   // placed in frames 1, 2, ...
    } cases[] = {
        {"cycles", Frames(), 0, 5, "0,0 1,1 2,2 3,0 4,1 2,2 4,1 0,0 3,0"},
        {"placed late", Frames(), 3, 5, "2,-1 3,0 4,1 3,0"},
        {"one frame", Frames({2}), 0, 4, "0,1 1,1 3,1 2,1"},
        {"nested", Frames(), -1, 4, "0,0 1,1 2,0 3,1 1,1"},
        {"moved, then replaced",
         Frames(),
         0,
         4,
         "0,0 1,1 2,0 3,0 1,1",
         {{kPlaceObject2, PlaceObject2(moved)},
          {kPlaceObject2, PlaceObject2(replaced)},
          {kPlaceObject2, Place(1, kSprite)}}},
    };
    for (const Case& c : cases) {
        SwfWriter writer(12, 2, 12);
        for (const auto& [code, body] : kBoxes) writer.Tag(code, body);
        writer.Tag(kDefineSprite, DefineSprite(kSprite, c.sprite));
        if (c.placedAt < 0)
            writer.Tag(kDefineSprite, DefineSprite(11, outer)).Tag(kPlaceObject2, Place(5, 11));
        for (int frame = 0; frame < c.frames; ++frame) {
            if (frame == c.placedAt) writer.Tag(kPlaceObject2, Place(1, kSprite));
            if (frame > 0 && size_t(frame) <= c.later.size())
                writer.Tag(c.later[size_t(frame - 1)].first, c.later[size_t(frame - 1)].second);
            writer.ShowFrame();
        }
        BoxMovie movie;
        writer.End();
        ASSERT_TRUE(ParseBytes(movie, writer.Finish()));
        for (const auto& [frame, shown] : Points(c.seeks)) {
            movie.GotoFrame(frame);
            EXPECT_EQ(ShownFrame(movie), shown) << c.name << " at " << frame;
        }
    }
}

// Clip layers nest by intersection: a yellow row shows only where every clip layer over its
// depth covers (clips A over columns 0..7 and B over 4..11), a clip layer inside another's
// range stays clipped by it past that range's end, a sprite's own clip layers meet its
// parent's (and what it draws after them keeps the parent's clip: the cyan second row), and a
// sprite used as a clip layer clips by everything it draws (boxes 1 and 3).
TEST(Sprite, ClipLayersNestByIntersection) {
    const Tags boxes = {{kDefineBoxTag, DefineBox(4, 0, 0, 12, 1, {255, 255, 0, 255})},
                        {kDefineBoxTag, DefineBox(5, 0, 0, 8, 2, {9, 9, 9, 255})},
                        {kDefineBoxTag, DefineBox(6, 4, 0, 12, 2, {9, 9, 9, 255})},
                        {kDefineBoxTag, DefineBox(7, 0, 1, 12, 2, {0, 255, 255, 255})}};
    TagStream inner, drawing;
    inner.Tag(kPlaceObject2, PlaceObject2(ClipLayer(1, 6, 2)))
        .Tag(kPlaceObject2, Place(2, 4))
        .Tag(kPlaceObject2, Place(3, 7))
        .ShowFrame()
        .End();
    drawing.Tag(kPlaceObject2, Place(1, 1)).Tag(kPlaceObject2, Place(2, 3)).ShowFrame().End();
    const struct Case {
        const char* what;
        Tags tags;
        const char* rows; // 'Y' yellow, 'C' cyan, '.' nothing
    } cases[] = {
        {"overlapping",
         {{kPlaceObject2, PlaceObject2(ClipLayer(1, 5, 4))},
          {kPlaceObject2, PlaceObject2(ClipLayer(2, 6, 4))},
          {kPlaceObject2, Place(3, 4)}},
         "....YYYY.... ............"},
        {"inside another's range",
         {{kPlaceObject2, PlaceObject2(ClipLayer(1, 5, 3))},
          {kPlaceObject2, PlaceObject2(ClipLayer(2, 6, 5))},
          {kPlaceObject2, Place(4, 4)}},
         "....YYYY.... ............"},
        {"sprite inside a clip",
         {{kDefineSprite, DefineSprite(kSprite, inner)},
          {kPlaceObject2, PlaceObject2(ClipLayer(1, 5, 3))},
          {kPlaceObject2, Place(2, kSprite)}},
         "....YYYY.... CCCCCCCC...."},
        {"sprite as a clip layer",
         {{kDefineSprite, DefineSprite(kSprite, drawing)},
          {kPlaceObject2, PlaceObject2(ClipLayer(1, kSprite, 3))},
          {kPlaceObject2, Place(2, 4)}},
         "YYYY....YYYY ............"},
    };
    for (const Case& c : cases) {
        Tags tags = boxes;
        tags.insert(tags.end(), c.tags.begin(), c.tags.end());
        Drawn drawn(Movie(tags), 12, 2);
        for (int i = 0; i < 24; ++i) {
            const char want = c.rows[i / 12 * 13 + i % 12];
            const Bgra colour = want == 'Y'   ? Bgra{0, 255, 255, 255}
                                : want == 'C' ? Bgra{255, 255, 0, 255}
                                              : Bgra{};
            EXPECT_EQ(drawn(i % 12, i / 12), colour) << c.what << " " << i % 12 << "," << i / 12;
        }
    }
}

// Sprite n places sprite n + 1, 300 deep; the last places a box beyond the nesting limit.
TEST(Sprite, DeepChainsStopAtTheNestingLimit) {
    SwfWriter writer(12, 2, 12);
    for (const auto& [code, body] : kBoxes) writer.Tag(code, body);
    for (uint16_t n = 0; n < 300; ++n)
        writer.Tag(kDefineSprite, DefineSprite(100 + n, Frames({uint16_t(n < 299 ? 101 + n : 1)})));
    BoxMovie chain;
    writer.Tag(kPlaceObject2, Place(1, 100)).ShowFrame().ShowFrame().End();
    ASSERT_TRUE(ParseBytes(chain, writer.Finish()));
    chain.GotoFrame(1);
    int running = 0;
    for (const Instance* level = SpriteAt(chain, 1); level && level->Timeline().CurrentFrame() >= 0;
         level = SpriteAt(level->Timeline(), 1))
        ++running;
    EXPECT_EQ(running, UT::NestingGuard::kMaxDepth);
    EXPECT_EQ(ShownFrame(chain), -1);
    chain.GotoFrame(0);
    EXPECT_EQ(UT::NestingGuard::Depth(), 0);
}
