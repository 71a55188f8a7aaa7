// A shape definition (DefineShape, DefineShape2, DefineShape3, DefineShape4): parsed completely
// when defined into stored paths with their styles; drawing replays them.
#pragma once

#include "shapes/ShapeGeometry.h"
#include "shapes/StyleTable.h"
#include "swf/FObject.h"
#include "swf/KeptPath.h"

#include <memory>
#include <vector>

namespace UT {

class FlashParser;

class FShape : public FObject {
public:
    // Reads the tag from the owner's reader, positioned at the shape id.  Versions 3 and
    // above read every colour with alpha; version 4 has edge bounds and LINESTYLE2.
    FShape(FlashScript* owner, int version);
    // Reads the same body from another reader (a shape made in memory); bitmap fills
    // still come from the owner's dictionary.
    FShape(FlashScript* owner, FlashParser& reader, int version);
    ~FShape() override;

    // How many transforms a stroke outlined in device space is kept for.
    static constexpr size_t kTransformsKept = 8;

    const char* GetTypeName() const override { return "Shape"; }
    void Render(GraphicsContext& context, FDisplayItem* item) override;

    const StyleTable& InitialStyles() const { return *initialStyles; }
    const ShapeGeometry& Geometry() const { return *geometry; }

    // The paint matrix that maps a paint's own space onto the path's own box, for a paint
    // placed by fillMatrix (paint units to path space) over a path with these bounds.
    static Matrix4 PatternMatrix(const Matrix4& fillMatrix, const ZStencil* paint,
                                 const RectF& pathBounds);

private:
    void RenderPath(GraphicsContext& context, const StyledPath& styled,
                    std::vector<KeptPath>& pathKept);
    static void SetLineStyle(GraphicsContext& context, const LineStyle& line);

    std::unique_ptr<StyleTable> initialStyles;
    std::unique_ptr<ShapeGeometry> geometry;
    // By styled path, made on the first draw: one kept path, or for a stroke outlined in
    // device space one for each of the first few transforms it is drawn with.
    std::vector<std::vector<KeptPath>> keptPaths;
};

} // namespace UT
