// The movie reader: the header, and the tag loop and its stops.
#include "MovieTestSupport.h"

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

using Codes = std::vector<uint16_t>;

// Each row: the stream, bytes every handler reads, the codes seen, the (start, end) of
// the last tag seen, where the reader stops and whether it ran out.
TEST(TagLoop, TagsSeenAndWhereTheLoopStops) {
    const std::string pad(32, '0');
    const struct Row {
        std::string hex;
        uint32_t readOnHandle;
        Codes codes;
        uint32_t lastStart, lastEnd, position;
        bool exhausted;
    } rows[] = {
        // short, long, empty long
        {"43020102037F0203000000040506BF0F000000000000", 0, {9, 9, 62, 0}, 20, 20, 20, false},
        {"400040004000", 0, {1, 1, 0}, 4, 4, 4, false}, // two bytes left are an End
        {"4000400040", 0, {1, 1, 0}, 4, 4, 4, false},   // so is one
        {"8500010203040540000000" + pad, 0, {2, 1, 0}, 9, 11, 9, false}, // under-read
        {"8500010203040540000000" + pad, 8, {2, 1, 0}, 9, 11, 9, false}, // over-read
        {"40007F00FFFFFFFF4000", 0, {1, 1, 0}, ~0u, ~0u, ~0u, false},    // a wrapping length
        {"40007F0001", 0, {1, 1}, 2, 6, 6, true},                        // a long header cut short
        {"81000140004000", 100, {2}, 0, 3, 3, true}, // a handler reading past the image
    };
    for (const Row& row : rows) {
        ByteReader reader(Hex(row.hex));
        reader.readOnHandle = row.readOnHandle;
        reader.RunTags();
        ASSERT_EQ(reader.Codes(), row.codes) << row.hex;
        EXPECT_EQ(std::tuple(reader.seen.back().start, reader.seen.back().end, reader.Position(),
                             reader.Exhausted()),
                  std::tuple(row.lastStart, row.lastEnd, row.position, row.exhausted))
            << row.hex;
    }
}

TEST(TagLoop, EndsAreNotPassedAndStreamsBoundTheTagsNotTheReads) {
    // A real End is not passed: the next loop meets it again, not what follows.
    ByteReader ended({0x40, 0, 0, 0, 0x40, 0, 0x40, 0});
    ended.RunTags();
    ended.RunTags();
    EXPECT_EQ(ended.Codes(), (Codes{1, 0, 0}));
    // A 4-byte sub-stream (as for a sprite) inside the 8-byte image: handlers read past it.
    ByteReader sub({0x40, 0, 0x40, 0, 0x40, 0, 0, 0});
    sub.SetStream(sub.bytes.data(), 4, 0, 8);
    sub.readOnHandle = 3;
    sub.RunTags();
    EXPECT_EQ(sub.Codes(), (Codes{1, 0}));
    EXPECT_FALSE(sub.Exhausted());
}
