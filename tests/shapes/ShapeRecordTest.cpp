// Shape records both ways: one table of records and their bytes, written by the fixture
// writer and decoded by the record reader that shapes and glyphs share.
#include "base/FlashParser.h"
#include "shapes/ShapeRecordReader.h"
#include "support/ShapeWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using swftest::ShapeWriter;
using swftest::StyleChange;
using UT::RecordUnits;
using UT::ShapeRecord;
using UT::ShapeRecordReader;

// A parser over exactly `bytes`.
class BytesParser : public UT::FlashParser {
public:
    explicit BytesParser(const std::vector<uint8_t>& data) : bytes(data) {
        SetStream(bytes.data(), uint32_t(bytes.size()), 0, uint32_t(bytes.size()));
    }
    bool HandleTag(uint16_t) override { return true; }

private:
    std::vector<uint8_t> bytes;
};

// One decoded record; points in pixels (twips / 20).
struct Decoded {
    ShapeRecord::Kind kind;
    uint32_t flags = 0, fill0 = 0, fill1 = 0, line = 0;
    float x = 0, y = 0;               // edge anchor
    float controlX = 0, controlY = 0; // curved edge
};

struct RecordCase {
    const char* name;
    void (*write)(ShapeWriter&);
    std::vector<uint8_t> bytes; // index widths, records, end record
    std::vector<Decoded> records;
};

constexpr auto kChange = ShapeRecord::kStyleChange;
constexpr auto kStraight = ShapeRecord::kStraightEdge;
constexpr auto kCurved = ShapeRecord::kCurvedEdge;

const RecordCase kCases[] = {
    {"move then general line",
     [](ShapeWriter& w) { w.MoveTo(20, -40).LineBy(40, 20); },
     {0x00, 0x04, 0xE5, 0x2C, 0x6B, 0x50, 0x50, 0x00},
     {{kChange, ShapeRecord::kMove}, {kStraight, 0, 0, 0, 0, 3, -1}}},
    {"vertical and horizontal short forms",
     [](ShapeWriter& w) { w.LineBy(0, -60).LineBy(100, 0); },
     {0x00, 0xD5, 0x89, 0xB0, 0xC8, 0x00},
     {{kStraight, 0, 0, 0, 0, 0, -3}, {kStraight, 0, 0, 0, 0, 5, -3}}},
    {"curve: anchor after control",
     [](ShapeWriter& w) { w.CurveBy(10, 20, 30, -40); },
     {0x00, 0x94, 0x51, 0x43, 0xD6, 0x00},
     {{kCurved, 0, 0, 0, 0, 2, -1, 0.5f, 1}}},
    {"style indices",
     [](ShapeWriter& w) { w.Change(StyleChange().Fill0(1).Fill1(2).Line(3)); },
     {0x22, 0x39, 0xB0, 0x00},
     {{kChange, ShapeRecord::kFill0 | ShapeRecord::kFill1 | ShapeRecord::kLine, 1, 2, 3}}},
};

TEST(ShapeRecords, WriterAndReaderAgreeOnTheBytes) {
    for (const RecordCase& c : kCases) {
        SCOPED_TRACE(c.name);
        ShapeWriter writer(3);
        c.write(writer);
        EXPECT_EQ(writer.Records(), c.bytes);

        BytesParser parser(c.bytes);
        ShapeRecordReader reader(parser, RecordUnits::kTwips);
        reader.ReadIndexBits();
        for (const Decoded& want : c.records) {
            const ShapeRecord got = reader.Next();
            EXPECT_EQ(got.kind, want.kind);
            EXPECT_EQ(got.flags, want.flags);
            EXPECT_EQ(got.fill0, want.fill0);
            EXPECT_EQ(got.fill1, want.fill1);
            EXPECT_EQ(got.line, want.line);
            EXPECT_EQ(got.anchor.x, want.x);
            EXPECT_EQ(got.anchor.y, want.y);
            EXPECT_EQ(got.control.x, want.controlX);
            EXPECT_EQ(got.control.y, want.controlY);
        }
        EXPECT_EQ(reader.Next().kind, ShapeRecord::kEnd);
        EXPECT_EQ(parser.Position(), c.bytes.size());
        EXPECT_FALSE(parser.Exhausted());
    }
}

// Beyond 2^24 units a float no longer holds every integer: shapes divide the pen in double
// precision, glyphs in float, and DefineFont3 glyphs by 400.
TEST(ShapeRecords, EachUnitDividesTheWayItsOwnerDoes) {
    ShapeWriter writer(3);
    writer.MoveTo(16777217, 0).LineBy(20, 0);
    const struct {
        RecordUnits units;
        float x;
    } rows[] = {
        {RecordUnits::kTwips, 838861.875f},
        {RecordUnits::kFontUnits, 838861.8125f},
        {RecordUnits::kFont3Units, 41943.08984375f},
    };
    for (const auto& row : rows) {
        BytesParser parser(writer.Records());
        ShapeRecordReader reader(parser, row.units);
        reader.ReadIndexBits();
        reader.Next();
        EXPECT_EQ(reader.Next().anchor.x, row.x) << int(row.units);
    }
}

} // namespace
