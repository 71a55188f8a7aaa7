// One table of byte layouts worked out by hand, read by the movie's reader and written by
// the fixture writer: each row is the bytes and the values they stand for, so the two
// cannot share a mistake.
#include "MovieTestSupport.h"
#include "base/RecordConversions.h"
#include "support/SwfWriter.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>
#include <variant>

using namespace swftest;
using Bytes = std::vector<uint8_t>;

namespace {

// One field of a bit stream: a bit field, a byte value or a string.
struct Field {
    enum Kind { kUB, kSB, kUI8, kUI16, kSI16, kUI32, kAlign, kString } kind;
    int64_t value = 0;
    unsigned bits = 0;
    const char* text = "";
};
using Fields = std::vector<Field>;
struct CxformWithAlpha {
    CxformRecord cxform;
};
struct Color {
    uint8_t r, g, b, a;
    bool withAlpha;
};
struct TagHeader {
    uint16_t code;
    uint32_t length;
    bool longForm;
};
using Value =
    std::variant<Fields, RectRecord, MatrixRecord, CxformRecord, CxformWithAlpha, Color, TagHeader>;

struct Row {
    const char* name;
    Bytes bytes;
    Value value;
};

const Row kRows[] = {
    {"bit fields", {0xBA}, Fields{{Field::kUB, 5, 3}, {Field::kSB, -2, 3}, {Field::kUB, 1, 1}}},
    {"fields across bytes, sign extension",
     {0b10110010, 0b01111111, 0xAB, 0xCD},
     Fields{{Field::kUB, 1, 1},
            {Field::kUB, 0, 0},
            {Field::kSB, 6, 4},
            {Field::kUB, 0b010011, 6},
            {Field::kSB, -1, 1},
            {Field::kSB, -1, 4},
            {Field::kUB, 0xABC, 12},
            {Field::kSB, -3, 4}}},
    {"32-bit fields",
     {0x80, 0, 0, 1, 0xFF},
     Fields{{Field::kUB, 0x80000001, 32}, {Field::kSB, -1, 8}}},
    {"positive signed", {0b01000000}, Fields{{Field::kSB, 1, 2}}},
    {"byte values align",
     {0xE0, 0x34, 0x12, 0xFE, 0xFF, 0x78, 0x56, 0x34, 0x12, 0x80, 0x00, 0x7F},
     Fields{{Field::kUB, 7, 3},
            {Field::kUI16, 0x1234},
            {Field::kSI16, -2},
            {Field::kUI32, 0x12345678},
            {Field::kUB, 1, 1},
            {Field::kAlign},
            {Field::kUB, 0, 1},
            {Field::kUI8, 0x7F}}},
    {"strings", {'a', 'b', 0, 0}, Fields{{Field::kString, 0, 0, "ab"}, {Field::kString, 0, 0, ""}}},
    {"550 x 400 frame",
     {0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00},
     RectRecord{.xmin = 0, .xmax = 11000, .ymin = 0, .ymax = 8000}},
    {"empty rect", {0x00}, RectRecord{}},
    {"identity matrix", {0x00}, MatrixRecord{}},
    {"translation only", {0x0E, 0x52, 0xC0}, MatrixRecord{.translateX = 20, .translateY = -40}},
    {"scale and rotation",
     {0xC5, 0x00, 0x01, 0x00, 0x00, 0x89, 0xC0},
     MatrixRecord{.hasScale = true,
                  .scaleX = 0x8000,
                  .scaleY = -0x10000,
                  .hasRotate = true,
                  .rotateSkew0 = 1,
                  .rotateSkew1 = -1}},
    {"identity cxform", {0x00}, CxformRecord{}},
    {"add terms",
     {0xA5, 0x01, 0xFF, 0x7F, 0x80},
     CxformRecord{.hasAdd = true, .redAdd = 128, .greenAdd = -1, .blueAdd = 255}},
    {"multipliers with alpha",
     {0x69, 0x00, 0x20, 0x00, 0x0C, 0x00},
     CxformWithAlpha{
         {.hasMult = true, .redMult = 256, .greenMult = 128, .blueMult = 0, .alphaMult = -256}}},
    {"rgb", {255, 128, 0}, Color{255, 128, 0, 255, false}},
    {"rgba", {0, 51, 255, 51}, Color{0, 51, 255, 51, true}},
    {"short tag header", {0x43, 0x02}, TagHeader{9, 3, false}},
    {"long header of a short tag", {0x7F, 0x02, 3, 0, 0, 0}, TagHeader{9, 3, true}},
    {"62 bytes: short", {0xBE, 0x00}, TagHeader{2, 62, false}},
    {"63 bytes: long", {0xBF, 0x00, 63, 0, 0, 0}, TagHeader{2, 63, true}},
};

auto Tied(const RectRecord& r) {
    return std::tuple(r.xmin, r.xmax, r.ymin, r.ymax);
}
auto Tied(const RawRect& r) {
    return std::tuple(r.xmin, r.xmax, r.ymin, r.ymax);
}
template <class M> auto TiedMatrix(const M& m) {
    return std::tuple(m.scaleX, m.scaleY, m.rotateSkew0, m.rotateSkew1, m.translateX, m.translateY);
}
template <class C> auto TiedCxform(const C& c) {
    return std::tuple(c.redMult, c.greenMult, c.blueMult, c.alphaMult, c.redAdd, c.greenAdd,
                      c.blueAdd, c.alphaAdd);
}

struct Write {
    BitWriter out;
    void operator()(const Fields& fields) {
        for (const Field& f : fields) switch (f.kind) {
            case Field::kUB:
                out.UB(uint32_t(f.value), f.bits);
                break;
            case Field::kSB:
                out.SB(int32_t(f.value), f.bits);
                break;
            case Field::kUI8:
                out.UI8(uint8_t(f.value));
                break;
            case Field::kUI16:
                out.UI16(uint16_t(f.value));
                break;
            case Field::kSI16:
                out.SI16(int16_t(f.value));
                break;
            case Field::kUI32:
                out.UI32(uint32_t(f.value));
                break;
            case Field::kAlign:
                out.Align();
                break;
            case Field::kString:
                out.String(f.text);
                break;
            }
    }
    void operator()(const RectRecord& rect) { out.Rect(rect); }
    void operator()(const MatrixRecord& matrix) { out.Matrix(matrix); }
    void operator()(const CxformRecord& cxform) { out.Cxform(cxform); }
    void operator()(const CxformWithAlpha& c) { out.CxformWithAlpha(c.cxform); }
    void operator()(const Color& c) {
        c.withAlpha ? out.RGBA(c.r, c.g, c.b, c.a) : out.RGB(c.r, c.g, c.b);
    }
    void operator()(const TagHeader& h) {
        out.Bytes(TagStream::Header(h.code, h.length, h.longForm));
    }
};

struct Read {
    ByteReader& in;
    void operator()(const Fields& fields) {
        for (const Field& f : fields) switch (f.kind) {
            case Field::kUB:
                EXPECT_EQ(in.ReadUBits(f.bits), f.value);
                break;
            case Field::kSB:
                EXPECT_EQ(in.ReadSBits(f.bits), f.value);
                break;
            case Field::kUI8:
                EXPECT_EQ(in.ReadUI8(), f.value);
                break;
            case Field::kUI16:
                EXPECT_EQ(in.ReadUI16(), f.value);
                break;
            case Field::kSI16:
                EXPECT_EQ(in.ReadSI16(), f.value);
                break;
            case Field::kUI32:
                EXPECT_EQ(in.ReadUI32(), f.value);
                break;
            case Field::kAlign:
                in.AlignBits();
                break;
            case Field::kString:
                EXPECT_STREQ(in.ReadString(), f.text);
                break;
            }
    }
    void operator()(const RectRecord& rect) { EXPECT_EQ(Tied(in.ReadRect()), Tied(rect)); }
    void operator()(const MatrixRecord& m) {
        EXPECT_EQ(TiedMatrix(in.ReadMatrix()), TiedMatrix(m));
    }
    void operator()(const CxformRecord& c) {
        EXPECT_EQ(TiedCxform(in.ReadCxform(false)), TiedCxform(c));
    }
    void operator()(const CxformWithAlpha& c) {
        EXPECT_EQ(TiedCxform(in.ReadCxform(true)), TiedCxform(c.cxform));
    }
    void operator()(const Color& c) {
        const ColorRGBA color = in.ReadColor(c.withAlpha);
        EXPECT_FLOAT_EQ(color.red, c.r / 255.0f);
        EXPECT_FLOAT_EQ(color.green, c.g / 255.0f);
        EXPECT_FLOAT_EQ(color.blue, c.b / 255.0f);
        EXPECT_FLOAT_EQ(color.alpha, c.a / 255.0f);
    }
    void operator()(const TagHeader& h) {
        EXPECT_EQ(in.ReadTagHeader(), h.code);
        EXPECT_EQ(in.TagLength(), h.length);
    }
};

} // namespace

TEST(RecordTable, TheWriterWritesEachValueAsItsBytes) {
    for (const Row& row : kRows) {
        Write write;
        std::visit(write, row.value);
        EXPECT_EQ(write.out.Data(), row.bytes) << row.name;
    }
}

TEST(RecordTable, TheReaderDecodesEachRowsBytesToItsValue) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        Bytes bytes = row.bytes;
        if (const auto* header = std::get_if<TagHeader>(&row.value))
            bytes.resize(bytes.size() + header->length);
        ByteReader reader(bytes);
        std::visit(Read{reader}, row.value);
        if (!std::holds_alternative<TagHeader>(row.value)) {
            EXPECT_EQ(reader.Position(), row.bytes.size());
        }
        EXPECT_FALSE(reader.Exhausted());
    }
}

TEST(RecordTable, ValuesThatDoNotFitTheirFieldAreRefused) {
    EXPECT_THROW(BitWriter().UB(8, 3), std::invalid_argument);
    EXPECT_THROW(BitWriter().SB(4, 3), std::invalid_argument);
    EXPECT_THROW(BitWriter().Rect({.xmax = 1 << 30}), std::invalid_argument);
}

TEST(RecordTable, ReadsPastTheEndGiveZerosAndExhaust) {
    ByteReader reader({0x34, 0x12, 0xAA});
    reader.Seek(2);
    EXPECT_EQ(reader.ReadUI16(), 0x00AA);
    EXPECT_TRUE(reader.Exhausted());
    EXPECT_EQ(reader.Position(), 3u); // stays at the end
    EXPECT_EQ(reader.ReadUI32() | reader.ReadUBits(20) | uint32_t(reader.ReadSBits(7)), 0u);
    EXPECT_EQ(reader.ReadColor(true).alpha, 0.0f);
    // No NUL before the end: an empty string from outside the image.
    const char* tail = reader.ReadString();
    EXPECT_STREQ(tail, "");
    EXPECT_TRUE(tail < reinterpret_cast<const char*>(reader.Data()) ||
                tail >= reinterpret_cast<const char*>(reader.Data()) + 3);

    // An excursion inside a half-read byte, failed or not, is undone by its pop.
    ByteReader excursion({0b10110010, 0b11000011, 0x5A});
    excursion.ReadUBits(3);
    excursion.PushState();
    EXPECT_EQ(excursion.ReadUBits(7), 0b1001011u);
    excursion.Seek(100);
    excursion.ReadUI8();
    EXPECT_TRUE(excursion.Exhausted());
    excursion.PopState();
    EXPECT_FALSE(excursion.Exhausted());
    EXPECT_EQ(excursion.StateDepth(), 0u);
    EXPECT_EQ(excursion.ReadUBits(7), 0b1001011u); // the same bit of the same byte
}

TEST(RecordTable, ConversionsToModelUnits) {
    const RectF rect = ToRectF({.xmin = -20, .xmax = 11000, .ymin = 10, .ymax = 8000});
    EXPECT_EQ(std::tuple(rect.xmin, rect.xmax, rect.ymin, rect.ymax),
              std::tuple(-1.0f, 550.0f, 0.5f, 400.0f));
    const RawMatrix raw{0x8000, 0x10000, -0x4000, 0x30000, 30, -50};
    const Matrix4 placed = ToPlacementMatrix(raw);
    EXPECT_EQ(std::tuple(placed.m[0][0], placed.m[0][1], placed.m[1][0], placed.m[1][1],
                         placed.m[3][0], placed.m[3][1], placed.m[2][2]),
              std::tuple(0.5f, 1.0f, -0.25f, 3.0f, 1.5f, -2.5f, 1.0f));
    // The fill form divides the linear terms by 20 as well.
    const Matrix4 fill = ToFillMatrix(raw);
    EXPECT_FLOAT_EQ(fill.m[1][0], -0.25f / 20);
    EXPECT_EQ(fill.m[3][0], 1.5f);
    EXPECT_TRUE(ToPlacementMatrix(RawMatrix()).identity);
    EXPECT_FALSE(ToFillMatrix(RawMatrix()).identity);
    RawCxform cxform;
    cxform.blueAdd = 255;
    cxform.greenMult = -128;
    const ColorTransform transform = ToColorTransform(cxform);
    EXPECT_EQ(transform.addBlue, 0.99609375f); // over 256, not 255
    EXPECT_EQ(transform.multGreen, -0.5f);
    EXPECT_FALSE(transform.identity);
    EXPECT_TRUE(ToColorTransform(RawCxform()).identity);
}
