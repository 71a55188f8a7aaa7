#include "MovieTestSupport.h"
#include "support/SwfWriter.h"

#include <gtest/gtest.h>

namespace {

// A 21-byte movie written out by hand: version 6, empty frame rectangle, 12.5 frames
// per second, one frame, a ShowFrame and a SetBackgroundColor, and no End tag.
std::vector<uint8_t> HandWrittenMovie() {
    return {'F',  'W',  'S',  6,    21,   0, 0, 0, // signature, version, length
            0x00,                                  // RECT with 0-bit fields
            0x80, 0x0C,                            // frame rate 0x0C80
            0x01, 0x00,                            // frame count
            0x40, 0x00,                            // ShowFrame
            0x43, 0x02, 0xFF, 0x00, 0x33,          // SetBackgroundColor
            0x00};                                 // one byte: too short for a tag
}
const std::vector<uint8_t> kHandWritten = HandWrittenMovie();

} // namespace

TEST(FlashScriptHeader, TheWriterWritesTheHandWrittenHeader) {
    swftest::SwfWriter writer(0, 0, 0);
    writer.FrameRate8_8(0x0C80).ShowFrame().SetBackgroundColor(255, 0, 0x33).Raw({0});
    EXPECT_EQ(writer.Finish(), kHandWritten);
}

TEST(FlashScriptHeader, LengthMustBeAtLeast21AndMatchTheImage) {
    UT::FlashScript accepted;
    ASSERT_TRUE(ParseBytes(accepted, kHandWritten));
    EXPECT_EQ(accepted.Version(), 6);
    EXPECT_EQ(accepted.FrameCount(), 1u);
    EXPECT_EQ(accepted.FirstTag(), 13u);
    EXPECT_EQ(accepted.FrameRate(), 12.5f);

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

TEST(FlashScriptTags, BackgroundJpegTablesAndSkippedTags) {
    UT::FlashScript hand;
    ASSERT_TRUE(ParseBytes(hand, kHandWritten));
    EXPECT_EQ(hand.BackgroundColor().alpha, 0.0f); // nothing read yet
    hand.GotoFrame(1);                             // past the only frame: runs to the end
    EXPECT_FLOAT_EQ(hand.BackgroundColor().red, 1.0f);
    EXPECT_FLOAT_EQ(hand.BackgroundColor().blue, 0.2f);
    EXPECT_FLOAT_EQ(hand.BackgroundColor().alpha, 1.0f);

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
    EXPECT_EQ(movie.FrameRect().xmax, 550.0f);
    EXPECT_EQ(movie.FrameRect().ymax, 400.0f);
    movie.RunTags();
    EXPECT_FLOAT_EQ(movie.BackgroundColor().blue, 1.0f);
    EXPECT_FLOAT_EQ(movie.BackgroundColor().red, 0.0f);
    ASSERT_NE(movie.JpegTablesPosition(), 0u);
    EXPECT_EQ(bytes[movie.JpegTablesPosition()], 0xFF);
    EXPECT_EQ(bytes[movie.JpegTablesPosition() - 2], (8 << 6 | 4) & 0xFF);
}

TEST(FlashScriptTags, OnlyEndAndTheTargetFrameStopTheLoop) {
    // Every handler is safe on a movie without an image.  End asks to stop, and so does
    // the ShowFrame that completes the target frame (frame 0 on a new timeline).
    UT::FlashScript movie;
    UT::FlashSubScript sprite;
    EXPECT_TRUE(movie.HandleTag(1));
    EXPECT_TRUE(sprite.HandleTag(1));
    for (uint16_t code = 0; code < 1024; ++code) {
        EXPECT_EQ(movie.HandleTag(code), code == 0) << code;
        EXPECT_EQ(sprite.HandleTag(code), code == 0) << code;
    }
    EXPECT_EQ(movie.CurrentFrame(), 1);
}
