// One table of byte layouts worked out by hand, read by the movie's reader and written by
// the fixture writer: each row is the bytes and the values they stand for, so the two
// cannot share a mistake.
#include "ByteReader.h"
#include "support/BitWriter.h"
#include "support/Hex.h"
#include "support/SwfWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>
#include <variant>

using namespace swftest;
using Bytes = std::vector<uint8_t>;

namespace {

// One field of a bit stream: a bit field, a byte value, an alignment or a string.
struct Field {
    enum Kind { kUB, kSB, kUI8, kUI16, kSI16, kUI32, kAlign, kString } kind;
    int64_t value = 0;
    unsigned bits = 0;
    const char* text = "";

    static Field UB(int64_t value, unsigned bits) { return {kUB, value, bits}; }
    static Field SB(int64_t value, unsigned bits) { return {kSB, value, bits}; }
    static Field Byte(Kind kind, int64_t value) { return {kind, value}; }
    static Field String(const char* text) { return {kString, 0, 0, text}; }
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

constexpr auto UB = Field::UB, SB = Field::SB;
constexpr auto Byte = Field::Byte;
constexpr auto String = Field::String;

const struct Row {
    const char* name;
    const char* hex;
    Value value;
} kRows[] = {
    {"bit fields", "BA", Fields{UB(5, 3), SB(-2, 3), UB(1, 1)}},
    {"fields across bytes, sign extension", "B27FABCD",
     Fields{UB(1, 1), UB(0, 0), SB(6, 4), UB(0b010011, 6), SB(-1, 1), SB(-1, 4), UB(0xABC, 12),
            SB(-3, 4)}},
    {"32-bit fields", "80000001FF", Fields{UB(0x80000001, 32), SB(-1, 8)}},
    {"positive signed", "40", Fields{SB(1, 2)}},
    {"byte values align", "E03412FEFF7856341280007F",
     Fields{UB(7, 3), Byte(Field::kUI16, 0x1234), Byte(Field::kSI16, -2),
            Byte(Field::kUI32, 0x12345678), UB(1, 1), Byte(Field::kAlign, 0), UB(0, 1),
            Byte(Field::kUI8, 0x7F)}},
    {"strings", "61620000", Fields{String("ab"), String("")}},
    {"550 x 400 frame", "7800055F00000FA000", RectRecord{0, 11000, 0, 8000}},
    {"empty rect", "00", RectRecord{}},
    {"identity matrix", "00", MatrixRecord{}},
    {"translation only", "0E52C0", MatrixRecord{.translateX = 20, .translateY = -40}},
    {"scale and rotation", "C50001000089C0", MatrixRecord{true, 0x8000, -0x10000, true, 1, -1}},
    {"identity cxform", "00", CxformRecord{}},
    {"add terms", "A501FF7F80",
     CxformRecord{.hasAdd = true, .redAdd = 128, .greenAdd = -1, .blueAdd = 255}},
    {"multipliers with alpha", "690020000C00", CxformWithAlpha{{true, 256, 128, 0, -256}}},
    {"rgb", "FF8000", Color{255, 128, 0, 255, false}},
    {"rgba", "0033FF33", Color{0, 51, 255, 51, true}},
    {"short tag header", "4302", TagHeader{9, 3, false}},
    {"long header of a short tag", "7F0203000000", TagHeader{9, 3, true}},
    {"62 bytes: short", "BE00", TagHeader{2, 62, false}},
    {"63 bytes: long", "BF003F000000", TagHeader{2, 63, true}},
};

// Records as tuples, so that one comparison prints every field.
struct Tie {
    static auto Rect(const auto& r) { return std::tuple(r.xmin, r.xmax, r.ymin, r.ymax); }
    static auto Matrix(const auto& m) {
        return std::tuple(m.scaleX, m.scaleY, m.rotateSkew0, m.rotateSkew1, m.translateX,
                          m.translateY);
    }
    static auto Cxform(const auto& c) {
        return std::tuple(c.redMult, c.greenMult, c.blueMult, c.alphaMult, c.redAdd, c.greenAdd,
                          c.blueAdd, c.alphaAdd);
    }
};

struct Write {
    BitWriter out;
    void operator()(const Fields& fields) {
        for (const Field& f : fields) {
            if (f.kind == Field::kUB) out.UB(uint32_t(f.value), f.bits);
            if (f.kind == Field::kSB) out.SB(int32_t(f.value), f.bits);
            if (f.kind == Field::kUI8) out.UI8(uint8_t(f.value));
            if (f.kind == Field::kUI16) out.UI16(uint16_t(f.value));
            if (f.kind == Field::kSI16) out.SI16(int16_t(f.value));
            if (f.kind == Field::kUI32) out.UI32(uint32_t(f.value));
            if (f.kind == Field::kAlign) out.Align();
            if (f.kind == Field::kString) out.String(f.text);
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
        for (const Field& f : fields) {
            if (f.kind == Field::kString) {
                EXPECT_STREQ(in.ReadString(), f.text);
            }
            if (f.kind == Field::kAlign) in.AlignBits();
            const int64_t got = f.kind == Field::kUB     ? in.ReadUBits(f.bits)
                                : f.kind == Field::kSB   ? in.ReadSBits(f.bits)
                                : f.kind == Field::kUI8  ? in.ReadUI8()
                                : f.kind == Field::kUI16 ? in.ReadUI16()
                                : f.kind == Field::kSI16 ? in.ReadSI16()
                                : f.kind == Field::kUI32 ? in.ReadUI32()
                                                         : f.value;
            EXPECT_EQ(got, f.value) << f.kind;
        }
    }
    void operator()(const RectRecord& rect) {
        EXPECT_EQ(Tie::Rect(in.ReadRect()), Tie::Rect(rect));
    }
    void operator()(const MatrixRecord& m) {
        EXPECT_EQ(Tie::Matrix(in.ReadMatrix()), Tie::Matrix(m));
    }
    void operator()(const CxformRecord& c) {
        EXPECT_EQ(Tie::Cxform(in.ReadCxform(false)), Tie::Cxform(c));
    }
    void operator()(const CxformWithAlpha& c) {
        EXPECT_EQ(Tie::Cxform(in.ReadCxform(true)), Tie::Cxform(c.cxform));
    }
    void operator()(const Color& c) {
        const ColorRGBA color = in.ReadColor(c.withAlpha);
        EXPECT_EQ(std::tuple(color.red, color.green, color.blue, color.alpha),
                  std::tuple(c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, c.a / 255.0f));
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
        EXPECT_EQ(write.out.Data(), FromHex(row.hex)) << row.name;
    }
}

TEST(RecordTable, TheReaderDecodesEachRowsBytesToItsValue) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        Bytes bytes = FromHex(row.hex);
        if (const auto* header = std::get_if<TagHeader>(&row.value))
            bytes.resize(bytes.size() + header->length);
        ByteReader reader(bytes);
        std::visit(Read{reader}, row.value);
        EXPECT_EQ(reader.Position(), FromHex(row.hex).size());
        EXPECT_FALSE(reader.Exhausted());
    }
}
