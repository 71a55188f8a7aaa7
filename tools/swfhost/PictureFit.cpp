#include "tools/swfhost/PictureFit.h"

#include <cmath>
#include <limits>

namespace {

// The smallest factor f with trunc(natural * f) == target, so truncation in the
// plug-in never loses the last pixel.
double FactorFor(int natural, double target) {
    double factor = target / natural;
    while (std::trunc(natural * factor) < target)
        factor = std::nextafter(factor, std::numeric_limits<double>::infinity());
    return factor;
}

} // namespace

Scale FitPicture(int naturalWidth, int naturalHeight, std::optional<int> width,
                 std::optional<int> height, Scale given) {
    if (naturalWidth <= 0 || naturalHeight <= 0 || (!width && !height)) return given;
    Scale scale;
    if (height) {
        scale.zoom = FactorFor(naturalHeight, *height);
    } else {
        scale.zoom = FactorFor(naturalWidth, *width);
    }
    if (width && height) {
        const double zoomedWidth = naturalWidth * scale.zoom;
        scale.stretch = *width / zoomedWidth;
        while (std::trunc(zoomedWidth * scale.stretch) < *width)
            scale.stretch = std::nextafter(scale.stretch, 2 * scale.stretch);
    }
    return scale;
}
