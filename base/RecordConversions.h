// Turning the records as read (twips, 16.16 and 8.8 fixed point) into the value types
// that the model and the rasteriser work with (float pixels, 0..1 colour scale).
#pragma once

#include "base/ValueTypes.h"

// Every coordinate divided by 20, reordered to xmin, ymin, xmax, ymax.
RectF ToRectF(const RawRect& rect);

// For placements, button records and text matrices: scale and rotate terms are 16.16.
Matrix4 ToPlacementMatrix(const RawMatrix& matrix);

// For gradient and bitmap fills, whose scale and rotate terms map twips onto the
// fill's own twip-sized space: they are also divided by 20.
Matrix4 ToFillMatrix(const RawMatrix& matrix);

// Every term, multiplier and add term alike, divided by 256.
ColorTransform ToColorTransform(const RawCxform& cxform);
