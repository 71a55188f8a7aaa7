#include "swf/EditTextLayout.h"

#include "graphics/GraphicsContext.h"
#include "swf/FFont.h"

#include <algorithm>
#include <cmath>

namespace UT {

namespace {

// Text heights in twips become glyph scales by this.
constexpr float kHeightPerScale = 1000.0f;

struct Placed {
    uint32_t run;
    uint32_t glyph;
    float x;       // from the line's start, pixels
    float advance; // pixels
};

struct Line {
    size_t begin = 0, end = 0; // placed glyphs
    float width = 0;
    float ascent = 0, descent = 0;
    uint32_t paragraph = 0;
    bool firstOfParagraph = true;
};

float GlyphScale(const LayoutRun& run) {
    return run.size * kTwipsPerPixel / kHeightPerScale;
}

} // namespace

void EditTextLayout::Draw(GraphicsContext& context, const LayoutBox& box,
                          const std::vector<HtmlParagraphFormat>& paragraphs,
                          const std::vector<LayoutRun>& runs) {
    if (paragraphs.empty()) return;
    auto paragraphOf = [&](uint32_t index) -> const HtmlParagraphFormat& {
        return paragraphs[std::min<size_t>(index, paragraphs.size() - 1)];
    };
    const float boxWidth = std::fabs(box.bounds.xmax - box.bounds.xmin);
    std::vector<Placed> glyphs;
    std::vector<Line> lines;
    Line line;
    line.paragraph = runs.empty() ? 0 : runs.front().paragraph;
    size_t lastSpace = SIZE_MAX; // the last space placed on the line
    auto finish = [&](bool paragraphEnds) {
        line.end = glyphs.size();
        lines.push_back(line);
        const uint32_t paragraph = line.paragraph;
        line = Line{};
        line.begin = glyphs.size();
        line.paragraph = paragraph;
        line.firstOfParagraph = paragraphEnds;
        lastSpace = SIZE_MAX;
    };
    auto limit = [&] {
        const HtmlParagraphFormat& p = paragraphOf(line.paragraph);
        return boxWidth - p.leftMargin - p.rightMargin - (line.firstOfParagraph ? p.indent : 0);
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
            const char16_t code = run.text[i];
            if (code == u'\n' || code == u'\r') {
                if (box.multiline) finish(false);
                continue;
            }
            if (!font || scale <= 0) continue;
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
                    line.width = width;
                    line.end = from;
                    lines.push_back(line);
                    const uint32_t paragraph = line.paragraph;
                    const float a = line.ascent, d = line.descent;
                    line = Line{};
                    line.begin = from;
                    line.paragraph = paragraph;
                    line.firstOfParagraph = false;
                    line.ascent = a;
                    line.descent = d;
                    for (size_t k = from; k < glyphs.size(); ++k) glyphs[k].x -= shift;
                    line.width = carried;
                    lastSpace = SIZE_MAX;
                } else {
                    finish(false);
                    line.ascent = ascent;
                    line.descent = descent;
                }
            }
            if (code == u' ') lastSpace = glyphs.size();
            glyphs.push_back({r, uint32_t(glyph), line.width, advance});
            line.width += advance;
        }
    }
    finish(true);

    // Lines go down from the box's top; those below its bottom are not drawn.
    float baseline = box.bounds.ymin + box.top;
    const LayoutRun* colored = nullptr;
    for (size_t n = 0; n < lines.size(); ++n) {
        const Line& l = lines[n];
        const HtmlParagraphFormat& p = paragraphOf(l.paragraph);
        if (n > 0) baseline += lines[n - 1].descent + std::max(p.leading, -lines[n - 1].descent);
        if (baseline >= box.bounds.ymax) break;
        baseline += l.ascent;
        float dx = 0;
        if (p.align == 1) dx = boxWidth - l.width;
        if (p.align == 2) dx = (boxWidth - l.width) * 0.5f;
        const float x0 = box.bounds.xmin + dx + p.leftMargin + (l.firstOfParagraph ? p.indent : 0);
        for (size_t k = l.begin; k < l.end; ++k) {
            const Placed& g = glyphs[k];
            const float x = x0 + g.x;
            if (x >= box.bounds.xmax || x + std::max(g.advance, 0.0f) < box.bounds.xmin) continue;
            const LayoutRun& run = runs[g.run];
            if (colored != &run) {
                context.SetFillColor(run.color);
                colored = &run;
            }
            const float scale = GlyphScale(run);
            context.PushTransform();
            context.Translate({x, baseline, 0});
            context.Scale({scale, scale, 1});
            run.font->DrawGlyph(context, g.glyph);
            context.PopTransform();
        }
    }
}

} // namespace UT
