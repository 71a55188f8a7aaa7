// Shape records worked out by hand: each row is the bytes (after index widths of 3 bits
// each, no styles) and the records they stand for, points in pixels; the fixture writer
// must write the bytes and the record reader read the records back.
#include "../base/ByteReader.h"
#include "shapes/ShapeRecordReader.h"
#include "support/Hex.h"
#include "support/ShapeWriter.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace swftest;
using UT::ShapeRecord;

namespace {

constexpr auto kChange = ShapeRecord::kStyleChange;
constexpr auto kStraight = ShapeRecord::kStraightEdge;

auto Tie(const ShapeRecord& r) {
    return std::tuple(r.kind, r.flags, r.fill0, r.fill1, r.line, r.anchor.x, r.anchor.y,
                      r.control.x, r.control.y);
}

const struct Row {
    const char* name;
    const char* hex;
    void (*write)(ShapeWriter&);
    std::vector<ShapeRecord> records;
} kRows[] = {
    {"move then general line",
     "0004E52C6B505000",
     [](ShapeWriter& w) { w.MoveTo(20, -40).LineBy(40, 20); },
     {{kChange, ShapeRecord::kMove, 0, 0, 0, {}, {}}, {kStraight, 0, 0, 0, 0, {}, {3, -1}}}},
    {"vertical and horizontal short forms",
     "00D589B0C800",
     [](ShapeWriter& w) { w.LineBy(0, -60).LineBy(100, 0); },
     {{kStraight, 0, 0, 0, 0, {}, {0, -3}}, {kStraight, 0, 0, 0, 0, {}, {5, -3}}}},
    {"curve: anchor after control",
     "00945143D600",
     [](ShapeWriter& w) { w.CurveBy(10, 20, 30, -40); },
     {{ShapeRecord::kCurvedEdge, 0, 0, 0, 0, {0.5f, 1}, {2, -1}}}},
    {"style indices",
     "2239B000",
     [](ShapeWriter& w) { w.Change(StyleChange().Fill0(1).Fill1(2).Line(3)); },
     {{kChange, ShapeRecord::kFill0 | ShapeRecord::kFill1 | ShapeRecord::kLine, 1, 2, 3}}},
};

} // namespace

TEST(ShapeRecordTable, TheWriterWritesAndTheReaderReadsEachRow) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        ShapeWriter writer(3);
        row.write(writer);
        EXPECT_EQ(writer.Records(), FromHex(row.hex));
        ByteReader in(FromHex(row.hex));
        UT::ShapeRecordReader reader(in, UT::RecordUnits::kTwips);
        reader.ReadIndexBits();
        for (const ShapeRecord& want : row.records) EXPECT_EQ(Tie(reader.Next()), Tie(want));
        EXPECT_EQ(reader.Next().kind, ShapeRecord::kEnd);
        EXPECT_EQ(in.Position(), FromHex(row.hex).size());
    }
}
