// Bitmap characters decoded from real JPEG and zlib data made in the test.
#include "MovieTestSupport.h"

#include "support/BitmapWriter.h"
#include "support/SwfWriter.h"
#include "swf/FBitmap.h"

#include <gtest/gtest.h>

#include <memory>

using namespace swftest;

namespace {

// Parses a movie of the given tags (a ShowFrame and End are added) and decodes bitmap 1.
class BitmapDecode : public ::testing::Test {
protected:
    Held<PixelBuffer> Decode(SwfWriter& movie) {
        movie.ShowFrame().End();
        script = std::make_unique<UT::FlashScript>();
        EXPECT_TRUE(ParseBytes(*script, movie.Finish()));
        script->GotoFrame(0);
        bitmap = dynamic_cast<UT::FBitmap*>(script->FindCharacter(1).Get());
        if (!bitmap) return {};
        const uint32_t position = script->Position();
        Held<PixelBuffer> image = Held<PixelBuffer>::Adopt(bitmap->Decode());
        EXPECT_EQ(script->Position(), position);
        return image;
    }
    static const uint8_t* At(const Held<PixelBuffer>& image, int x, int y) {
        return image->Row(y) + image->bytesPerPixel * x;
    }

    std::unique_ptr<UT::FlashScript> script;
    Held<UT::FBitmap> bitmap;
};

RawImage Colours(int w, int h) {
    RawImage image{w, h, 3, {}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.pixels.insert(image.pixels.end(), {200, 40, 90});
    return image;
}

// Lossy, so compare within a margin.
void ExpectNear(const uint8_t* bgra, int b, int g, int r, int a) {
    EXPECT_NEAR(bgra[0], b, 6);
    EXPECT_NEAR(bgra[1], g, 6);
    EXPECT_NEAR(bgra[2], r, 6);
    EXPECT_EQ(bgra[3], a);
}

TEST_F(BitmapDecode, Lossless2TrueColourIsArgbInFileOrder) {
    SwfWriter movie(10, 10, 12);
    movie.Tag(kDefineBitsLossless2, DefineBitsLosslessBody(1, 5, 1, 1, {0x80, 0x40, 0x20, 0x10}));
    Held<PixelBuffer> image = Decode(movie);
    ASSERT_TRUE(image);
    const uint8_t expected[4] = {0x10, 0x20, 0x40, 0x80};
    EXPECT_EQ(std::memcmp(image->pixels, expected, 4), 0);
    EXPECT_TRUE(image->hasAlpha);
}

TEST_F(BitmapDecode, LosslessTrueColourIgnoresTheReservedByte) {
    SwfWriter movie(10, 10, 12);
    movie.Tag(kDefineBitsLossless, DefineBitsLosslessBody(1, 5, 1, 1, {0x00, 0x40, 0x20, 0x10}));
    Held<PixelBuffer> image = Decode(movie);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels[3], 255);
    EXPECT_EQ(image->pixels[2], 0x40);
}

TEST_F(BitmapDecode, ColourMappedRowsArePaddedToFourBytes) {
    // Three RGB entries, a 5 x 2 image: rows of 8 index bytes.
    std::vector<uint8_t> data = {10, 20, 30, 40, 50, 60, 70, 80, 90};
    const std::vector<uint8_t> rows = {0, 1, 2, 1, 0, 9, 9, 9, 2, 2, 2, 2, 200, 9, 9, 9};
    data.insert(data.end(), rows.begin(), rows.end());
    SwfWriter movie(10, 10, 12);
    movie.Tag(kDefineBitsLossless, DefineBitsLosslessBody(1, 3, 5, 2, data, 2));
    Held<PixelBuffer> image = Decode(movie);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->width, 5);
    EXPECT_EQ(At(image, 2, 0)[0], 90); // entry 2: red 70, green 80, blue 90
    EXPECT_EQ(At(image, 2, 0)[2], 70);
    EXPECT_EQ(At(image, 0, 1)[2], 70);
    EXPECT_EQ(At(image, 3, 1)[2], 70);
    EXPECT_EQ(At(image, 4, 1)[2], 0); // index 200 lies past the table
    EXPECT_EQ(At(image, 4, 1)[3], 255);
}

TEST_F(BitmapDecode, Lossless2ColourTableEntriesCarryAlpha) {
    SwfWriter movie(10, 10, 12);
    movie.Tag(kDefineBitsLossless2,
              DefineBitsLosslessBody(1, 3, 1, 1, {10, 20, 30, 40, 0, 0, 0, 0}, 0));
    Held<PixelBuffer> image = Decode(movie);
    ASSERT_TRUE(image);
    const uint8_t expected[4] = {30, 20, 10, 40};
    EXPECT_EQ(std::memcmp(image->pixels, expected, 4), 0);
}

TEST_F(BitmapDecode, FifteenBitFormatAndHugeSizesGiveNoImage) {
    SwfWriter movie(10, 10, 12);
    movie.Tag(kDefineBitsLossless, DefineBitsLosslessBody(1, 4, 1, 1, {0, 0}))
        .Tag(kDefineBitsLossless2, DefineBitsLosslessBody(2, 5, 62525, 17173, {1, 2, 3, 4}));
    EXPECT_FALSE(Decode(movie));
    Held<UT::FBitmap> huge = dynamic_cast<UT::FBitmap*>(script->FindCharacter(2).Get());
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->GetStencil(), nullptr);
}

TEST_F(BitmapDecode, Jpeg2WithTablesOnlyStreamFirstDecodesLikeOneStream) {
    const SplitJpeg split = EncodeAbbreviatedJpeg(Colours(16, 8));
    std::vector<uint8_t> data = split.tables;
    data.insert(data.end(), split.image.begin(), split.image.end());
    SwfWriter movie(10, 10, 12);
    movie.Tag(kDefineBitsJPEG2, DefineBitsBody(1, data));
    Held<PixelBuffer> image = Decode(movie);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 16);
    EXPECT_EQ(image->channels, 4);
    ExpectNear(At(image, 7, 5), 90, 40, 200, 255);
}

TEST_F(BitmapDecode, DefineBitsUsesTheLastJpegTables) {
    const SplitJpeg split = EncodeAbbreviatedJpeg(Colours(8, 8));
    SwfWriter movie(10, 10, 12);
    movie.JPEGTables(split.tables).Tag(kDefineBits, DefineBitsBody(1, split.image));
    Held<PixelBuffer> image = Decode(movie);
    ASSERT_TRUE(image);
    ExpectNear(At(image, 3, 3), 90, 40, 200, 255);
}

TEST_F(BitmapDecode, DefineBitsBeforeAnyTablesGivesNoImage) {
    const SplitJpeg split = EncodeAbbreviatedJpeg(Colours(8, 8));
    SwfWriter movie(10, 10, 12);
    movie.Tag(kDefineBits, DefineBitsBody(1, split.image)).JPEGTables(split.tables);
    EXPECT_FALSE(Decode(movie));
    EXPECT_EQ(bitmap->GetStencil(), nullptr);
}

TEST_F(BitmapDecode, DefineBitsWithoutUsableSharedTablesDecodesItsOwnData) {
    // An empty JPEGTables (as authoring writes it), tables of only SOI and EOI, tables that
    // are not JPEG at all, or none: a DefineBits holding a whole stream decodes alone.
    const std::vector<std::vector<uint8_t>> tables = {{}, {0xFF, 0xD8, 0xFF, 0xD9}, {1, 2, 3}};
    for (size_t i = 0; i <= tables.size(); ++i) {
        SwfWriter movie(10, 10, 12);
        if (i < tables.size()) movie.JPEGTables(tables[i]);
        movie.Tag(kDefineBits, DefineBitsBody(1, EncodeJpeg(Colours(8, 8))));
        Held<PixelBuffer> image = Decode(movie);
        ASSERT_TRUE(image) << i;
        ExpectNear(At(image, 3, 3), 90, 40, 200, 255);
    }
    // An abbreviated image after an empty JPEGTables has no tables anywhere.
    const SplitJpeg split = EncodeAbbreviatedJpeg(Colours(8, 8));
    SwfWriter movie(10, 10, 12);
    movie.JPEGTables({}).Tag(kDefineBits, DefineBitsBody(1, split.image));
    EXPECT_FALSE(Decode(movie));
}

TEST_F(BitmapDecode, LeadingEmptyJpegStreamIsPassedOver) {
    // Many real movies put FF D9 FF D8 in front of their JPEG data.
    std::vector<uint8_t> data = {0xFF, 0xD9, 0xFF, 0xD8};
    const std::vector<uint8_t> jpeg = EncodeJpeg(Colours(16, 8));
    data.insert(data.end(), jpeg.begin(), jpeg.end());
    SwfWriter movie(10, 10, 12);
    movie.Tag(kDefineBitsJPEG2, DefineBitsBody(1, data));
    Held<PixelBuffer> image = Decode(movie);
    ASSERT_TRUE(image);
    ExpectNear(At(image, 7, 5), 90, 40, 200, 255);
}

TEST_F(BitmapDecode, GreyJpegGivesOneChannel) {
    RawImage grey{4, 4, 1, std::vector<uint8_t>(16, 128)};
    SwfWriter movie(10, 10, 12);
    movie.Tag(kDefineBitsJPEG2, DefineBitsBody(1, EncodeJpeg(grey)));
    Held<PixelBuffer> image = Decode(movie);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->channels, 1);
    EXPECT_FALSE(image->hasAlpha);
    EXPECT_NEAR(image->pixels[5], 128, 2);
}

TEST_F(BitmapDecode, Jpeg3AndJpeg4ShortAlphaPlaneKeepsTheRestOpaque) {
    const std::vector<uint8_t> jpeg = EncodeJpeg(Colours(4, 3));
    const std::vector<uint8_t> alpha(4 * 3 - 5, 7); // 7 of 12 alpha bytes
    // DefineBitsJPEG4's deblocking value is read and not applied.
    for (uint16_t code : {kDefineBitsJPEG3, kDefineBitsJPEG4}) {
        SwfWriter movie(10, 10, 12);
        movie.Tag(code, code == kDefineBitsJPEG3 ? DefineBitsJPEG3Body(1, jpeg, Deflate(alpha))
                                                 : DefineBitsJPEG4Body(1, jpeg, Deflate(alpha)));
        Held<PixelBuffer> image = Decode(movie);
        ASSERT_TRUE(image) << code;
        EXPECT_EQ(At(image, 2, 1)[3], 7);   // byte 6
        EXPECT_EQ(At(image, 3, 1)[3], 255); // byte 7
        EXPECT_EQ(At(image, 3, 2)[3], 255);
        ExpectNear(At(image, 0, 0), 90, 40, 200, 7); // colours are not multiplied
    }
}

TEST_F(BitmapDecode, StencilIsMadeOnceAndKeepsTheImageSize) {
    SwfWriter movie(10, 10, 12);
    movie.Tag(kDefineBitsLossless2,
              DefineBitsLosslessBody(1, 5, 3, 2, std::vector<uint8_t>(24, 0xFF)));
    ASSERT_TRUE(Decode(movie));
    Held<ZBitmapStencil> first = Held<ZBitmapStencil>::Adopt(bitmap->GetStencil());
    Held<ZBitmapStencil> second = Held<ZBitmapStencil>::Adopt(bitmap->GetStencil());
    ASSERT_TRUE(first);
    EXPECT_EQ(first.Get(), second.Get());
    EXPECT_EQ(bitmap->Width(), 3u);
    EXPECT_EQ(bitmap->Height(), 2u);
    EXPECT_EQ(bitmap->Channels(), 4u);
}

TEST_F(BitmapDecode, TruncatedDataStaysInsideTheImage) {
    const std::vector<uint8_t> jpeg = EncodeJpeg(Colours(32, 32));
    const std::vector<uint8_t> deflated = Deflate(std::vector<uint8_t>(32 * 32 * 4, 9));
    for (size_t cut : {size_t(3), jpeg.size() / 3, jpeg.size() - 2}) {
        SwfWriter movie(10, 10, 12);
        std::vector<uint8_t> body = DefineBitsBody(1, jpeg);
        body.resize(cut);
        movie.Raw(TagStream::Header(kDefineBitsJPEG2, uint32_t(jpeg.size() + 2), true)).Raw(body);
        auto bytes = movie.Finish(); // the tag claims more than the file holds
        script = std::make_unique<UT::FlashScript>();
        ASSERT_TRUE(ParseBytes(*script, bytes));
        script->GotoFrame(0);
        if (auto* b = dynamic_cast<UT::FBitmap*>(script->FindCharacter(1).Get()))
            Held<ZBitmapStencil>::Adopt(b->GetStencil());
    }
    SwfWriter movie(10, 10, 12);
    std::vector<uint8_t> body = DefineBitsLosslessBody(1, 5, 32, 32, {});
    body.resize(8);
    body.insert(body.end(), deflated.begin(), deflated.begin() + 20);
    movie.Raw(TagStream::Header(kDefineBitsLossless2, 4000, true)).Raw(body);
    script = std::make_unique<UT::FlashScript>();
    ASSERT_TRUE(ParseBytes(*script, movie.Finish()));
    script->GotoFrame(0);
    bitmap = dynamic_cast<UT::FBitmap*>(script->FindCharacter(1).Get());
    ASSERT_TRUE(bitmap);
    Held<PixelBuffer> image = Held<PixelBuffer>::Adopt(bitmap->Decode());
    ASSERT_TRUE(image); // a stream cut short still makes the image
    EXPECT_EQ(At(image, 31, 31)[3], 0);
}

} // namespace
