// What swfframes makes of frame lists and picture sizes, and how it composites pixels over a
// background colour; the other options are run end to end.
#include "tools/swfhost/Background.h"
#include "tools/swfframes/FrameRange.h"
#include "tools/swfhost/PictureFit.h"

#include <gtest/gtest.h>

#include <cmath>

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
