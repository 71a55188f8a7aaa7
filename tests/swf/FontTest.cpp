// Fonts as read from DefineFont, DefineFont2 and DefineFontInfo: the code tables of each
// width, advances and kerning as strings measure them, and glyph outlines as paths.
#include "MovieTestSupport.h"

#include "graphics/GraphicsContext.h"
#include "raster/ZPath.h"
#include "support/ShapeWriter.h"
#include "support/SwfWriter.h"
#include "support/TextWriter.h"
#include "swf/FFont.h"

#include <gtest/gtest.h>

using namespace swftest;

namespace {

constexpr uint16_t kFontId = 1;

GlyphShape Square(int32_t size) {
    ShapeWriter glyph;
    glyph.Rectangle(0, 0, size, size);
    return glyph.Records();
}

// A movie of the given font tags, run to its first frame.
struct FontMovie {
    UT::FlashScript movie;
    Held<UT::FFont> font;

    explicit FontMovie(const std::vector<std::pair<uint16_t, std::vector<uint8_t>>>& tags) {
        SwfWriter writer(100, 100, 12);
        for (const auto& [code, body] : tags) writer.Tag(code, body);
        writer.ShowFrame().End();
        EXPECT_TRUE(ParseBytes(movie, writer.Finish()));
        movie.GotoFrame(0);
        font = movie.FindFont(kFontId);
    }
};

Font2Fields ThreeGlyphs(bool wideOffsets, bool wideCodes, std::vector<uint16_t> codes) {
    Font2Fields fields;
    fields.wideOffsets = wideOffsets;
    fields.wideCodes = wideCodes;
    fields.glyphs = {Square(20), Square(40), Square(60)};
    fields.codes = std::move(codes);
    return fields;
}

} // namespace

TEST(Font, CodeTablesOfEachWidth) {
    struct Case {
        const char* name;
        std::vector<std::pair<uint16_t, std::vector<uint8_t>>> tags;
        std::vector<std::pair<uint16_t, int32_t>> lookups; // code, glyph (-1: none)
    };
    const Case cases[] = {
        {"narrow; a code met twice keeps the later index",
         {{kDefineFont2, DefineFont2(kFontId, ThreeGlyphs(false, false, {'a', 'b', 'a'}))}},
         {{'a', 2}, {'b', 1}, {'c', -1}}},
        {"wide offsets and codes",
         {{kDefineFont2, DefineFont2(kFontId, ThreeGlyphs(true, true, {0xE9, 0xFFE9, 0x4E2D}))}},
         {{0xE9, 0}, {0xFFE9, 1}, {0x4E2D, 2}}},
        {"wide codes, narrow offsets",
         {{kDefineFont2, DefineFont2(kFontId, ThreeGlyphs(false, true, {0x0101, 0xE9, 7}))}},
         {{0x0101, 0}, {0xE9, 1}, {7, 2}}},
        {"font info replaces codes of the font it names",
         {{kDefineFont2, DefineFont2(kFontId, ThreeGlyphs(false, false, {'x', 'y', 'z'}))},
          {kDefineFontInfo, DefineFontInfo(kFontId, "New", true, {'y', 0x1234})},
          {kDefineFontInfo, DefineFontInfo(77, "Nobody", false, {'z'})}},
         {{'x', 0}, {'y', 0}, {0x1234, 1}, {'z', 2}}},
        {"font info gives a DefineFont its codes",
         {{kDefineFont, DefineFont(kFontId, {Square(20), Square(40)})},
          {kDefineFontInfo, DefineFontInfo(kFontId, "Narrow", false, {'p', 'q'})}},
         {{'p', 0}, {'q', 1}, {'x', -1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FontMovie fm(c.tags);
        ASSERT_TRUE(fm.font);
        for (const auto& [code, glyph] : c.lookups)
            EXPECT_EQ(fm.font->GlyphForCode(code), glyph) << code;
    }
}

TEST(Font, AdvancesAndKerningMeasureStrings) {
    Font2Fields fields = ThreeGlyphs(false, false, {'A', 'V'});
    fields.layout = FontLayout{800, 200, 40, {600, -300}, true, {{'A', 'V', -100}, {'V', 'A', 50}}};
    FontMovie fm({{kDefineFont2, DefineFont2(kFontId, fields)}});
    ASSERT_TRUE(fm.font);
    EXPECT_EQ(fm.font->GetKerning('A', 'A'), 0);
    // At 50 pixels a font unit is 0.05 pixels; a byte without a glyph is passed over.
    EXPECT_FLOAT_EQ(fm.font->MeasureString("A", 50), 30.0f);
    EXPECT_FLOAT_EQ(fm.font->MeasureString("AV", 50), (500 - 300) * 0.05f);
    EXPECT_FLOAT_EQ(fm.font->MeasureString("AVA", 50), (500 - 250 + 600) * 0.05f);
    EXPECT_FLOAT_EQ(fm.font->MeasureString("AxV", 50), (600 - 300) * 0.05f);

    // A layout that ends with the tag has no kerning table.
    fields.layout->kerningTable = false;
    FontMovie bare({{kDefineFont2, DefineFont2(kFontId, fields)}});
    EXPECT_EQ(bare.font->GlyphAdvance(1), -300);
    EXPECT_EQ(bare.font->KerningCount(), 0u);
    EXPECT_EQ(bare.font->GetKerning('A', 'V'), 0);
    // A first offset below 2 means no glyphs at all.
    FontMovie empty({{kDefineFont, BitWriter().UI16(kFontId).UI16(1).Data()}});
    ASSERT_TRUE(empty.font);
    EXPECT_EQ(empty.font->GlyphCount(), 0u);
    EXPECT_EQ(empty.font->MeasureString("abc", 50), 0.0f);
}

TEST(Font, GlyphOutlinesInFontUnitsOverTwenty) {
    // A glyph that starts with an edge starts at the origin; its contour closes.
    ShapeWriter first, second;
    first.LineBy(400, 0).CurveBy(100, 0, 0, 100).LineBy(-500, -100);
    second.MoveTo(100, -200).LineBy(300, 0);
    FontMovie fm({{kDefineFont, DefineFont(kFontId, {first.Records(), second.Records()})}});
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
    const std::string once = text(0);
    EXPECT_EQ(once.substr(0, once.find(' ', once.find(' ') + 1)),
              std::to_string(int(ZPath::kMove)) + ":0,0 " + std::to_string(int(ZPath::kLine)) +
                  ":20,0");
    EXPECT_NE(once.find(",5 "), std::string::npos); // the curve ends at (25, 5)
    EXPECT_EQ(text(0), once);                       // replayed from the kept outline
    EXPECT_EQ(text(1).substr(0, 7), std::to_string(int(ZPath::kMove)) + ":5,-10");
    EXPECT_EQ(text(2), ""); // past the glyph count
}
