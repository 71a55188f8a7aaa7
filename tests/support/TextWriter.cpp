#include "TextWriter.h"

#include <algorithm>

namespace swftest {

namespace {

// DefineFont2 flag bits.
constexpr uint8_t kHasLayout = 0x80;
constexpr uint8_t kWideOffsets = 0x08;
constexpr uint8_t kWideCodes = 0x04;

// DefineEditText flag bits, the first flag byte being the low byte.
constexpr uint16_t kEditHasFont = 0x0001;
constexpr uint16_t kEditHasMaxLength = 0x0002;
constexpr uint16_t kEditHasTextColor = 0x0004;
constexpr uint16_t kEditHasText = 0x0080;
constexpr uint16_t kEditHasLayout = 0x2000;

void WriteCode(BitWriter& out, uint16_t code, bool wide) {
    if (wide)
        out.UI16(code);
    else
        out.UI8(uint8_t(code));
}

template <class T> T At(const std::vector<T>& values, size_t i) {
    return i < values.size() ? values[i] : T();
}

} // namespace

std::vector<uint8_t> DefineFont(uint16_t id, const std::vector<GlyphShape>& glyphs) {
    BitWriter body;
    body.UI16(id);
    uint32_t offset = uint32_t(2 * glyphs.size());
    for (const GlyphShape& glyph : glyphs) {
        body.UI16(uint16_t(offset));
        offset += uint32_t(glyph.size());
    }
    for (const GlyphShape& glyph : glyphs) body.Bytes(glyph);
    return body.Data();
}

std::vector<uint8_t> DefineFont2(uint16_t id, const Font2Fields& font) {
    const uint8_t flags =
        uint8_t((font.layout ? kHasLayout : 0) | (font.wideOffsets ? kWideOffsets : 0) |
                (font.wideCodes ? kWideCodes : 0));
    BitWriter body;
    body.UI16(id).UI8(flags).UI8(0).UI8(uint8_t(font.name.size()));
    for (char c : font.name) body.UI8(uint8_t(c));
    const size_t count = font.glyphs.size();
    body.UI16(uint16_t(count));
    if (count > 0) {
        const uint32_t width = font.wideOffsets ? 4 : 2;
        uint32_t offset = uint32_t((count + 1) * width);
        auto writeOffset = [&](uint32_t value) {
            if (font.wideOffsets)
                body.UI32(value);
            else
                body.UI16(uint16_t(value));
        };
        for (const GlyphShape& glyph : font.glyphs) {
            writeOffset(offset);
            offset += uint32_t(glyph.size());
        }
        writeOffset(offset); // the code table follows the glyphs
        for (const GlyphShape& glyph : font.glyphs) body.Bytes(glyph);
        for (size_t i = 0; i < count; ++i) WriteCode(body, At(font.codes, i), font.wideCodes);
    }
    if (font.layout) {
        const FontLayout& layout = *font.layout;
        body.UI16(layout.ascent).UI16(layout.descent).UI16(layout.leading);
        for (size_t i = 0; i < count; ++i) body.SI16(At(layout.advances, i));
        if (layout.kerningTable) {
            for (size_t i = 0; i < count; ++i) body.Rect({});
            body.UI16(uint16_t(layout.kerning.size()));
            for (const KerningPair& pair : layout.kerning) {
                WriteCode(body, pair.first, font.wideCodes);
                WriteCode(body, pair.second, font.wideCodes);
                body.SI16(pair.adjustment);
            }
        }
    }
    return body.Data();
}

std::vector<uint8_t> DefineFontInfo(uint16_t fontId, std::string_view name, bool wideCodes,
                                    const std::vector<uint16_t>& codes) {
    BitWriter body;
    body.UI16(fontId).UI8(uint8_t(name.size()));
    for (char c : name) body.UI8(uint8_t(c));
    body.UI8(wideCodes ? 0x01 : 0x00);
    for (uint16_t code : codes) WriteCode(body, code, wideCodes);
    return body.Data();
}

StaticTextWriter& StaticTextWriter::Style(const TextStyle& style) {
    records.push_back({style, {}});
    return *this;
}

StaticTextWriter& StaticTextWriter::Glyphs(const std::vector<GlyphEntry>& glyphs) {
    records.push_back({std::nullopt, glyphs});
    return *this;
}

std::vector<uint8_t> StaticTextWriter::TagBody(uint16_t id, const RectRecord& bounds,
                                               const MatrixRecord& matrix) const {
    unsigned glyphBits = 0, advanceBits = 0;
    for (const Record& record : records)
        for (const GlyphEntry& glyph : record.glyphs) {
            glyphBits = std::max(glyphBits, BitWriter::UBitsFor(glyph.index));
            advanceBits = std::max(advanceBits, BitWriter::SBitsFor(glyph.advance));
        }
    BitWriter body;
    body.UI16(id).Rect(bounds).Matrix(matrix).UI8(uint8_t(glyphBits)).UI8(uint8_t(advanceBits));
    for (const Record& record : records) {
        if (record.style) {
            const TextStyle& style = *record.style;
            body.UI8(uint8_t(0x80 | (style.font ? 0x08 : 0) | (style.color ? 0x04 : 0) |
                             (style.y ? 0x02 : 0) | (style.x ? 0x01 : 0)));
            if (style.font) body.UI16(*style.font);
            if (style.color) {
                if (text2)
                    body.RGBA(style.color->r, style.color->g, style.color->b, style.color->a);
                else
                    body.RGB(style.color->r, style.color->g, style.color->b);
            }
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
    body.UI8(0); // end of records
    return body.Data();
}

std::vector<uint8_t> DefineEditText(uint16_t id, const EditTextFields& text) {
    const uint16_t flags =
        uint16_t((text.font ? kEditHasFont : 0) | (text.maxLength ? kEditHasMaxLength : 0) |
                 (text.color ? kEditHasTextColor : 0) | (text.hasText ? kEditHasText : 0) |
                 (text.layout ? kEditHasLayout : 0));
    BitWriter body;
    body.UI16(id).Rect(text.bounds).UI16(flags);
    if (text.font) body.UI16(*text.font).UI16(text.height);
    if (text.color) body.RGBA(text.color->r, text.color->g, text.color->b, text.color->a);
    if (text.maxLength) body.UI16(*text.maxLength);
    if (text.layout) {
        const EditLayout& layout = *text.layout;
        body.UI8(layout.align).UI16(layout.leftMargin).UI16(layout.rightMargin);
        body.UI16(layout.indent).UI16(layout.leading);
    }
    body.String(text.variable);
    if (text.hasText) body.String(text.text);
    return body.Data();
}

} // namespace swftest
