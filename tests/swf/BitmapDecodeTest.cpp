// Bitmap characters decoded from real JPEG and zlib data made in the test.
#include "MovieTestSupport.h"

#include "support/BitmapWriter.h"
#include "support/SwfWriter.h"
#include "swf/FBitmap.h"

#include <gtest/gtest.h>

#include <array>
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

// Lossless pixels, in blue, green, red, alpha order: true colour is ARGB in file order
// (the reserved byte of DefineBitsLossless ignored); colour-mapped rows are padded to four
// bytes, indices past the table give opaque black, and DefineBitsLossless2 table entries
// carry alpha.  15-bit pixels and images too large to hold give no image.
TEST_F(BitmapDecode, LosslessPixels) {
    // Three RGB entries, then 5 x 2 indices in rows of 8 bytes.
    const std::vector<uint8_t> mapped = {10, 20, 30, 40, 50, 60, 70, 80, 90,  0, 1, 2, 1,
                                         0,  9,  9,  9,  2,  2,  2,  2,  200, 9, 9, 9};
    struct Case {
        const char* name;
        uint16_t code;
        std::vector<uint8_t> body;
        std::vector<std::pair<int, int>> at; // x, y
        std::vector<std::array<uint8_t, 4>> bgra;
    };
    const Case cases[] = {
        {"argb",
         kDefineBitsLossless2,
         DefineBitsLosslessBody(1, 5, 1, 1, {0x80, 0x40, 0x20, 0x10}),
         {{0, 0}},
         {{0x10, 0x20, 0x40, 0x80}}},
        {"xrgb",
         kDefineBitsLossless,
         DefineBitsLosslessBody(1, 5, 1, 1, {0x00, 0x40, 0x20, 0x10}),
         {{0, 0}},
         {{0x10, 0x20, 0x40, 255}}},
        {"padded rows",
         kDefineBitsLossless,
         DefineBitsLosslessBody(1, 3, 5, 2, mapped, 2),
         {{2, 0}, {0, 1}, {3, 1}, {4, 1}},
         {{90, 80, 70, 255}, {90, 80, 70, 255}, {90, 80, 70, 255}, {0, 0, 0, 255}}},
        {"table alpha",
         kDefineBitsLossless2,
         DefineBitsLosslessBody(1, 3, 1, 1, {10, 20, 30, 40, 0, 0, 0, 0}, 0),
         {{0, 0}},
         {{30, 20, 10, 40}}},
        {"15-bit", kDefineBitsLossless, DefineBitsLosslessBody(1, 4, 1, 1, {0, 0}), {}, {}},
        {"huge",
         kDefineBitsLossless2,
         DefineBitsLosslessBody(1, 5, 62525, 17173, {1, 2, 3, 4}),
         {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SwfWriter movie(10, 10, 12);
        movie.Tag(c.code, c.body);
        Held<PixelBuffer> image = Decode(movie);
        ASSERT_EQ(bool(image), !c.at.empty());
        if (!image) {
            EXPECT_EQ(bitmap->GetStencil(), nullptr);
        }
        for (size_t k = 0; k < c.at.size(); ++k) {
            const uint8_t* p = At(image, c.at[k].first, c.at[k].second);
            EXPECT_EQ((std::array<uint8_t, 4>{p[0], p[1], p[2], p[3]}), c.bgra[k]) << k;
        }
    }
}

// JPEG data and where its tables come from: a tables-only stream first decodes like one
// stream; DefineBits takes the last JPEGTables before it, and a whole stream of its own
// needs none (empty, empty-stream or broken tables are passed over); an abbreviated image
// with no tables anywhere gives no image; a leading empty stream is passed over.
TEST_F(BitmapDecode, JpegTablesAndStreams) {
    const SplitJpeg split = EncodeAbbreviatedJpeg(Colours(16, 8));
    const std::vector<uint8_t> whole = EncodeJpeg(Colours(16, 8));
    std::vector<uint8_t> tablesFirst = split.tables, emptyFirst = {0xFF, 0xD9, 0xFF, 0xD8};
    tablesFirst.insert(tablesFirst.end(), split.image.begin(), split.image.end());
    emptyFirst.insert(emptyFirst.end(), whole.begin(), whole.end());
    using Tags = std::vector<std::pair<uint16_t, std::vector<uint8_t>>>;
    const std::pair<const char*, Tags> decoded[] = {
        {"tables first", {{kDefineBitsJPEG2, DefineBitsBody(1, tablesFirst)}}},
        {"shared tables",
         {{kJPEGTables, split.tables}, {kDefineBits, DefineBitsBody(1, split.image)}}},
        {"no tables", {{kDefineBits, DefineBitsBody(1, whole)}}},
        {"empty tables", {{kJPEGTables, {}}, {kDefineBits, DefineBitsBody(1, whole)}}},
        {"empty-stream tables",
         {{kJPEGTables, {0xFF, 0xD8, 0xFF, 0xD9}}, {kDefineBits, DefineBitsBody(1, whole)}}},
        {"broken tables", {{kJPEGTables, {1, 2, 3}}, {kDefineBits, DefineBitsBody(1, whole)}}},
        {"leading empty stream", {{kDefineBitsJPEG2, DefineBitsBody(1, emptyFirst)}}},
    };
    for (const auto& [name, tags] : decoded) {
        SCOPED_TRACE(name);
        SwfWriter movie(10, 10, 12);
        for (const auto& [code, body] : tags) movie.Tag(code, body);
        Held<PixelBuffer> image = Decode(movie);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->channels, 4);
        ExpectNear(At(image, 7, 5), 90, 40, 200, 255);
    }
    const Tags refused[] = {
        {{kDefineBits, DefineBitsBody(1, split.image)}, {kJPEGTables, split.tables}},
        {{kJPEGTables, {}}, {kDefineBits, DefineBitsBody(1, split.image)}},
    };
    for (const Tags& tags : refused) {
        SwfWriter movie(10, 10, 12);
        for (const auto& [code, body] : tags) movie.Tag(code, body);
        EXPECT_FALSE(Decode(movie));
        EXPECT_EQ(bitmap->GetStencil(), nullptr);
    }
    // Grey data stays one channel.
    SwfWriter movie(10, 10, 12);
    movie.Tag(kDefineBitsJPEG2,
              DefineBitsBody(1, EncodeJpeg({4, 4, 1, std::vector<uint8_t>(16, 128)})));
    Held<PixelBuffer> grey = Decode(movie);
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->channels, 1);
    EXPECT_NEAR(grey->pixels[5], 128, 2);
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

// A zlib stream cut short by the end of the file still makes the image, the missing
// pixels transparent.
TEST_F(BitmapDecode, CutShortLosslessDataStillDecodes) {
    const std::vector<uint8_t> deflated = Deflate(std::vector<uint8_t>(32 * 32 * 4, 9));
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
    ASSERT_TRUE(image);
    EXPECT_EQ(At(image, 31, 31)[3], 0);
}

} // namespace
