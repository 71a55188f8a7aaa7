// Shapes and bitmaps read back through the loaded library as a host sees them: a solid
// square, a stroke and a lossless bitmap fill in the lent frame, row 0 at the top.
#include "HostFixture.h"
#include "support/BitmapWriter.h"
#include "support/ComTestUtil.h"
#include "support/PlaceTags.h"
#include "support/ShapeWriter.h"
#include "support/SwfWriter.h"

#include <gtest/gtest.h>

#include <array>

using namespace swftest;
using namespace hosttest;

namespace {

constexpr int32_t kWidth = 40;
constexpr int32_t kHeight = 30;
using Bgra = std::array<uint8_t, 4>;

// Shape 1: a green square (2..10, 2..10) with a 2-pixel white line along y = 20 from
// x = 4 to 36.  Bitmap 2: 2 x 2 texels; shape 3 fills (30..32, 2..4) with it.
std::vector<uint8_t> Movie() {
    ShapeWriter shapes(3);
    shapes.FillStyles({FillStyleRecord::Solid({0, 255, 0, 255})})
        .LineStyles({{40, {255, 255, 255, 255}}})
        .Change(StyleChange().Fill1(1))
        .Rectangle(40, 40, 200, 200)
        .Change(StyleChange().Fill1(0).Line(1).Move(80, 400))
        .LineTo(720, 400);
    MatrixRecord texelPerPixel;
    texelPerPixel.hasScale = true;
    texelPerPixel.scaleX = texelPerPixel.scaleY = 20 << 16;
    texelPerPixel.translateX = 600;
    texelPerPixel.translateY = 40;
    ShapeWriter filled(3);
    filled.FillStyles({FillStyleRecord::Bitmap(2, texelPerPixel)})
        .Change(StyleChange().Fill0(1))
        .Rectangle(600, 40, 640, 80);
    const std::vector<uint8_t> argb = {255, 255, 0,   0, 255, 0,  0,  255,
                                       255, 0,   255, 0, 128, 10, 20, 30};
    Placement first, second;
    first.character = 1;
    second.character = 3;
    second.depth = 2;
    SwfWriter writer(kWidth, kHeight, 12);
    writer.Tag(ShapeWriter::TagCode(3), shapes.TagBody(1, {40, 720, 40, 420}))
        .Tag(kDefineBitsLossless2, DefineBitsLosslessBody(2, 5, 2, 2, argb))
        .Tag(ShapeWriter::TagCode(3), filled.TagBody(3, {600, 640, 40, 80}))
        .Tag(kPlaceObject2, PlaceObject2(first))
        .Tag(kPlaceObject2, PlaceObject2(second))
        .ShowFrame()
        .End();
    return writer.Finish();
}

TEST(ShapeBitmapHost, FillsStrokesAndBitmapTexelsReachTheHost) {
    ASSERT_TRUE(Library().Loaded()) << Library().Error();
    OpenMovie movie(WriteMovie("shape_bitmap.swf", Movie()));
    ASSERT_TRUE(movie.video);
    const std::vector<uint8_t> frame = movie.Frame(0);
    ASSERT_EQ(frame.size(), size_t(kWidth) * kHeight * 4);
    const auto at = [&](int x, int y) {
        const uint8_t* p = frame.data() + (size_t(y) * kWidth + size_t(x)) * 4;
        return Bgra{p[0], p[1], p[2], p[3]};
    };
    const Bgra clear = {0, 0, 0, 0};
    EXPECT_EQ(at(2, 2), (Bgra{0, 255, 0, 255}));
    EXPECT_EQ(at(9, 9), (Bgra{0, 255, 0, 255}));
    EXPECT_EQ(at(10, 10), clear);
    EXPECT_EQ(at(1, 2), clear);
    EXPECT_EQ(at(20, 19), (Bgra{255, 255, 255, 255}));
    EXPECT_EQ(at(20, 20), (Bgra{255, 255, 255, 255}));
    EXPECT_EQ(at(20, 21), clear);
    EXPECT_EQ(at(30, 2), (Bgra{0, 0, 255, 255}));
    EXPECT_EQ(at(31, 2), (Bgra{255, 0, 0, 255}));
    EXPECT_EQ(at(30, 3), (Bgra{0, 255, 0, 255}));
    EXPECT_EQ(at(31, 3), (Bgra{30, 20, 10, 128}));
    EXPECT_EQ(at(32, 2), clear);
}

} // namespace
