// Shape definitions as the movie parses them: styles, records and the traced paths.
#include "ShapeTestSupport.h"

#include "raster/ZGradientStencils.h"
#include "swf/FShape.h"

#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

using namespace swftest;
using shapetest::Load;

namespace {

// Parses a movie holding one shape definition and returns that shape.
class ShapeParse : public ::testing::Test {
protected:
    const UT::FShape* Define(const ShapeWriter& shape, int version = 3,
                             RectRecord bounds = {0, 2000, 0, 2000}) {
        SwfWriter movie(100, 100, 12);
        movie.Tag(ShapeWriter::TagCode(version), shape.TagBody(1, bounds)).ShowFrame().End();
        held.Reset();
        script = std::make_unique<UT::FlashScript>();
        EXPECT_TRUE(Load(*script, movie.Finish()));
        script->GotoFrame(0);
        held = script->FindCharacter(1);
        return dynamic_cast<const UT::FShape*>(held.Get());
    }

    std::unique_ptr<UT::FlashScript> script;
    Held<UT::FObject> held;
};

TEST_F(ShapeParse, ExtendedStyleCountIsReadForEveryVersion) {
    for (int version : {1, 2, 3}) {
        std::vector<FillStyleRecord> fills(300, FillStyleRecord::Solid({1, 2, 3, 4}));
        std::vector<LineStyleRecord> lines(255, LineStyleRecord{40, {5, 6, 7, 8}});
        ShapeWriter writer(version);
        writer.FillStyles(fills).LineStyles(lines);
        const UT::FShape* shape = Define(writer, version);
        ASSERT_NE(shape, nullptr) << version;
        EXPECT_EQ(shape->InitialStyles().Fills().size(), 300u) << version;
        EXPECT_EQ(shape->InitialStyles().Lines().size(), 255u) << version;
        EXPECT_FLOAT_EQ(shape->InitialStyles().Lines()[254].width, 2.0f);
    }
}

TEST_F(ShapeParse, ColoursAreRgbBeforeVersion3AndRgbaFrom3IncludingNewStyles) {
    for (int version : {2, 3}) {
        ShapeWriter writer(version);
        writer.FillStyles({FillStyleRecord::Solid({51, 102, 153, 0})})
            .LineStyles({{0, {255, 0, 0, 51}}})
            .Change(StyleChange().NewStyles({{FillStyleRecord::Solid({0, 0, 255, 102})}, {}}))
            .Change(StyleChange().Move(0, 0).Fill0(1))
            .LineTo(200, 0)
            .LineTo(0, 200)
            .LineTo(0, 0);
        const UT::FShape* shape = Define(writer, version);
        ASSERT_NE(shape, nullptr);
        const ColorRGBA first = shape->InitialStyles().Fills()[0].color;
        EXPECT_FLOAT_EQ(first.red, 0.2f);
        EXPECT_FLOAT_EQ(first.blue, 0.6f);
        EXPECT_FLOAT_EQ(first.alpha, version == 3 ? 0.0f : 1.0f);
        EXPECT_FLOAT_EQ(shape->InitialStyles().Lines()[0].width, 0.0f);
        EXPECT_FLOAT_EQ(shape->InitialStyles().Lines()[0].color.alpha, version == 3 ? 0.2f : 1.0f);
        ASSERT_EQ(shape->Geometry().Paths().size(), 1u);
        const UT::FillStyle* later = shape->Geometry().Paths()[0].fill;
        ASSERT_NE(later, nullptr);
        EXPECT_FLOAT_EQ(later->color.alpha, version == 3 ? 0.4f : 1.0f);
        EXPECT_EQ(shape->Geometry().StyleTableCount(), 2u);
    }
}

TEST_F(ShapeParse, GradientStopsAndUnknownGradientKinds) {
    MatrixRecord m;
    ShapeWriter writer(3);
    FillStyleRecord focal = FillStyleRecord::Linear(m, {{0, {}}, {255, {}}});
    focal.type = FillStyleRecord::kFocalRadial;
    writer.FillStyles({focal,
                       FillStyleRecord::Linear(m, {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 128}}}),
                       FillStyleRecord::Radial(m, {{128, {0, 255, 0, 255}}}),
                       FillStyleRecord::Solid({9, 9, 9, 9})});
    const UT::FShape* shape = Define(writer);
    ASSERT_NE(shape, nullptr);
    const auto& fills = shape->InitialStyles().Fills();
    ASSERT_EQ(fills.size(), 3u); // the focal gradient adds nothing
    auto* linear = dynamic_cast<ZLinearGradientStencil*>(fills[0].paint.Get());
    ASSERT_NE(linear, nullptr);
    ASSERT_EQ(linear->Stops().size(), 2u);
    EXPECT_EQ(linear->Stops()[0].position, 0.0f);
    EXPECT_EQ(linear->Stops()[1].position, 1.0f);
    const uint8_t blueHalf[4] = {255, 0, 0, 128};
    EXPECT_EQ(std::memcmp(linear->Stops()[1].color, blueHalf, 4), 0);
    EXPECT_NE(dynamic_cast<ZRadialGradientStencil*>(fills[1].paint.Get()), nullptr);
    EXPECT_FLOAT_EQ(fills[0].patternMatrix.m[0][0], 1.0f / 20);
    EXPECT_FALSE(fills[2].paint);
    EXPECT_NEAR(fills[2].color.red, 9 / 255.0f, 1e-6);
}

std::string PathText(const UT::FShape& shape) {
    struct Dump : ZPath::Iterator {
        std::string text;
        void Add(const char* kind, float x, float y) {
            char b[64];
            std::snprintf(b, sizeof b, "%s%g,%g ", kind, x, y);
            text += b;
        }
        void Begin() override {}
        void MoveTo(float x, float y) override { Add("M", x, y); }
        void LineTo(float x, float y) override { Add("L", x, y); }
        void CubicTo(float, float, float, float, float, float) override { text += "C "; }
        void QuadTo(float cx, float cy, float x, float y) override {
            Add("Q", cx, cy);
            Add(":", x, y);
        }
        void ArcTo(float, float, float, float, uint32_t, int32_t) override {}
        void Close() override { text += "Z "; }
    };
    std::string all;
    for (const UT::StyledPath& path : shape.Geometry().Paths()) {
        Dump dump;
        path.path->Iterate(dump);
        all += path.fill ? "F " : "S ";
        all += dump.text;
        all += "| ";
    }
    return all;
}

TEST_F(ShapeParse, PenStartsAtOriginAndOnlyTheLastMoveCounts) {
    ShapeWriter writer(3);
    writer.LineStyles({{20, {}}})
        .Change(StyleChange().Line(1))
        .LineTo(40, 0) // no move: starts at (0, 0)
        .MoveTo(400, 400)
        .MoveTo(200, 100)
        .LineBy(20, 0)
        .Change(StyleChange().Line(1)) // no move: continues from the pen
        .CurveBy(20, 20, 20, -20);
    const UT::FShape* shape = Define(writer);
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(PathText(*shape), "S M0,0 L2,0 | S M10,5 L11,5 Q12,6 :13,5 | ");
    EXPECT_FLOAT_EQ(shape->Geometry().Paths()[1].bounds.xmax, 13.0f);
    EXPECT_FLOAT_EQ(shape->Geometry().Paths()[1].bounds.ymax, 5.0f); // control excluded
}

TEST_F(ShapeParse, NewStylesDiscardsTheIndicesOfItsOwnRecord) {
    ShapeWriter writer(3);
    writer.FillStyles({FillStyleRecord::Solid({255, 0, 0, 255})})
        .Change(StyleChange().Move(0, 0).Fill1(1).NewStyles(
            {{FillStyleRecord::Solid({0, 255, 0, 255})}, {}}))
        .LineTo(200, 0)
        .LineTo(0, 200)
        .LineTo(0, 0);
    const UT::FShape* shape = Define(writer);
    ASSERT_NE(shape, nullptr);
    EXPECT_TRUE(shape->Geometry().Paths().empty());
}

TEST_F(ShapeParse, EndRecordAloneGivesNoPathsAndIndicesPastTheTableAreNone) {
    EXPECT_TRUE(Define(ShapeWriter(3))->Geometry().Paths().empty());
    ShapeWriter writer(3);
    writer.FillStyles({FillStyleRecord::Solid({})})
        .Change(StyleChange().Move(0, 0).Fill0(7).Line(3))
        .LineTo(100, 100);
    EXPECT_TRUE(Define(writer)->Geometry().Paths().empty());
}

} // namespace
