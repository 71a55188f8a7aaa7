// Bitmap characters decoded from real JPEG and zlib data made in the test.
#include "MovieTestSupport.h"
#include "support/BitmapWriter.h"
#include "swf/FBitmap.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

using namespace swftest;

namespace {

// The movie of the tags run to its first frame, and bitmap 1 decoded from it; decoding
// leaves the movie's reader where it was.
struct Decoded {
    UT::FlashScript script;
    Held<UT::FBitmap> bitmap;
    Held<PixelBuffer> image;

    explicit Decoded(const std::vector<uint8_t>& bytes) {
        EXPECT_TRUE(ParseBytes(script, bytes));
        script.GotoFrame(0);
        bitmap = dynamic_cast<UT::FBitmap*>(script.FindCharacter(1).Get());
        if (!bitmap) return;
        const uint32_t position = script.Position();
        image = Held<PixelBuffer>::Adopt(bitmap->Decode());
        EXPECT_EQ(script.Position(), position);
    }
    explicit Decoded(const Tags& tags) : Decoded(MovieOf(tags, 10, 10)) {}
    Bgra At(int x, int y) const {
        const uint8_t* p = image->Row(y) + image->bytesPerPixel * x;
        return {p[0], p[1], p[2], p[3]};
    }
};

// Lossy, so colours compare within a margin.
void ExpectNear(const Bgra& p, int b, int g, int r, int a) {
    EXPECT_TRUE(std::abs(p[0] - b) <= 6 && std::abs(p[1] - g) <= 6 && std::abs(p[2] - r) <= 6);
    EXPECT_EQ(p[3], a);
}

RawImage Colours(int w, int h) {
    RawImage image{w, h, 3, {}};
    for (int i = 0; i < w * h; ++i) image.pixels.insert(image.pixels.end(), {200, 40, 90});
    return image;
}

} // namespace

// Lossless pixels: true colour is ARGB in file order (DefineBitsLossless ignores the first byte);
// colour-mapped rows are padded to four bytes, indices past the table give opaque black, and
// DefineBitsLossless2 table entries carry alpha.  15-bit pixels give no image.
TEST(BitmapDecode, LosslessPixels) {
    // Three RGB entries, then 5 x 2 indices in rows of 8 bytes.
    const std::vector<uint8_t> mapped = {10, 20, 30, 40, 50, 60, 70, 80, 90,  0, 1, 2, 1,
                                         0,  9,  9,  9,  2,  2,  2,  2,  200, 9, 9, 9};
    const Bgra kMapped = {90, 80, 70, 255};
    const struct Case {
        const char* name;
        uint16_t code;
        std::vector<uint8_t> body;
        std::vector<std::pair<std::array<int, 2>, Bgra>> pixels;
    } cases[] = {
        // DefineBitsLossless2 colours are premultiplied: straightened, rounded, at most 255;
        // alpha 0 is transparent black.
        {"argb",
         kDefineBitsLossless2,
         DefineBitsLosslessBody(
             1, 5, 4, 1,
             {0x80, 0x40, 0x20, 0x10, 0, 9, 9, 9, 0x10, 0x80, 0x08, 0x01, 0xFF, 1, 2, 3}),
         {{{0, 0}, {32, 64, 128, 0x80}},
          {{1, 0}, {0, 0, 0, 0}},
          {{2, 0}, {16, 128, 255, 0x10}},
          {{3, 0}, {3, 2, 1, 255}}}},
        {"xrgb",
         kDefineBitsLossless,
         DefineBitsLosslessBody(1, 5, 1, 1, {0x00, 0x40, 0x20, 0x10}),
         {{{0, 0}, {0x10, 0x20, 0x40, 255}}}},
        {"padded rows",
         kDefineBitsLossless,
         DefineBitsLosslessBody(1, 3, 5, 2, mapped, 2),
         {{{2, 0}, kMapped}, {{0, 1}, kMapped}, {{3, 1}, kMapped}, {{4, 1}, {0, 0, 0, 255}}}},
        {"table alpha",
         kDefineBitsLossless2,
         DefineBitsLosslessBody(1, 3, 2, 1, {10, 20, 30, 40, 5, 6, 7, 0, 0, 1, 0, 0}, 1),
         {{{0, 0}, {191, 128, 64, 40}}, {{1, 0}, {0, 0, 0, 0}}}},
        {"15-bit", kDefineBitsLossless, DefineBitsLosslessBody(1, 4, 1, 1, {0, 0}), {}},
    };
    for (const Case& c : cases) {
        Decoded decoded(Tags{{c.code, c.body}});
        ASSERT_EQ(bool(decoded.image), !c.pixels.empty()) << c.name;
        for (const auto& [at, bgra] : c.pixels) EXPECT_EQ(decoded.At(at[0], at[1]), bgra) << c.name;
    }
}

// JPEG tables: a tables-only stream first decodes like one stream; DefineBits takes the last
// JPEGTables before it, a whole stream needs none (empty, empty-stream or broken tables are
// passed over), an abbreviated one without tables gives no image; a leading empty stream is
// skipped.
TEST(BitmapDecode, JpegTablesAndStreams) {
    const SplitJpeg split = EncodeAbbreviatedJpeg(Colours(16, 8));
    const std::vector<uint8_t> whole = EncodeJpeg(Colours(16, 8));
    std::vector<uint8_t> tablesFirst = split.tables, emptyFirst = {0xFF, 0xD9, 0xFF, 0xD8};
    tablesFirst.insert(tablesFirst.end(), split.image.begin(), split.image.end());
    emptyFirst.insert(emptyFirst.end(), whole.begin(), whole.end());
    const auto bits = [](const std::vector<uint8_t>& jpeg) {
        return std::pair(uint16_t(kDefineBits), DefineBitsBody(1, jpeg));
    };
    const std::pair<bool, Tags> cases[] = {
        {true, {{kDefineBitsJPEG2, DefineBitsBody(1, tablesFirst)}}},
        {true, {{kJPEGTables, split.tables}, bits(split.image)}},
        {true, {bits(whole)}},
        {true, {{kJPEGTables, {}}, bits(whole)}},
        {true, {{kJPEGTables, {0xFF, 0xD8, 0xFF, 0xD9}}, bits(whole)}},
        {true, {{kJPEGTables, {1, 2, 3}}, bits(whole)}},
        {true, {{kDefineBitsJPEG2, DefineBitsBody(1, emptyFirst)}}},
        {false, {bits(split.image), {kJPEGTables, split.tables}}},
        {false, {{kJPEGTables, {}}, bits(split.image)}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        Decoded decoded(cases[i].second);
        ASSERT_EQ(bool(decoded.image), cases[i].first) << i;
        if (!decoded.image) continue;
        EXPECT_EQ(decoded.image->channels, 4);
        ExpectNear(decoded.At(7, 5), 90, 40, 200, 255);
    }
    // Grey data stays one channel.
    Decoded grey(Tags{{kDefineBitsJPEG2,
                       DefineBitsBody(1, EncodeJpeg({4, 4, 1, std::vector<uint8_t>(16, 128)}))}});
    ASSERT_TRUE(grey.image);
    EXPECT_EQ(grey.image->channels, 1);
    EXPECT_NEAR(grey.image->pixels[5], 128, 2);

    // DefineBitsJPEG3 and 4: a short alpha plane (7 of 12 bytes) leaves the rest opaque;
    // colours were stored premultiplied and are straightened (at alpha 7 every channel of
    // (200, 40, 90) saturates); JPEG4's deblocking value is read and not applied.
    const std::vector<uint8_t> jpeg = EncodeJpeg(Colours(4, 3)),
                               alpha = Deflate(std::vector<uint8_t>(7, 7));
    for (const auto& [code, body] : Tags{{kDefineBitsJPEG3, DefineBitsJPEG3Body(1, jpeg, alpha)},
                                         {kDefineBitsJPEG4, DefineBitsJPEG4Body(1, jpeg, alpha)}}) {
        Decoded decoded(Tags{{code, body}});
        ASSERT_TRUE(decoded.image) << code;
        EXPECT_EQ(std::tuple(decoded.At(2, 1)[3], decoded.At(3, 1)[3], decoded.At(3, 2)[3]),
                  std::tuple(7, 255, 255));
        EXPECT_EQ(decoded.At(0, 0), (Bgra{255, 255, 255, 7}));
    }
}
