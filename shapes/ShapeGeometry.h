// A shape's parsed result: the style tables that NewStyles records brought, and the
// traced paths with their styles, in drawing order.
#pragma once

#include "shapes/ShapeOutputter.h"
#include "shapes/StyleTable.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace UT {

class BitmapLookup;
class EdgeGraph;
class FlashParser;

class ShapeGeometry {
public:
    // Reads NumFillBits, NumLineBits and the shape records from `reader`, with
    // `initialStyles` as the first style table; NewStyles records find their bitmap
    // fills through `bitmaps`.
    ShapeGeometry(FlashParser& reader, BitmapLookup& bitmaps, const RectF& bounds, int version,
                  const StyleTable* initialStyles);
    ShapeGeometry(const ShapeGeometry&) = delete;
    ShapeGeometry& operator=(const ShapeGeometry&) = delete;
    ~ShapeGeometry();

    const std::vector<StyledPath>& Paths() const { return paths; }
    const RectF& Bounds() const { return bounds; }
    size_t StyleTableCount() const { return 1 + furtherStyles.size(); }

private:
    void ReadRecords(EdgeGraph& graph, PathOutputter& out, BitmapLookup& bitmaps);

    RectF bounds;
    FlashParser& reader;
    int version;
    const StyleTable* currentStyles;
    std::vector<std::unique_ptr<StyleTable>> furtherStyles;
    std::vector<StyledPath> paths;
};

} // namespace UT
