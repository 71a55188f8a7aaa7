// A font the movie names without carrying its outlines, drawn with one of the bundled
// fonts: glyphs, advances and ascent come from that font file through FreeType, in the
// units of an embedded DefineFont2 font (a 1024-unit em square), so that text lays out and
// draws through the same code as embedded glyphs.  Outlines are read unscaled and
// unhinted, whole font units only, so every build draws the same pixels.
#pragma once

#include "swf/FFont.h"
#include "swf/GlyphOutline.h"

#include <unordered_map>

struct FT_FaceRec_;

namespace UT {

class DeviceFont : public FFont {
public:
    // `face` stays open while the font lives (DeviceFonts keeps both).  A slanted font
    // leans its upright glyphs to the right, for italic without an italic face.
    DeviceFont(FlashScript* owner, FT_FaceRec_* face, std::string_view name, bool bold, bool italic,
               bool slanted);

    int32_t GlyphForCode(uint16_t code) const override;
    int32_t GlyphAdvance(uint32_t glyphIndex) override;
    const GlyphOutline* Outline(uint32_t glyphIndex) override;

private:
    struct Glyph {
        GlyphOutline outline;
        int32_t advance = 0; // em units of 1024
    };
    const Glyph& Load(uint32_t glyphIndex);

    FT_FaceRec_* face;
    float emScale = 0; // font-file units to em units of 1024
    bool slanted;
    std::unordered_map<uint32_t, Glyph> glyphs;
};

} // namespace UT
