// Texts, sprites and buttons read back through the loaded library as a host sees them:
// a sprite of static text cycling with the movie, also after seeking backwards, and a
// button showing an edit text with its record's alpha.
#include "HostFixture.h"
#include "support/ButtonWriter.h"
#include "support/ComTestUtil.h"
#include "support/PlaceTags.h"
#include "support/ShapeWriter.h"
#include "support/SpriteWriter.h"
#include "support/SwfWriter.h"
#include "support/TextWriter.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <fstream>

using namespace swftest;
using namespace hosttest;

namespace {

constexpr int32_t kWidth = 200;
constexpr int32_t kHeight = 100;
using Bgra = std::array<uint8_t, 4>;

Placement Move(uint16_t depth, int32_t x, int32_t y) {
    Placement p;
    p.depth = depth;
    p.move = true;
    p.matrix = TranslatePixels(x, y);
    return p;
}

// Font 1: one 20-pixel square glyph for code 'F' with a 30-pixel advance and a 40-pixel
// ascent.  Text 2: that glyph in red at (0, 20).  Sprite 3: text 2 at x = 0, 40 and 80 in
// its three frames.  Edit text 4: "F" in blue at half size.  Button 5: the edit text at
// half alpha in its Up state, the static text in its Over state.  Placed: the sprite at
// (0, 0), the button at (150, 50).
std::vector<uint8_t> Movie() {
    ShapeWriter square;
    square.Rectangle(0, -400, 400, 0);
    Font2Fields font;
    font.glyphs = {square.Records()};
    font.codes = {'F'};
    font.layout = FontLayout{800, 200, 0, {600}, true, {}};

    StaticTextWriter text(true);
    text.Style({.font = 1, .height = 1000, .color = Rgba{255, 0, 0, 255}, .x = 0, .y = 400})
        .Glyphs({{0, 0}});

    TagStream frames;
    frames.Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, 2, 0, 0)))
        .ShowFrame()
        .Tag(kPlaceObject2, PlaceObject2(Move(1, 40, 0)))
        .ShowFrame()
        .Tag(kPlaceObject2, PlaceObject2(Move(1, 80, 0)))
        .ShowFrame()
        .End();

    EditTextFields edit;
    edit.bounds = {0, 1000, 0, 1000};
    edit.font = 1;
    edit.height = 500;
    edit.color = Rgba{0, 0, 255, 255};
    edit.text = "F";

    ButtonRecordFields up;
    up.states = ButtonRecordFields::kUp;
    up.character = 4;
    up.cxform.hasMult = true;
    up.cxform.alphaMult = 128;
    ButtonRecordFields over;
    over.states = ButtonRecordFields::kOver;
    over.character = 2;
    over.depth = 2;

    SwfWriter writer(kWidth, kHeight, 12);
    writer.Tag(kDefineFont2, DefineFont2(1, font))
        .Tag(kDefineText2, text.TagBody(2, {0, 400, 0, 400}))
        .Tag(kDefineSprite, DefineSprite(3, frames))
        .Tag(kDefineEditText, DefineEditText(4, edit))
        .Tag(kDefineButton2, DefineButton2(5, {up, over}))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, 3, 0, 0)))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(2, 5, 150, 50)));
    for (int i = 0; i < 5; ++i) writer.ShowFrame();
    writer.End();
    return writer.Finish();
}

Bgra Pixel(const std::vector<uint8_t>& frame, int32_t x, int32_t y) {
    const uint8_t* p = frame.data() + (size_t(y) * kWidth + size_t(x)) * 4;
    return {p[0], p[1], p[2], p[3]};
}

} // namespace

TEST(TextSpriteHost, SpriteOfTextCyclesAndTheButtonShowsItsUpState) {
    ASSERT_TRUE(Library().Loaded()) << Library().Error();
    OpenMovie movie(WriteMovie("text_sprite.swf", Movie()));
    ASSERT_TRUE(movie.video);
    const Bgra red = {0, 0, 255, 255}, clear = {0, 0, 0, 0};
    const int32_t expectedX[5] = {0, 40, 80, 0, 40};
    // In order, then 4 back to 2 and forward to 4 again.
    for (int64_t frame : {0, 1, 2, 3, 4, 2, 3, 4}) {
        const std::vector<uint8_t> pixels = movie.Frame(frame);
        ASSERT_FALSE(pixels.empty());
        for (int32_t x : {0, 40, 80}) {
            const bool shown = x == expectedX[frame];
            EXPECT_EQ(Pixel(pixels, x + 10, 10), shown ? red : clear) << frame << " " << x;
        }
        EXPECT_EQ(Pixel(pixels, 25, 10), clear) << frame; // 20 pixels wide
        // The button's edit text: half size, the baseline at half the ascent, half alpha.
        EXPECT_EQ(Pixel(pixels, 155, 65), (Bgra{255, 0, 0, 128})) << frame;
        EXPECT_EQ(Pixel(pixels, 155, 55), clear) << frame;
        EXPECT_EQ(Pixel(pixels, 165, 65), clear) << frame;
    }
}
