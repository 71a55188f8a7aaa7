// Shapes, bitmaps, texts, sprites and buttons read back through the loaded library as a
// host sees them, pixels as 0xAARRGGBB words with row 0 at the top.
#include "HostFixture.h"
#include "support/BitmapWriter.h"
#include "support/ButtonWriter.h"
#include "support/PlaceTags.h"
#include "support/ShapeWriter.h"
#include "support/SpriteWriter.h"
#include "support/SwfWriter.h"
#include "support/TextWriter.h"

#include <gtest/gtest.h>

using namespace swftest;
using namespace hosttest;

namespace {

struct Probe {
    int x, y;
    uint32_t argb;
};

uint32_t Argb(const std::vector<uint8_t>& frame, int32_t width, int x, int y) {
    const uint8_t* p = frame.data() + (size_t(y) * size_t(width) + size_t(x)) * 4;
    return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

// Shape 1: a green square (2..10, 2..10) with a 2-pixel white line along y = 20 from
// x = 4 to 36.  Bitmap 2: 2 x 2 texels; shape 3 fills (30..32, 2..4) with it.
std::vector<uint8_t> ShapeBitmapMovie() {
    ShapeWriter shapes(3);
    shapes.FillStyles({FillStyleRecord::Solid({0, 255, 0, 255})})
        .LineStyles({{40, {255, 255, 255, 255}}})
        .Change(StyleChange().Fill1(1))
        .Rectangle(40, 40, 200, 200)
        .Change(StyleChange().Fill1(0).Line(1).Move(80, 400))
        .LineTo(720, 400);
    MatrixRecord texelPerPixel;
    texelPerPixel.hasScale = true;
    texelPerPixel.scaleX = texelPerPixel.scaleY = 20 << 16;
    texelPerPixel.translateX = 600;
    texelPerPixel.translateY = 40;
    ShapeWriter filled(3);
    filled.FillStyles({FillStyleRecord::Bitmap(2, texelPerPixel)})
        .Change(StyleChange().Fill0(1))
        .Rectangle(600, 40, 640, 80);
    const std::vector<uint8_t> argb = {255, 255, 0,   0, 255, 0,  0,  255,
                                       255, 0,   255, 0, 128, 10, 20, 30};
    SwfWriter writer(40, 30, 12);
    writer.Tag(ShapeWriter::TagCode(3), shapes.TagBody(1, {40, 720, 40, 420}))
        .Tag(kDefineBitsLossless2, DefineBitsLosslessBody(2, 5, 2, 2, argb))
        .Tag(ShapeWriter::TagCode(3), filled.TagBody(3, {600, 640, 40, 80}))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, 1)))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(2, 3)))
        .ShowFrame()
        .End();
    return writer.Finish();
}

// Font 1: one 20-pixel square glyph for code 'F' with a 30-pixel advance and a 40-pixel
// ascent.  Text 2: that glyph in red at (0, 20).  Sprite 3: text 2 at x = 0, 40 and 80 in
// its three frames.  Edit text 4: "F" in blue at half size.  Button 5: the edit text at
// half alpha in its Up state, the static text in its Over state.  Placed: the sprite at
// (0, 0), the button at (150, 50).
std::vector<uint8_t> TextSpriteMovie() {
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
    frames.Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, 2, 0, 0))).ShowFrame();
    for (int32_t x : {40, 80}) {
        Placement moved;
        moved.depth = 1;
        moved.move = true;
        moved.matrix = TranslatePixels(x, 0);
        frames.Tag(kPlaceObject2, PlaceObject2(moved)).ShowFrame();
    }
    frames.End();
    EditTextFields edit;
    edit.bounds = {0, 1000, 0, 1000};
    edit.font = 1;
    edit.height = 500;
    edit.color = Rgba{0, 0, 255, 255};
    edit.text = "F";
    ButtonRecordFields up, over;
    up.states = ButtonRecordFields::kUp;
    up.character = 4;
    up.cxform.hasMult = true;
    up.cxform.alphaMult = 128;
    over.states = ButtonRecordFields::kOver;
    over.character = 2;
    over.depth = 2;
    SwfWriter writer(200, 100, 12);
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

} // namespace

TEST(DrawingHost, FillsStrokesAndBitmapTexelsReachTheHost) {
    ASSERT_TRUE(Library().Loaded()) << Library().Error();
    OpenMovie movie(WriteMovie("shape_bitmap.swf", ShapeBitmapMovie()));
    ASSERT_TRUE(movie.video);
    const std::vector<uint8_t> frame = movie.Frame(0);
    ASSERT_EQ(frame.size(), 40u * 30 * 4);
    const Probe probes[] = {
        {2, 2, 0xFF00FF00},   {9, 9, 0xFF00FF00},   {10, 10, 0},         {1, 2, 0},
        {20, 19, 0xFFFFFFFF}, {20, 20, 0xFFFFFFFF}, {20, 21, 0},         {30, 2, 0xFFFF0000},
        {31, 2, 0xFF0000FF},  {30, 3, 0xFF00FF00},  {31, 3, 0x8014283C}, {32, 2, 0},
    };
    for (const Probe& p : probes) EXPECT_EQ(Argb(frame, 40, p.x, p.y), p.argb) << p.x << "," << p.y;

    // Twice as tall at the same width: a frame read before the host asks for the new size
    // keeps the old one, the next fills the new one (the line now at y = 38..42).
    ComPtr<IVxAdvancedVideoScaling> scaling;
    ASSERT_EQ(movie.video->QueryInterface(IID_IVxAdvancedVideoScaling, scaling.outVoid()), S_OK);
    EXPECT_EQ(movie.video->SetZoom(2.0), S_OK);
    EXPECT_EQ(scaling->SetStretch(0.5), S_OK);
    ASSERT_EQ(movie.video->ReadFrame(0, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0), S_OK);
    EXPECT_EQ(movie.video->EndRead(0), S_OK);
    const std::vector<uint8_t> tall = movie.Frame(0);
    ASSERT_EQ(tall.size(), 40u * 60 * 4);
    EXPECT_EQ(std::pair(Argb(tall, 40, 20, 41), Argb(tall, 40, 20, 43)),
              std::pair(0xFFFFFFFFu, 0u));
}

TEST(DrawingHost, SpriteOfTextCyclesAndTheButtonShowsItsUpState) {
    OpenMovie movie(WriteMovie("text_sprite.swf", TextSpriteMovie()));
    ASSERT_TRUE(movie.video);
    const int32_t expectedX[5] = {0, 40, 80, 0, 40};
    // In order, then 4 back to 2 and forward to 4 again.
    for (int64_t frame : {0, 1, 2, 3, 4, 2, 3, 4}) {
        const std::vector<uint8_t> pixels = movie.Frame(frame);
        ASSERT_FALSE(pixels.empty());
        for (int32_t x : {0, 40, 80})
            EXPECT_EQ(Argb(pixels, 200, x + 10, 10), x == expectedX[frame] ? 0xFFFF0000 : 0)
                << frame << " " << x;
        // The glyph is 20 pixels wide; the button's edit text is drawn at half size, its
        // baseline at half the ascent, at half alpha.
        const Probe probes[] = {{25, 10, 0}, {155, 65, 0x800000FF}, {155, 55, 0}, {165, 65, 0}};
        for (const Probe& p : probes)
            EXPECT_EQ(Argb(pixels, 200, p.x, p.y), p.argb) << frame << " " << p.x << "," << p.y;
    }
}
