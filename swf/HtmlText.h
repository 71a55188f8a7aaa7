// The markup of an HTML edit text read into styled runs: paragraphs with their alignment
// and margins, runs with their font face, size, colour and bold, italic and underline
// flags.  One pass over the markup, its time linear in its length whatever the nesting.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace UT {

struct HtmlCharFormat {
    std::string face;   // empty: the field's own font
    float size = 0;     // pixels
    uint32_t color = 0; // 0xRRGGBB
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

struct HtmlParagraphFormat {
    static constexpr size_t kMaxTabStops = 16;
    int32_t align = 0; // 0 left, 1 right, 2 center, 3 justify
    float leftMargin = 0, rightMargin = 0, indent = 0, leading = 0; // pixels
    bool bullet = false;
    // Pixels from the line's start, ascending; the first tabStopCount hold.
    std::array<float, kMaxTabStops> tabStops{};
    uint32_t tabStopCount = 0;
};

struct HtmlRun {
    std::u16string text; // '\n' breaks the line
    HtmlCharFormat format;
    uint32_t paragraph = 0; // index into the paragraphs
};

struct HtmlText {
    std::vector<HtmlParagraphFormat> paragraphs;
    std::vector<HtmlRun> runs;
};

// Largest font size the markup may ask for, in pixels.
constexpr float kHtmlMaxFontSize = 2000.0f;

// Reads markup as UTF-8 (a byte that starts no valid sequence is taken as its Latin-1
// code).  Tags: p (align), br, font (face, size absolute or relative, color), b, i, u,
// li, a, span, textformat (leftmargin, rightmargin, indent, leading, tabstops); the named
// entities amp, lt, gt, quot, apos, nbsp and numeric ones.  Unknown tags are dropped with
// their text kept; a closing tag without its opening one is dropped; one closing an outer
// tag closes the tags inside it too.
HtmlText ParseHtmlText(std::string_view markup, const HtmlCharFormat& base,
                       const HtmlParagraphFormat& paragraph);

} // namespace UT
