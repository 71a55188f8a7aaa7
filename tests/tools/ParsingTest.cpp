// What swfframes makes of frame lists and picture sizes, and how it composites pixels over a
// background colour; the other options are run end to end.
#include "tools/swfhost/Background.h"
#include "tools/swfframes/FrameRange.h"
#include "tools/swfhost/PictureFit.h"
#include "tools/swfframes/PngWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace {

// The frames `text` picks from `count`, or the error it gives.
std::string Frames(const std::string& text, int64_t count) {
    std::string error, out;
    const std::optional<FrameRange> range = FrameRange::Parse(text, error);
    const auto frames = range ? range->Resolve(count, error) : std::nullopt;
    if (!frames) return "error: " + error;
    for (int64_t f : *frames) out += std::to_string(f) + " ";
    return out;
}

} // namespace

TEST(FrameRange, ListsRangesAndMistakes) {
    const std::pair<const char*, const char*> cases[] = {
        {"7", "7 "},
        {"0-3,8", "0 1 2 3 8 "},
        {"7-", "7 8 9 "},
        {"9,1-3,2,0", "0 1 2 3 9 "},
        {"all", "0 1 2 3 4 5 6 7 8 9 "},
        {"0-9,30", "error: frame 30 is out of range"},
        {"10-", "error: frame 10 is out of range"},
        {"5-10", "error: frame 10 is out of range"},
        {"5-2", "error: frame range '5-2' runs backwards"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Frames(text, 10).rfind(expected, 0), 0u) << text << " gave " << Frames(text, 10);
    for (const char* text :
         {"", "a", "-3", "1,,2", "1-2-3", "3x", "1.5", "1 - 2", "99999999999999999999999"}) {
        std::string error;
        EXPECT_FALSE(FrameRange::Parse(text, error)) << text;
    }
    // bench leaves out the frames a movie lacks.
    const std::pair<const char*, std::vector<int64_t>> within[] = {
        {"0-59", {0, 1, 2}}, {"2,5-", {2}}, {"all", {0, 1, 2}}, {"7", {}}};
    for (const auto& [text, expected] : within) {
        std::string error;
        EXPECT_EQ(FrameRange::Parse(text, error)->Within(3), expected) << text;
    }
}

// Every compression writes a PNG that reads back to the very pixels.  The rows are made so
// that each filter wins somewhere: noise (None), a row equal to the one above (Up), a row
// where each byte is the mean of its left and upper neighbours (Average), products x * y
// (Paeth) and runs (Sub); the first row and each row's first pixel meet the edge cases.
TEST(PngWriter, EveryCompressionReadsBackExactly) {
    RgbaImage image(37, 12);
    uint32_t noise = 12345;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width * 4; ++x) {
            noise = noise * 1103515245u + 12345u;
            uint8_t& v = image.Row(y)[x];
            const int left = x >= 4 ? image.Row(y)[x - 4] : 0;
            const int up = y > 0 ? image.Row(y - 1)[x] : 0;
            switch (y % 5) {
            case 0:
                v = uint8_t(noise >> 16);
                break;
            case 1:
                v = uint8_t(up);
                break;
            case 2:
                v = x < 4 ? uint8_t(noise >> 16) : uint8_t((left + up) / 2);
                break;
            case 3:
                v = uint8_t((x / 4) * y * 3);
                break;
            default:
                v = uint8_t(x < 60 ? 200 : 3);
                break;
            }
        }
    std::vector<size_t> sizes;
    for (const PngCompression c :
         {PngCompression::kFast, PngCompression::kDefault, PngCompression::kBest}) {
        const std::string path = testing::TempDir() + "png_round_trip.png";
        WritePng(path, image, c);
        const RgbaImage back = ReadPng(path);
        EXPECT_EQ(std::tie(back.width, back.height), std::tie(image.width, image.height));
        EXPECT_EQ(back.pixels, image.pixels) << int(c);
        sizes.push_back(EncodePng(image, c).size());
    }
    EXPECT_GE(sizes[0], sizes[2]);
    const std::vector<uint8_t> file = EncodePng(RgbaImage(1, 1), PngCompression::kFast);
    EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 16),
              (std::vector<uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I',
                                    'H', 'D', 'R'}));
}

TEST(PictureFit, TruncationNeverLosesThePixel) {
    const auto width = [](int natural, const Scale& s) {
        return int(std::trunc(natural * s.zoom * s.stretch));
    };
    const auto height = [](int natural, const Scale& s) {
        return int(std::trunc(natural * s.zoom));
    };
    const Scale byHeight = FitPicture(550, 400, std::nullopt, 100, {});
    EXPECT_EQ(width(550, byHeight), 137);
    for (int natural = 1; natural < 700; natural += 7)
        for (int target = 1; target < 900; target += 13) {
            const Scale scale = FitPicture(natural, natural + 3, target, std::nullopt, {});
            ASSERT_EQ(width(natural, scale), target) << natural << " -> " << target;
            const Scale both = FitPicture(natural, natural + 3, target, target + 1, {});
            ASSERT_EQ(width(natural, both), target) << natural << " -> " << target;
            ASSERT_EQ(height(natural + 3, both), target + 1);
        }
}

TEST(Background, CompositesEveryPixelAndAlphaRoundedToNearest) {
    const Background colour = *Background::Parse("#0A64FA");
    for (int alpha = 0; alpha < 256; ++alpha)
        for (int value = 0; value < 256; ++value) {
            const uint8_t bgra[4] = {uint8_t(value), uint8_t(value), uint8_t(value),
                                     uint8_t(alpha)};
            uint8_t rgba[4];
            colour.ConvertRow(bgra, rgba, 1);
            const int expected[4] = {10, 100, 250, 255};
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(rgba[c], (value * alpha + expected[c] * (255 - alpha) + 127) / 255)
                    << value << " at alpha " << alpha;
            ASSERT_EQ(rgba[3], 255);
        }
    EXPECT_TRUE(Background::Parse("none")->none);
    for (const char* bad : {"#12345", "#1234567", "#12345G", "red", ""})
        EXPECT_FALSE(Background::Parse(bad)) << bad;
}
