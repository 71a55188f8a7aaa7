#include "MovieTestSupport.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint16_t> Codes(const ByteReader& reader) {
    std::vector<uint16_t> codes;
    for (const auto& tag : reader.seen) codes.push_back(tag.code);
    return codes;
}

} // namespace

TEST(TagLoop, ShortAndLongHeaders) {
    ByteReader reader({
        0x43, 0x02, 1, 2, 3,             // code 9, 3 bytes, short form
        0x7F, 0x02, 3, 0, 0, 0, 4, 5, 6, // code 9, 3 bytes, long form below 63
        0xBF, 0x0F, 0, 0, 0, 0,          // code 62, empty, long form
        0x00, 0x00,                      // End
    });
    reader.RunTags();
    ASSERT_EQ(Codes(reader), (std::vector<uint16_t>{9, 9, 62, 0}));
    EXPECT_EQ(reader.seen[0].start, 0u);
    EXPECT_EQ(reader.seen[0].length, 3u);
    EXPECT_EQ(reader.seen[0].end, 5u);
    EXPECT_EQ(reader.seen[1].start, 5u);
    EXPECT_EQ(reader.seen[1].length, 3u);
    EXPECT_EQ(reader.seen[1].end, 14u);
    EXPECT_EQ(reader.seen[2].end, 20u);
    EXPECT_EQ(reader.seen[3].start, 20u);
    EXPECT_EQ(reader.Position(), 20u); // the last two bytes: a synthetic End
}

TEST(TagLoop, FewerThanThreeBytesLeftIsAnEnd) {
    // Two bytes left (even a ShowFrame header) or one byte: both a synthetic End that
    // leaves the position where it is.
    for (const std::vector<uint8_t>& tail :
         {std::vector<uint8_t>{0x00, 0x00}, std::vector<uint8_t>{0x40, 0x00},
          std::vector<uint8_t>{0x40}}) {
        std::vector<uint8_t> bytes = {0x40, 0x00, 0x40, 0x00};
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        ByteReader reader(bytes);
        reader.RunTags();
        ASSERT_EQ(Codes(reader), (std::vector<uint16_t>{1, 1, 0})) << tail.size();
        EXPECT_EQ(reader.seen[2].start, 4u);
        EXPECT_EQ(reader.seen[2].length, 0u);
        EXPECT_EQ(reader.Position(), 4u);
    }

    // A loop entered at or past the length reads nothing.
    ByteReader done({0x40, 0x00, 0x00, 0x00});
    done.Seek(4);
    done.RunTags();
    EXPECT_TRUE(done.seen.empty());

    // A real End is not passed either: the next loop meets it again, not what follows.
    ByteReader ended({0x40, 0x00, 0x00, 0x00, 0x40, 0x00, 0x40, 0x00});
    ended.RunTags();
    ended.RunTags();
    EXPECT_EQ(Codes(ended), (std::vector<uint16_t>{1, 0, 0}));
    EXPECT_EQ(ended.Position(), 2u);
}

TEST(TagLoop, NextTagStartsAtTheDeclaredEnd) {
    std::vector<uint8_t> bytes = {
        0x85, 0x00, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, // code 2, 5 bytes
        0x40, 0x00,                               // ShowFrame
        0x00, 0x00,                               // End
    };
    bytes.resize(bytes.size() + 16);             // room for the handlers' over-reads
    for (uint32_t readOnHandle : {0u, 2u, 8u}) { // under-read, partial, over-read
        ByteReader reader(bytes);
        reader.readOnHandle = readOnHandle;
        reader.RunTags();
        EXPECT_EQ(Codes(reader), (std::vector<uint16_t>{2, 1, 0})) << readOnHandle;
        EXPECT_FALSE(reader.Exhausted());
    }
}

TEST(TagLoop, StreamLengthBoundsTheTagsNotTheReads) {
    // A sub-stream (as for a sprite) of 4 bytes inside an 8-byte image.
    std::vector<uint8_t> image = {0x40, 0x00, 0x40, 0x00, 0x40, 0x00, 0x00, 0x00};
    ByteReader reader(image);
    reader.SetStream(reader.bytes.data(), 4, 0, 8);
    reader.readOnHandle = 3; // reads beyond the stream, inside the image
    reader.RunTags();
    EXPECT_EQ(Codes(reader), (std::vector<uint16_t>{1, 0}));
    EXPECT_FALSE(reader.Exhausted());
}

TEST(TagLoop, HostileLengthsEndTheLoop) {
    // A length that would wrap a 32-bit offset back to the start.
    ByteReader wrap({0x40, 0x00, 0x7F, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x40, 0x00});
    wrap.RunTags();
    EXPECT_EQ(Codes(wrap), (std::vector<uint16_t>{1, 1, 0})); // then the synthetic End
    EXPECT_EQ(wrap.seen[1].end, 0xFFFFFFFFu);

    // A long header cut short by the end of the image.
    ByteReader cut({0x40, 0x00, 0x7F, 0x00, 0x01});
    cut.RunTags();
    EXPECT_EQ(Codes(cut), (std::vector<uint16_t>{1, 1}));
    EXPECT_TRUE(cut.Exhausted());

    // A handler that reads past the image stops the loop after its tag.
    ByteReader overrun({0x81, 0x00, 0x01, 0x40, 0x00, 0x40, 0x00});
    overrun.readOnHandle = 100;
    overrun.RunTags();
    EXPECT_EQ(Codes(overrun), (std::vector<uint16_t>{2}));
    EXPECT_TRUE(overrun.Exhausted());
    overrun.Rewind();
    EXPECT_FALSE(overrun.Exhausted());
    EXPECT_EQ(overrun.Position(), 0u);
}
