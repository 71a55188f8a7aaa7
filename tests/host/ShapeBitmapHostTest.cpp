// Shapes and bitmaps read back through the loaded library as a host sees them: a solid
// square, a stroke and a lossless bitmap fill in the lent frame, row 0 at the top.
#include "support/BitmapWriter.h"
#include "support/ComTestUtil.h"
#include "support/PlaceTags.h"
#include "support/ShapeWriter.h"
#include "support/SwfWriter.h"
#include "tools/PluginLibrary.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>

using namespace swftest;
using comtest::ComPtr;

namespace {

constexpr int32_t kWidth = 40;
constexpr int32_t kHeight = 30;
using Bgra = std::array<uint8_t, 4>;

const PluginLibrary& Library() {
    static PluginLibrary library(SWFPLUGIN_PATH);
    return library;
}

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
    const std::string path = testing::TempDir() + "shape_bitmap.swf";
    const std::vector<uint8_t> bytes = Movie();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    const std::u16string widePath(path.begin(), path.end());

    ComPtr<IVxReadFileClass> readClass;
    ComPtr<IVxReadFile> file;
    ComPtr<IVxReadStream> stream;
    ComPtr<IVxReadVideoStream> video;
    ASSERT_EQ(Library().Create(CLSID_VxSWFPlugin, IID_IVxReadFileClass, readClass.out()), S_OK);
    ASSERT_EQ(readClass->CreateReadFile(file.out(), nullptr,
                                        reinterpret_cast<const WCHAR*>(widePath.c_str()), 1),
              S_OK);
    ASSERT_EQ(file->GetStream(stream.out(), 0xFFFFFFFFu, 0, 0, 0, 0), S_OK);
    ASSERT_EQ(stream->QueryInterface(IID_IVxReadVideoStream, video.outVoid()), S_OK);

    void* pixels = nullptr;
    int32_t stride = 0;
    ASSERT_EQ(video->ReadFrame(0, &pixels, &stride, nullptr, nullptr, nullptr, 0, 0), S_OK);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(stride, -kWidth * 4);
    const auto* row0 = static_cast<const uint8_t*>(pixels);
    const auto at = [&](int x, int y) {
        const uint8_t* p = row0 + (size_t(y) * kWidth + size_t(x)) * 4;
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
    EXPECT_EQ(video->EndRead(0), S_OK);
}

} // namespace
