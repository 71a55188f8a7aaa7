// Fonts as read from DefineFont, DefineFont2 and DefineFontInfo: the code tables of each
// width, advances and kerning as strings measure them, and glyph outlines as paths.
#include "MovieTestSupport.h"
#include "graphics/GraphicsContext.h"
#include "raster/ZPath.h"
#include "support/ShapeWriter.h"
#include "support/TextWriter.h"
#include "swf/FFont.h"

#include <gtest/gtest.h>

using namespace swftest;

namespace {

// The movie of the font tags run to its first frame, and font 1 in it.
struct FontMovie {
    UT::FlashScript movie;
    Held<UT::FFont> font;
    explicit FontMovie(const Tags& tags) {
        EXPECT_TRUE(ParseBytes(movie, MovieOf(tags, 100, 100)));
        movie.GotoFrame(0);
        font = movie.FindFont(1);
    }
};

Font2Fields ThreeGlyphs(bool wideOffsets, bool wideCodes, std::vector<uint16_t> codes) {
    GlyphShape squares[3];
    for (int k = 0; k < 3; ++k)
        squares[k] = ShapeWriter().Rectangle(0, 0, 20 * k + 20, 20 * k + 20).Records();
    return {"", wideOffsets, wideCodes, {squares[0], squares[1], squares[2]}, std::move(codes), {}};
}

} // namespace

TEST(Font, CodeTablesOfEachWidth) {
    const GlyphShape square = ShapeWriter().Rectangle(0, 0, 20, 20).Records();
    const struct Case {
        const char* name;
        Tags tags;
        std::vector<std::pair<uint16_t, int32_t>> lookups; // code, glyph (-1: none)
    } cases[] = {
        {"narrow; a code met twice keeps the later index",
         {{kDefineFont2, DefineFont2(1, ThreeGlyphs(false, false, {'a', 'b', 'a'}))}},
         {{'a', 2}, {'b', 1}, {'c', -1}}},
        {"wide offsets and codes",
         {{kDefineFont2, DefineFont2(1, ThreeGlyphs(true, true, {0xE9, 0xFFE9, 0x4E2D}))}},
         {{0xE9, 0}, {0xFFE9, 1}, {0x4E2D, 2}}},
        {"wide codes, narrow offsets",
         {{kDefineFont2, DefineFont2(1, ThreeGlyphs(false, true, {0x0101, 0xE9, 7}))}},
         {{0x0101, 0}, {0xE9, 1}, {7, 2}}},
        {"font info replaces codes of the font it names",
         {{kDefineFont2, DefineFont2(1, ThreeGlyphs(false, false, {'x', 'y', 'z'}))},
          {kDefineFontInfo, DefineFontInfo(1, "New", true, {'y', 0x1234})},
          {kDefineFontInfo, DefineFontInfo(77, "Nobody", false, {'z'})}},
         {{'x', 0}, {'y', 0}, {0x1234, 1}, {'z', 2}}},
        {"font info gives a DefineFont its codes",
         {{kDefineFont, DefineFont(1, {square, square})},
          {kDefineFontInfo, DefineFontInfo(1, "Narrow", false, {'p', 'q'})}},
         {{'p', 0}, {'q', 1}, {'x', -1}}},
    };
    for (const Case& c : cases) {
        FontMovie fm(c.tags);
        ASSERT_TRUE(fm.font) << c.name;
        for (const auto& [code, glyph] : c.lookups)
            EXPECT_EQ(fm.font->GlyphForCode(code), glyph) << c.name << " " << code;
    }
}

TEST(Font, AdvancesAndKerningMeasureStrings) {
    Font2Fields fields = ThreeGlyphs(false, false, {'A', 'V'});
    fields.layout = FontLayout{800, 200, 40, {600, -300}, true, {{'A', 'V', -100}, {'V', 'A', 50}}};
    FontMovie fm({{kDefineFont2, DefineFont2(1, fields)}});
    ASSERT_TRUE(fm.font);
    EXPECT_EQ(fm.font->GetKerning('A', 'A'), 0);
    // At 50 pixels a font unit is 0.05 pixels; a byte without a glyph is passed over.
    const std::pair<const char*, float> widths[] = {{"A", 30},
                                                    {"AV", (500 - 300) * 0.05f},
                                                    {"AVA", (500 - 250 + 600) * 0.05f},
                                                    {"AxV", (600 - 300) * 0.05f}};
    for (const auto& [text, width] : widths)
        EXPECT_FLOAT_EQ(fm.font->MeasureString(text, 50), width) << text;
    // A layout that ends with the tag has no kerning table.
    fields.layout->kerningTable = false;
    FontMovie bare({{kDefineFont2, DefineFont2(1, fields)}});
    EXPECT_EQ(std::tuple(bare.font->GlyphAdvance(1), bare.font->KerningCount(),
                         bare.font->GetKerning('A', 'V')),
              std::tuple(-300, 0u, 0));
    // A first offset below 2 means no glyphs at all.
    FontMovie empty({{kDefineFont, BitWriter().UI16(1).UI16(1).Data()}});
    ASSERT_TRUE(empty.font);
    EXPECT_EQ(empty.font->GlyphCount(), 0u);
    EXPECT_EQ(empty.font->MeasureString("abc", 50), 0.0f);
}

TEST(Font, GlyphOutlinesInFontUnitsOverTwenty) {
    // A glyph that starts with an edge starts at the origin; its contour closes.
    ShapeWriter first, second;
    first.LineBy(400, 0).CurveBy(100, 0, 0, 100).LineBy(-500, -100);
    second.MoveTo(100, -200).LineBy(300, 0);
    FontMovie fm({{kDefineFont, DefineFont(1, {first.Records(), second.Records()})}});
    ASSERT_TRUE(fm.font);
    const auto text = [&](uint32_t glyph) {
        GraphicsContext context;
        context.Reset();
        fm.font->DrawGlyph(context, glyph);
        EXPECT_EQ(context.PathDepth(), 0);
        std::string out;
        for (size_t i = 0; i < context.Path().Count(); ++i) {
            const ZPathElement& e = context.Path()[i];
            out += std::to_string(int(e.kind)) + ":" + std::to_string(int(e.x)) + "," +
                   std::to_string(int(e.y)) + " ";
        }
        return out;
    };
    // Kinds 1 move, 2 line, 6 close; the curve is flattened into lines ending at (25, 5).
    const std::string once = text(0);
    EXPECT_EQ(once.substr(0, 13), "1:0,0 2:20,0 ");
    EXPECT_EQ(once.substr(once.size() - 20), " 2:25,5 2:0,0 6:0,0 ");
    EXPECT_EQ(text(0), once); // replayed from the kept outline
    EXPECT_EQ(text(1), "1:5,-10 2:20,-10 2:5,-10 6:5,-10 ");
    EXPECT_EQ(text(2), ""); // past the glyph count
}
