// The shared records of a movie as the fixture writer spells them out: every field in
// file units (twips, 16.16 and 8.8 fixed point).  Defaults are the identity values.
#pragma once

#include <cstdint>

namespace swftest {

// Fields in file order, so designated initialisers read like the record.
struct RectRecord {
    int32_t xmin = 0, xmax = 0, ymin = 0, ymax = 0;
};

struct MatrixRecord {
    bool hasScale = false;
    int32_t scaleX = 0x10000, scaleY = 0x10000;
    bool hasRotate = false;
    int32_t rotateSkew0 = 0, rotateSkew1 = 0;
    int32_t translateX = 0, translateY = 0;
};

struct CxformRecord {
    bool hasMult = false;
    int16_t redMult = 256, greenMult = 256, blueMult = 256, alphaMult = 256;
    bool hasAdd = false;
    int16_t redAdd = 0, greenAdd = 0, blueAdd = 0, alphaAdd = 0;
};

} // namespace swftest
