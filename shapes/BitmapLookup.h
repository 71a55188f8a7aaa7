// Where a shape's bitmap fills find their pictures.  The shape reader knows bitmaps only
// by character id; whoever holds the characters (the movie's dictionary) answers.
#pragma once

#include "base/RefCountBase.h"
#include "raster/ZStencil.h"

#include <cstdint>

namespace UT {

class BitmapLookup {
public:
    // The paint of bitmap character `id`; empty when the id names no bitmap or the
    // bitmap cannot be decoded.
    virtual Held<ZStencil> BitmapPaint(uint16_t id) = 0;

protected:
    ~BitmapLookup() = default;
};

} // namespace UT
