// Fonts as read from DefineFont, DefineFont2 and DefineFontInfo: glyph tables, code
// tables, layout, advances and kerning; glyph outlines as paths; measuring strings.
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

GlyphShape Square(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    ShapeWriter glyph;
    glyph.Rectangle(x0, y0, x1, y1);
    return glyph.Records();
}

// A movie holding one font tag (and whatever follows), run to its first frame.
struct FontMovie {
    UT::FlashScript movie;
    Held<UT::FFont> font;

    explicit FontMovie(SwfWriter& writer) {
        writer.ShowFrame().End();
        EXPECT_TRUE(ParseBytes(movie, writer.Finish()));
        movie.GotoFrame(0);
        font = movie.FindFont(kFontId);
    }
};

FontMovie WithFont(uint16_t code, const std::vector<uint8_t>& body) {
    SwfWriter writer(100, 100, 12);
    writer.Tag(code, body);
    return FontMovie(writer);
}

std::vector<ZPathElement> Elements(const ZPath& path) {
    std::vector<ZPathElement> elements;
    for (size_t i = 0; i < path.Count(); ++i) elements.push_back(path[i]);
    return elements;
}

} // namespace

TEST(Font, DefineFontReadsItsOffsetTable) {
    const std::vector<GlyphShape> glyphs = {Square(0, 0, 20, 20), Square(0, 0, 400, 400)};
    FontMovie fm = WithFont(kDefineFont, DefineFont(kFontId, glyphs));
    ASSERT_TRUE(fm.font);
    EXPECT_STREQ(fm.font->GetTypeName(), "Font");
    EXPECT_EQ(fm.font->Kind(), 1);
    EXPECT_EQ(fm.font->GlyphCount(), 2u);
    ASSERT_EQ(fm.font->GlyphOffsets().size(), 2u);
    EXPECT_EQ(fm.font->GlyphOffsets()[0], 4u);
    EXPECT_EQ(fm.font->GlyphOffsets()[1], 4u + glyphs[0].size());
    EXPECT_TRUE(fm.font->CodeToGlyph().empty());
    EXPECT_EQ(fm.font->GlyphAdvance(1), 0); // DefineFont has no advances
    EXPECT_EQ(fm.font->AdvanceTableStart(), 0u);
}

TEST(Font, DefineFontWithoutGlyphsStaysUsable) {
    // A first offset below 2 means no glyphs.
    FontMovie fm = WithFont(kDefineFont, BitWriter().UI16(kFontId).UI16(1).Data());
    ASSERT_TRUE(fm.font);
    EXPECT_EQ(fm.font->GlyphCount(), 0u);
    EXPECT_TRUE(fm.font->GlyphOffsets().empty());
    GraphicsContext context;
    fm.font->DrawGlyph(context, 0);
    EXPECT_EQ(context.PathDepth(), 0);
    EXPECT_EQ(fm.font->MeasureString("abc", 50), 0.0f);
}

TEST(Font, DefineFont2NarrowAndWideTables) {
    Font2Fields fields;
    fields.name = "Serif";
    fields.glyphs = {Square(0, 0, 20, 20), Square(0, 0, 40, 40), Square(0, 0, 60, 60)};
    fields.codes = {'a', 'b', 'a'}; // a code met twice keeps the later index
    FontMovie narrow = WithFont(kDefineFont2, DefineFont2(kFontId, fields));
    ASSERT_TRUE(narrow.font);
    EXPECT_EQ(narrow.font->Kind(), 2);
    EXPECT_EQ(narrow.font->FontName(), "Serif");
    EXPECT_EQ(narrow.font->GlyphCount(), 3u);
    EXPECT_EQ(narrow.font->GlyphOffsets()[0], 8u); // three offsets and the code table offset
    EXPECT_EQ(narrow.font->CodeToGlyph().size(), 2u);
    EXPECT_EQ(narrow.font->GlyphForCode('a'), 2);
    EXPECT_EQ(narrow.font->GlyphForCode('b'), 1);
    EXPECT_EQ(narrow.font->GlyphForCode('c'), -1);

    fields.wideOffsets = true;
    fields.wideCodes = true;
    fields.codes = {0x00E9, 0xFFE9, 0x4E2D};
    FontMovie wide = WithFont(kDefineFont2, DefineFont2(kFontId, fields));
    ASSERT_TRUE(wide.font);
    EXPECT_EQ(wide.font->GlyphOffsets()[0], 16u);
    EXPECT_EQ(wide.font->GlyphForCode(0x00E9), 0);
    EXPECT_EQ(wide.font->GlyphForCode(0xFFE9), 1);
    EXPECT_EQ(wide.font->GlyphForCode(0x4E2D), 2);
}

TEST(Font, WideCodesWithNarrowOffsets) {
    Font2Fields fields;
    fields.wideCodes = true;
    fields.glyphs = {Square(0, 0, 20, 20), Square(0, 0, 40, 40)};
    fields.codes = {0x0101, 0x00E9};
    FontMovie fm = WithFont(kDefineFont2, DefineFont2(kFontId, fields));
    ASSERT_TRUE(fm.font);
    EXPECT_EQ(fm.font->GlyphOffsets()[0], 6u); // 16-bit offsets
    EXPECT_EQ(fm.font->GlyphOffsets()[1], 6u + fields.glyphs[0].size());
    EXPECT_EQ(fm.font->GlyphForCode(0x0101), 0); // 16-bit codes
    EXPECT_EQ(fm.font->GlyphForCode(0x00E9), 1);
    EXPECT_EQ(fm.font->CodeToGlyph().size(), 2u);
}

TEST(Font, LayoutAdvancesAndKerning) {
    Font2Fields fields;
    fields.glyphs = {Square(0, 0, 20, 20), Square(0, 0, 40, 40)};
    fields.codes = {'A', 'V'};
    FontLayout layout;
    layout.ascent = 800;
    layout.descent = 200;
    layout.leading = 40;
    layout.advances = {600, -300};
    layout.kerning = {{'A', 'V', -100}, {'V', 'A', 50}};
    fields.layout = layout;
    FontMovie fm = WithFont(kDefineFont2, DefineFont2(kFontId, fields));
    ASSERT_TRUE(fm.font);
    EXPECT_EQ(fm.font->Ascent(), 800u);
    EXPECT_EQ(fm.font->Descent(), 200u);
    EXPECT_EQ(fm.font->Leading(), 40u);
    EXPECT_NE(fm.font->AdvanceTableStart(), 0u);
    EXPECT_EQ(fm.font->BoundsTableStart(), fm.font->AdvanceTableStart() + 4);
    EXPECT_EQ(fm.font->KerningCount(), 2u);
    EXPECT_EQ(fm.font->GlyphAdvance(0), 600);
    EXPECT_EQ(fm.font->GlyphAdvance(1), -300);
    EXPECT_EQ(fm.font->GetKerning('A', 'V'), -100);
    EXPECT_EQ(fm.font->GetKerning('V', 'A'), 50);
    EXPECT_EQ(fm.font->GetKerning('A', 'A'), 0);

    // At 50 pixels a font unit is 0.05 pixels: (600 - 100) + (-300 + 50) + 600 + ...
    EXPECT_FLOAT_EQ(fm.font->MeasureString("A", 50), 30.0f);
    EXPECT_FLOAT_EQ(fm.font->MeasureString("AV", 50), (500 - 300) * 0.05f);
    EXPECT_FLOAT_EQ(fm.font->MeasureString("AVA", 50), (500 - 250 + 600) * 0.05f);
    EXPECT_FLOAT_EQ(fm.font->MeasureString("AxV", 50), (600 - 300) * 0.05f); // no glyph, no kerning
}

TEST(Font, LayoutEndingAtTheTagsEndHasNoKerningTable) {
    Font2Fields fields;
    fields.glyphs = {Square(0, 0, 20, 20)};
    fields.codes = {'A'};
    FontLayout layout;
    layout.advances = {600};
    layout.kerningTable = false;
    fields.layout = layout;
    FontMovie fm = WithFont(kDefineFont2, DefineFont2(kFontId, fields));
    ASSERT_TRUE(fm.font);
    EXPECT_EQ(fm.font->GlyphAdvance(0), 600);
    EXPECT_EQ(fm.font->BoundsTableStart(), 0u);
    EXPECT_EQ(fm.font->KerningStart(), 0u);
    EXPECT_EQ(fm.font->KerningCount(), 0u);
    EXPECT_EQ(fm.font->GetKerning('A', 'A'), 0);
}

TEST(Font, DefineFontInfoAddsNamesAndCodes) {
    Font2Fields fields;
    fields.name = "Old";
    fields.glyphs = {Square(0, 0, 20, 20), Square(0, 0, 40, 40)};
    fields.codes = {'x', 'y'};
    SwfWriter writer(100, 100, 12);
    writer.Tag(kDefineFont, DefineFont(2, fields.glyphs))
        .Tag(kDefineFontInfo, DefineFontInfo(2, "Narrow", false, {'p', 'q'}))
        .Tag(kDefineFont2, DefineFont2(kFontId, fields))
        .Tag(kDefineFontInfo, DefineFontInfo(kFontId, "New", true, {'y', 0x1234}))
        .Tag(kDefineFontInfo, DefineFontInfo(77, "Nobody", false, {'z'}));
    FontMovie fm(writer);
    ASSERT_TRUE(fm.font);
    EXPECT_EQ(fm.font->FontName(), "New");
    EXPECT_EQ(fm.font->GlyphForCode('x'), 0); // kept
    EXPECT_EQ(fm.font->GlyphForCode('y'), 0); // the new index
    EXPECT_EQ(fm.font->GlyphForCode(0x1234), 1);
    const Held<UT::FFont> narrow = fm.movie.FindFont(2);
    ASSERT_TRUE(narrow);
    EXPECT_EQ(narrow->FontName(), "Narrow");
    EXPECT_EQ(narrow->GlyphForCode('p'), 0);
    EXPECT_EQ(narrow->GlyphForCode('q'), 1);
    EXPECT_EQ(fm.movie.CharacterCount(), 2u);
}

TEST(Font, DrawGlyphEmitsTheOutlineInFontUnitsOverTwenty) {
    ShapeWriter glyph;
    glyph.MoveTo(100, -200).LineBy(300, 0).CurveBy(100, 0, 0, 100).LineBy(-400, 100).MoveTo(0, 0);
    glyph.LineBy(20, 0).LineBy(0, 20);
    FontMovie fm = WithFont(kDefineFont, DefineFont(kFontId, {glyph.Records()}));
    ASSERT_TRUE(fm.font);
    GraphicsContext context;
    context.Reset();
    fm.font->DrawGlyph(context, 0);
    EXPECT_EQ(context.PathDepth(), 0);
    const std::vector<ZPathElement> path = Elements(context.Path());
    ASSERT_GE(path.size(), 4u);
    EXPECT_EQ(path[0].kind, ZPath::kMove);
    EXPECT_FLOAT_EQ(path[0].x, 5.0f);
    EXPECT_FLOAT_EQ(path[0].y, -10.0f);
    EXPECT_EQ(path[1].kind, ZPath::kLine);
    EXPECT_FLOAT_EQ(path[1].x, 20.0f);
    EXPECT_FLOAT_EQ(path[1].y, -10.0f);
    // The curve ends at (25, -5); the first contour closes back at (5, -10) before the
    // second starts at the origin.
    bool sawCurveEnd = false, sawSecondStart = false;
    for (const ZPathElement& e : path) {
        sawCurveEnd |= e.x == 25.0f && e.y == -5.0f;
        sawSecondStart |= e.x == 0.0f && e.y == 0.0f;
    }
    EXPECT_TRUE(sawCurveEnd);
    EXPECT_TRUE(sawSecondStart);
    EXPECT_FLOAT_EQ(path.back().x, 5.0f); // closed to the path's start
    EXPECT_FLOAT_EQ(path.back().y, -10.0f);

    // Later draws replay the outline kept from the first: the same path, point for point.
    fm.font->DrawGlyph(context, 0);
    const std::vector<ZPathElement> again = Elements(context.Path());
    ASSERT_EQ(again.size(), path.size());
    for (size_t i = 0; i < path.size(); ++i)
        EXPECT_TRUE(again[i].kind == path[i].kind && again[i].x == path[i].x &&
                    again[i].y == path[i].y)
            << i;

    // Indices at or beyond the glyph count draw nothing.
    context.BeginPath(1);
    context.EndPath();
    fm.font->DrawGlyph(context, 1);
    EXPECT_EQ(context.Path().Count(), 0u);
}

TEST(Font, AGlyphThatStartsWithAnEdgeStartsAtTheOrigin) {
    ShapeWriter glyph;
    glyph.LineBy(400, 0).LineBy(0, -400);
    FontMovie fm = WithFont(kDefineFont, DefineFont(kFontId, {glyph.Records()}));
    ASSERT_TRUE(fm.font);
    GraphicsContext context;
    context.Reset();
    fm.font->DrawGlyph(context, 0);
    const std::vector<ZPathElement> path = Elements(context.Path());
    ASSERT_GE(path.size(), 3u);
    EXPECT_EQ(path[0].kind, ZPath::kMove);
    EXPECT_FLOAT_EQ(path[0].x, 0.0f);
    EXPECT_FLOAT_EQ(path[0].y, 0.0f);
    EXPECT_FLOAT_EQ(path[1].x, 20.0f);
    EXPECT_FLOAT_EQ(path[2].y, -20.0f);
}

TEST(Font, MalformedGlyphTablesStayInsideTheImage) {
    // Offsets pointing past the image, and a glyph that runs off the end of the file.
    BitWriter body;
    body.UI16(kFontId).UI8(0x08).UI8(0).UI8(0).UI16(3);
    body.UI32(0xFFFFFF00u).UI32(0x7FFFFFFFu).UI32(16).UI32(16);
    body.UI8(0x11).UI8(0xFF); // NumFillBits 1, then an edge record cut short
    SwfWriter writer(100, 100, 12);
    writer.Raw(TagStream::Header(kDefineFont2, uint32_t(body.Size()), true)).Raw(body.Data());
    UT::FlashScript movie;
    ASSERT_TRUE(ParseBytes(movie, writer.Finish()));
    movie.GotoFrame(0);
    GraphicsContext context;
    context.Reset();
    // The code table runs past the image: the definition is cut off.
    EXPECT_FALSE(movie.FindFont(kFontId));

    // The same font in a tag that does fit, its third glyph running off the file.
    BitWriter fits;
    fits.UI16(kFontId).UI8(0x08).UI8(0).UI8(0).UI16(3);
    fits.UI32(0xFFFFFF00u).UI32(0x7FFFFFFFu).UI32(17).UI32(16);
    fits.UI8(0x10).UI8(0x11).UI8(0xFF).UI8(0xFF);
    SwfWriter fitting(100, 100, 12);
    fitting.Tag(kDefineFont2, fits.Data());
    UT::FlashScript second;
    ASSERT_TRUE(ParseBytes(second, fitting.Finish()));
    second.GotoFrame(0);
    const Held<UT::FFont> font = second.FindFont(kFontId);
    ASSERT_TRUE(font);
    for (uint32_t i = 0; i < 4; ++i) {
        second.PushState();
        font->DrawGlyph(context, i);
        second.PopState();
        EXPECT_EQ(context.PathDepth(), 0);
    }
    EXPECT_FALSE(second.Exhausted());
}
