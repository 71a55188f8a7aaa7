// The fixture writer checked against bytes worked out by hand, so that it cannot share
// a mistake with the reader it feeds.
#include "support/SwfWriter.h"

#include <gtest/gtest.h>

#include <stdexcept>

using swftest::BitWriter;
using swftest::SwfWriter;
using swftest::TagStream;
using Bytes = std::vector<uint8_t>;

TEST(BitWriterTest, BitFieldsAndMinimalCounts) {
    EXPECT_EQ(BitWriter().UB(5, 3).SB(-2, 3).UB(1, 1).Data(), Bytes{0xBA}); // 1011101 + pad
    EXPECT_EQ(BitWriter().UB(1, 1).UI8(0x7F).Data(), (Bytes{0x80, 0x7F}));
    EXPECT_EQ(BitWriter().UI16(0x1234).SI16(-2).UI32(0x12345678).Data(),
              (Bytes{0x34, 0x12, 0xFE, 0xFF, 0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(BitWriter().String("ab").Data(), (Bytes{'a', 'b', 0}));
    EXPECT_EQ(BitWriter().RGBA(1, 2, 3, 4).Data(), (Bytes{1, 2, 3, 4}));

    EXPECT_EQ(BitWriter::UBitsFor(0), 0u);
    EXPECT_EQ(BitWriter::UBitsFor(255), 8u);
    EXPECT_EQ(BitWriter::SBitsFor(0), 0u);
    EXPECT_EQ(BitWriter::SBitsFor(-1), 1u);
    EXPECT_EQ(BitWriter::SBitsFor(1), 2u);
    EXPECT_EQ(BitWriter::SBitsFor(-128), 8u);
    EXPECT_EQ(BitWriter::SBitsFor(127), 8u);
    EXPECT_EQ(BitWriter::SBitsFor(128), 9u);
    EXPECT_EQ(BitWriter::SBitsFor(INT32_MIN), 32u);

    EXPECT_THROW(BitWriter().UB(8, 3), std::invalid_argument);
    EXPECT_THROW(BitWriter().SB(4, 3), std::invalid_argument);
    EXPECT_THROW(BitWriter().Rect({.xmax = 1 << 30}), std::invalid_argument);
}

TEST(BitWriterTest, RecordsByteForByte) {
    EXPECT_EQ(BitWriter().Rect({.xmin = 0, .xmax = 11000, .ymin = 0, .ymax = 8000}).Data(),
              (Bytes{0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00}));
    EXPECT_EQ(BitWriter().Matrix({}).Data(), Bytes{0x00});
    EXPECT_EQ(BitWriter().Matrix({.translateX = 20, .translateY = -40}).Data(),
              (Bytes{0x0E, 0x52, 0xC0}));
    EXPECT_EQ(BitWriter()
                  .Matrix({.hasScale = true,
                           .scaleX = 0x8000,
                           .scaleY = -0x10000,
                           .hasRotate = true,
                           .rotateSkew0 = 1,
                           .rotateSkew1 = -1})
                  .Data(),
              (Bytes{0xC5, 0x00, 0x01, 0x00, 0x00, 0x89, 0xC0}));
    EXPECT_EQ(
        BitWriter().Cxform({.hasAdd = true, .redAdd = 128, .greenAdd = -1, .blueAdd = 255}).Data(),
        (Bytes{0xA5, 0x01, 0xFF, 0x7F, 0x80}));
    // The alpha terms are written only with alpha.
    EXPECT_EQ(BitWriter()
                  .CxformWithAlpha({.hasMult = true,
                                    .redMult = 256,
                                    .greenMult = 128,
                                    .blueMult = 0,
                                    .alphaMult = -256})
                  .Data(),
              (Bytes{0x69, 0x00, 0x20, 0x00, 0x0C, 0x00}));
    EXPECT_EQ(BitWriter().Cxform({}).Data(), Bytes{0x00});
}

TEST(TagStreamTest, ShortAndLongHeaders) {
    EXPECT_EQ(TagStream().ShowFrame().End().Bytes(), (Bytes{0x40, 0x00, 0x00, 0x00}));
    EXPECT_EQ(TagStream().SetBackgroundColor(1, 2, 3).Bytes(), (Bytes{0x43, 0x02, 1, 2, 3}));
    EXPECT_EQ(TagStream().LongTag(9, {1, 2, 3}).Bytes(), (Bytes{0x7F, 0x02, 3, 0, 0, 0, 1, 2, 3}));
    EXPECT_EQ(TagStream().NameCharacter(0x0102, "x").Bytes(),
              (Bytes{0x04, 0x0A, 0x02, 0x01, 'x', 0}));

    const Bytes shortForm = TagStream().Tag(2, Bytes(62)).Bytes();
    EXPECT_EQ(shortForm.size(), 64u);
    EXPECT_EQ(shortForm[0], 0xBE);
    const Bytes longForm = TagStream().Tag(2, Bytes(63)).Bytes();
    EXPECT_EQ(longForm.size(), 69u);
    EXPECT_EQ(Bytes(longForm.begin(), longForm.begin() + 6), (Bytes{0xBF, 0x00, 63, 0, 0, 0}));
}

TEST(SwfWriterTest, HeaderWithExactLength) {
    SwfWriter movie(550, 400, 24.0);
    movie.ShowFrame().End();
    EXPECT_EQ(movie.Finish(),
              (Bytes{'F',  'W',  'S',  6,    25,   0,    0,    0,    0x78, 0x00, 0x05, 0x5F, 0x00,
                     0x00, 0x0F, 0xA0, 0x00, 0x00, 0x18, 0x01, 0x00, 0x40, 0x00, 0x00, 0x00}));
    movie.FrameCount(7).Version(4);
    const Bytes overridden = movie.Finish();
    EXPECT_EQ(overridden[3], 4);
    EXPECT_EQ(overridden[19], 7);
}
