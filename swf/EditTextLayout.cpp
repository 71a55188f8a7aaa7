#include "swf/EditTextLayout.h"

#include "graphics/GraphicsContext.h"
#include "swf/FFont.h"
#include "swf/GlyphOutline.h"

#include <algorithm>
#include <cmath>

namespace UT {

namespace {

// Text heights in twips become glyph scales by this.
constexpr float kHeightPerScale = 1000.0f;
// A bulleted paragraph's lines start this far in, pixels, its bullet half as far.
constexpr float kBulletIndent = 36.0f;
constexpr char16_t kBullet = u'\u2022';
// An underline's distance below the baseline and its thickness, of the text's size; never
// thinner than a pixel.
constexpr float kUnderlineOffset = 0.1f;
constexpr float kUnderlineThickness = 0.05f;

float GlyphScale(const LayoutRun& run) {
    return run.size * kTwipsPerPixel / kHeightPerScale;
}

float BulletIndent(const HtmlParagraphFormat& p) {
    return p.bullet ? kBulletIndent : 0.0f;
}

// The first tab stop beyond x, or x when there is none.
float NextTabStop(const HtmlParagraphFormat& p, float x) {
    for (uint32_t i = 0; i < p.tabStopCount; ++i)
        if (p.tabStops[i] > x) return p.tabStops[i];
    return x;
}

// One underline under the glyphs of a run from x0 to x1 on a line.
void DrawUnderline(GraphicsContext& context, const LayoutRun& run, float x0, float x1,
                   float baseline) {
    if (x1 <= x0) return;
    const float top = baseline + run.size * kUnderlineOffset;
    const float thickness = std::max(1.0f, run.size * kUnderlineThickness);
    context.BeginPath(GraphicsContext::kDrawnPath);
    context.Rect({x0, top, x1, top + thickness});
    context.EndPath();
}

} // namespace

void EditTextLayout::DrawGlyphAt(GraphicsContext& context, const LayoutRun& run, uint32_t glyph,
                                 float x, float baseline, const RectF& box, size_t drawn,
                                 PathRoom* room, GlyphFills* fills) {
    const GlyphOutline* outline = run.font->Outline(glyph);
    if (!outline) return;
    const float scale = GlyphScale(run);
    // The box in the outline's units.
    const RectF clip{(box.xmin - x) / scale, (box.ymin - baseline) / scale, (box.xmax - x) / scale,
                     (box.ymax - baseline) / scale};
    const RectF& b = outline->Bounds();
    if (b.xmin >= clip.xmax || b.xmax <= clip.xmin || b.ymin >= clip.ymax || b.ymax <= clip.ymin)
        return;
    context.PushTransform();
    context.Translate({x, baseline, 0});
    context.Scale({scale, scale, 1});
    if (b.xmin >= clip.xmin && b.xmax <= clip.xmax && b.ymin >= clip.ymin && b.ymax <= clip.ymax) {
        context.SetKeptFill(fills ? fills->For(drawn, *outline, room) : nullptr);
        outline->Draw(context, run.font->KeptPathRoom());
        context.SetKeptFill(nullptr);
    } else {
        outline->DrawClipped(context, clip);
    }
    context.PopTransform();
}

// A justified line that was wrapped fills its width: what it lacks is shared out after
// each space but a trailing one.
float EditTextLayout::JustifySpread(const Line& l, const HtmlParagraphFormat& p,
                                    float boxWidth) const {
    size_t end = l.end;
    while (end > l.begin && glyphs[end - 1].space) --end;
    size_t spaces = 0;
    for (size_t k = l.begin; k < end; ++k) spaces += glyphs[k].space;
    const float room = boxWidth - p.leftMargin - p.rightMargin - BulletIndent(p) -
                       (l.firstOfParagraph ? p.indent : 0) - l.width;
    return spaces > 0 && room > 0 ? room / float(spaces) : 0.0f;
}

void EditTextLayout::Draw(GraphicsContext& context, const LayoutBox& box,
                          const std::vector<HtmlParagraphFormat>& paragraphs,
                          const std::vector<LayoutRun>& runs, PathRoom* room, GlyphFills* fills) {
    if (paragraphs.empty()) return;
    auto paragraphOf = [&](uint32_t index) -> const HtmlParagraphFormat& {
        return paragraphs[std::min<size_t>(index, paragraphs.size() - 1)];
    };
    const float boxWidth = std::fabs(box.bounds.xmax - box.bounds.xmin);
    glyphs.clear();
    lines.clear();
    Line line;
    line.paragraph = runs.empty() ? 0 : runs.front().paragraph;
    size_t lastSpace = SIZE_MAX; // the last space placed on the line
    // Ends the line before the glyph at `end` and starts the next one there.
    auto breakAt = [&](size_t end, bool paragraphEnds, bool wrapped) {
        line.end = end;
        line.wrapped = wrapped;
        lines.push_back(line);
        const uint32_t paragraph = line.paragraph;
        line = Line{};
        line.begin = end;
        line.paragraph = paragraph;
        line.firstOfParagraph = paragraphEnds;
        lastSpace = SIZE_MAX;
    };
    auto finish = [&](bool paragraphEnds) { breakAt(glyphs.size(), paragraphEnds, false); };
    auto limit = [&] {
        const HtmlParagraphFormat& p = paragraphOf(line.paragraph);
        return boxWidth - p.leftMargin - p.rightMargin - BulletIndent(p) -
               (line.firstOfParagraph ? p.indent : 0);
    };
    for (uint32_t r = 0; r < runs.size(); ++r) {
        const LayoutRun& run = runs[r];
        if (run.paragraph != line.paragraph) {
            if (box.multiline) finish(true);
            line.paragraph = run.paragraph;
        }
        FFont* font = run.font;
        const float scale = GlyphScale(run);
        const float perUnit = font ? scale / font->UnitsPerPixel() : 0;
        const float ascent = font ? float(font->Ascent()) * perUnit : 0;
        const float descent = font ? float(font->Descent()) * perUnit : 0;
        for (size_t i = 0; i < run.text.size(); ++i) {
            line.ascent = std::max(line.ascent, ascent);
            line.descent = std::max(line.descent, descent);
            char16_t code = run.text[i];
            if (code == u'\n' || code == u'\r') {
                if (box.multiline) finish(false);
                continue;
            }
            if (!font || scale <= 0) continue;
            if (code == u'\t') {
                // On to the paragraph's next tab stop; past the last, a tab is a space.
                const float stop = NextTabStop(paragraphOf(line.paragraph), line.width);
                if (stop > line.width) {
                    line.width = stop;
                    continue;
                }
                code = u' ';
            }
            const int32_t glyph = font->GlyphForCode(code);
            if (glyph < 0) continue; // skipped without advancing
            int32_t units = font->GlyphAdvance(uint32_t(glyph));
            if (font->KerningCount() >= 1 && i + 1 < run.text.size())
                units += font->GetKerning(code, run.text[i + 1]);
            const float advance = float(units) * perUnit;
            if (box.wordWrap && code != u' ' && glyphs.size() > line.begin &&
                line.width + advance > limit()) {
                if (lastSpace != SIZE_MAX) {
                    // The words after the last space go down to the next line.
                    const size_t from = lastSpace + 1;
                    const float width = glyphs[lastSpace].x;
                    const float shift = from < glyphs.size() ? glyphs[from].x : line.width;
                    const float carried = line.width - shift;
                    const float a = line.ascent, d = line.descent;
                    line.width = width;
                    breakAt(from, false, true);
                    line.ascent = a;
                    line.descent = d;
                    for (size_t k = from; k < glyphs.size(); ++k) glyphs[k].x -= shift;
                    line.width = carried;
                } else {
                    breakAt(glyphs.size(), false, true);
                    line.ascent = ascent;
                    line.descent = descent;
                }
            }
            if (code == u' ') lastSpace = glyphs.size();
            glyphs.push_back({r, uint32_t(glyph), line.width, advance, code == u' '});
            line.width += advance;
        }
    }
    finish(true);

    // Lines go down from the box's top; those below its bottom are not drawn.
    float baseline = box.bounds.ymin + box.top;
    const LayoutRun* colored = nullptr;
    size_t drawn = 0; // glyphs drawn so far: each keeps its own fill
    for (size_t n = 0; n < lines.size(); ++n) {
        const Line& l = lines[n];
        const HtmlParagraphFormat& p = paragraphOf(l.paragraph);
        if (n > 0) baseline += lines[n - 1].descent + std::max(p.leading, -lines[n - 1].descent);
        if (baseline >= box.bounds.ymax) break;
        baseline += l.ascent;
        float dx = 0;
        if (p.align == 1) dx = boxWidth - l.width;
        if (p.align == 2) dx = (boxWidth - l.width) * 0.5f;
        const float x0 = box.bounds.xmin + dx + p.leftMargin + BulletIndent(p) +
                         (l.firstOfParagraph ? p.indent : 0);
        if (p.bullet && l.firstOfParagraph && l.begin < l.end) {
            const LayoutRun& run = runs[glyphs[l.begin].run];
            const int32_t bullet = run.font->GlyphForCode(kBullet);
            context.SetFillColor(run.color);
            colored = &run;
            if (bullet >= 0)
                DrawGlyphAt(context, run, uint32_t(bullet), x0 - kBulletIndent / 2, baseline,
                            box.bounds, drawn++, room, fills);
        }
        const float spread = p.align == 3 && l.wrapped ? JustifySpread(l, p, boxWidth) : 0;
        float spreadSoFar = 0;
        const LayoutRun* underlined = nullptr; // the run underlined from underlineStart
        float underlineStart = 0, underlineEnd = 0;
        for (size_t k = l.begin; k <= l.end; ++k) {
            const LayoutRun* run = k < l.end ? &runs[glyphs[k].run] : nullptr;
            const float x = k < l.end ? x0 + glyphs[k].x + spreadSoFar : 0;
            if (k < l.end && glyphs[k].space) spreadSoFar += spread;
            if (underlined && run != underlined) {
                if (colored != underlined) context.SetFillColor(underlined->color);
                colored = underlined;
                DrawUnderline(context, *underlined, std::max(underlineStart, box.bounds.xmin),
                              std::min(underlineEnd, box.bounds.xmax), baseline);
                underlined = nullptr;
            }
            if (!run) break;
            const Placed& g = glyphs[k];
            if (run->underline) {
                if (!underlined) underlineStart = x;
                underlined = run;
                underlineEnd = x + g.advance;
            }
            if (colored != run) {
                context.SetFillColor(run->color);
                colored = run;
            }
            DrawGlyphAt(context, *run, g.glyph, x, baseline, box.bounds, drawn++, room, fills);
        }
    }
}

} // namespace UT
