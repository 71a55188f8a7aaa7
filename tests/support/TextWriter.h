// Font and text tags: DefineFont, DefineFont2 (and DefineFont3 with the same layout),
// DefineFontInfo, DefineText and DefineText2 records, DefineEditText.  Glyph outlines are
// SHAPE bytes as ShapeWriter::Records() writes them.
#pragma once

#include "ShapeWriter.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace swftest {

enum TextTag : uint16_t {
    kDefineFont = 10,
    kDefineText = 11,
    kDefineFontInfo = 13,
    kDefineText2 = 33,
    kDefineEditText = 37,
    kDefineFont2 = 48,
    kDefineFont3 = 75,
};

using GlyphShape = std::vector<uint8_t>;

// DefineFont: the offset table followed by the glyph shapes.
std::vector<uint8_t> DefineFont(uint16_t id, const std::vector<GlyphShape>& glyphs);

struct KerningPair {
    uint16_t first = 0, second = 0;
    int16_t adjustment = 0;
};

// A DefineFont2 layout; bounds are written as empty RECTs.
struct FontLayout {
    uint16_t ascent = 0, descent = 0, leading = 0;
    std::vector<int16_t> advances; // one per glyph; missing ones are 0
    bool kerningTable = true;      // bounds and kerning; without, the tag ends here
    std::vector<KerningPair> kerning = {};
};

struct Font2Fields {
    std::string name = {};
    bool wideOffsets = false;
    bool wideCodes = false;
    std::vector<GlyphShape> glyphs = {};
    std::vector<uint16_t> codes = {}; // one per glyph; missing ones are 0
    std::optional<FontLayout> layout = {};
    bool bold = false;
    bool italic = false;
};

std::vector<uint8_t> DefineFont2(uint16_t id, const Font2Fields& font);
// Codes for the glyphs of an earlier font, one per glyph.
std::vector<uint8_t> DefineFontInfo(uint16_t fontId, std::string_view name, bool wideCodes,
                                    const std::vector<uint16_t>& codes);

// A style record: each part is written when it is set; the height goes with the font.
struct TextStyle {
    std::optional<uint16_t> font;
    uint16_t height = 0; // twips
    std::optional<Rgba> color;
    std::optional<int16_t> x, y; // twips
};

struct GlyphEntry {
    uint32_t index = 0;
    int32_t advance = 0; // twips
};

// The records of a DefineText (RGB colours) or DefineText2 (RGBA colours).
class StaticTextWriter {
public:
    explicit StaticTextWriter(bool text2) : text2(text2) {}

    StaticTextWriter& Style(const TextStyle& style) {
        return records.push_back({style, {}}), *this;
    }
    StaticTextWriter& Glyphs(const std::vector<GlyphEntry>& glyphs) {
        return records.push_back({std::nullopt, glyphs}), *this;
    }

    // GlyphBits and AdvanceBits are the fewest that hold every entry.
    std::vector<uint8_t> TagBody(uint16_t id, const RectRecord& bounds,
                                 const MatrixRecord& matrix = {}) const;
    uint16_t TagCode() const { return text2 ? kDefineText2 : kDefineText; }

private:
    struct Record {
        std::optional<TextStyle> style;
        std::vector<GlyphEntry> glyphs;
    };

    bool text2;
    std::vector<Record> records;
};

struct EditLayout {
    uint8_t align = 0; // 0 left, 1 right, 2 center, 3 justify
    uint16_t leftMargin = 0, rightMargin = 0, indent = 0, leading = 0; // twips
};

// DefineEditText flags besides those the fields below set (low byte first).
enum EditFlag : uint16_t {
    kEditWordWrap = 0x0040,
    kEditMultiline = 0x0020,
    kEditPassword = 0x0010,
    kEditHtml = 0x0200,
    kEditBorder = 0x0800,
};

struct EditTextFields {
    RectRecord bounds = {};
    std::optional<uint16_t> font = {};
    uint16_t height = 0; // twips, with the font
    std::optional<Rgba> color = {};
    std::optional<EditLayout> layout = {};
    std::string variable = {};
    std::string text = {};
    uint16_t flags = 0; // EditFlag bits
    // The font's own glyphs; false asks for the device font of the font's name.
    bool useOutlines = true;
};

std::vector<uint8_t> DefineEditText(uint16_t id, const EditTextFields& text);

} // namespace swftest
