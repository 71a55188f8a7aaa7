// Clipping layers on the main timeline: a layer's reach includes its clip depth, also when
// a shorter layer inside it ends just before.
#include "MovieTestSupport.h"
#include "support/PlaceTags.h"

#include <gtest/gtest.h>

using namespace swftest;

TEST(ClipDepth, AnOuterLayerOutlivesAnInnerOneEndingBeforeIt) {
    // Layer 1 (columns 0..3) clips depths 2..4, layer 2 (columns 4..7) depths 3 only; the
    // yellow row at depth 4 shows under layer 1 alone.
    Drawn drawn(MovieOf({{kDefineBoxTag, DefineBox(1, 0, 0, 4, 1, {255, 0, 0, 255})},
                         {kDefineBoxTag, DefineBox(2, 4, 0, 8, 1, {0, 255, 0, 255})},
                         {kDefineBoxTag, DefineBox(3, 0, 0, 12, 1, {255, 255, 0, 255})},
                         {kPlaceObject2, PlaceObject2(ClipLayer(1, 1, 4))},
                         {kPlaceObject2, PlaceObject2(ClipLayer(2, 2, 3))},
                         {kPlaceObject2, PlaceObject2(PlaceCharacter(4, 3))}},
                        12, 1),
                12, 1);
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(drawn(x), x < 4 ? (Bgra{0, 255, 255, 255}) : (Bgra{})) << x;
}
