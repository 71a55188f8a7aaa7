// Movies with fonts, texts, sprites and buttons, truncated and mutated, seeked frame by
// frame and drawn: parsing and drawing must stay inside the image (the sanitizers catch
// any stray read), leave the reader balanced and keep the graphics context's stacks even.
#include "bridge/BoxCharacter.h"

#include "MovieTestSupport.h"
#include "support/ButtonWriter.h"
#include "support/PlaceTags.h"
#include "support/ShapeWriter.h"
#include "support/SpriteWriter.h"
#include "support/SwfWriter.h"
#include "support/TextWriter.h"
#include "swf/NestingGuard.h"

#include <gtest/gtest.h>

#include <random>

using namespace swftest;

namespace {

Placement Place(uint16_t depth, uint16_t character) {
    Placement p;
    p.depth = depth;
    p.character = character;
    p.matrix = TranslatePixels(depth * 3, depth);
    return p;
}

std::vector<uint8_t> SampleMovie() {
    ShapeWriter glyph;
    glyph.MoveTo(0, -400).LineBy(400, 0).CurveBy(100, 200, -100, 200).LineBy(-400, 0);
    Font2Fields wide;
    wide.wideOffsets = true;
    wide.wideCodes = true;
    wide.glyphs = {glyph.Records(), glyph.Records()};
    wide.codes = {'a', 0x00E9};
    wide.layout = FontLayout{800, 200, 0, {600, -200}, true, {{'a', 0xE9, -50}}};

    StaticTextWriter text(true);
    text.Style({.font = 1, .height = 700, .color = Rgba{255, 0, 0, 200}, .x = 40, .y = 400})
        .Glyphs({{0, 300}, {1, -100}, {0, 0}})
        .Style({.font = 2, .height = 300, .color = std::nullopt, .x = std::nullopt, .y = 800})
        .Glyphs({{1, 200}});
    EditTextFields edit;
    edit.bounds = {0, 1000, 0, 600};
    edit.font = 1;
    edit.height = 400;
    edit.layout = EditLayout{2, 20, 20, 40, 0};
    edit.text = "a\xE9z";

    TagStream inner;
    inner.Tag(kPlaceObject2, PlaceObject2(Place(1, 3)))
        .ShowFrame()
        .Tag(kPlaceObject2, PlaceObject2(Place(2, 4)))
        .Tag(kPlaceObject2, PlaceObject2(Place(3, 10))) // itself
        .ShowFrame()
        .End();
    ButtonRecordFields up;
    up.character = 10;
    up.cxform.hasMult = true;
    up.cxform.alphaMult = 100;
    ButtonRecordFields self = up;
    self.character = 11;
    self.depth = 2;

    Placement clip = Place(1, 3);
    clip.clipDepth = 4;
    SwfWriter movie(60, 40, 12);
    movie.Tag(kDefineFont2, DefineFont2(1, wide))
        .Tag(kDefineFont, DefineFont(2, {glyph.Records()}))
        .Tag(kDefineFontInfo, DefineFontInfo(2, "x", false, {'a'}))
        .Tag(kDefineText2, text.TagBody(3, {0, 1200, 0, 800}))
        .Tag(kDefineEditText, DefineEditText(4, edit))
        .Tag(kDefineSprite, DefineSprite(10, inner))
        .Tag(kDefineButton2, DefineButton2(11, {up, self}))
        .Tag(kDefineButtonCxform, DefineButtonCxform(11, CxformRecord{}))
        .Tag(kPlaceObject2, PlaceObject2(clip))
        .Tag(kPlaceObject2, PlaceObject2(Place(2, 10)))
        .Tag(kPlaceObject2, PlaceObject2(Place(3, 11)))
        .ShowFrame()
        .Tag(kPlaceObject2, PlaceObject2(Place(5, 4)))
        .ShowFrame()
        .ShowFrame()
        .End();
    return movie.Finish();
}

// Seeks every frame, forwards and back, drawing each.
void Exercise(const std::vector<uint8_t>& bytes) {
    UT::FlashScript movie;
    if (!ParseBytes(movie, bytes)) return;
    Canvas canvas(60, 40);
    for (int32_t frame : {0, 1, 2, 3, 1, 0, 2}) {
        movie.GotoFrame(frame);
        movie.RenderDisplayList(canvas.context);
        ASSERT_EQ(movie.StateDepth(), 0u);
        ASSERT_EQ(canvas.context.GetInteger(0), 1);
        ASSERT_EQ(canvas.context.GetInteger(5), 1);
        ASSERT_EQ(canvas.context.PathDepth(), 0);
        ASSERT_EQ(UT::NestingGuard::Depth(), 0);
    }
}

} // namespace

TEST(TextSpriteRobustness, TheSampleDraws) {
    UT::FlashScript movie;
    ASSERT_TRUE(ParseBytes(movie, SampleMovie()));
    movie.GotoFrame(1);
    Canvas canvas(60, 40);
    movie.RenderDisplayList(canvas.context);
    EXPECT_FALSE(canvas.AllClear());
    Exercise(SampleMovie());
}

TEST(TextSpriteRobustness, EveryTruncation) {
    const std::vector<uint8_t> movie = SampleMovie();
    for (size_t size = 21; size < movie.size(); ++size) {
        std::vector<uint8_t> prefix(movie.begin(), movie.begin() + ptrdiff_t(size));
        Exercise(WithHeaderLength(prefix, uint32_t(size)));
    }
}

TEST(TextSpriteRobustness, MutatedMovies) {
    const std::vector<uint8_t> movie = SampleMovie();
    std::mt19937 random(7);
    for (int round = 0; round < 1500; ++round) {
        std::vector<uint8_t> bytes = movie;
        const int changes = 1 + int(random() % 4);
        for (int i = 0; i < changes; ++i) {
            // Leave the header's length and frame rectangle alone.
            const size_t at = 17 + random() % (bytes.size() - 17);
            bytes[at] = uint8_t(random() % 3 == 0 ? bytes[at] ^ (1u << (random() % 8)) : random());
        }
        Exercise(bytes);
    }
}
