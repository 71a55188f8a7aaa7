// The movie reader: the header, what it accepts and what it refuses.
#include "MovieTestSupport.h"
#include "support/MorphWriter.h"
#include "support/ShapeWriter.h"

#include <gtest/gtest.h>

namespace {

// Written out by hand: version 6, length 21, an empty frame rectangle, 12.5 frames per
// second, one frame; a ShowFrame, a SetBackgroundColor and one byte too short for a tag.
const std::vector<uint8_t> kHandWritten = Hex("465753061500000000800C0100400043"
                                              "02FF003300");

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
        Hex("4657530608000000"),
        {}};
    for (const char* signature : {"CWS", "FWT", "fws"}) {
        refused.push_back(kHandWritten);
        std::copy(signature, signature + 3, refused.back().begin());
    }
    for (size_t i = 0; i < refused.size(); ++i) {
        UT::FlashScript movie;
        EXPECT_FALSE(ParseBytes(movie, refused[i])) << i;
    }
}

// A shape or morph tag is read on the first pass only: going back to an earlier frame
// defines the very objects again, and a later tag redefining the id gives its own.
TEST(FlashScriptDictionary, ShapesAndMorphsAreReadOncePerTagAndDefinedAgainAfterARewind) {
    swftest::SwfWriter writer(100, 100, 12);
    swftest::ShapeWriter square(3), wide(3);
    for (auto [shape, right] : {std::pair{&square, 200}, {&wide, 400}})
        shape->FillStyles({swftest::FillStyleRecord::Solid({255, 0, 0, 255})})
            .Change(swftest::StyleChange().Fill0(1))
            .Rectangle(0, 0, right, 200);
    const swftest::MorphWriter morph(square, wide);
    for (int frame = 0; frame < 2; ++frame) { // the same ids again in the second frame
        square.AddTo(writer, 1, {0, 200, 0, 200});
        morph.AddTo(writer, 2, {0, 200, 0, 200}, {0, 400, 0, 200});
        writer.ShowFrame();
    }
    writer.End();
    UT::FlashScript movie;
    ASSERT_TRUE(ParseBytes(movie, writer.Finish()));
    for (uint16_t id : {1, 2}) {
        const UT::FObject* seen[2][2] = {};
        for (int pass = 0; pass < 2; ++pass)
            for (int frame = 0; frame < 2; ++frame) {
                movie.GotoFrame(frame);
                seen[pass][frame] = movie.FindCharacter(id).Get();
            }
        ASSERT_NE(seen[0][0], nullptr) << id;
        EXPECT_NE(seen[0][0], seen[0][1]) << id;
        EXPECT_EQ(seen[1][0], seen[0][0]) << id;
        EXPECT_EQ(seen[1][1], seen[0][1]) << id;
    }
}
