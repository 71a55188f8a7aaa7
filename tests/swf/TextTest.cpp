// Static and edit texts drawn by pixels.
#include "MovieTestSupport.h"
#include "support/PlaceTags.h"
#include "support/ShapeWriter.h"
#include "support/TextWriter.h"
#include "swf/DeviceFonts.h"
#include "swf/GlyphFills.h"
#include "swf/GlyphOutline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

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
const GlyphShape kTop = Square(0, -400, 400, -200); // the upper half of a 20-pixel square
const GlyphShape kBottom = Square(0, -200, 400, 0); // its lower half

// x0, y0, x1, y1 (ends exclusive) of the pixels covered at least half in columns
// [fromX, toX); all zero when none is.
using Box = std::array<int32_t, 4>;
Box Covered(const Canvas& canvas, int32_t fromX = 0, int32_t toX = kWidth) {
    Box box = {kWidth, kHeight, 0, 0};
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = fromX; x < toX; ++x)
            if (canvas.Pixel(x, y)[3] >= 128)
                box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1),
                       std::max(box[3], y + 1)};
    return box[2] ? box : Box{};
}

// A DefineFont2 of a full 20-pixel square, its top and its bottom half, nothing and the
// full square again with codes 'F', 'T', 'B', ' ', '&', advances of 30 pixels at height
// 1000 and an ascent of 40 pixels.  With `units`
// 20 every outline and metric is in twentieths, as DefineFont3 writes them.
std::vector<uint8_t> LayoutFont(std::vector<KerningPair> kerning = {}, int16_t u = 1) {
    Font2Fields fields;
    fields.glyphs = {Square(0, -400 * u, 400 * u, 0), Square(0, -400 * u, 400 * u, -200 * u),
                     Square(0, -200 * u, 400 * u, 0), ShapeWriter().Records(),
                     Square(0, -400 * u, 400 * u, 0)};
    fields.codes = {'F', 'T', 'B', ' ', '&'};
    const int16_t a = int16_t(600 * u);
    fields.layout = FontLayout{uint16_t(800 * u), 0, 0, {a, a, a, a, a}, true, kerning};
    return DefineFont2(kFontId, fields);
}

TextStyle Style(int16_t x, int16_t y, uint16_t height = 1000) {
    return {kFontId, height, Rgba{255, 0, 0, 255}, x, y};
}

std::unique_ptr<Drawn> Draw(Tags tags, uint16_t code, const std::vector<uint8_t>& text,
                            int32_t placedX = 0) {
    tags.push_back({code, text});
    tags.push_back({kPlaceObject2, PlaceObject2(PlaceCharacter(1, kTextId, placedX))});
    return std::make_unique<Drawn>(MovieOf(tags, kWidth, kHeight), kWidth, kHeight);
}

// An edit text over its fonts, and the box of pixels it must cover.
struct FieldCase {
    const char* name;
    Tags fonts;
    std::vector<uint8_t> text;
    Box box;
};

void ExpectCovered(std::initializer_list<FieldCase> cases) {
    for (const FieldCase& c : cases) {
        const auto drawn = Draw(c.fonts, kDefineEditText, c.text);
        EXPECT_EQ(Covered(drawn->canvas), c.box) << c.name;
    }
}

std::vector<uint8_t> Static(const StaticTextWriter& text, const MatrixRecord& matrix = {}) {
    return text.TagBody(kTextId, {0, kWidth * 20, 0, kHeight * 20}, matrix);
}

// An edit text in blue, by default over a 100 x 50 pixel box.
std::vector<uint8_t> Edit(const std::string& text, EditLayout layout = {},
                          RectRecord bounds = {0, 2000, 0, 1000}, uint16_t font = kFontId,
                          uint16_t flags = 0) {
    EditTextFields fields;
    fields.bounds = bounds;
    fields.font = font;
    fields.height = 1000;
    fields.color = Rgba{0, 0, 255, 255};
    fields.layout = layout;
    fields.text = text;
    fields.flags = flags;
    return DefineEditText(kTextId, fields);
}

} // namespace

// Glyph and style records: the height scales the outlines, advances are twips of the text's
// space, glyph records after one style record continue from its pen, negative advances move
// back, and glyphs without a font, or past its end, draw nothing but still advance.
TEST(StaticText, GlyphRecordsByPixels) {
    TextStyle missing = Style(400, 1200);
    missing.font = 99;
    struct Case {
        const char* name;
        StaticTextWriter text;
        const char* boxes; // from column: box covered up to the next one's column
    } cases[] = {
        {"heights", StaticTextWriter(true), "0:20,40,40,60 80:100,50,110,60 125:130,50,140,60"},
        {"records after one style", StaticTextWriter(true), "0:20,40,40,60 60:90,40,110,50"},
        {"negative advances", StaticTextWriter(true),
         "0:40,40,60,50 80:100,40,120,50 125:130,50,150,60"},
        {"no font", StaticTextWriter(true), "0:130,40,150,60"},
    };
    cases[0].text.Style(Style(400, 1200)).Glyphs({{0, 0}});
    cases[0].text.Style(Style(2000, 1200, 500)).Glyphs({{0, 600}, {0, 0}});
    cases[1].text.Style(Style(400, 1200)).Glyphs({{1, 1400}, {1, 0}}).Glyphs({{2, 0}});
    cases[2].text.Style(Style(2000, 1200)).Glyphs({{1, 600}, {2, -1800}, {1, 0}});
    cases[3]
        .text.Style({std::nullopt, 0, Rgba{255, 0, 0, 255}, std::nullopt, std::nullopt})
        .Glyphs({{0, 400}, {1, 0}});
    cases[3].text.Style(missing).Glyphs({{0, 0}});
    cases[3].text.Style(Style(2000, 1200)).Glyphs({{7, 600}, {0, 0}});
    for (const Case& c : cases) {
        const auto drawn = Draw({{kDefineFont2, LayoutFont()}}, kDefineText2, Static(c.text));
        std::vector<std::pair<int32_t, Box>> boxes;
        Box b;
        int x, n;
        for (const char* t = c.boxes;
             std::sscanf(t, "%d:%d,%d,%d,%d%n", &x, &b[0], &b[1], &b[2], &b[3], &n) == 5; t += n)
            boxes.push_back({x, b});
        for (size_t k = 0; k < boxes.size(); ++k) {
            const int32_t to = k + 1 < boxes.size() ? boxes[k + 1].first : kWidth;
            EXPECT_EQ(Covered(drawn->canvas, boxes[k].first, to), boxes[k].second) << c.name << k;
        }
    }
}

// Each glyph of a static or an edit text keeps the fill of its first draw for the next:
// drawn again, two different glyphs at one place, and a glyph again further on, draw what
// they drew, also when the text and its font are read again after a rewind.
TEST(StaticText, GlyphsDrawnAgainDrawTheSame) {
    StaticTextWriter text(true);
    text.Style(Style(2000, 1200)).Glyphs({{1, 0}, {2, 0}, {1, 600}, {0, 0}});
    for (const auto& [code, body] :
         Tags{{kDefineText2, Static(text)},
              {kDefineEditText, Edit("FTBF", {}, {400, 2400, 400, 1400})}}) {
        const auto drawn = Draw({{kDefineFont2, LayoutFont()}}, code, body);
        const PixelBuffer& pixels = *drawn->canvas.target;
        const std::vector<uint8_t> first(pixels.pixels, pixels.pixels + pixels.ByteCount());
        for (int again = 0; again < 3; ++again) {
            if (again == 2) {
                drawn->movie.Rewind();
                drawn->movie.GotoFrame(0);
            }
            drawn->canvas.context.Clear({0, 0, 0, 0});
            drawn->movie.RenderDisplayList(drawn->canvas.context);
            EXPECT_TRUE(std::equal(first.begin(), first.end(), pixels.pixels))
                << code << ", draw " << again + 2;
        }
        EXPECT_NE(Covered(drawn->canvas), (Box{0, 0, 0, 0})) << code;
    }
    // A place that comes to draw another outline (another glyph, or a glyph of another
    // font) forgets what its fill kept; the room goes back with the fills.
    UT::GlyphOutline outlines[2];
    for (UT::GlyphOutline& outline : outlines) {
        outline.LineTo({0, 0, 0});
        outline.QuadTo({4, 0, 0}, {4, 4, 0});
        outline.ClosePath();
    }
    Held<UT::PathRoom> room(new UT::PathRoom(1 << 20));
    {
        Held<UT::GlyphFills> fills(new UT::GlyphFills);
        ZKeptFill* fill = fills->For(3, outlines[0], room.Get());
        ASSERT_NE(fill, nullptr);
        const ZSegment segment{};
        fill->Keep(&segment, 1, ZSegmentExtent{}, nullptr, 10);
        const struct {
            int outline;
            bool kept;
        } draws[] = {{0, true}, {1, false}, {1, true}, {0, false}};
        for (const auto& d : draws) {
            fill = fills->For(3, outlines[d.outline], room.Get());
            EXPECT_EQ(!fill->Empty(), d.kept) << d.outline;
            fill->Keep(&segment, 1, ZSegmentExtent{}, nullptr, 10);
        }
        EXPECT_LT(room->Left(), 1u << 20);
    }
    EXPECT_EQ(room->Left(), 1u << 20);
}

TEST(StaticText, ColoursMatrixAndDefineFont3Twentieths) {
    // DefineText colours are opaque (no alpha is written); DefineText2 carries alpha.
    for (bool text2 : {false, true}) {
        StaticTextWriter text(text2);
        text.Style({kFontId, 1000, Rgba{0, 255, 0, 64}, 400, 1200}).Glyphs({{0, 0}});
        const auto drawn = Draw({{kDefineFont2, LayoutFont()}}, text.TagCode(), Static(text));
        EXPECT_EQ((*drawn)(30, 50), (Bgra{0, 255, 0, uint8_t(text2 ? 64 : 255)}));
    }
    // After a shape with a 10-pixel stroke the glyphs (20..40, 40..60) are filled only:
    // no outline reaches past them.
    ShapeWriter stroked(3);
    stroked.LineStyles({{200, {0, 0, 255, 255}}})
        .Change(StyleChange().Line(1).Move(3000, 200))
        .LineTo(3400, 200);
    StaticTextWriter plain(true);
    plain.Style(Style(400, 1200)).Glyphs({{0, 0}});
    for (const auto& [code, body] :
         Tags{{kDefineText2, Static(plain)},
              {kDefineEditText, Edit("F", {}, {400, 2400, 400, 1400})}}) {
        const Tags tags = {{kDefineFont2, LayoutFont()},
                           {kDefineShape3, stroked.TagBody(3, {0, 4000, 0, 2000})},
                           {kPlaceObject2, PlaceObject2(PlaceCharacter(1, 3))},
                           {code, body},
                           {kPlaceObject2, PlaceObject2(PlaceCharacter(2, kTextId))}};
        const auto drawn = std::make_unique<Drawn>(MovieOf(tags, kWidth, kHeight), kWidth, kHeight);
        EXPECT_EQ(Covered(drawn->canvas, 0, 140), (Box{20, 40, 40, 60})) << code;
        EXPECT_EQ((*drawn)(19, 50), (Bgra{})) << code;
        EXPECT_EQ((*drawn)(160, 10), (Bgra{255, 0, 0, 255})) << code;
    }
    // The text matrix acts before the placement: (0, 30)..(20, 30) scaled by 2 and moved
    // 10 pixels, then 50 by the placement.
    StaticTextWriter text(true);
    text.Style(Style(0, 600)).Glyphs({{0, 0}});
    MatrixRecord matrix{.hasScale = true, .scaleX = 0x20000, .scaleY = 0x20000, .translateX = 200};
    const auto drawn = Draw({{kDefineFont2, LayoutFont()}}, kDefineText2, Static(text, matrix), 50);
    EXPECT_EQ(Covered(drawn->canvas), (Box{60, 20, 100, 60}));

    // DefineFont3 outlines and metrics in twentieths draw like the DefineFont2 ones.
    StaticTextWriter three(true);
    three.Style(Style(400, 1200)).Glyphs({{0, 600}, {1, 600}, {2, 0}});
    for (const auto& [code, body] :
         Tags{{kDefineText2, Static(three)}, {kDefineEditText, Edit("FTB", {2})}}) {
        const auto font2 = Draw({{kDefineFont2, LayoutFont()}}, code, body);
        const auto font3 = Draw({{kDefineFont3, LayoutFont({}, 20)}}, code, body);
        EXPECT_NE(Covered(font3->canvas), Box{}) << code;
        for (int32_t i = 0; i < kWidth * kHeight; ++i)
            ASSERT_EQ((*font3)(i % kWidth, i / kWidth), (*font2)(i % kWidth, i / kWidth)) << i;
    }
}

// Edit texts: "FF" is 60 pixels wide in the 100-pixel box, the ascent puts the baseline at 40;
// margins and indent move the line; kerning moves the next glyph; DefineFont glyphs have no
// advances; bytes are unsigned codes (wide table and offsets); unknown ones draw nothing.
TEST(EditText, LinesByPixels) {
    const FontLayout layout{800, 0, 0, {600, 600}, true, {}};
    const Font2Fields wideCodes{"", true, true, {kTop, kBottom}, {0xFFE9, 0x00E9}, layout};
    const Tags font2 = {{kDefineFont2, LayoutFont()}};
    ExpectCovered({
        {"left", font2, Edit("FF", {0}), {0, 20, 50, 40}},
        {"right", font2, Edit("FF", {1}), {40, 20, 90, 40}},
        {"center", font2, Edit("FF", {2}), {20, 20, 70, 40}},
        // (100 - 30) / 2 + 10 + 5 = 50 across; 5 + 10 + 40 = 55 down.
        {"margins",
         font2,
         Edit("F", {2, 100, 0, 200, 0}, {200, 2200, 100, 1100}),
         {50, 35, 70, 55}},
        {"kerning", {{kDefineFont2, LayoutFont({{'T', 'B', -200}})}}, Edit("TBB"), {0, 20, 70, 40}},
        {"no advances",
         {{kDefineFont, DefineFont(kFontId, {kTop, kBottom})},
          {kDefineFontInfo, DefineFontInfo(kFontId, "Plain", false, {'T', 'B'})}},
         Edit("TB", {0, 0, 0, 1200, 0}, {0, 2000, 0, 2000}),
         {0, 40, 20, 60}},
        {"cut at the top",
         {{kDefineFont, DefineFont(kFontId, {kTop, kBottom})},
          {kDefineFontInfo, DefineFontInfo(kFontId, "Plain", false, {'T', 'B'})}},
         Edit("T", {0, 0, 0, 300, 0}, {0, 2000, 1000, 2000}),
         {0, 50, 20, 55}},
        {"unsigned codes",
         {{kDefineFont2, DefineFont2(kFontId, wideCodes)}},
         Edit("\xE9x\xE9"),
         {0, 30, 50, 40}},
    });
}

// Fields by their flags: the border is a black line one pixel wide just inside the bounds
// around a white background; lines break at line ends when multiline, at the last space that
// fits with word wrap, go down by ascent, descent and leading, and stop at the field's edges.
TEST(EditText, BordersWrapAndClipByPixels) {
    constexpr Bgra kBlack{0, 0, 0, 255}, kWhite{255, 255, 255, 255}, kBlue{255, 0, 0, 255};
    const auto bordered = Draw({{kDefineFont2, LayoutFont()}}, kDefineEditText,
                               Edit("F", {}, {200, 2200, 200, 1400}, kFontId, kEditBorder));
    const struct {
        int32_t x, y;
        Bgra pixel;
    } pixels[] = {{10, 10, kBlack}, {109, 10, kBlack}, {10, 69, kBlack}, {109, 69, kBlack},
                  {60, 10, kBlack}, {10, 60, kBlack},  {11, 11, kWhite}, {108, 68, kWhite},
                  {60, 40, kWhite}, {20, 40, kBlue},   {9, 9, Bgra{}},   {110, 70, Bgra{}},
                  {29, 49, kBlue},  {30, 49, kWhite},  {29, 50, kWhite}, {10, 49, kBlue}};
    for (const auto& p : pixels) EXPECT_EQ((*bordered)(p.x, p.y), p.pixel) << p.x << "," << p.y;

    constexpr uint16_t kLines = kEditMultiline | kEditWordWrap;
    const RectRecord tall = {0, 2000, 0, 2000};
    const struct Case {
        const char* name;
        std::vector<uint8_t> text;
        Box box;
    } cases[] = {
        {"wrapped at the space", Edit("FF FF", {}, tall, kFontId, kLines), {0, 20, 50, 80}},
        {"word carried down", Edit("F FF", {}, tall, kFontId, kLines), {0, 20, 50, 80}},
        {"carried word, right-aligned", Edit("F TB", {1}, tall, kFontId, kLines), {40, 20, 90, 80}},
        {"no wrap, cut at the right",
         Edit("FF FF", {}, tall, kFontId, kEditMultiline),
         {0, 20, 100, 40}},
        {"cut at the bottom", Edit("F", {}, {0, 2000, 0, 700}), {0, 20, 20, 35}},
        {"line end", Edit("F\rT", {}, tall, kFontId, kEditMultiline), {0, 20, 20, 70}},
        {"single line", Edit("F\rF", {}, tall), {0, 20, 50, 40}},
        {"leading", Edit("F\nF", {0, 0, 0, 0, 200}, tall, kFontId, kLines), {0, 20, 20, 90}},
        {"word longer than the line", Edit("FFFF", {}, tall, kFontId, kLines), {0, 20, 80, 80}},
        {"lines below the field",
         Edit("FF FF", {}, {0, 2000, 0, 800}, kFontId, kLines),
         {0, 20, 50, 40}},
        {"glyphs past its right", Edit("FFFF", {}, {0, 1000, 0, 800}), {0, 20, 50, 40}},
        {"password", Edit("TB", {}, tall, kFontId, kEditPassword), {}},
    };
    for (const Case& c : cases) {
        const auto drawn = Draw({{kDefineFont2, LayoutFont()}}, kDefineEditText, c.text);
        EXPECT_EQ(Covered(drawn->canvas), c.box) << c.name;
    }
}

// HTML fields: a centred paragraph whose colour changes mid-line, an entity, an unknown tag
// whose text stays and a line break; faces pick the movie's fonts by name, and styles without
// a font of their own fall back to the field's, on the baseline plain text has; underlines
// under their glyphs' advances, list items indented, wrapped justified lines spread to the
// field's width, tabs to the next tab stop (a space past the last).
TEST(EditText, HtmlByPixels) {
    constexpr Bgra kBlue{255, 0, 0, 255}, kRed{0, 0, 255, 255};
    constexpr uint16_t kHtmlLines = kEditHtml | kEditMultiline;
    const Tags fonts = {
        {kDefineFont2, LayoutFont()},
        {kDefineFont2,
         DefineFont2(
             3,
             {"Other", false, false, {kBottom}, {'F'}, FontLayout{800, 0, 0, {600}, true, {}}})}};
    const auto html = Draw(fonts, kDefineEditText,
                           Edit("<p align=\"center\">F<font color=\"#FF0000\">T</font>&amp;"
                                "<blink>B</blink><br>F</p>",
                                {}, {0, 4000, 0, 2000}, kFontId, kHtmlLines));
    const struct {
        int32_t x, y;
        Bgra pixel;
    } pixels[] = {{40, 20, kBlue},  {59, 39, kBlue},  {39, 30, Bgra{}},  {60, 30, Bgra{}},
                  {70, 20, kRed},   {89, 29, kRed},   {80, 30, Bgra{}},  {100, 20, kBlue},
                  {119, 39, kBlue}, {130, 30, kBlue}, {140, 29, Bgra{}}, {85, 60, kBlue},
                  {104, 79, kBlue}, {84, 70, Bgra{}}, {95, 40, Bgra{}}};
    for (const auto& p : pixels) EXPECT_EQ((*html)(p.x, p.y), p.pixel) << p.x << "," << p.y;

    // The same glyphs as plain text and as markup draw the same pixels.
    const auto plain = Draw(fonts, kDefineEditText, Edit("FTB&", {2}));
    for (const char* markup :
         {"FTB&amp;", "<b>F</b><i>T</i><font>B</font>&#38;", "<a>F</a>T<span>B&",
          "<textformat leading=\"5\"><font size=\"+0\">FTB&#x26;"}) {
        const auto drawn =
            Draw(fonts, kDefineEditText, Edit(markup, {2}, {0, 2000, 0, 1000}, kFontId, kEditHtml));
        for (int32_t i = 0; i < kWidth * kHeight; ++i)
            ASSERT_EQ((*drawn)(i % kWidth, i / kWidth), (*plain)(i % kWidth, i / kWidth))
                << markup << " " << i;
    }
    // Other's F is the bottom half, the field font's T the top half; the field's size is 50 pixels,
    // so 25 halves the glyph and -10 takes a fifth off; an unknown face keeps the field's font.
    const struct Case {
        const char* markup;
        Box box;
    } cases[] = {
        {"<font face=\"Other\">F</font>", {0, 30, 20, 40}},
        {"<font face=\"Missing\">T</font>", {0, 20, 20, 30}},
        {"<font size=\"25\">F</font>", {0, 10, 10, 20}},
        {"<font size=\"-10\">F</font>F", {0, 20, 44, 40}},
        {"<p>T<p>F", {0, 20, 20, 80}},
        {"&lt;&gt&#70;", {0, 20, 50, 40}},
        {"<u>F</u>", {0, 20, 30, 48}},
        {"<li>F</li>", {36, 20, 56, 40}},
        {"<p align=\"justify\">F F FF</p>", {0, 20, 90, 80}},
        {"<textformat tabstops=\"35,20,x\">F\tF\tF</textformat>", {0, 20, 55, 80}},
    };
    for (const Case& c : cases) {
        const auto drawn =
            Draw(fonts, kDefineEditText,
                 Edit(c.markup, {}, {0, 2000, 0, 2000}, kFontId, kHtmlLines | kEditWordWrap));
        EXPECT_EQ(Covered(drawn->canvas), c.box) << c.markup;
    }
}

// Fields that do not ask for their font's outlines are drawn in the bundled font standing for
// its name, at the field's size, leaning for italic; a field without a font in the serif
// face at 12 pixels; static text in a font of codes only takes the device glyph of each code.
TEST(EditText, DeviceFontsByPixels) {
    using UT::DeviceFamily;
    const struct Family {
        std::string_view name;
        DeviceFamily family;
    } families[] = {{"_sans", DeviceFamily::kSans},
                    {"Arial", DeviceFamily::kSans},
                    {"Microsoft Sans Serif", DeviceFamily::kSans},
                    {"_serif", DeviceFamily::kSerif},
                    {"Times New Roman", DeviceFamily::kSerif},
                    {"GEORGIA", DeviceFamily::kSerif},
                    {"_typewriter", DeviceFamily::kMono},
                    {"Courier New", DeviceFamily::kMono},
                    {"DejaVu Sans Mono", DeviceFamily::kMono},
                    {"Univers LT 53 Extended", DeviceFamily::kSans},
                    {std::string_view("Georgia\0", 8), DeviceFamily::kSerif},
                    {"", DeviceFamily::kSans}};
    for (const Family& f : families) EXPECT_EQ(UT::DeviceFamilyFor(f.name), f.family) << f.name;

    // Fonts of names only; the embedded one has a square glyph for 'I'.
    auto named = [](const char* name, bool bold = false, bool italic = false) {
        Font2Fields fields;
        fields.name = name;
        fields.bold = bold;
        fields.italic = italic;
        return Tags{{kDefineFont2, DefineFont2(kFontId, fields)}};
    };
    const Tags embedded = {{kDefineFont2, DefineFont2(kFontId, {"Arial",
                                                                false,
                                                                false,
                                                                {Square(0, -400, 400, 0)},
                                                                {'I'},
                                                                FontLayout{800, 0, 0, {600}}})}};
    auto field = [](const char* text, uint16_t height, bool outlines = false, bool font = true,
                    uint16_t flags = 0) {
        EditTextFields fields;
        fields.bounds = {0, 4000, 0, 2000};
        if (font) fields.font = kFontId;
        fields.height = height;
        fields.color = Rgba{0, 0, 255, 255};
        fields.text = text;
        fields.useOutlines = outlines;
        fields.flags = flags;
        return DefineEditText(kTextId, fields);
    };
    ExpectCovered({
        {"sans at 20 pixels", named("_sans"), field("I", 400), {2, 4, 4, 19}},
        {"sans at 40 pixels", named("_sans"), field("I", 800), {4, 9, 8, 37}},
        {"advances", named("_sans"), field("II", 400), {2, 4, 10, 19}},
        {"serif", named("_serif"), field("I", 400), {1, 5, 6, 18}},
        {"typewriter", named("_typewriter"), field("I", 400), {2, 3, 10, 17}},
        {"bold", named("Arial", true), field("I", 400), {1, 4, 4, 19}},
        {"italic leans", named("Arial", false, true), field("I", 400), {2, 4, 6, 19}},
        {"no font", {}, field("I", 0, false, false), {1, 3, 3, 11}},
        {"outlines asked for", embedded, field("I", 400, true), {0, 8, 8, 16}},
        {"outlines not asked for", embedded, field("I", 400), {2, 4, 4, 19}},
        {"bullet",
         named("_sans"),
         field("<li>I</li>", 400, false, true, kEditHtml),
         {19, 4, 40, 19}},
        {"password",
         named("_sans"),
         field("<b>I</b>", 400, false, true, kEditHtml | kEditPassword),
         {0, 4, 8, 12}},
    });

    // A field's edges cut its glyphs, curves too: an 'O' cut by a field 15 pixels wide keeps
    // its pixels left of the edge, up to the cut curves' own flattening, and nothing beyond.
    auto oval = [&](int32_t right) {
        EditTextFields fields;
        fields.bounds = {0, right * 20, 0, 2000};
        fields.font = kFontId;
        fields.height = 800;
        fields.color = Rgba{0, 0, 255, 255};
        fields.text = "O";
        fields.useOutlines = false;
        return Draw(named("_sans"), kDefineEditText, DefineEditText(kTextId, fields));
    };
    const auto whole = oval(200), cut = oval(15);
    int32_t inked = 0;
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) {
            const int32_t a = (*cut)(x, y)[3], b = (*whole)(x, y)[3];
            ASSERT_NEAR(a, x < 15 ? b : 0, x < 15 ? 16 : 0) << x << "," << y;
            inked += x < 15 && b > 0;
        }
    EXPECT_GT(inked, 50);

    // Static text whose font has an empty glyph for 'I': the sans 'I' on the baseline at 20.
    StaticTextWriter text(false);
    text.Style(Style(0, 400, 400)).Glyphs({{0, 0}});
    const Tags codesOnly = {
        {kDefineFont2,
         DefineFont2(kFontId, {"_sans", false, false, {ShapeWriter().Records()}, {'I'}})}};
    EXPECT_EQ(Covered(Draw(codesOnly, kDefineText, Static(text))->canvas), (Box{2, 6, 4, 20}));
}
