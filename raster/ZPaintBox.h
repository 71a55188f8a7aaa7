// The box a fill's paint is placed against: gradients and bitmaps are normalised to the
// box of the path the renderer fills, measured here once and handed to whoever places the
// paint and to the renderer.
#pragma once

#include "base/ValueTypes.h"
#include "raster/ZPath.h"

// The box of the segments the path walks into: each segment's start grows the minima and
// its end the maxima, which over closed contours is the box of their vertices.  Curves
// count by their flattened points.  Empty (kEmptyBox) for a path without segments.
RectF ZMeasurePaintBox(const ZPath& path);
