// The PNG bytes as a reader sees them: rows top first, red, green, blue, alpha, straight
// alpha, and the arithmetic of compositing over a background colour.
#include "tools/swfframes/PngWriter.h"
#include "ToolRunner.h"
#include "tools/swfframes/HostError.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>

using tooltest::TempPath;

namespace {

// A 3 x 2 picture as the plug-in lends it: rows top first in memory, blue first.
struct LentPicture {
    std::vector<uint8_t> bytes = {
        // row 0 (top): opaque red, half-transparent green, transparent
        0, 0, 255, 255, /**/ 0, 200, 0, 128, /**/ 0, 0, 0, 0,
        // row 1: opaque blue, a grey at alpha 1, white
        255, 0, 0, 255, /**/ 90, 90, 90, 1, /**/ 255, 255, 255, 255};
    FrameView View() const { return FrameView::FromLent(bytes.data(), -12, 3, 2); }
};

// Decodes with libpng's own reader, independent of ReadPng.
std::vector<uint8_t> DecodeRgba(const std::string& path, png_uint_32& width, png_uint_32& height) {
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    EXPECT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    EXPECT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
    width = image.width;
    height = image.height;
    return pixels;
}

uint8_t Over(int pixel, int alpha, int colour) {
    return uint8_t((pixel * alpha + colour * (255 - alpha) + 127) / 255);
}

} // namespace

TEST(Background, ParsesNoneAndColours) {
    EXPECT_TRUE(Background::Parse("none")->none);
    const std::optional<Background> colour = Background::Parse("#FF8001");
    ASSERT_TRUE(colour);
    EXPECT_FALSE(colour->none);
    EXPECT_EQ(colour->red, 0xFF);
    EXPECT_EQ(colour->green, 0x80);
    EXPECT_EQ(colour->blue, 0x01);
    EXPECT_TRUE(Background::Parse("00ff00"));
    EXPECT_FALSE(Background::Parse("#12345"));
    EXPECT_FALSE(Background::Parse("#1234567"));
    EXPECT_FALSE(Background::Parse("#12345G"));
    EXPECT_FALSE(Background::Parse("red"));
    EXPECT_FALSE(Background::Parse(""));
}

TEST(PngWriter, WritesRowsTopFirstAsStraightRgba) {
    const LentPicture lent;
    const std::string path = TempPath("png_layout.png");
    WritePng(path, RgbaImage::FromFrame(lent.View(), Background{}));

    png_uint_32 width = 0, height = 0;
    const std::vector<uint8_t> pixels = DecodeRgba(path, width, height);
    EXPECT_EQ(width, 3u);
    EXPECT_EQ(height, 2u);
    const std::vector<uint8_t> expected = {255, 0, 0,   255, 0,  200, 0,  128, 0,   0,   0,   0,
                                           0,   0, 255, 255, 90, 90,  90, 1,   255, 255, 255, 255};
    EXPECT_EQ(pixels, expected);
    EXPECT_EQ(ReadPng(path).pixels, expected);
}

TEST(PngWriter, FollowsTheLentPitchWhenRowsArePadded) {
    // Two rows of one pixel, 8 bytes apart: the padding never reaches the picture.
    const std::vector<uint8_t> bytes = {1, 2, 3, 255, 0xEE, 0xEE, 0xEE, 0xEE, 4, 5, 6, 255};
    const RgbaImage image =
        RgbaImage::FromFrame(FrameView::FromLent(bytes.data(), -8, 1, 2), Background{});
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{3, 2, 1, 255, 6, 5, 4, 255}));
}

TEST(PngWriter, CompositesStraightAlphaOverTheBackground) {
    const LentPicture lent;
    const Background grey = Background::Color(10, 100, 250);
    const std::string path = TempPath("png_background.png");
    WritePng(path, RgbaImage::FromFrame(lent.View(), grey));
    png_uint_32 width = 0, height = 0;
    const std::vector<uint8_t> pixels = DecodeRgba(path, width, height);
    ASSERT_EQ(pixels.size(), 24u);
    const std::vector<uint8_t> expected = {255,
                                           0,
                                           0,
                                           255, // opaque red stays
                                           Over(0, 128, 10),
                                           Over(200, 128, 100),
                                           Over(0, 128, 250),
                                           255,
                                           10,
                                           100,
                                           250,
                                           255, // transparent shows the colour
                                           0,
                                           0,
                                           255,
                                           255, //
                                           Over(90, 1, 10),
                                           Over(90, 1, 100),
                                           Over(90, 1, 250),
                                           255,
                                           255,
                                           255,
                                           255,
                                           255};
    EXPECT_EQ(pixels, expected);
    EXPECT_EQ(pixels[4], 5);   // (0 * 128 + 10 * 127 + 127) / 255
    EXPECT_EQ(pixels[5], 150); // (200 * 128 + 100 * 127 + 127) / 255
}

TEST(PngWriter, AnUnwritablePathIsAnOutputError) {
    const RgbaImage image(1, 1);
    try {
        WritePng(TempPath("no_such_folder/x/frame.png"), image);
        FAIL() << "no error";
    } catch (const HostError& error) {
        EXPECT_EQ(error.Code(), kExitOutput);
        EXPECT_NE(std::string(error.what()).find("cannot write"), std::string::npos);
    }
}
