// Static and edit texts drawn by pixels: glyph scale from the text height, the pen rules
// of glyph and style records, advances in the scaled space, edit text alignment, margins
// and ascent, and the code lookups of DefineFont and DefineFont2 fonts.
#include "bridge/BoxCharacter.h"

#include "MovieTestSupport.h"
#include "support/PlaceTags.h"
#include "support/ShapeWriter.h"
#include "support/SwfWriter.h"
#include "support/TextWriter.h"
#include "swf/FText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

using namespace swftest;

namespace {

constexpr uint16_t kFontId = 1;
constexpr uint16_t kTextId = 2;
constexpr int32_t kWidth = 200;
constexpr int32_t kHeight = 100;

// Glyph outlines in font units; at height 1000 they are 1/20 as many pixels.
GlyphShape Square(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    ShapeWriter glyph;
    glyph.Rectangle(x0, y0, x1, y1);
    return glyph.Records();
}
const GlyphShape kFull = Square(0, -400, 400, 0);   // 20 x 20 pixels above the baseline
const GlyphShape kTop = Square(0, -400, 400, -200); // its upper half
const GlyphShape kBottom = Square(0, -200, 400, 0); // its lower half

// The bounding box of the pixels covered at least half, columns [fromX, toX).
struct Box {
    int32_t x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN; // ends exclusive

    bool Empty() const { return x1 == INT_MIN; }
    bool operator==(const Box&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Box& box) {
    if (box.Empty()) return out << "(empty)";
    return out << "(" << box.x0 << ", " << box.y0 << ") - (" << box.x1 << ", " << box.y1 << ")";
}

Box Covered(const Canvas& canvas, int32_t fromX = 0, int32_t toX = kWidth) {
    Box box;
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = fromX; x < toX; ++x)
            if (canvas.Pixel(x, y)[3] >= 128) {
                box.x0 = std::min(box.x0, x);
                box.y0 = std::min(box.y0, y);
                box.x1 = std::max(box.x1, x + 1);
                box.y1 = std::max(box.y1, y + 1);
            }
    return box;
}

// A DefineFont2 of the three glyphs with codes 'F', 'T', 'B', advances of 30 pixels at
// height 1000 and an ascent of 40 pixels.  With `units` 20 every outline and metric is
// in twentieths, as DefineFont3 writes them.
std::vector<uint8_t> LayoutFont(std::vector<KerningPair> kerning = {}, int16_t units = 1) {
    Font2Fields fields;
    fields.glyphs = {kFull, kTop, kBottom};
    if (units != 1)
        fields.glyphs = {Square(0, -400 * units, 400 * units, 0),
                         Square(0, -400 * units, 400 * units, -200 * units),
                         Square(0, -200 * units, 400 * units, 0)};
    fields.codes = {'F', 'T', 'B'};
    FontLayout layout;
    layout.ascent = uint16_t(800 * units);
    layout.advances = {int16_t(600 * units), int16_t(600 * units), int16_t(600 * units)};
    layout.kerning = std::move(kerning);
    fields.layout = layout;
    return DefineFont2(kFontId, fields);
}

TextStyle Style(int16_t x, int16_t y, uint16_t height = 1000) {
    TextStyle style;
    style.font = kFontId;
    style.height = height;
    style.color = Rgba{255, 0, 0, 255};
    style.x = x;
    style.y = y;
    return style;
}

// A movie with the font and text tags given, the text placed at depth 1, drawn.
struct Drawn {
    UT::FlashScript movie;
    Canvas canvas{kWidth, kHeight};

    explicit Drawn(const std::vector<std::pair<uint16_t, std::vector<uint8_t>>>& tags,
                   std::optional<MatrixRecord> matrix = std::nullopt) {
        SwfWriter writer(kWidth, kHeight, 12);
        for (const auto& [code, body] : tags) writer.Tag(code, body);
        Placement placement = PlaceCharacter(1, kTextId);
        placement.matrix = matrix;
        writer.Tag(kPlaceObject2, PlaceObject2(placement)).ShowFrame().End();
        EXPECT_TRUE(ParseBytes(movie, writer.Finish()));
        movie.GotoFrame(0);
        movie.RenderDisplayList(canvas.context);
    }
    Box Covered(int32_t fromX = 0, int32_t toX = kWidth) const {
        return ::Covered(canvas, fromX, toX);
    }
};

std::vector<uint8_t> Static(const StaticTextWriter& text) {
    return text.TagBody(kTextId, {0, kWidth * 20, 0, kHeight * 20});
}

EditTextFields Edit(const std::string& text, std::optional<EditLayout> layout = std::nullopt) {
    EditTextFields fields;
    fields.bounds = {0, 2000, 0, 1000}; // 100 x 50 pixels
    fields.font = kFontId;
    fields.height = 1000;
    fields.color = Rgba{0, 0, 255, 255};
    fields.layout = layout;
    fields.variable = "field";
    fields.text = text;
    return fields;
}

EditLayout Aligned(uint8_t align) {
    EditLayout layout;
    layout.align = align;
    return layout;
}

} // namespace

// Glyph and style records drawn: the height scales the outlines (400 units are 20
// pixels at height 1000), advances are twips of the text's own space, glyph records after
// one style record continue from its pen, negative advances move back, and glyphs
// without a font, or past its end, draw nothing but still advance.
TEST(StaticText, GlyphRecordsByPixels) {
    TextStyle noFontYet;
    noFontYet.color = Rgba{255, 0, 0, 255};
    TextStyle missing = Style(400, 1200);
    missing.font = 99;
    struct Case {
        const char* name;
        StaticTextWriter text;
        std::vector<std::pair<int32_t, Box>> boxes; // from column, covered box up to the next
    };
    Case cases[] = {
        {"heights",
         StaticTextWriter(true),
         {{0, {20, 40, 40, 60}}, {80, {100, 50, 110, 60}}, {125, {130, 50, 140, 60}}}},
        {"records after one style",
         StaticTextWriter(true),
         {{0, {20, 40, 40, 60}}, {60, {90, 40, 110, 50}}}},
        {"negative advances",
         StaticTextWriter(true),
         {{0, {40, 40, 60, 50}}, {80, {100, 40, 120, 50}}, {125, {130, 50, 150, 60}}}},
        {"no font", StaticTextWriter(true), {{0, {130, 40, 150, 60}}}},
    };
    cases[0].text.Style(Style(400, 1200)).Glyphs({{0, 0}});
    cases[0].text.Style(Style(2000, 1200, 500)).Glyphs({{0, 600}, {0, 0}});
    cases[1].text.Style(Style(400, 1200)).Glyphs({{1, 1400}, {1, 0}}).Glyphs({{2, 0}});
    cases[2].text.Style(Style(2000, 1200)).Glyphs({{1, 600}, {2, -1800}, {1, 0}});
    cases[3].text.Style(noFontYet).Glyphs({{0, 400}, {1, 0}});
    cases[3].text.Style(missing).Glyphs({{0, 0}});
    cases[3].text.Style(Style(2000, 1200)).Glyphs({{7, 600}, {0, 0}});
    for (const Case& c : cases) {
        Drawn drawn({{kDefineFont2, LayoutFont()}, {kDefineText2, Static(c.text)}});
        for (size_t k = 0; k < c.boxes.size(); ++k) {
            const int32_t to = k + 1 < c.boxes.size() ? c.boxes[k + 1].first : kWidth;
            EXPECT_EQ(drawn.Covered(c.boxes[k].first, to), c.boxes[k].second) << c.name << " " << k;
        }
    }
}

TEST(StaticText, DefineFont3TwentiethsDrawLikeTheDefineFont2Glyphs) {
    StaticTextWriter text(true);
    text.Style(Style(400, 1200)).Glyphs({{0, 600}, {1, 600}, {2, 0}});
    const auto editText = DefineEditText(kTextId, Edit("FTB", Aligned(2)));
    for (const auto& body : {Static(text), editText}) {
        const uint16_t code = body == editText ? kDefineEditText : kDefineText2;
        Drawn font2({{kDefineFont2, LayoutFont()}, {code, body}});
        Drawn font3({{kDefineFont3, LayoutFont({}, 20)}, {code, body}});
        EXPECT_FALSE(font3.Covered().Empty()) << code;
        for (int32_t y = 0; y < kHeight; ++y)
            for (int32_t x = 0; x < kWidth; ++x)
                ASSERT_EQ(font3.canvas.Pixel(x, y), font2.canvas.Pixel(x, y)) << x << "," << y;
    }
}

TEST(StaticText, DefineTextColoursAreOpaqueAndDefineText2CarriesAlpha) {
    StaticTextWriter rgb(false), rgba(true);
    TextStyle style = Style(400, 1200);
    style.color = Rgba{0, 255, 0, 64}; // the alpha is not written for DefineText
    rgb.Style(style).Glyphs({{0, 0}});
    rgba.Style(style).Glyphs({{0, 0}});
    Drawn opaque({{kDefineFont2, LayoutFont()}, {kDefineText, Static(rgb)}});
    EXPECT_EQ(opaque.canvas.Pixel(30, 50), (Bgra{0, 255, 0, 255}));
    Drawn translucent({{kDefineFont2, LayoutFont()}, {kDefineText2, Static(rgba)}});
    EXPECT_EQ(translucent.canvas.Pixel(30, 50), (Bgra{0, 255, 0, 64}));
}

TEST(StaticText, TextMatrixActsBeforeThePlacement) {
    MatrixRecord textMatrix;
    textMatrix.hasScale = true;
    textMatrix.scaleX = textMatrix.scaleY = 0x20000;
    textMatrix.translateX = 200;
    StaticTextWriter text(true);
    text.Style(Style(0, 600)).Glyphs({{0, 0}});
    SwfWriter writer(kWidth, kHeight, 12);
    UT::FlashScript movie;
    writer.Tag(kDefineFont2, LayoutFont())
        .Tag(kDefineText2, text.TagBody(kTextId, {0, 400, -400, 0}, textMatrix));
    Placement placement = PlaceCharacter(1, kTextId);
    placement.matrix = TranslatePixels(50, 0);
    writer.Tag(kPlaceObject2, PlaceObject2(placement)).ShowFrame().End();
    ASSERT_TRUE(ParseBytes(movie, writer.Finish()));
    movie.GotoFrame(0);
    const uint32_t position = movie.Position();
    Canvas canvas(kWidth, kHeight);
    movie.RenderDisplayList(canvas.context);
    // (0, 30) .. (20, 30) scaled by 2, moved 10 by the text matrix and 50 by the placement.
    EXPECT_EQ(Covered(canvas), (Box{60, 20, 100, 60}));
    // Drawing left the movie's reader where its tag loop did.
    EXPECT_EQ(movie.Position(), position);
    EXPECT_EQ(movie.StateDepth(), 0u);
    EXPECT_EQ(canvas.context.GetInteger(0), 1);
    const Held<UT::FObject> character = movie.FindCharacter(kTextId);
    ASSERT_TRUE(character);
    EXPECT_STREQ(character->GetTypeName(), "Text");
    EXPECT_FLOAT_EQ(character->Bounds().ymin, -20.0f);
}

// Edit texts drawn: "FF" measures 60 pixels in the 100-pixel box and the ascent puts the
// baseline at 40; the box origin, left margin and indent move the line; kerning moves the
// next glyph; a DefineFont has no advances, so its glyphs stack; bytes are unsigned codes
// (0xE9 finds 0x00E9, not 0xFFE9) and an unknown one neither draws nor advances.
TEST(EditText, LinesByPixels) {
    EditTextFields margins = Edit("F", EditLayout{2, 100, 0, 200, 0});
    margins.bounds = {200, 2200, 100, 1100};
    EditTextFields stacked = Edit("TB");
    stacked.bounds = {0, 2000, 1200, 2000};
    Font2Fields wideCodes;
    wideCodes.wideCodes = true;
    wideCodes.glyphs = {kTop, kBottom};
    wideCodes.codes = {0xFFE9, 0x00E9};
    wideCodes.layout = FontLayout{800, 0, 0, {600, 600}, true, {}};
    EditTextFields absent = Edit("FF");
    absent.font = 42;
    EditTextFields noFont = Edit("FF");
    noFont.font.reset();
    using Tags = std::vector<std::pair<uint16_t, std::vector<uint8_t>>>;
    struct Case {
        const char* name;
        Tags fonts;
        EditTextFields text;
        Box box;
    };
    const Case cases[] = {
        {"left", {{kDefineFont2, LayoutFont()}}, Edit("FF", Aligned(0)), {0, 20, 50, 40}},
        {"right", {{kDefineFont2, LayoutFont()}}, Edit("FF", Aligned(1)), {40, 20, 90, 40}},
        {"center", {{kDefineFont2, LayoutFont()}}, Edit("FF", Aligned(2)), {20, 20, 70, 40}},
        {"justify", {{kDefineFont2, LayoutFont()}}, Edit("FF", Aligned(3)), {0, 20, 50, 40}},
        // (100 - 30) / 2 + 10 + 5 = 50 across; 5 + 10 + 40 = 55 down.
        {"margins", {{kDefineFont2, LayoutFont()}}, margins, {50, 35, 70, 55}},
        {"kerning", {{kDefineFont2, LayoutFont({{'T', 'B', -200}})}}, Edit("TBT"), {0, 20, 70, 40}},
        {"no advances",
         {{kDefineFont, DefineFont(kFontId, {kTop, kBottom})},
          {kDefineFontInfo, DefineFontInfo(kFontId, "Plain", false, {'T', 'B'})}},
         stacked,
         {0, 40, 20, 60}},
        {"unsigned codes",
         {{kDefineFont2, DefineFont2(kFontId, wideCodes)}},
         Edit("\xE9x\xE9"),
         {0, 30, 50, 40}},
        {"absent font", {{kDefineFont2, LayoutFont()}}, absent, {}},
        {"no font", {{kDefineFont2, LayoutFont()}}, noFont, {}},
    };
    for (const Case& c : cases) {
        Tags tags = c.fonts;
        tags.push_back({kDefineEditText, DefineEditText(kTextId, c.text)});
        Drawn drawn(tags);
        EXPECT_EQ(drawn.Covered(), c.box) << c.name;
        if (std::string(c.name) == "kerning") {
            // T (the upper half) at 0, B (the lower half) kerned back to 20, T at 50.
            EXPECT_EQ(drawn.canvas.Pixel(25, 35), (Bgra{255, 0, 0, 255}));
            EXPECT_EQ(drawn.canvas.Pixel(15, 35)[3], 0);
            EXPECT_EQ(drawn.canvas.Pixel(55, 35)[3], 0);
        }
    }
}
