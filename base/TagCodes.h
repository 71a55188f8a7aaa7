// The tag codes that the timelines act on.  Every other code is skipped by its length.
#pragma once

#include <cstdint>

namespace UT {

enum TagCode : uint16_t {
    kTagEnd = 0,
    kTagShowFrame = 1,
    kTagDefineShape = 2,
    kTagFreeCharacter = 3,
    kTagPlaceObject = 4,
    kTagRemoveObject = 5,
    kTagDefineBits = 6,
    kTagDefineButton = 7,
    kTagJPEGTables = 8,
    kTagSetBackgroundColor = 9,
    kTagDefineFont = 10,
    kTagDefineText = 11,
    kTagDefineFontInfo = 13,
    kTagDefineBitsLossless = 20,
    kTagDefineBitsJPEG2 = 21,
    kTagDefineShape2 = 22,
    kTagDefineButtonCxform = 23,
    kTagPlaceObject2 = 26,
    kTagRemoveObject2 = 28,
    kTagDefineShape3 = 32,
    kTagDefineText2 = 33,
    kTagDefineButton2 = 34,
    kTagDefineBitsJPEG3 = 35,
    kTagDefineBitsLossless2 = 36,
    kTagDefineEditText = 37,
    kTagDefineSprite = 39,
    kTagNameCharacter = 40,
    kTagFrameLabel = 43,
    kTagDefineMorphShape = 46,
    kTagDefineFont2 = 48,
    // Flash 8 and later.  The tags without a picture (69, 73, 74, 76, 77, 86, 88) are
    // skipped like every code not listed.
    kTagFileAttributes = 69,
    kTagPlaceObject3 = 70,
    kTagDefineFontAlignZones = 73,
    kTagCSMTextSettings = 74,
    kTagDefineFont3 = 75,
    kTagSymbolClass = 76,
    kTagMetadata = 77,
    kTagDefineShape4 = 83,
    kTagDefineMorphShape2 = 84,
    kTagDefineSceneAndFrameLabelData = 86,
    kTagDefineFontName = 88,
    kTagDefineBitsJPEG4 = 90,
};

} // namespace UT
