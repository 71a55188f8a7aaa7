// Buttons: records as read, the Up state shown by every instance, colour transforms from
// DefineButton2 records and DefineButtonCxform, and records that name nothing or the
// button itself.
#include "bridge/BoxCharacter.h"

#include "platform/Win32.h"
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

bool Load(UT::FlashScript& movie, const std::vector<uint8_t>& bytes) {
    auto* image = static_cast<uint8_t*>(GlobalAlloc(GPTR, bytes.size()));
    std::memcpy(image, bytes.data(), bytes.size());
    return movie.Parse(image, uint32_t(bytes.size()));
}

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
        EXPECT_TRUE(Load(movie, writer.Finish()));
        movie.GotoFrame(frame);
        movie.RenderDisplayList(canvas.context);
    }
    Bgra operator()(int32_t x) const { return canvas.Pixel(x, 0); }
};

} // namespace

TEST(Button, OnlyUpRecordsAreDrawn) {
    using S = ButtonRecordFields;
    SwfWriter writer(8, 1, 12);
    DefineBoxes(writer);
    writer
        .Tag(kDefineButton,
             DefineButton(kButtonId, {Record(S::kUp, 1, 1), Record(S::kOver, 2, 2),
                                      Record(S::kDown, 3, 3), Record(S::kHitTest, 4, 4)}))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, kButtonId)))
        .ShowFrame()
        .End();
    Frame frame(writer);
    EXPECT_EQ(frame(0), kRed);
    EXPECT_EQ(frame(1), kClear);
    EXPECT_EQ(frame(2), kClear);
    EXPECT_EQ(frame(3), kClear);
    auto* instance = dynamic_cast<UT::FButton::DisplayItem*>(frame.movie.Items().at(1).Get());
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(instance->State(), 0);
    EXPECT_EQ(instance->StateItems().size(), 1u);
}

TEST(Button, OtherStatesSelectTheirRecords) {
    using S = ButtonRecordFields;
    SwfWriter writer(8, 1, 12);
    DefineBoxes(writer);
    writer
        .Tag(kDefineButton,
             DefineButton(kButtonId, {Record(S::kUp | S::kOver, 1, 1), Record(S::kOver, 2, 2),
                                      Record(S::kDown | S::kHitTest, 3, 3)}))
        .ShowFrame()
        .End();
    BoxMovie movie;
    ASSERT_TRUE(Load(movie, writer.Finish()));
    movie.GotoFrame(0);
    Held<UT::FObject> button = movie.FindCharacter(kButtonId);
    auto item = Held<UT::FDisplayItem>::Adopt(button->CreateDisplayItem(1));
    auto* instance = static_cast<UT::FButton::DisplayItem*>(item.Get());
    instance->SetState(1);
    EXPECT_EQ(instance->StateItems().size(), 2u);
    instance->SetState(2);
    ASSERT_EQ(instance->StateItems().size(), 1u);
    EXPECT_EQ(instance->StateItems().at(3)->Character()->Id(), 3u);
    instance->SetState(7); // no state: nothing shown
    EXPECT_TRUE(instance->StateItems().empty());
}

TEST(Button, WithoutUpRecordsItDrawsNothing) {
    using S = ButtonRecordFields;
    SwfWriter writer(8, 1, 12);
    DefineBoxes(writer);
    writer
        .Tag(kDefineButton,
             DefineButton(kButtonId, {Record(S::kOver | S::kDown | S::kHitTest, 1, 1)}))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, kButtonId)))
        .ShowFrame()
        .End();
    Frame frame(writer);
    EXPECT_TRUE(frame.canvas.AllClear());
}

TEST(Button, TheLaterUpRecordAtOneDepthWins) {
    using S = ButtonRecordFields;
    SwfWriter writer(8, 1, 12);
    DefineBoxes(writer);
    writer
        .Tag(kDefineButton, DefineButton(kButtonId, {Record(S::kUp, 1, 5), Record(S::kUp, 2, 5),
                                                     Record(S::kUp, 3, 2)}))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, kButtonId)))
        .ShowFrame()
        .End();
    Frame frame(writer);
    EXPECT_EQ(frame(0), kClear);
    EXPECT_EQ(frame(1), kGreen);
    EXPECT_EQ(frame(2), kBlue);
}

TEST(Button, ItemsTakeTheRecordsMatrixAndTheInstancesTransforms) {
    ButtonRecordFields shifted = Record(ButtonRecordFields::kUp, 1, 1);
    shifted.matrix = TranslatePixels(2, 0);
    Placement placed = PlaceCharacter(1, kButtonId, 3);
    SwfWriter writer(8, 1, 12);
    DefineBoxes(writer);
    writer.Tag(kDefineButton, DefineButton(kButtonId, {shifted}))
        .Tag(kPlaceObject2, PlaceObject2(placed))
        .ShowFrame()
        .End();
    Frame frame(writer);
    EXPECT_EQ(frame(5), kRed);
    EXPECT_EQ(frame(0), kClear);
    EXPECT_EQ(frame.canvas.context.GetInteger(0), 1);
    EXPECT_EQ(frame.canvas.context.GetInteger(5), 1);
}

TEST(Button, DefineButton2AppliesItsRecordsAlphaTransform) {
    ButtonRecordFields half = Record(ButtonRecordFields::kUp, 4, 1);
    half.cxform.hasMult = true;
    half.cxform.alphaMult = 128;
    half.cxform.redMult = 0;
    SwfWriter writer(8, 1, 12);
    DefineBoxes(writer);
    writer.Tag(kDefineButton2, DefineButton2(kButtonId, {half}))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, kButtonId)))
        .ShowFrame()
        .End();
    Frame frame(writer);
    const Bgra pixel = frame(3);
    EXPECT_EQ(pixel[2], 0);   // no red
    EXPECT_EQ(pixel[3], 128); // half covered
    EXPECT_EQ(pixel[0], 255); // straight alpha: blue and green stay full
    EXPECT_EQ(pixel[1], 255);
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

TEST(Button, RecordsNamingNothingOrTheButtonItselfAreHarmless) {
    // Record 1 names an absent id, record 2 the button itself, record 3 a box; button 21
    // names button 22, which names 21 back.
    using S = ButtonRecordFields;
    SwfWriter writer(8, 1, 12);
    DefineBoxes(writer);
    writer
        .Tag(kDefineButton,
             DefineButton(kButtonId, {Record(S::kUp, 77, 1), Record(S::kUp, kButtonId, 2),
                                      Record(S::kUp, 1, 3)}))
        .Tag(kDefineButton, DefineButton(21, {Record(S::kUp, 22, 1), Record(S::kUp, 2, 2)}))
        .Tag(kDefineButton, DefineButton(22, {Record(S::kUp, 21, 1), Record(S::kUp, 3, 2)}))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, kButtonId)))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(2, 21)))
        .ShowFrame()
        .End();
    Frame frame(writer);
    EXPECT_EQ(frame(0), kRed);
    EXPECT_EQ(frame(1), kGreen);
    EXPECT_EQ(frame(2), kBlue);
    auto* self = static_cast<UT::FButton::DisplayItem*>(frame.movie.Items().at(1).Get());
    ASSERT_EQ(self->StateItems().size(), 2u); // the absent id was skipped
    auto* inner = dynamic_cast<UT::FButton::DisplayItem*>(self->StateItems().at(2).Get());
    ASSERT_NE(inner, nullptr);
    EXPECT_TRUE(inner->StateItems().empty()); // the button inside itself stays empty
}

TEST(Button, RecordsStopAtTheEndOfTheirTag) {
    // No end-of-records byte: the list ends with the tag, not in the next one.
    std::vector<uint8_t> body = DefineButton(kButtonId, {Record(ButtonRecordFields::kUp, 1, 1)});
    body.resize(body.size() - 2);
    SwfWriter writer(8, 1, 12);
    DefineBoxes(writer);
    writer.Tag(kDefineButton, body)
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, kButtonId)))
        .ShowFrame()
        .End();
    Frame frame(writer);
    const Held<UT::FButton> button = frame.movie.FindButton(kButtonId);
    ASSERT_TRUE(button);
    EXPECT_EQ(button->Records().size(), 1u);
    EXPECT_EQ(frame(0), kRed);
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
