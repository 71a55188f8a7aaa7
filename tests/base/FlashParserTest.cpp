// The stream reader's tag loop: the tags it hands out and where it stops.
#include "ByteReader.h"
#include "support/Hex.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using swftest::FromHex;
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
        ByteReader reader(FromHex(row.hex));
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
