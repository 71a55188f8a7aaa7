#include "swf/FText.h"

#include "base/RecordConversions.h"
#include "graphics/GraphicsContext.h"
#include "swf/DeviceFonts.h"
#include "swf/EditTextLayout.h"
#include "swf/FlashScript.h"

#include <cmath>
#include <map>

namespace UT {

namespace {

// DefineEditText flag bits; the format's first flag byte is the low byte.
constexpr uint16_t kHasFont = 0x0001;
constexpr uint16_t kHasMaxLength = 0x0002;
constexpr uint16_t kHasTextColor = 0x0004;
constexpr uint16_t kHasText = 0x0080;
constexpr uint16_t kHasLayout = 0x2000;
constexpr uint16_t kWordWrap = 0x0040;
constexpr uint16_t kMultiline = 0x0020;
constexpr uint16_t kPassword = 0x0010;
constexpr uint16_t kHasFontClass = 0x8000;
constexpr uint16_t kBorder = 0x0800;
constexpr uint16_t kHtml = 0x0200;
constexpr uint16_t kUseOutlines = 0x0100;
// A field without a font of its own is drawn 12 pixels high.
constexpr uint32_t kDefaultFontHeight = 240;

// Static text record bits: a style record has the top bit set.
constexpr uint8_t kStyleRecord = 0x80;
constexpr uint8_t kStyleHasFont = 0x08;
constexpr uint8_t kStyleHasColor = 0x04;
constexpr uint8_t kStyleHasYOffset = 0x02;
constexpr uint8_t kStyleHasXOffset = 0x01;

// Text heights in twips become glyph scales by this.
constexpr float kHeightPerScale = 1000.0f;

} // namespace

FText::FText(FlashScript* owner, int32_t kind)
    : FObject(owner), kind(kind), glyphFills(owner->KeptGlyphFills()) {
    id = owner->ReadUI16();
    bounds = ToRectF(owner->ReadRect());
    if (kind == kEdit) {
        ReadEditText();
        return;
    }
    textMatrix = ToPlacementMatrix(owner->ReadMatrix());
    glyphBits = owner->ReadUI8();
    advanceBits = owner->ReadUI8();
    recordsStart = owner->Position();
}

void FText::ReadEditText() {
    FlashScript& reader = *owner;
    const uint16_t flags = reader.ReadUI16();
    editFlags = flags;
    if (flags & kHasFont) {
        fontId = reader.ReadUI16();
        font = owner->FindFont(fontId);
    }
    if (flags & kHasFontClass) reader.ReadString(); // a class name: no font of the file
    fontHeight = (flags & (kHasFont | kHasFontClass)) ? reader.ReadUI16() : kDefaultFontHeight;
    if (flags & kHasTextColor) textColor = reader.ReadColor(true);
    if (flags & kHasMaxLength) reader.ReadUI16();
    if (flags & kHasLayout) {
        align = reader.ReadUI8();
        margins[kLeftMargin] = float(reader.ReadUI16()) / kTwipsPerPixel;
        margins[kRightMargin] = float(reader.ReadUI16()) / kTwipsPerPixel;
        margins[kIndent] = float(reader.ReadUI16()) / kTwipsPerPixel;
        margins[kLeading] = float(reader.ReadUI16()) / kTwipsPerPixel;
    }
    variableName = reader.ReadString();
    if (flags & kHasText) initialText = reader.ReadString();
    if (flags & kHtml) {
        HtmlCharFormat base;
        base.size = float(fontHeight) / kTwipsPerPixel;
        base.color = uint32_t(textColor.red * 255.0f + 0.5f) << 16 |
                     uint32_t(textColor.green * 255.0f + 0.5f) << 8 |
                     uint32_t(textColor.blue * 255.0f + 0.5f);
        HtmlParagraphFormat paragraph;
        paragraph.align = align;
        paragraph.leftMargin = margins[kLeftMargin];
        paragraph.rightMargin = margins[kRightMargin];
        paragraph.leading = margins[kLeading];
        html = ParseHtmlText(initialText, base, paragraph);
    }
}

void FText::Render(GraphicsContext& context, FDisplayItem*) {
    context.PushTransform();
    context.MultTransform(textMatrix);
    // Records and glyphs are read from the image; the movie's reader goes back to where
    // its tag loop left it.
    {
        const ReaderExcursion excursion(*owner);
        if (kind == kEdit)
            RenderEdit(context);
        else
            RenderStatic(context);
    }
    context.PopTransform();
}

void FText::RenderStatic(GraphicsContext& context) {
    FlashScript& reader = *owner;
    reader.Seek(recordsStart);
    // Glyphs are filled only: the stroke the previous drawing left is not theirs.
    context.SetFillPaint(nullptr);
    context.SetStrokePaint(nullptr);
    float x = 0, y = 0, height = 0;
    size_t glyph = 0; // glyphs read so far, in every record: each has its kept fill
    Held<FFont> current;
    // Every glyph record starts at the last offsets given: the pen is not carried over.
    // Past the image the reader gives zeros, which end the records.
    for (uint8_t record = reader.ReadUI8(); record != 0; record = reader.ReadUI8()) {
        if (record & kStyleRecord) {
            if (record & kStyleHasFont) current = owner->FindFont(reader.ReadUI16());
            if (record & kStyleHasColor) context.SetFillColor(reader.ReadColor(kind == kStatic2));
            if (record & kStyleHasXOffset) x = float(reader.ReadSI16()) / kTwipsPerPixel;
            if (record & kStyleHasYOffset) y = float(reader.ReadSI16()) / kTwipsPerPixel;
            if (record & kStyleHasFont) height = float(reader.ReadUI16()) / kHeightPerScale;
            continue;
        }
        // A glyph record of `record` glyphs.
        context.PushTransform();
        context.Translate({x, y, 0});
        context.Scale({height, height, 1});
        for (uint8_t i = 0; i < record; ++i) {
            const uint32_t index = reader.ReadUBits(glyphBits);
            const int32_t advance = reader.ReadSBits(advanceBits);
            // Without a font (none named yet, or the one named is missing) or at height 0
            // nothing would show and the advance cannot be scaled back: the glyph is read
            // and passed over.
            const size_t g = glyph++;
            if (!current || height == 0) continue;
            {
                const ReaderExcursion excursion(reader);
                if (const GlyphOutline* outline = current->Outline(index)) {
                    context.SetKeptFill(glyphFills->For(g, *outline, owner->KeptPathRoom()));
                    outline->Draw(context, current->KeptPathRoom());
                    context.SetKeptFill(nullptr);
                }
            }
            context.Translate({float(advance) / kTwipsPerPixel / height, 0, 0});
        }
        context.PopTransform();
    }
}

void FText::RenderBorder(GraphicsContext& context) {
    // A white background with a one-pixel black line just inside the bounds.
    const RectF& b = bounds;
    context.SetFillColor({1, 1, 1, 1});
    context.BeginPath(GraphicsContext::kDrawnPath);
    context.Rect(b);
    context.EndPath();
    context.SetFillColor({0, 0, 0, 1});
    const RectF sides[] = {{b.xmin, b.ymin, b.xmax, b.ymin + 1},
                           {b.xmin, b.ymax - 1, b.xmax, b.ymax},
                           {b.xmin, b.ymin + 1, b.xmin + 1, b.ymax - 1},
                           {b.xmax - 1, b.ymin + 1, b.xmax, b.ymax - 1}};
    for (const RectF& side : sides) {
        context.BeginPath(GraphicsContext::kDrawnPath);
        context.Rect(side);
        context.EndPath();
    }
}

void FText::RenderEdit(GraphicsContext& context) {
    context.SetFillPaint(nullptr);
    context.SetStrokePaint(nullptr);
    if (editFlags & kBorder) RenderBorder(context);
    if (!prepared) PrepareRuns();
    if (runs.empty()) return;
    LayoutBox box;
    box.bounds = bounds;
    box.top = margins[kIndent];
    box.wordWrap = editFlags & kWordWrap;
    box.multiline = editFlags & kMultiline;
    layout.Draw(context, box, paragraphs, runs, owner->KeptPathRoom(), glyphFills.Get());
}

void FText::PrepareRuns() {
    prepared = true;
    // A field that does not ask for the outlines of its font is drawn in the device font
    // of that name, as is a field without a font.
    const bool device = !(editFlags & kUseOutlines) || !font;
    FFont* fieldFont = font.Get();
    if (device)
        fieldFont =
            owner->FindDeviceFont(font ? std::string_view(font->FontName()) : kDefaultDeviceFont,
                                  font && font->Bold(), font && font->Italic());
    if (!fieldFont) return;
    if (editFlags & kHtml) {
        // Faces name the movie's fonts; a face, bold or italic without a font of its own
        // falls back to one of the same name, then to the field's font.
        std::map<std::string, FFont*> chosen;
        auto pick = [&](const HtmlCharFormat& f) {
            const std::string key = f.face + char(f.bold ? 'b' : '-') + char(f.italic ? 'i' : '-');
            const auto found = chosen.find(key);
            if (found != chosen.end()) return found->second;
            FFont* picked = nullptr;
            if (device) {
                const std::string_view name = !f.face.empty() ? std::string_view(f.face)
                                              : font          ? std::string_view(font->FontName())
                                                              : kDefaultDeviceFont;
                picked = owner->FindDeviceFont(name, f.bold, f.italic);
            } else {
                picked = owner->FindFontByName(f.face.empty() ? font->FontName() : f.face, f.bold,
                                               f.italic);
            }
            if (!picked) picked = fieldFont;
            runFonts.push_back(picked);
            return chosen[key] = picked;
        };
        for (const HtmlRun& run : html.runs) {
            const ColorRGBA color{float(run.format.color >> 16 & 0xFF) / 255.0f,
                                  float(run.format.color >> 8 & 0xFF) / 255.0f,
                                  float(run.format.color & 0xFF) / 255.0f, textColor.alpha};
            runs.push_back({pick(run.format), run.format.size, color, run.text, run.paragraph,
                            run.format.underline});
        }
        paragraphs = html.paragraphs;
    } else {
        std::u16string codes;
        codes.reserve(initialText.size());
        // Bytes are codes 0 to 255, so 0xE9 looks up code 0x00E9.
        for (const char c : initialText) codes.push_back(char16_t(uint8_t(c)));
        runFonts.push_back(fieldFont);
        runs.push_back({fieldFont, float(fontHeight) / kTwipsPerPixel, textColor, codes, 0});
        HtmlParagraphFormat paragraph;
        paragraph.align = align;
        paragraph.leftMargin = margins[kLeftMargin];
        paragraph.rightMargin = margins[kRightMargin];
        paragraph.leading = margins[kLeading];
        paragraphs.push_back(paragraph);
    }
    // A password field shows a star for every character, its markup's too.
    if (editFlags & kPassword)
        for (LayoutRun& run : runs)
            for (char16_t& c : run.text)
                if (c != u'\r' && c != u'\n') c = u'*';
}

} // namespace UT
