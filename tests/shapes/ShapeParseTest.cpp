// Shape definitions as the movie parses them: styles, records and the traced paths.
#include "../swf/MovieTestSupport.h"
#include "support/ShapeWriter.h"
#include "swf/FShape.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

using namespace swftest;

namespace {

// A movie holding one shape definition, and that shape.
struct Defined {
    UT::FlashScript script;
    Held<UT::FObject> held;
    const UT::FShape* shape;

    explicit Defined(const ShapeWriter& writer, int version = 3) {
        EXPECT_TRUE(ParseBytes(script, MovieOf({{ShapeWriter::TagCode(version),
                                                 writer.TagBody(1, {0, 2000, 0, 2000})}},
                                               100, 100)));
        script.GotoFrame(0);
        held = script.FindCharacter(1);
        shape = dynamic_cast<const UT::FShape*>(held.Get());
        EXPECT_NE(shape, nullptr);
    }
    const auto& Fills() const { return shape->InitialStyles().Fills(); }
    const auto& Lines() const { return shape->InitialStyles().Lines(); }
    const auto& Paths() const { return shape->Geometry().Paths(); }

    // Each path as "F" or "S" and its elements: M x,y  L x,y  Q cx,cy:x,y.
    std::string Text() const {
        struct Dump : ZPath::Iterator {
            std::string text;
            void Add(const char* format, float a, float b, float c = 0, float d = 0) {
                char token[80];
                std::snprintf(token, sizeof token, format, a, b, c, d);
                text += token;
            }
            void Begin() override {}
            void MoveTo(float x, float y) override { Add("M%g,%g ", x, y); }
            void LineTo(float x, float y) override { Add("L%g,%g ", x, y); }
            void CubicTo(float, float, float, float, float, float) override { text += "C "; }
            void QuadTo(float cx, float cy, float x, float y) override {
                Add("Q%g,%g:%g,%g ", cx, cy, x, y);
            }
            void ArcTo(float, float, float, float, uint32_t, int32_t) override {}
            void Close() override { text += "Z "; }
        } dump;
        for (const UT::StyledPath& path : Paths()) {
            dump.text += path.fill ? "F " : "S ";
            path.path->Iterate(dump);
            dump.text += "| ";
        }
        return dump.text;
    }
};

} // namespace

TEST(ShapeParse, PenStylesAndNewStylesByTracedPaths) {
    // The pen starts at the origin, only the last of two moves counts, a style change
    // without a move continues from the pen; path bounds leave out control points.
    ShapeWriter pen(3);
    pen.LineStyles({{20, {}}})
        .Change(StyleChange().Line(1))
        .LineTo(40, 0)
        .MoveTo(400, 400)
        .MoveTo(200, 100)
        .LineBy(20, 0)
        .Change(StyleChange().Line(1))
        .CurveBy(20, 20, 20, -20);
    const Defined d(pen);
    EXPECT_EQ(d.Text(), "S M0,0 L2,0 | S M10,5 L11,5 Q12,6:13,5 | ");
    EXPECT_EQ(std::tuple(d.Paths()[1].bounds.xmax, d.Paths()[1].bounds.ymax),
              std::tuple(13.0f, 5.0f));

    // NewStyles discards the indices of its own record; an end record alone gives no
    // paths; indices past the table are none.
    ShapeWriter discarded(3), past(3), empty(3);
    discarded.FillStyles({FillStyleRecord::Solid({255, 0, 0, 255})})
        .Change(StyleChange().Move(0, 0).Fill1(1).NewStyles(
            {{FillStyleRecord::Solid({0, 255, 0, 255})}, {}}))
        .LineTo(200, 0)
        .LineTo(0, 200)
        .LineTo(0, 0);
    past.FillStyles({FillStyleRecord::Solid({})})
        .Change(StyleChange().Move(0, 0).Fill0(7).Line(3))
        .LineTo(100, 100);
    for (const ShapeWriter* writer : {&discarded, &past, &empty})
        EXPECT_EQ(Defined(*writer).Text(), "");
}
