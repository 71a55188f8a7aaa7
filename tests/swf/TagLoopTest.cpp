#include "MovieTestSupport.h"

#include <gtest/gtest.h>

using Codes = std::vector<uint16_t>;

// Each row: the stream, bytes every handler reads, the codes seen, the (start, end) of
// the last tag seen, and where the reader stops.
TEST(TagLoop, TagsSeenAndWhereTheLoopStops) {
    const struct Row {
        const char* name;
        std::string hex;
        uint32_t readOnHandle;
        Codes codes;
        uint32_t lastStart, lastEnd, position;
        bool exhausted;
    } rows[] = {
        {"short, long, empty long",
         "43020102037F0203000000040506BF0F000000000000",
         0,
         {9, 9, 62, 0},
         20,
         20,
         20,
         false},
        {"two bytes left are an End", "400040004000", 0, {1, 1, 0}, 4, 4, 4, false},
        {"one byte left is an End", "4000400040", 0, {1, 1, 0}, 4, 4, 4, false},
        {"under-read",
         "8500010203040540000000" + std::string(32, '0'),
         0,
         {2, 1, 0},
         9,
         11,
         9,
         false},
        {"over-read",
         "8500010203040540000000" + std::string(32, '0'),
         8,
         {2, 1, 0},
         9,
         11,
         9,
         false},
        {"a wrapping length", "40007F00FFFFFFFF4000", 0, {1, 1, 0}, ~0u, ~0u, ~0u, false},
        {"a long header cut short", "40007F0001", 0, {1, 1}, 2, 6, 6, true},
        {"a handler reading past the image", "81000140004000", 100, {2}, 0, 3, 3, true},
    };
    for (const Row& row : rows) {
        ByteReader reader(Hex(row.hex));
        reader.readOnHandle = row.readOnHandle;
        reader.RunTags();
        ASSERT_EQ(reader.Codes(), row.codes) << row.name;
        EXPECT_EQ(reader.seen.back().start, row.lastStart) << row.name;
        EXPECT_EQ(reader.seen.back().end, row.lastEnd) << row.name;
        EXPECT_EQ(reader.Position(), row.position) << row.name;
        EXPECT_EQ(reader.Exhausted(), row.exhausted) << row.name;
    }
}

TEST(TagLoop, EndsAreNotPassedAndStreamsBoundTheTagsNotTheReads) {
    // A real End is not passed: the next loop meets it again, not what follows.
    ByteReader ended({0x40, 0, 0, 0, 0x40, 0, 0x40, 0});
    ended.RunTags();
    ended.RunTags();
    EXPECT_EQ(ended.Codes(), (Codes{1, 0, 0}));
    // A loop entered at the length reads nothing.
    ended.Seek(8);
    ended.RunTags();
    EXPECT_EQ(ended.seen.size(), 3u);
    // A 4-byte sub-stream (as for a sprite) inside the 8-byte image: handlers read past it.
    ByteReader sub({0x40, 0, 0x40, 0, 0x40, 0, 0, 0});
    sub.SetStream(sub.bytes.data(), 4, 0, 8);
    sub.readOnHandle = 3;
    sub.RunTags();
    EXPECT_EQ(sub.Codes(), (Codes{1, 0}));
    EXPECT_FALSE(sub.Exhausted());
    sub.Rewind();
    EXPECT_EQ(sub.Position(), 0u);
}
