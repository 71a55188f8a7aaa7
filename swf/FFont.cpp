#include "swf/FFont.h"

#include "graphics/GraphicsContext.h"
#include "shapes/ShapeRecordReader.h"
#include "swf/FlashScript.h"

#include <algorithm>

namespace UT {

namespace {

// DefineFont2 flag bits.
constexpr uint8_t kHasLayout = 0x80;
constexpr uint8_t kWideOffsets = 0x08;
constexpr uint8_t kWideCodes = 0x04;
// DefineFontInfo flag bit.
constexpr uint8_t kInfoWideCodes = 0x01;
constexpr uint8_t kInfoBold = 0x02;
constexpr uint8_t kInfoItalic = 0x04;
constexpr uint8_t kBold = 0x01;
constexpr uint8_t kItalic = 0x02;

// DefineFont3 (kind 3) writes its outlines and metrics in twentieths of a font unit.
RecordUnits GlyphUnits(int32_t kind) {
    return kind == 3 ? RecordUnits::kFont3Units : RecordUnits::kFontUnits;
}

} // namespace

FFont::FFont(FlashScript* owner, std::string_view name, bool bold, bool italic, uint32_t ascent,
             uint32_t descent)
    : FObject(owner), kind(2), fontName(name), bold(bold), italic(italic), hasOutlines(true),
      outlines(new GlyphOutlines), ascent(ascent), descent(descent) {}

FFont::FFont(FlashScript* owner, int32_t kind)
    : FObject(owner), kind(kind), outlines(owner->KeptGlyphOutlines()) {
    id = owner->ReadUI16();
    if (kind >= 2)
        ReadDefineFont2();
    else
        ReadDefineFont();
}

void FFont::ReadDefineFont() {
    FlashScript& reader = *owner;
    glyphTableStart = reader.Position();
    const uint16_t first = reader.ReadUI16();
    glyphCount = first / 2;
    if (glyphCount == 0) return;
    glyphOffsets.reserve(glyphCount);
    glyphOffsets.push_back(first);
    for (uint32_t i = 1; i < glyphCount; ++i) glyphOffsets.push_back(reader.ReadUI16());
    hasOutlines = AnyGlyphDrawn(reader.TagEnd());
}

bool FFont::AnyGlyphDrawn(uint64_t tableEnd) const {
    // The empty shape is its bit-count byte and the end record's byte.
    constexpr uint64_t kEmptyShapeBytes = 2;
    for (size_t i = 0; i < glyphOffsets.size(); ++i) {
        const uint64_t start = uint64_t(glyphTableStart) + glyphOffsets[i];
        const uint64_t end = i + 1 < glyphOffsets.size()
                                 ? uint64_t(glyphTableStart) + glyphOffsets[i + 1]
                                 : tableEnd;
        if (end > start + kEmptyShapeBytes) return true;
    }
    return false;
}

void FFont::ReadDefineFont2() {
    FlashScript& reader = *owner;
    const uint8_t flags = reader.ReadUI8();
    bold = flags & kBold;
    italic = flags & kItalic;
    reader.ReadUI8(); // language code
    const uint8_t nameLength = reader.ReadUI8();
    for (uint32_t i = 0; i < nameLength; ++i) fontName.push_back(char(reader.ReadUI8()));
    glyphCount = reader.ReadUI16();
    glyphTableStart = reader.Position();
    const bool wideOffsets = flags & kWideOffsets;
    const bool wideCodes = flags & kWideCodes;
    auto readCode = [&] { return wideCodes ? reader.ReadUI16() : uint16_t(reader.ReadUI8()); };

    if (glyphCount > 0) {
        glyphOffsets.reserve(glyphCount);
        for (uint32_t i = 0; i < glyphCount; ++i)
            glyphOffsets.push_back(wideOffsets ? reader.ReadUI32() : reader.ReadUI16());
        const uint32_t codeTableOffset = wideOffsets ? reader.ReadUI32() : reader.ReadUI16();
        const uint64_t codeTable = uint64_t(glyphTableStart) + codeTableOffset;
        hasOutlines = AnyGlyphDrawn(codeTable);
        // An offset beyond the image leaves the reader at its end, where reads give zeros.
        reader.Seek(uint32_t(std::min<uint64_t>(codeTable, reader.Length())));
        for (uint32_t i = 0; i < glyphCount; ++i) codeToGlyph[readCode()] = i;
    }

    if (!(flags & kHasLayout)) return;
    ascent = reader.ReadUI16();
    descent = reader.ReadUI16();
    leading = reader.ReadUI16();
    advanceTableStart = reader.Position();
    const uint64_t afterAdvances = uint64_t(advanceTableStart) + 2 * uint64_t(glyphCount);
    if (afterAdvances >= reader.TagEnd()) return;
    reader.Seek(uint32_t(afterAdvances));
    boundsTableStart = reader.Position();
    for (uint32_t i = 0; i < glyphCount; ++i) reader.ReadRect();
    kerningCount = reader.ReadUI16();
    kerningStart = reader.Position();
    for (uint32_t i = 0; i < kerningCount; ++i) {
        const uint32_t code1 = readCode();
        const uint32_t code2 = readCode();
        kerning[code1 << 16 | code2] = reader.ReadSI16();
    }
}

void FFont::ReadFontInfo() {
    FlashScript& reader = *owner;
    const uint8_t nameLength = reader.ReadUI8();
    fontName.clear();
    for (uint32_t i = 0; i < nameLength; ++i) fontName.push_back(char(reader.ReadUI8()));
    const uint8_t flags = reader.ReadUI8();
    const bool wideCodes = flags & kInfoWideCodes;
    bold = flags & kInfoBold;
    italic = flags & kInfoItalic;
    glyphCodes.clear();
    for (uint32_t i = 0; i < glyphCount; ++i)
        codeToGlyph[wideCodes ? reader.ReadUI16() : uint16_t(reader.ReadUI8())] = i;
}

float FFont::UnitsPerPixel() const {
    return GlyphUnitsPerPixel(GlyphUnits(kind));
}

int32_t FFont::GlyphForCode(uint16_t code) const {
    const auto entry = codeToGlyph.find(code);
    return entry == codeToGlyph.end() ? -1 : int32_t(entry->second);
}

int32_t FFont::GlyphAdvance(uint32_t glyphIndex) {
    // DefineFont has no advances; nor has a DefineFont2 without layout.
    if (kind < 2 || advanceTableStart == 0) return 0;
    const uint64_t at = uint64_t(advanceTableStart) + 2 * uint64_t(glyphIndex);
    if (at >= owner->Length()) return 0;
    owner->Seek(uint32_t(at));
    return owner->ReadSI16();
}

int32_t FFont::GetKerning(uint16_t code1, uint16_t code2) const {
    if (kerningCount == 0) return 0;
    const auto entry = kerning.find(uint32_t(code1) << 16 | code2);
    return entry == kerning.end() ? 0 : entry->second;
}

int32_t FFont::AdvanceAfter(uint32_t glyph, std::string_view bytes, size_t index) {
    int32_t advance = GlyphAdvance(glyph);
    if (kerningCount >= 1 && index + 1 < bytes.size())
        advance += GetKerning(uint8_t(bytes[index]), uint8_t(bytes[index + 1]));
    return advance;
}

void FFont::DrawGlyph(GraphicsContext& context, uint32_t glyphIndex) {
    if (const GlyphOutline* outline = Outline(glyphIndex)) outline->Draw(context, KeptPathRoom());
}

PathRoom* FFont::KeptPathRoom() const {
    return owner ? owner->KeptPathRoom() : nullptr;
}

const GlyphOutline* FFont::Outline(uint32_t glyphIndex) {
    if (!hasOutlines) return StandInOutline(glyphIndex);
    if (glyphIndex >= glyphOffsets.size()) return nullptr;
    std::vector<GlyphOutline>& byGlyph = outlines->byGlyph;
    if (byGlyph.size() < glyphOffsets.size()) byGlyph.resize(glyphOffsets.size());
    GlyphOutline& outline = byGlyph[glyphIndex];
    if (!outline.read) {
        ReadGlyph(glyphIndex, outline);
        outline.read = true;
    }
    return outline.present ? &outline : nullptr;
}

const GlyphOutline* FFont::StandInOutline(uint32_t glyphIndex) {
    if (!standInSought) {
        standInSought = true;
        standIn = owner->FindDeviceFont(fontName, bold, italic);
    }
    if (!standIn || glyphIndex >= glyphCount) return nullptr;
    if (glyphCodes.empty()) {
        glyphCodes.assign(glyphCount, -1);
        for (const auto& [code, glyph] : codeToGlyph)
            if (glyph < glyphCount) glyphCodes[glyph] = code;
    }
    const int32_t code = glyphCodes[glyphIndex];
    const int32_t glyph = code < 0 ? -1 : standIn->GlyphForCode(uint16_t(code));
    return glyph < 0 ? nullptr : standIn->Outline(uint32_t(glyph));
}

void FFont::ReadGlyph(uint32_t glyphIndex, GlyphOutline& outline) {
    const uint64_t start = uint64_t(glyphTableStart) + glyphOffsets[glyphIndex];
    FlashScript& reader = *owner;
    if (start >= reader.Length()) return;
    outline.present = true;
    reader.Seek(uint32_t(start));
    ShapeRecordReader records(reader, GlyphUnits(kind));
    records.ReadIndexBits();
    // Until the first move the pen rests at the origin, so an outline that starts with an
    // edge starts there.
    bool pendingMove = true;
    uint32_t contours = 0;
    // Glyphs are filled with the context's fill whatever their style indices say, and
    // carry no new styles.
    for (ShapeRecord record = records.Next(); record.kind != ShapeRecord::kEnd;
         record = records.Next()) {
        if (record.kind == ShapeRecord::kStyleChange) {
            if (record.flags & ShapeRecord::kMove)
                pendingMove = true; // emitted before the next edge only
            continue;
        }
        if (pendingMove) {
            pendingMove = false;
            if (contours > 0) outline.ClosePath();
            outline.LineTo(records.EdgeStart());
            ++contours;
        }
        if (record.kind == ShapeRecord::kCurvedEdge)
            outline.QuadTo(record.control, record.anchor);
        else
            outline.LineTo(record.anchor);
    }
    outline.ClosePath();
}

void FFont::DrawString(GraphicsContext& context, std::string_view bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        // Bytes are codes 0 to 255, so 0xE9 looks up code 0x00E9.
        const int32_t glyph = GlyphForCode(uint8_t(bytes[i]));
        if (glyph < 0) continue;
        DrawGlyph(context, uint32_t(glyph));
        const float advance = float(AdvanceAfter(uint32_t(glyph), bytes, i)) / UnitsPerPixel();
        context.Translate({advance, 0, 0});
    }
}

float FFont::MeasureString(std::string_view bytes, float sizeInPixels) {
    const float scale = sizeInPixels / 1000.0f * kTwipsPerPixel / UnitsPerPixel();
    float width = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const int32_t glyph = GlyphForCode(uint8_t(bytes[i]));
        if (glyph >= 0) width += float(AdvanceAfter(uint32_t(glyph), bytes, i)) * scale;
    }
    return width;
}

} // namespace UT
