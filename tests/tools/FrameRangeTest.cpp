#include "tools/swfframes/FrameRange.h"

#include <gtest/gtest.h>

namespace {

std::vector<int64_t> Frames(const std::string& text, int64_t count) {
    std::string error;
    const std::optional<FrameRange> range = FrameRange::Parse(text, error);
    EXPECT_TRUE(range) << error;
    if (!range) return {};
    const std::optional<std::vector<int64_t>> frames = range->Resolve(count, error);
    EXPECT_TRUE(frames) << error;
    return frames.value_or(std::vector<int64_t>{});
}

std::string ParseError(const std::string& text) {
    std::string error;
    EXPECT_FALSE(FrameRange::Parse(text, error)) << text;
    return error;
}

} // namespace

TEST(FrameRange, SingleFramesRangesAndLists) {
    EXPECT_EQ(Frames("7", 10), (std::vector<int64_t>{7}));
    EXPECT_EQ(Frames("2-4", 10), (std::vector<int64_t>{2, 3, 4}));
    EXPECT_EQ(Frames("0-3,8", 10), (std::vector<int64_t>{0, 1, 2, 3, 8}));
    EXPECT_EQ(Frames("5-5", 10), (std::vector<int64_t>{5}));
}

TEST(FrameRange, OpenRangesRunToTheLastFrame) {
    EXPECT_EQ(Frames("7-", 10), (std::vector<int64_t>{7, 8, 9}));
}

TEST(FrameRange, ListsComeOutAscendingWithoutRepeats) {
    EXPECT_EQ(Frames("9,1-3,2,0", 10), (std::vector<int64_t>{0, 1, 2, 3, 9}));
}

TEST(FrameRange, DefaultAndAllMeanEveryFrame) {
    std::string error;
    const FrameRange every;
    EXPECT_TRUE(every.IsAll());
    EXPECT_EQ(every.Resolve(3, error), (std::vector<int64_t>{0, 1, 2}));
    EXPECT_EQ(Frames("all", 2), (std::vector<int64_t>{0, 1}));
}

TEST(FrameRange, RefusesMalformedText) {
    EXPECT_NE(ParseError(""), "");
    EXPECT_NE(ParseError("a"), "");
    EXPECT_NE(ParseError("-3"), "");
    EXPECT_NE(ParseError("1,,2"), "");
    EXPECT_NE(ParseError("1-2-3"), "");
    EXPECT_NE(ParseError("3x"), "");
    EXPECT_NE(ParseError("1.5"), "");
    EXPECT_NE(ParseError("1 - 2"), "");
    EXPECT_NE(ParseError("99999999999999999999999"), "");
    EXPECT_NE(ParseError("5-2").find("backwards"), std::string::npos);
}

TEST(FrameRange, FramesBeyondTheLastAreOutOfRange) {
    std::string error;
    const std::optional<FrameRange> range = FrameRange::Parse("0-23,30", error);
    ASSERT_TRUE(range);
    EXPECT_FALSE(range->Resolve(24, error));
    EXPECT_NE(error.find("frame 30 is out of range"), std::string::npos) << error;
    EXPECT_NE(error.find("0-23"), std::string::npos) << error;
    EXPECT_TRUE(range->Resolve(31, error));
    const std::optional<FrameRange> open = FrameRange::Parse("10-", error);
    ASSERT_TRUE(open);
    EXPECT_FALSE(open->Resolve(10, error));
}
