// The fill and line styles of a shape: one FILLSTYLEARRAY with its LINESTYLEARRAY, as
// found at the start of a shape or in a NewStyles record.
#pragma once

#include "base/RefCountBase.h"
#include "base/ValueTypes.h"
#include "raster/ZStencil.h"

#include <cstdint>
#include <vector>

namespace UT {

class BitmapLookup;
class FlashParser;

struct FillStyle {
    // Gradient or bitmap paint; empty for a solid colour (and for a missing bitmap).
    Held<ZStencil> paint;
    ColorRGBA color;
    // Pattern space (twips) to shape pixels; identity for solid colours.
    Matrix4 patternMatrix;
    // Bitmap fills: the clipped kinds clamp to their edge texels instead of repeating; the
    // smoothed kinds sample bilinearly in movies that ask for it (SWF 8 and later).
    bool clamped = false;
    bool smoothed = false;
    // A bitmap fill naming no bitmap, or one that cannot be decoded: nothing is drawn.
    bool drawsNothing = false;
};

struct LineStyle {
    Held<ZStencil> paint; // always empty: a gradient or bitmap stroke is in `fill`
    ColorRGBA color;
    float width = 0; // pixels
    // The ends and corners, as the outliner codes them (caps 0 none, 1 round, 2 square;
    // joins 0 miter, 1 bevel, 2 round).  Lines before DefineShape4 are round throughout.
    int32_t startCap = 1;
    int32_t endCap = 1;
    int32_t join = 2;
    float miterLimit = 0; // in half widths
    // A line that comes back to its start is capped there instead of joined.
    bool noClose = false;
    // The width does not grow or shrink with the horizontal (vertical) scale of the
    // transforms above the shape.
    bool noHScale = false;
    bool noVScale = false;
    // A DefineShape4 stroke painted with a fill style; its colour is then in `color`
    // when the fill is solid.
    bool hasFill = false;
    FillStyle fill;
};

// Never changed once read: traced paths point at its elements, so the arrays must not
// move.
class StyleTable {
public:
    // Reads both arrays of a shape of `version` (1 to 4) from `reader` at its position.
    // Colours are RGBA from version 3 on, else RGB; version 4 brings LINESTYLE2 and focal
    // gradients.  Bitmap fills take their paint from `bitmaps`.
    StyleTable(FlashParser& reader, BitmapLookup& bitmaps, int version);
    StyleTable(const StyleTable&) = delete;
    StyleTable& operator=(const StyleTable&) = delete;

    const std::vector<FillStyle>& Fills() const { return fills; }
    const std::vector<LineStyle>& Lines() const { return lines; }
    // Element index - 1, or null for 0 and for indices past the array.
    const FillStyle* Fill(uint32_t index) const;
    const LineStyle* Line(uint32_t index) const;

private:
    void ReadFillStyles(FlashParser& reader, BitmapLookup& bitmaps);
    // One FILLSTYLE; false for a gradient kind that is not drawn (nothing to append).
    bool ReadFillStyle(FlashParser& reader, BitmapLookup& bitmaps, FillStyle& fill);
    void ReadGradient(FlashParser& reader, uint8_t type, FillStyle& fill);
    void ReadLineStyles(FlashParser& reader, BitmapLookup& bitmaps);
    void ReadLineStyle2(FlashParser& reader, BitmapLookup& bitmaps, LineStyle& line);

    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
    int version;
    bool withAlpha;
};

} // namespace UT
