#include "MovieTestSupport.h"

#include <gtest/gtest.h>

namespace {

// Written out by hand: version 6, length 21, an empty frame rectangle, 12.5 frames per
// second, one frame; a ShowFrame, a SetBackgroundColor and one byte too short for a tag.
const std::vector<uint8_t> kHandWritten = {'F',  'W',  'S',  6,    21,   0,    0,
                                           0,    0x00, 0x80, 0x0C, 0x01, 0x00, 0x40,
                                           0x00, 0x43, 0x02, 0xFF, 0x00, 0x33, 0x00};

} // namespace

TEST(FlashScriptHeader, TheHandWrittenMovieIsWrittenAndAcceptedAndOthersRefused) {
    swftest::SwfWriter writer(0, 0, 0);
    writer.FrameRate8_8(0x0C80).ShowFrame().SetBackgroundColor(255, 0, 0x33).Raw({0});
    EXPECT_EQ(writer.Finish(), kHandWritten);
    UT::FlashScript accepted;
    ASSERT_TRUE(ParseBytes(accepted, kHandWritten));
    EXPECT_EQ(std::tuple(accepted.Version(), accepted.FrameCount(), accepted.FirstTag()),
              std::tuple(6, 1u, 13u));
    EXPECT_EQ(accepted.FrameRate(), 12.5f);
    EXPECT_EQ(accepted.BackgroundColor().alpha, 0.0f); // nothing read yet
    accepted.GotoFrame(1);                             // past the only frame: runs to the end
    EXPECT_EQ(accepted.BackgroundColor().red, 1.0f);
    EXPECT_FLOAT_EQ(accepted.BackgroundColor().blue, 0.2f);

    // The length must be at least 21 and match the image; the signature is "FWS".
    std::vector<uint8_t> trailing = kHandWritten;
    trailing.push_back(0);
    std::vector<std::vector<uint8_t>> refused = {
        WithHeaderLength({kHandWritten.begin(), kHandWritten.end() - 1}, 20),
        trailing,
        WithHeaderLength(kHandWritten, 22),
        {'F', 'W', 'S', 6, 8, 0, 0, 0},
        {}};
    for (const char* signature : {"CWS", "FWT", "fws"}) {
        refused.push_back(kHandWritten);
        std::copy(signature, signature + 3, refused.back().begin());
    }
    for (size_t i = 0; i < refused.size(); ++i) {
        UT::FlashScript movie;
        EXPECT_FALSE(ParseBytes(movie, refused[i])) << i;
        movie.RunTags(); // a refused movie has no tags to run
        EXPECT_EQ(movie.Position(), 0u);
    }
}

TEST(FlashScriptTags, JpegTablesSkippedTagsAndTheLoopsStops) {
    swftest::SwfWriter writer(550, 400, 12);
    writer
        .Tag(12, {1, 2, 3})                   // DoAction
        .Tag(46, std::vector<uint8_t>(70, 9)) // DefineMorphShape, long form
        .Tag(1023)
        .JPEGTables({0xFF, 0xD8, 0xFF, 0xD9})
        .SetBackgroundColor(0, 0, 255)
        .End()
        .SetBackgroundColor(255, 0, 0); // after the End: never read
    const std::vector<uint8_t> bytes = writer.Finish();
    UT::FlashScript movie;
    ASSERT_TRUE(ParseBytes(movie, bytes));
    EXPECT_EQ(std::tuple(movie.FrameRect().xmax, movie.FrameRect().ymax),
              std::tuple(550.0f, 400.0f));
    movie.RunTags();
    EXPECT_EQ(std::tuple(movie.BackgroundColor().red, movie.BackgroundColor().blue),
              std::tuple(0.0f, 1.0f));
    ASSERT_NE(movie.JpegTablesPosition(), 0u);
    EXPECT_EQ(bytes[movie.JpegTablesPosition() - 2], (8 << 6 | 4) & 0xFF);

    // Every handler is safe on a movie without an image.  End asks to stop, and so does
    // the ShowFrame that completes the target frame (frame 0 on a new timeline).
    UT::FlashScript bare;
    UT::FlashSubScript sprite;
    EXPECT_TRUE(bare.HandleTag(1) && sprite.HandleTag(1));
    for (uint16_t code = 0; code < 1024; ++code) {
        EXPECT_EQ(bare.HandleTag(code), code == 0) << code;
        EXPECT_EQ(sprite.HandleTag(code), code == 0) << code;
    }
    EXPECT_EQ(bare.CurrentFrame(), 1);
}
