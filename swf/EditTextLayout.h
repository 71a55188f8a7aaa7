// Lays an edit text's styled runs out in its box and draws them: lines broken at line
// breaks, at paragraph ends and, with word wrap, at the last space that fits; each line
// aligned in the box, its baseline below the tallest ascent on it.  Underlined runs are
// underlined; a bulleted paragraph is indented and its first line marked with a bullet.
#pragma once

#include "base/ValueTypes.h"
#include "swf/GlyphFills.h"
#include "swf/HtmlText.h"

#include <cstdint>
#include <string>
#include <vector>

class GraphicsContext;

namespace UT {

class FFont;

struct LayoutRun {
    FFont* font = nullptr; // runs without a font draw nothing
    float size = 0;        // pixels
    ColorRGBA color;
    std::u16string text; // '\n' breaks the line
    uint32_t paragraph = 0;
    bool underline = false;
};

struct LayoutBox {
    RectF bounds;
    float top = 0; // added to the first line's top
    bool wordWrap = false;
    bool multiline = false;
};

class EditTextLayout {
public:
    // Draws the runs with the context's current transform; moves the fonts' owner's
    // reader.  Glyphs are cut to the box.  Keeps its working room for the next draw, and
    // the fills of the glyphs it drew whole in `fills`, in room taken from `room`.
    void Draw(GraphicsContext& context, const LayoutBox& box,
              const std::vector<HtmlParagraphFormat>& paragraphs,
              const std::vector<LayoutRun>& runs, PathRoom* room = nullptr,
              GlyphFills* fills = nullptr);

private:
    struct Placed {
        uint32_t run;
        uint32_t glyph;
        float x;       // from the line's start, pixels
        float advance; // pixels
        bool space;
    };
    struct Line {
        size_t begin = 0, end = 0; // placed glyphs
        float width = 0;
        float ascent = 0, descent = 0;
        uint32_t paragraph = 0;
        bool firstOfParagraph = true;
        bool wrapped = false; // broken because the next word did not fit
    };
    float JustifySpread(const Line& line, const HtmlParagraphFormat& p, float boxWidth) const;
    // Draws a glyph at x on the baseline, cut to the box where it crosses the box's edges;
    // it is the `drawn`th glyph drawn, and keeps its fill where it is drawn whole.
    void DrawGlyphAt(GraphicsContext& context, const LayoutRun& run, uint32_t glyph, float x,
                     float baseline, const RectF& box, size_t drawn, PathRoom* room,
                     GlyphFills* fills);
    std::vector<Placed> glyphs;
    std::vector<Line> lines;
};

} // namespace UT
