// Buttons drawn over four one-pixel boxes (red, green, blue, white at columns 0 to 3): the
// Up state alone shows, the later record at a depth wins, colour transforms come from
// DefineButton2 records and DefineButtonCxform, and sprites in the Up state advance.
#include "MovieTestSupport.h"
#include "support/ButtonWriter.h"
#include "support/PlaceTags.h"
#include "support/SpriteWriter.h"

#include <gtest/gtest.h>

#include <map>

using namespace swftest;
using S = ButtonRecordFields;

namespace {

constexpr uint16_t kButton = 20;

// Pixels as letters: '.' clear, R G B W the boxes, b blue from an add of 255/256, h white
// at half alpha without red, r half of red's add of 255/256.
Bgra Letter(char c) {
    static const std::map<char, Bgra> colours = {
        {'.', {0, 0, 0, 0}},       {'R', {0, 0, 255, 255}},     {'G', {0, 255, 0, 255}},
        {'B', {255, 0, 0, 255}},   {'W', {255, 255, 255, 255}}, {'b', {254, 0, 0, 255}},
        {'h', {255, 255, 0, 128}}, {'r', {0, 0, 127, 255}}};
    return colours.at(c);
}

S R(unsigned states, uint16_t id, uint16_t depth, const CxformRecord& cxform = {}, int32_t x = 0) {
    return {uint8_t(states), id, depth, x ? TranslatePixels(x, 0) : MatrixRecord{}, cxform};
}

std::vector<uint8_t> Place(uint16_t depth, uint16_t id, int32_t x = 0,
                           std::optional<CxformRecord> cxform = {}) {
    Placement p = PlaceCharacter(depth, id, x);
    p.cxform = cxform;
    return PlaceObject2(p);
}

} // namespace

TEST(Button, UpStatesTransformsAndClippingByPixels) {
    const CxformRecord halfAlphaNoRed{.hasMult = true, .redMult = 0, .alphaMult = 128};
    const CxformRecord redOnly{.hasMult = true, .redMult = 0, .hasAdd = true, .redAdd = 255};
    const CxformRecord blueOnly{.hasMult = true, .redMult = 0, .hasAdd = true, .blueAdd = 255};
    TagStream boxes;
    boxes.Tag(kPlaceObject2, Place(1, 1))
        .ShowFrame()
        .Tag(kPlaceObject2, Place(1, 2))
        .ShowFrame()
        .End();
    const struct Case {
        const char* name;
        Tags tags;
        std::vector<const char*> frames; // the first 8 columns of each frame
    } cases[] = {
        {"only up records",
         {{kDefineButton, DefineButton(kButton, {R(S::kUp, 1, 1), R(S::kOver, 2, 2),
                                                 R(S::kDown, 3, 3), R(S::kHitTest, 4, 4)})},
          {kPlaceObject2, Place(1, kButton)}},
         {"R......."}},
        {"the later record at a depth",
         {{kDefineButton,
           DefineButton(kButton, {R(S::kUp, 1, 5), R(S::kUp, 2, 5), R(S::kUp, 3, 2)})},
          {kPlaceObject2, Place(1, kButton)}},
         {".GB....."}},
        {"record matrix then placement",
         {{kDefineButton, DefineButton(kButton, {R(S::kUp, 1, 1, {}, 2)})},
          {kPlaceObject2, Place(1, kButton, 2)}},
         {"....R..."}},
        {"DefineButton2 record transform, straight alpha",
         {{kDefineButton2, DefineButton2(kButton, {R(S::kUp, 4, 1, halfAlphaNoRed)})},
          {kPlaceObject2, Place(1, kButton)}},
         {"...h...."}},
        // The placement's transform halves what the record's makes: no red, then all red.
        {"record transform inside the placement's",
         {{kDefineButton2, DefineButton2(kButton, {R(S::kUp, 1, 1, redOnly)})},
          {kPlaceObject2, Place(1, kButton, 0, CxformRecord{.hasMult = true, .redMult = 128})}},
         {"r......."}},
        // Instance 1 is made before the cxform tag, 2 and 3 after it; a DefineButton2's own
        // alpha transform is replaced too; tags naming no button change nothing.
        {"DefineButtonCxform changes only later instances",
         {{kDefineButton, DefineButton(kButton, {R(S::kUp, 1, 1)})},
          {kDefineButton2, DefineButton2(21, {R(S::kUp, 1, 1, {.hasMult = true, .alphaMult = 0})})},
          {kPlaceObject2, Place(1, kButton)},
          {kDefineButtonCxform, DefineButtonCxform(kButton, blueOnly)},
          {kDefineButtonCxform, DefineButtonCxform(21, blueOnly)},
          {kDefineButtonCxform, DefineButtonCxform(99, blueOnly)},
          {kDefineButtonCxform, DefineButtonCxform(1, blueOnly)},
          {kPlaceObject2, Place(2, kButton, 2)},
          {kPlaceObject2, Place(3, 21, 4)}},
         {"R.b.b...", "R.b.b..."}},
        {"sprites in the up state advance with the movie",
         {{kDefineSprite, DefineSprite(10, boxes)},
          {kDefineButton, DefineButton(kButton, {R(S::kUp, 10, 1)})},
          {kPlaceObject2, Place(1, kButton)}},
         {"R.......", ".G......", "R......."}},
    };
    for (const Case& c : cases) {
        Tags tags = {{kDefineBoxTag, DefineBox(1, 0, 0, 1, 1, {255, 0, 0, 255})},
                     {kDefineBoxTag, DefineBox(2, 1, 0, 2, 1, {0, 255, 0, 255})},
                     {kDefineBoxTag, DefineBox(3, 2, 0, 3, 1, {0, 0, 255, 255})},
                     {kDefineBoxTag, DefineBox(4, 3, 0, 4, 1, {255, 255, 255, 255})}};
        tags.insert(tags.end(), c.tags.begin(), c.tags.end());
        for (int32_t frame = 0; frame < int32_t(c.frames.size()); ++frame) {
            Drawn drawn(MovieOf(tags, 8, 1, int(c.frames.size())), 8, 1, frame);
            for (int32_t x = 0; x < 8; ++x)
                EXPECT_EQ(drawn(x), Letter(c.frames[size_t(frame)][x]))
                    << c.name << " " << frame << " " << x;
        }
    }
}
