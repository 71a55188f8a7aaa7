// Buttons: records as read, the Up state shown by every instance, colour transforms from
// DefineButton2 records and DefineButtonCxform, and records that name nothing or the
// button itself.
#include "bridge/BoxCharacter.h"

#include "MovieTestSupport.h"
#include "support/ButtonWriter.h"
#include "support/PlaceTags.h"
#include "support/SpriteWriter.h"
#include "support/SwfWriter.h"
#include "swf/FButton.h"
#include "swf/FSprite.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace swftest;

namespace {

constexpr uint16_t kButtonId = 20;
const Bgra kClear = {0, 0, 0, 0};
const Bgra kRed = {0, 0, 255, 255};
const Bgra kGreen = {0, 255, 0, 255};
const Bgra kBlue = {255, 0, 0, 255};

ButtonRecordFields Record(uint8_t states, uint16_t character, uint16_t depth) {
    ButtonRecordFields record;
    record.states = states;
    record.character = character;
    record.depth = depth;
    return record;
}

// Four one-pixel boxes in a row: red, green, blue, white at columns 0 to 3.
void DefineBoxes(TagStream& tags) {
    tags.Tag(kDefineBoxTag, DefineBox(1, 0, 0, 1, 1, {255, 0, 0, 255}))
        .Tag(kDefineBoxTag, DefineBox(2, 1, 0, 2, 1, {0, 255, 0, 255}))
        .Tag(kDefineBoxTag, DefineBox(3, 2, 0, 3, 1, {0, 0, 255, 255}))
        .Tag(kDefineBoxTag, DefineBox(4, 3, 0, 4, 1, {255, 255, 255, 255}));
}

struct Frame {
    BoxMovie movie;
    Canvas canvas{8, 1};

    explicit Frame(const SwfWriter& writer, int32_t frame = 0) {
        EXPECT_TRUE(ParseBytes(movie, writer.Finish()));
        movie.GotoFrame(frame);
        movie.RenderDisplayList(canvas.context);
    }
    Bgra operator()(int32_t x) const { return canvas.Pixel(x, 0); }
};

} // namespace

using S = ButtonRecordFields;

ButtonRecordFields Moved(ButtonRecordFields record, int32_t x) {
    record.matrix = TranslatePixels(x, 0);
    return record;
}

ButtonRecordFields HalfAlphaNoRed(ButtonRecordFields record) {
    record.cxform.hasMult = true;
    record.cxform.alphaMult = 128;
    record.cxform.redMult = 0;
    return record;
}

// Buttons over the four boxes, the first placed at depth 1 (x pixels across) and drawn:
// the Up state alone shows, the later record at a depth wins, records naming nothing or a
// button holding itself are passed over, and the record list ends with its tag.
TEST(Button, UpStatesDrawnByPixels) {
    struct Case {
        const char* name;
        std::vector<std::pair<uint16_t, std::vector<uint8_t>>> buttons;
        int32_t x;
        std::array<Bgra, 5> pixels;
    };
    std::vector<uint8_t> cut = DefineButton(kButtonId, {Record(S::kUp, 1, 1)});
    cut.resize(cut.size() - 2);
    const Case cases[] = {
        {"only up records",
         {{kDefineButton,
           DefineButton(kButtonId, {Record(S::kUp, 1, 1), Record(S::kOver, 2, 2),
                                    Record(S::kDown, 3, 3), Record(S::kHitTest, 4, 4)})}},
         0,
         {kRed, kClear, kClear, kClear, kClear}},
        {"no up record",
         {{kDefineButton,
           DefineButton(kButtonId, {Record(S::kOver | S::kDown | S::kHitTest, 1, 1)})}},
         0,
         {kClear, kClear, kClear, kClear, kClear}},
        {"the later record at a depth",
         {{kDefineButton, DefineButton(kButtonId, {Record(S::kUp, 1, 5), Record(S::kUp, 2, 5),
                                                   Record(S::kUp, 3, 2)})}},
         0,
         {kClear, kGreen, kBlue, kClear, kClear}},
        {"record matrix then placement",
         {{kDefineButton, DefineButton(kButtonId, {Moved(Record(S::kUp, 1, 1), 2)})}},
         2,
         {kClear, kClear, kClear, kClear, kRed}},
        {"DefineButton2 record transform, straight alpha",
         {{kDefineButton2, DefineButton2(kButtonId, {HalfAlphaNoRed(Record(S::kUp, 4, 1))})}},
         0,
         {kClear, kClear, kClear, Bgra{255, 255, 0, 128}, kClear}},
        {"absent ids and buttons holding themselves",
         {{kDefineButton,
           DefineButton(kButtonId, {Record(S::kUp, 77, 1), Record(S::kUp, kButtonId, 2),
                                    Record(S::kUp, 1, 3), Record(S::kUp, 21, 4)})},
          {kDefineButton, DefineButton(21, {Record(S::kUp, 22, 1), Record(S::kUp, 2, 2)})},
          {kDefineButton, DefineButton(22, {Record(S::kUp, 21, 1), Record(S::kUp, 3, 2)})}},
         0,
         {kRed, kGreen, kBlue, kClear, kClear}},
        {"records end with their tag",
         {{kDefineButton, cut}},
         0,
         {kRed, kClear, kClear, kClear, kClear}},
    };
    for (const Case& c : cases) {
        SwfWriter writer(8, 1, 12);
        DefineBoxes(writer);
        for (const auto& [code, body] : c.buttons) writer.Tag(code, body);
        writer.Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, kButtonId, c.x)))
            .ShowFrame()
            .End();
        Frame frame(writer);
        for (int32_t x = 0; x < 5; ++x)
            EXPECT_EQ(frame(x), c.pixels[size_t(x)]) << c.name << " " << x;
        EXPECT_EQ(frame.canvas.context.GetInteger(0), 1);
        EXPECT_EQ(frame.canvas.context.GetInteger(5), 1);
    }
}

TEST(Button, DefineButtonCxformChangesOnlyLaterInstances) {
    // Instance 1 is made before the tag, instance 2 after it; a DefineButton2's own alpha
    // transform is replaced too.
    ButtonRecordFields record = Record(ButtonRecordFields::kUp, 1, 1);
    record.cxform.hasMult = true;
    record.cxform.alphaMult = 0;
    CxformRecord blueOnly;
    blueOnly.hasMult = true;
    blueOnly.redMult = 0;
    blueOnly.hasAdd = true;
    blueOnly.blueAdd = 255;
    SwfWriter writer(8, 1, 12);
    DefineBoxes(writer);
    writer.Tag(kDefineButton, DefineButton(kButtonId, {Record(ButtonRecordFields::kUp, 1, 1)}))
        .Tag(kDefineButton2, DefineButton2(21, {record}))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, kButtonId)))
        .Tag(kDefineButtonCxform, DefineButtonCxform(kButtonId, blueOnly))
        .Tag(kDefineButtonCxform, DefineButtonCxform(21, blueOnly))
        .Tag(kDefineButtonCxform, DefineButtonCxform(99, blueOnly)) // no such button
        .Tag(kDefineButtonCxform, DefineButtonCxform(1, blueOnly))  // not a button
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(2, kButtonId, 2)))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(3, 21, 4)))
        .ShowFrame()
        .ShowFrame()
        .End();
    for (int32_t seek : {0, 1, 0}) {
        Frame frame(writer, seek);
        EXPECT_EQ(frame(0), kRed) << seek;
        EXPECT_EQ(frame(2), (Bgra{254, 0, 0, 255})) << seek; // blue add of 255/256
        EXPECT_EQ(frame(4), (Bgra{254, 0, 0, 255})) << seek;
    }
}

TEST(Button, SpritesInTheUpStateAdvanceWithTheMovie) {
    TagStream frames;
    frames.Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, 1)))
        .ShowFrame()
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, 2)))
        .ShowFrame()
        .End();
    SwfWriter writer(8, 1, 12);
    DefineBoxes(writer);
    writer.Tag(kDefineSprite, DefineSprite(10, frames))
        .Tag(kDefineButton, DefineButton(kButtonId, {Record(ButtonRecordFields::kUp, 10, 1)}))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, kButtonId)))
        .ShowFrame()
        .ShowFrame()
        .ShowFrame()
        .End();
    const Bgra expected[3][2] = {{kRed, kClear}, {kClear, kGreen}, {kRed, kClear}};
    for (int32_t seek = 0; seek < 3; ++seek) {
        Frame frame(writer, seek);
        EXPECT_EQ(frame(0), expected[seek][0]) << seek;
        EXPECT_EQ(frame(1), expected[seek][1]) << seek;
    }
}

TEST(Button, ButtonsAsClippingLayersMaskLikeAnyCharacter) {
    Placement clip = PlaceCharacter(1, kButtonId);
    clip.clipDepth = 2;
    SwfWriter writer(8, 1, 12);
    DefineBoxes(writer);
    writer.Tag(kDefineBoxTag, DefineBox(5, 0, 0, 8, 1, {0, 0, 255, 255}))
        .Tag(kDefineButton, DefineButton(kButtonId, {Record(ButtonRecordFields::kUp, 2, 1)}))
        .Tag(kPlaceObject2, PlaceObject2(clip))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(2, 5)))
        .ShowFrame()
        .End();
    Frame frame(writer);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(frame(x), x == 1 ? kBlue : kClear) << x;
}
