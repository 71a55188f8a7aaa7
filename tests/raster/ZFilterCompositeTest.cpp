// A row of effect pixels meets its objects exactly as each pixel does alone, in every
// place, with and without knockout and a hidden object.
#include "raster/ZFilterComposite.h"

#include <gtest/gtest.h>

#include <vector>

TEST(ZFilterComposite, RowsMeetTheirObjectsAsPixelsDo) {
    // Premultiplied pixels of every alpha step, their channels spread below it.
    std::vector<uint8_t> objects, effects;
    for (uint32_t a = 0; a < 256; a += 3)
        for (uint32_t b = 0; b < 256; b += 17) {
            const auto under = [](uint32_t v, uint32_t alpha) { return uint8_t(v % (alpha + 1)); };
            objects.insert(objects.end(),
                           {under(a * 7 + b, a), under(b * 3, a), under(a, a), uint8_t(a)});
            effects.insert(effects.end(),
                           {under(b * 5 + 1, b), under(a + b, b), under(255, b), uint8_t(b)});
        }
    const auto count = int32_t(objects.size() / 4);
    for (const ZEffectPlace place :
         {ZEffectPlace::kBehind, ZEffectPlace::kInside, ZEffectPlace::kOver})
        for (const bool knockout : {false, true})
            for (const bool hide : {false, true}) {
                std::vector<uint8_t> row = objects, single = objects;
                ZCompositeEffects(row.data(), effects.data(), count - 3, place, knockout, hide);
                for (int32_t i = 0; i < count - 3; ++i)
                    ZCompositeEffect(&single[4 * size_t(i)], &effects[4 * size_t(i)], place,
                                     knockout, hide);
                EXPECT_TRUE(row == single) << int(place) << " " << knockout << " " << hide;
            }
}
