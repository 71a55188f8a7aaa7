// An embedded font: where its glyph outlines lie in the file image, which character code
// maps to which glyph, the glyph advances and the kerning pairs.  Outlines are decoded
// from the image the first time a glyph is drawn and kept for its later draws.
#pragma once

#include "swf/FObject.h"
#include "swf/GlyphOutline.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace UT {

class FFont : public FObject {
public:
    // Reads a DefineFont (kind 1), DefineFont2 (kind 2) or DefineFont3 (kind 3, laid out
    // as DefineFont2 with twentieth-unit coordinates) from the owner's reader.
    FFont(FlashScript* owner, int32_t kind);

    const char* GetTypeName() const override { return "Font"; }

    // DefineFontInfo after its FontID: the name and the code table.  Codes already
    // mapped take the new index; the others stay.
    void ReadFontInfo();

    // Draws one glyph outline at the context's current transform with its current fill,
    // one font unit being 1/20 of the transform's unit (DefineFont3: 1/400).  Moves the
    // owner's reader when the glyph is read for the first time.
    void DrawGlyph(GraphicsContext& context, uint32_t glyphIndex);
    // The glyph's outline, read the first time it is asked for; null for a glyph the font
    // does not have or whose records lie outside the file image.  Moves the owner's reader.
    virtual const GlyphOutline* Outline(uint32_t glyphIndex);
    // Where this font's outlines keep their flattened paths: the movie's allowance.
    PathRoom* KeptPathRoom() const;
    // Draws the bytes as character codes, moving the current transform along by advances
    // and kerning.  Moves the owner's reader and the current transform.
    void DrawString(GraphicsContext& context, std::string_view bytes);
    // The width DrawString covers for a font size in pixels.  Moves the owner's reader.
    float MeasureString(std::string_view bytes, float sizeInPixels);
    // Font units; 0 without a kerning table or for an absent pair.
    int32_t GetKerning(uint16_t code1, uint16_t code2) const;

    // The glyph of a code, or -1.
    virtual int32_t GlyphForCode(uint16_t code) const;
    // Font units; 0 without an advance table (DefineFont, or DefineFont2 without layout).
    virtual int32_t GlyphAdvance(uint32_t glyphIndex);
    // False for a font whose glyphs are all empty: a device font of which the movie
    // carries only the name and the codes.  Its glyphs are drawn with the outlines of the
    // device font of its name for their codes.
    bool HasOutlines() const { return hasOutlines; }

    int32_t Kind() const { return kind; }
    // Outline, advance and ascent units per unit of the glyph transform: 20, or 400 for
    // DefineFont3.
    float UnitsPerPixel() const;
    const std::string& FontName() const { return fontName; }
    bool Bold() const { return bold; }
    bool Italic() const { return italic; }
    uint32_t GlyphCount() const { return glyphCount; }
    uint32_t GlyphTableStart() const { return glyphTableStart; }
    const std::vector<uint32_t>& GlyphOffsets() const { return glyphOffsets; }
    const std::map<uint16_t, uint32_t>& CodeToGlyph() const { return codeToGlyph; }
    const std::map<uint32_t, int32_t>& Kerning() const { return kerning; }
    uint32_t Ascent() const { return ascent; }
    uint32_t Descent() const { return descent; }
    uint32_t Leading() const { return leading; }
    uint32_t AdvanceTableStart() const { return advanceTableStart; }
    uint32_t BoundsTableStart() const { return boundsTableStart; }
    uint32_t KerningStart() const { return kerningStart; }
    uint32_t KerningCount() const { return kerningCount; }

protected:
    // A DefineFont2-like font that reads nothing, for subclasses that draw their glyphs
    // themselves: ascent and descent in its em units of 1024.
    FFont(FlashScript* owner, std::string_view name, bool bold, bool italic, uint32_t ascent,
          uint32_t descent);

private:
    void ReadDefineFont();
    void ReadDefineFont2();
    // Whether any glyph's records, ending where the next glyph's start or at `tableEnd`,
    // hold more than the empty shape.
    bool AnyGlyphDrawn(uint64_t tableEnd) const;
    // Reads one glyph's shape records into outline.  Moves the owner's reader.
    void ReadGlyph(uint32_t glyphIndex, GlyphOutline& outline);
    // For a font without outlines: the device font's outline of the glyph's code (the
    // highest code when several map to it), or null.
    const GlyphOutline* StandInOutline(uint32_t glyphIndex);
    // The advance after a code, kerning with the next code included, in font units.
    int32_t AdvanceAfter(uint32_t glyph, std::string_view bytes, size_t index);

    int32_t kind = 0;
    std::string fontName;
    bool bold = false;
    bool italic = false;
    uint32_t glyphCount = 0;
    uint32_t glyphTableStart = 0;
    bool hasOutlines = false;
    std::map<uint16_t, uint32_t> codeToGlyph;
    std::map<uint32_t, int32_t> kerning; // first code << 16 | second code
    std::vector<uint32_t> glyphOffsets;
    Held<GlyphOutlines> outlines; // shared with the same tag read again after a rewind
    FFont* standIn = nullptr;     // the device font, for a font without outlines
    bool standInSought = false;
    std::vector<int32_t> glyphCodes; // by glyph, its code or -1; made on first stand-in use
    uint32_t ascent = 0;
    uint32_t descent = 0;
    uint32_t leading = 0;
    uint32_t advanceTableStart = 0;
    uint32_t boundsTableStart = 0;
    uint32_t kerningStart = 0;
    uint32_t kerningCount = 0;
};

} // namespace UT
