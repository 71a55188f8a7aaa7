// The fill and line styles of a shape: one FILLSTYLEARRAY with its LINESTYLEARRAY, as
// found at the start of a shape or in a NewStyles record.
#pragma once

#include "raster/ZStencil.h"
#include "swf/RefCountBase.h"
#include "swf/ValueTypes.h"

#include <cstdint>
#include <vector>

namespace UT {

class FlashScript;

struct FillStyle {
    // Gradient or bitmap paint; empty for a solid colour (and for a missing bitmap).
    Held<ZStencil> paint;
    ColorRGBA color;
    // Pattern space (twips) to shape pixels; identity for solid colours.
    Matrix4 patternMatrix;
};

struct LineStyle {
    Held<ZStencil> paint; // always empty: lines are drawn in their colour
    ColorRGBA color;
    float width = 0; // pixels
};

// Never changed once read: traced paths point at its elements, so the arrays must not
// move.
class StyleTable {
public:
    // Reads both arrays from the movie's reader at its position.  Colours are RGBA when
    // `withAlpha`, else RGB.  Bitmap fills are looked up in the movie's dictionary.
    StyleTable(FlashScript& movie, bool withAlpha);
    StyleTable(const StyleTable&) = delete;
    StyleTable& operator=(const StyleTable&) = delete;

    const std::vector<FillStyle>& Fills() const { return fills; }
    const std::vector<LineStyle>& Lines() const { return lines; }
    // Element index - 1, or null for 0 and for indices past the array.
    const FillStyle* Fill(uint32_t index) const;
    const LineStyle* Line(uint32_t index) const;

private:
    void ReadFillStyles(FlashScript& movie);
    void ReadLineStyles(FlashScript& movie);

    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
    bool withAlpha;
};

} // namespace UT
