#include "swf/FText.h"

#include "base/RecordConversions.h"
#include "graphics/GraphicsContext.h"
#include "swf/FlashScript.h"

#include <cmath>

namespace UT {

namespace {

// DefineEditText flag bits; the format's first flag byte is the low byte.
constexpr uint16_t kHasFont = 0x0001;
constexpr uint16_t kHasMaxLength = 0x0002;
constexpr uint16_t kHasTextColor = 0x0004;
constexpr uint16_t kHasText = 0x0080;
constexpr uint16_t kHasLayout = 0x2000;

// Static text record bits: a style record has the top bit set.
constexpr uint8_t kStyleRecord = 0x80;
constexpr uint8_t kStyleHasFont = 0x08;
constexpr uint8_t kStyleHasColor = 0x04;
constexpr uint8_t kStyleHasYOffset = 0x02;
constexpr uint8_t kStyleHasXOffset = 0x01;

// Text heights in twips become glyph scales by this.
constexpr float kHeightPerScale = 1000.0f;

} // namespace

FText::FText(FlashScript* owner, int32_t kind) : FObject(owner), kind(kind) {
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
    if (flags & kHasFont) {
        fontId = reader.ReadUI16();
        fontHeight = reader.ReadUI16();
        font = owner->FindFont(fontId);
    }
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
            if (!current || height == 0) continue;
            {
                const ReaderExcursion excursion(reader);
                current->DrawGlyph(context, index);
            }
            context.Translate({float(advance) / kTwipsPerPixel / height, 0, 0});
        }
        context.PopTransform();
    }
}

void FText::RenderEdit(GraphicsContext& context) {
    if (!font) return;
    context.SetFillPaint(nullptr);
    context.SetStrokePaint(nullptr);
    context.SetFillColor(textColor);
    const float scale = float(fontHeight) / kHeightPerScale;
    const float boxWidth = std::fabs(bounds.xmax - bounds.xmin);
    float textWidth = 0;
    if (align != kLeft)
        textWidth = font->MeasureString(initialText, float(fontHeight) / kTwipsPerPixel);
    float dx = 0;
    if (align == kRight) dx = boxWidth - textWidth;
    if (align == kCenter) dx = (boxWidth - textWidth) * 0.5f;
    if (dx != 0) context.Translate({dx, 0, 0});
    context.Translate({bounds.xmin + margins[kLeftMargin], bounds.ymin + margins[kIndent], 0});
    context.Scale({scale, scale, 1});
    context.Translate({0, float(font->Ascent()) / font->UnitsPerPixel(), 0});
    font->DrawString(context, initialText);
}

} // namespace UT
