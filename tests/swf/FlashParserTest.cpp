#include "MovieTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(FlashParserBits, FieldsAcrossBytesAndSignExtension) {
    ByteReader reader({0b10110010, 0b01111111, 0xAB, 0xCD});
    EXPECT_EQ(reader.ReadUBits(1), 1u);
    EXPECT_EQ(reader.ReadUBits(0), 0u); // reads nothing
    EXPECT_EQ(reader.Position(), 1u);
    EXPECT_EQ(reader.ReadSBits(4), 6);         // 0110: sign bit clear
    EXPECT_EQ(reader.ReadUBits(6), 0b010011u); // last 3 bits of byte 0, first 3 of byte 1
    EXPECT_EQ(reader.ReadSBits(1), -1);
    EXPECT_EQ(reader.ReadSBits(4), -1);
    EXPECT_EQ(reader.ReadUBits(12), 0xABCu);
    EXPECT_EQ(reader.ReadSBits(4), -3); // 1101
    EXPECT_EQ(reader.Position(), 4u);
    EXPECT_FALSE(reader.Exhausted());

    ByteReader wide({0x80, 0x00, 0x00, 0x01, 0xFF});
    EXPECT_EQ(wide.ReadUBits(32), 0x80000001u);
    EXPECT_EQ(wide.ReadSBits(8), -1);
    ByteReader positive({0b01000000});
    EXPECT_EQ(positive.ReadSBits(2), 1);
}

TEST(FlashParserBits, PushAndPopInsideAHalfReadByte) {
    ByteReader reader({0b10110010, 0b11000011, 0x5A});
    reader.ReadUBits(3);
    reader.PushState();
    EXPECT_EQ(reader.ReadUBits(7), 0b1001011u);
    EXPECT_EQ(reader.ReadUI8(), 0x5A);
    reader.PopState();
    EXPECT_EQ(reader.StateDepth(), 0u);
    EXPECT_EQ(reader.Position(), 1u);
    EXPECT_EQ(reader.ReadUBits(7), 0b1001011u); // the same bit of the same byte

    // Nested excursions unwind in order; an unmatched pop changes nothing.
    reader.PushState();
    reader.Seek(0);
    reader.PushState();
    reader.ReadUBits(1);
    reader.PopState();
    EXPECT_EQ(reader.ReadUBits(2), 0b10u);
    reader.PopState();
    reader.PopState();
    EXPECT_EQ(reader.ReadUBits(6), 0b000011u);
}

TEST(FlashParserBytes, LittleEndianAndAlignment) {
    ByteReader reader({0xFF, 0x34, 0x12, 0xFE, 0xFF, 0x78, 0x56, 0x34, 0x12, 0xC0, 0x00});
    EXPECT_EQ(reader.ReadUBits(3), 0b111u);
    EXPECT_EQ(reader.ReadUI16(), 0x1234); // the rest of byte 0 is dropped
    EXPECT_EQ(reader.ReadSI16(), -2);
    EXPECT_EQ(reader.ReadUI32(), 0x12345678u);
    reader.ReadUBits(1);
    reader.AlignBits();
    EXPECT_EQ(reader.ReadUBits(1), 0u); // from the next byte, not the dropped bit
    EXPECT_EQ(reader.Position(), 11u);
    EXPECT_FALSE(reader.Exhausted());
}

TEST(FlashParserBytes, StringsInPlace) {
    ByteReader reader({'a', 'b', 0, 0, 'x', 'y'});
    const char* first = reader.ReadString();
    EXPECT_STREQ(first, "ab");
    EXPECT_EQ(first, reinterpret_cast<const char*>(reader.Data())); // not copied
    EXPECT_STREQ(reader.ReadString(), "");
    EXPECT_EQ(reader.Position(), 4u);
    EXPECT_FALSE(reader.Exhausted());

    // No NUL before the end: an empty string from outside the image.
    const char* tail = reader.ReadString();
    EXPECT_STREQ(tail, "");
    EXPECT_TRUE(tail < reinterpret_cast<const char*>(reader.Data()) ||
                tail >= reinterpret_cast<const char*>(reader.Data()) + 6);
    EXPECT_TRUE(reader.Exhausted());
    EXPECT_EQ(reader.Position(), 6u);
}

TEST(FlashParserBytes, ReadsPastTheEndGiveZerosAndExhaust) {
    ByteReader reader({0x34, 0x12, 0xAA});
    reader.Seek(2);
    EXPECT_EQ(reader.ReadUI16(), 0x00AA);
    EXPECT_TRUE(reader.Exhausted());
    EXPECT_EQ(reader.Position(), 3u); // stays at the end
    EXPECT_EQ(reader.ReadUI32(), 0u);
    EXPECT_EQ(reader.ReadUBits(20), 0u);
    EXPECT_EQ(reader.ReadSBits(7), 0);
    const ColorRGBA color = reader.ReadColor(true);
    EXPECT_EQ(color.red, 0.0f);
    EXPECT_EQ(color.alpha, 0.0f);

    // A failed excursion is undone by the pop that ends it.
    ByteReader excursion({1, 2});
    excursion.PushState();
    excursion.Seek(100);
    excursion.ReadUI8();
    EXPECT_TRUE(excursion.Exhausted());
    excursion.PopState();
    EXPECT_FALSE(excursion.Exhausted());
    EXPECT_EQ(excursion.ReadUI8(), 1);

    ByteReader empty({});
    EXPECT_EQ(empty.ReadUI8(), 0);
    EXPECT_STREQ(empty.ReadString(), "");
    EXPECT_TRUE(empty.Exhausted());
}

TEST(FlashParserRecords, ColorsFromBytes) {
    ByteReader reader({255, 128, 0, 0, 51, 255, 51});
    const ColorRGBA rgb = reader.ReadColor(false);
    EXPECT_FLOAT_EQ(rgb.red, 1.0f);
    EXPECT_FLOAT_EQ(rgb.green, 128 / 255.0f);
    EXPECT_FLOAT_EQ(rgb.blue, 0.0f);
    EXPECT_FLOAT_EQ(rgb.alpha, 1.0f);
    const ColorRGBA rgba = reader.ReadColor(true);
    EXPECT_FLOAT_EQ(rgba.green, 0.2f);
    EXPECT_FLOAT_EQ(rgba.alpha, 0.2f);
    EXPECT_EQ(reader.Position(), 7u);
}

TEST(FlashParserRecords, RectInFileOrder) {
    // The usual 550 x 400 frame: Nbits 15, xmin 0, xmax 11000, ymin 0, ymax 8000.
    ByteReader reader({0xE0, 0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00, 0x42});
    EXPECT_EQ(reader.ReadUBits(3), 7u); // the record starts at the next byte boundary
    const RawRect rect = reader.ReadRect();
    EXPECT_EQ(rect.xmin, 0);
    EXPECT_EQ(rect.xmax, 11000);
    EXPECT_EQ(rect.ymin, 0);
    EXPECT_EQ(rect.ymax, 8000);
    EXPECT_EQ(reader.ReadUI8(), 0x42);
}

TEST(FlashParserRecords, MatrixFields) {
    // Scale 0.5 and -1.0 in 17 bits, rotate/skew 1 and -1 in 2 bits, no translation.
    ByteReader full({0xC5, 0x00, 0x01, 0x00, 0x00, 0x89, 0xC0});
    const RawMatrix m = full.ReadMatrix();
    EXPECT_EQ(m.scaleX, 0x8000);
    EXPECT_EQ(m.scaleY, -0x10000);
    EXPECT_EQ(m.rotateSkew0, 1);
    EXPECT_EQ(m.rotateSkew1, -1);
    EXPECT_EQ(m.translateX, 0);
    EXPECT_EQ(m.translateY, 0);
    EXPECT_EQ(full.Position(), 7u);

    // Translation only: (20, -40) twips in 7 bits; scale and rotation take defaults.
    ByteReader moved({0x0E, 0x52, 0xC0});
    const RawMatrix t = moved.ReadMatrix();
    EXPECT_EQ(t.scaleX, 0x10000);
    EXPECT_EQ(t.scaleY, 0x10000);
    EXPECT_EQ(t.rotateSkew0, 0);
    EXPECT_EQ(t.translateX, 20);
    EXPECT_EQ(t.translateY, -40);
}

TEST(FlashParserRecords, CxformWithAndWithoutAlpha) {
    // Add terms only, 9 bits: red 128, green -1, blue 255.
    ByteReader plain({0xA5, 0x01, 0xFF, 0x7F, 0x80});
    const RawCxform c = plain.ReadCxform(false);
    EXPECT_EQ(c.redAdd, 128);
    EXPECT_EQ(c.greenAdd, -1);
    EXPECT_EQ(c.blueAdd, 255);
    EXPECT_EQ(c.alphaAdd, 0);
    EXPECT_EQ(c.redMult, 256);
    EXPECT_EQ(c.alphaMult, 256);

    // Multipliers only, 10 bits: 256, 128, 0 and alpha -256.
    ByteReader alpha({0x69, 0x00, 0x20, 0x00, 0x0C, 0x00});
    const RawCxform a = alpha.ReadCxform(true);
    EXPECT_EQ(a.redMult, 256);
    EXPECT_EQ(a.greenMult, 128);
    EXPECT_EQ(a.blueMult, 0);
    EXPECT_EQ(a.alphaMult, -256);
    EXPECT_EQ(a.redAdd, 0);
    EXPECT_EQ(alpha.Position(), 6u);
}
