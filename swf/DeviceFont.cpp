#include "swf/DeviceFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

namespace UT {

namespace {

// The em square of an embedded font, in the units its advances and ascent are given in.
constexpr float kEmUnits = 1024.0f;
// Outline coordinates of an embedded font are twentieths of those units.
constexpr float kOutlineUnitsPerEmUnit = 20.0f;
// How far a slanted glyph leans: x moves right by this much of its height.
constexpr float kSlant = 0.2f;

// FreeType's outline walk writing into a GlyphOutline, mapped from font-file units (y up)
// into outline units (y down).
struct OutlineWriter {
    GlyphOutline& outline;
    float scale;
    bool slanted;
    bool open = false;

    Point3 Map(const FT_Vector* v) const {
        const float y = -float(v->y) * scale;
        const float x = float(v->x) * scale - (slanted ? kSlant * y : 0.0f);
        return {x, y, 0};
    }
    static OutlineWriter& Of(void* user) { return *static_cast<OutlineWriter*>(user); }

    static int MoveTo(const FT_Vector* to, void* user) {
        OutlineWriter& w = Of(user);
        if (w.open) w.outline.ClosePath();
        w.outline.LineTo(w.Map(to)); // the first point of a contour starts it
        w.open = true;
        return 0;
    }
    static int LineTo(const FT_Vector* to, void* user) {
        Of(user).outline.LineTo(Of(user).Map(to));
        return 0;
    }
    static int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
        Of(user).outline.QuadTo(Of(user).Map(control), Of(user).Map(to));
        return 0;
    }
    // The bundled fonts are TrueType, whose outlines have no cubic segments.
    static int CubicTo(const FT_Vector*, const FT_Vector*, const FT_Vector*, void*) { return 1; }
};

float EmScale(FT_Face face) {
    return face->units_per_EM > 0 ? kEmUnits / float(face->units_per_EM) : 0.0f;
}

uint32_t EmUnits(FT_Face face, int64_t fontUnits) {
    return uint32_t(std::lround(float(std::max<int64_t>(fontUnits, 0)) * EmScale(face)));
}

// Ascent and descent as Windows lays text out: the OS/2 table's, else the face's.
const TT_OS2* WindowsMetrics(FT_Face face) {
    return static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
}
uint32_t FaceAscent(FT_Face face) {
    const TT_OS2* os2 = WindowsMetrics(face);
    return EmUnits(face, os2 ? int64_t(os2->usWinAscent) : int64_t(face->ascender));
}
uint32_t FaceDescent(FT_Face face) {
    const TT_OS2* os2 = WindowsMetrics(face);
    return EmUnits(face, os2 ? int64_t(os2->usWinDescent) : -int64_t(face->descender));
}

} // namespace

DeviceFont::DeviceFont(FlashScript* owner, FT_FaceRec_* face, std::string_view name, bool bold,
                       bool italic, bool slanted)
    : FFont(owner, name, bold, italic, FaceAscent(face), FaceDescent(face)), face(face),
      emScale(EmScale(face)), slanted(slanted) {}

int32_t DeviceFont::GlyphForCode(uint16_t code) const {
    const FT_UInt glyph = FT_Get_Char_Index(face, code);
    return glyph == 0 ? -1 : int32_t(glyph);
}

int32_t DeviceFont::GlyphAdvance(uint32_t glyphIndex) {
    return Load(glyphIndex).advance;
}

const GlyphOutline* DeviceFont::Outline(uint32_t glyphIndex) {
    const Glyph& glyph = Load(glyphIndex);
    return glyph.outline.present ? &glyph.outline : nullptr;
}

const DeviceFont::Glyph& DeviceFont::Load(uint32_t glyphIndex) {
    const auto found = glyphs.find(glyphIndex);
    if (found != glyphs.end()) return found->second;
    Glyph& glyph = glyphs[glyphIndex];
    constexpr FT_Int32 kUnscaled = FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;
    if (glyphIndex >= uint32_t(face->num_glyphs) || FT_Load_Glyph(face, glyphIndex, kUnscaled))
        return glyph;
    const FT_GlyphSlot slot = face->glyph;
    glyph.advance = int32_t(std::lround(float(slot->advance.x) * emScale));
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE || slot->outline.n_contours <= 0) return glyph;
    const FT_Outline_Funcs funcs{&OutlineWriter::MoveTo,
                                 &OutlineWriter::LineTo,
                                 &OutlineWriter::ConicTo,
                                 &OutlineWriter::CubicTo,
                                 0,
                                 0};
    OutlineWriter writer{glyph.outline, emScale / kOutlineUnitsPerEmUnit, slanted};
    if (FT_Outline_Decompose(&slot->outline, &funcs, &writer) == 0 && writer.open) {
        glyph.outline.ClosePath();
        glyph.outline.present = true;
    }
    return glyph;
}

} // namespace UT
