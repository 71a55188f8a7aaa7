// A text character: static text (DefineText, DefineText2), whose records name glyphs by
// index with explicit advances, and edit text (DefineEditText), of which the initial text
// is drawn with its font's codes, advances and kerning, as plain text or as HTML markup,
// over its border and background when it has them.
#pragma once

#include "base/RefCountBase.h"
#include "base/ValueTypes.h"
#include "swf/EditTextLayout.h"
#include "swf/FFont.h"
#include "swf/FObject.h"
#include "swf/GlyphFills.h"
#include "swf/HtmlText.h"

#include <cstdint>
#include <string>
#include <vector>

namespace UT {

class FText : public FObject {
public:
    enum Kind : int32_t { kStatic = 0, kStatic2 = 1, kEdit = 2 };
    enum Align : int32_t { kLeft = 0, kRight = 1, kCenter = 2, kJustify = 3 };
    // Slots of the margins: the format's left margin, indent, right margin and leading.
    enum Margin : int32_t { kLeftMargin = 0, kIndent = 1, kRightMargin = 2, kLeading = 3 };

    // Reads a DefineText, DefineText2 or DefineEditText from the owner's reader.  Static
    // text records are read when drawn.
    FText(FlashScript* owner, int32_t kind);
    ~FText() override = default;

    const char* GetTypeName() const override { return "Text"; }
    void Render(GraphicsContext& context, FDisplayItem* item) override;

    int32_t Kind() const { return kind; }
    uint32_t RecordsStart() const { return recordsStart; }
    uint32_t FontId() const { return fontId; }
    FFont* Font() const { return font.Get(); }
    uint32_t FontHeight() const { return fontHeight; }
    const ColorRGBA& TextColor() const { return textColor; }
    const std::string& VariableName() const { return variableName; }
    const std::string& InitialText() const { return initialText; }
    const Matrix4& TextMatrix() const { return textMatrix; }
    uint8_t GlyphBits() const { return glyphBits; }
    uint8_t AdvanceBits() const { return advanceBits; }
    int32_t Alignment() const { return align; }
    float MarginAt(Margin slot) const { return margins[slot]; }
    uint16_t EditFlags() const { return editFlags; }

private:
    void ReadEditText();
    void RenderStatic(GraphicsContext& context);
    void RenderEdit(GraphicsContext& context);
    void RenderBorder(GraphicsContext& context);
    // The kept fill of the static text's glyph number `g` (drawn from `outline`), with room
    // taken for it when first asked; null without room.
    // Resolves an edit text's fonts and styled runs, once: they do not change between
    // draws.
    void PrepareRuns();

    int32_t kind = 0;
    uint32_t recordsStart = 0;
    uint32_t fontId = 0;
    Held<FFont> font;
    uint32_t fontHeight = 0;
    ColorRGBA textColor{1, 1, 1, 1};
    std::string variableName;
    std::string initialText;
    Matrix4 textMatrix;
    uint8_t glyphBits = 0;
    uint8_t advanceBits = 0;
    int32_t align = kLeft;
    float margins[4] = {0, 0, 0, 0};
    uint16_t editFlags = 0;
    HtmlText html; // the initial text's markup read, for HTML fields
    // An edit text's runs as drawn, with the fonts they name held, and the layout's room.
    bool prepared = false;
    std::vector<LayoutRun> runs;
    std::vector<HtmlParagraphFormat> paragraphs;
    std::vector<Held<FFont>> runFonts;
    EditTextLayout layout;
    // The glyphs each keep their own fill, kept by the movie over rewinds.
    Held<GlyphFills> glyphFills;
};

} // namespace UT
