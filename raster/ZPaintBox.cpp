#include "raster/ZPaintBox.h"

#include "raster/ZSketcher.h"

#include <algorithm>

namespace {

class PaintBoxMeasure final : public ZSketcher {
public:
    void LineTo(float x, float y) override {
        box.xmin = std::min(box.xmin, curX_);
        box.ymin = std::min(box.ymin, curY_);
        box.xmax = std::max(box.xmax, x);
        box.ymax = std::max(box.ymax, y);
        ZSketcher::LineTo(x, y);
    }

    RectF box = kEmptyBox;
};

} // namespace

RectF ZMeasurePaintBox(const ZPath& path) {
    PaintBoxMeasure measure;
    path.Walk(measure);
    return measure.box;
}
