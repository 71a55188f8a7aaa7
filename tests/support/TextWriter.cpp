#include "TextWriter.h"

#include <algorithm>

namespace swftest {

namespace {

BitWriter& WriteCode(BitWriter& out, uint16_t code, bool wide) {
    return wide ? out.UI16(code) : out.UI8(uint8_t(code));
}

// A length byte and the name's bytes, as font tags write names.
BitWriter& WriteName(BitWriter& out, std::string_view name) {
    return out.UI8(uint8_t(name.size())).Bytes({name.begin(), name.end()});
}

// The offset table (with one more offset, to the code table, when `codeTable` is set),
// then the glyphs.
BitWriter& WriteGlyphs(BitWriter& body, const std::vector<GlyphShape>& glyphs, bool wide,
                       bool codeTable) {
    uint32_t offset = uint32_t((glyphs.size() + codeTable) * (wide ? 4 : 2));
    for (size_t i = 0; i < glyphs.size() + codeTable; ++i) {
        wide ? body.UI32(offset) : body.UI16(uint16_t(offset));
        if (i < glyphs.size()) offset += uint32_t(glyphs[i].size());
    }
    for (const GlyphShape& glyph : glyphs) body.Bytes(glyph);
    return body;
}

template <class T> T At(const std::vector<T>& values, size_t i) {
    return i < values.size() ? values[i] : T();
}

} // namespace

std::vector<uint8_t> DefineFont(uint16_t id, const std::vector<GlyphShape>& glyphs) {
    BitWriter body;
    return WriteGlyphs(body.UI16(id), glyphs, false, false).Data();
}

std::vector<uint8_t> DefineFont2(uint16_t id, const Font2Fields& font) {
    const uint8_t flags =
        uint8_t((font.layout ? 0x80 : 0) | (font.wideOffsets ? 0x08 : 0) |
                (font.wideCodes ? 0x04 : 0) | (font.italic ? 0x02 : 0) | (font.bold ? 0x01 : 0));
    BitWriter body;
    WriteName(body.UI16(id).UI8(flags).UI8(0), font.name);
    const size_t count = font.glyphs.size();
    body.UI16(uint16_t(count));
    if (count > 0) WriteGlyphs(body, font.glyphs, font.wideOffsets, true);
    for (size_t i = 0; i < count; ++i) WriteCode(body, At(font.codes, i), font.wideCodes);
    if (font.layout) {
        const FontLayout& layout = *font.layout;
        body.UI16(layout.ascent).UI16(layout.descent).UI16(layout.leading);
        for (size_t i = 0; i < count; ++i) body.SI16(At(layout.advances, i));
        if (!layout.kerningTable) return body.Data();
        for (size_t i = 0; i < count; ++i) body.Rect({});
        body.UI16(uint16_t(layout.kerning.size()));
        for (const KerningPair& pair : layout.kerning)
            WriteCode(WriteCode(body, pair.first, font.wideCodes), pair.second, font.wideCodes)
                .SI16(pair.adjustment);
    }
    return body.Data();
}

std::vector<uint8_t> DefineFontInfo(uint16_t fontId, std::string_view name, bool wideCodes,
                                    const std::vector<uint16_t>& codes) {
    BitWriter body;
    WriteName(body.UI16(fontId), name).UI8(wideCodes ? 0x01 : 0x00);
    for (uint16_t code : codes) WriteCode(body, code, wideCodes);
    return body.Data();
}

std::vector<uint8_t> StaticTextWriter::TagBody(uint16_t id, const RectRecord& bounds,
                                               const MatrixRecord& matrix) const {
    unsigned glyphBits = 0, advanceBits = 0;
    for (const Record& record : records)
        for (const GlyphEntry& glyph : record.glyphs) {
            glyphBits = std::max(glyphBits, BitWriter::UBitsFor(glyph.index));
            advanceBits = std::max(advanceBits, BitWriter::SBitsFor({glyph.advance}));
        }
    BitWriter body;
    body.UI16(id).Rect(bounds).Matrix(matrix).UI8(uint8_t(glyphBits)).UI8(uint8_t(advanceBits));
    for (const Record& record : records) {
        if (record.style) {
            const TextStyle& style = *record.style;
            body.UI8(uint8_t(0x80 | (style.font ? 0x08 : 0) | (style.color ? 0x04 : 0) |
                             (style.y ? 0x02 : 0) | (style.x ? 0x01 : 0)));
            if (style.font) body.UI16(*style.font);
            if (const Rgba c = style.color.value_or(Rgba{}); style.color)
                text2 ? body.RGBA(c.r, c.g, c.b, c.a) : body.RGB(c.r, c.g, c.b);
            if (style.x) body.SI16(*style.x);
            if (style.y) body.SI16(*style.y);
            if (style.font) body.UI16(style.height);
        } else {
            body.UI8(uint8_t(record.glyphs.size()));
            for (const GlyphEntry& glyph : record.glyphs)
                body.UB(glyph.index, glyphBits).SB(glyph.advance, advanceBits);
            body.Align();
        }
    }
    return body.UI8(0).Data(); // end of records
}

std::vector<uint8_t> DefineEditText(uint16_t id, const EditTextFields& text) {
    // The first flag byte is the low byte.
    const uint16_t flags =
        uint16_t((text.font ? 0x0001 : 0) | (text.color ? 0x0004 : 0) | 0x0080 |
                 (text.layout ? 0x2000 : 0) | (text.useOutlines ? 0x0100 : 0) | text.flags);
    BitWriter body;
    body.UI16(id).Rect(text.bounds).UI16(flags);
    if (text.font) body.UI16(*text.font).UI16(text.height);
    if (text.color) body.RGBA(text.color->r, text.color->g, text.color->b, text.color->a);
    if (const EditLayout l = text.layout.value_or(EditLayout{}); text.layout)
        body.UI8(l.align).UI16(l.leftMargin).UI16(l.rightMargin).UI16(l.indent).UI16(l.leading);
    body.String(text.variable);
    return body.String(text.text).Data();
}

} // namespace swftest
